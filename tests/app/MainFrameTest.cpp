#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include <QKeyEvent>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/BankOverview.h"
#include "app/MainFrame.h"
#include "app/MainToolBar.h"
#include "app/Resources.h"
#include "platform/WndHost.h"
#include "tests/app/ScriptedDialogs.h"
#include "tests/support/QtInput.h"

namespace {

TEST(MainFrame, MenuToolbarAndStatusBarCarryTheProgramsVocabulary) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    EXPECT_EQ(frame.windowTitle(), "Tarvelin 1.7");
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Tool", "&Wave", "&Help"}));
    QStringList wave;
    for (QAction* a : frame.menuBar()->actions()[2]->menu()->actions())
        wave << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(wave, (QStringList{"&Undo",
                                 "&Redo",
                                 "-",
                                 "Generate...",
                                 "Import...",
                                 "Import from Clipboard",
                                 "Normalise...",
                                 "Scale and Offset...",
                                 "Remove DC...",
                                 "Invert...",
                                 "Reverse...",
                                 "Smooth...",
                                 "Quantise...",
                                 "Clip...",
                                 "Resample...",
                                 "-",
                                 "Analyse...",
                                 "Play",
                                 "-",
                                 "Export Table...",
                                 "-",
                                 "Bank"}));
    QStringList bank;
    for (QAction* a : frame.menuBar()->actions()[2]->menu()->actions().back()->menu()->actions())
        bank << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(bank, (QStringList{"New Bank...",
                                 "Open Bank...",
                                 "Save Bank...",
                                 "Export Bank Table...",
                                 "-",
                                 "Previous Frame",
                                 "Next Frame",
                                 "Go to Frame...",
                                 "-",
                                 "Add Frame",
                                 "Duplicate Frame",
                                 "Delete Frame",
                                 "Move Earlier",
                                 "Move Later",
                                 "-",
                                 "Morph Frames...",
                                 "Export Mipmaps...",
                                 "Frames from Files...",
                                 "Split into Files...",
                                 "Cycles from a Recording...",
                                 "Show Neighbour Frames...",
                                 "Bank Overview",
                                 "-",
                                 "Take Frame as Waveform"}));
    // Without a bank only New Bank and Open Bank are offered, and the bank bar is hidden.
    EXPECT_TRUE(frame.Action(ID_BANK_OPEN)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_BANK_NEXT)->isEnabled());
    EXPECT_FALSE(frame.BankBar()->isVisibleTo(&frame));
    EXPECT_EQ(frame.Action(ID_WAVE_EXPORT_TABLE)->statusTip(),
              "Export the waveform as a C table for firmware");
    QStringList file;
    for (QAction* a : frame.menuBar()->actions()[0]->menu()->actions())
        file << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file,
              (QStringList{"New", "Open...", "-", "Save...", "Save C Source...", "-", "E&xit"}));

    auto* bar = frame.findChild<QToolBar*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(bar, nullptr);
    QList<UINT> ids;
    for (QAction* a : bar->actions())
        ids << (a->isSeparator() ? 0u : UINT([&] {
            for (UINT id : ToolbarButtons())
                if (id && frame.Action(id) == a)
                    return id;
            return 1u;
        }()));
    EXPECT_EQ(std::vector<UINT>(ids.begin(), ids.end()), ToolbarButtons());
    EXPECT_EQ(bar->iconSize(), QSize(16, 17));
    EXPECT_EQ(frame.Action(ID_FILE_NEW)->toolTip(), "New"); // Qt's fallback: no tip of its own
    EXPECT_EQ(frame.Action(ID_TOOL_ZOOM)->toolTip(), "Zoom");
    EXPECT_EQ(frame.Action(ID_FILE_SAVE_C)->statusTip(), "Save as C suorce");

    EXPECT_EQ(frame.MessagePane(), "Ready");
    QStatusTipEvent zoom(frame.Action(ID_TOOL_ZOOM)->statusTip());
    QApplication::sendEvent(&frame, &zoom);
    EXPECT_EQ(frame.MessagePane().trimmed(), ""); // an empty prompt
    QStatusTipEvent leave(QString{});
    QApplication::sendEvent(&frame, &leave);
    EXPECT_EQ(frame.MessagePane(), "Ready");
}

TEST(MainFrame, ToolChecksFollowTheViewAndTheCloseQueryAsks) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    dialogs.counts.push_back(16);
    frame.Action(ID_FILE_NEW)->trigger();
    EXPECT_EQ(frame.windowTitle(), "Tarvelin 1.7 - [new*]");
    EXPECT_TRUE(frame.Action(ID_TOOL_PAN)->isChecked());
    frame.Action(ID_TOOL_EDIT)->trigger();
    EXPECT_TRUE(frame.Action(ID_TOOL_EDIT)->isChecked());
    EXPECT_FALSE(frame.Action(ID_TOOL_PAN)->isChecked());
    frame.Action(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(dialogs.abouts, 1);

    EXPECT_TRUE(frame.QueryClose()); // nothing modified: no question
    EXPECT_TRUE(dialogs.messages.empty());
    frame.View().Graph().modified = true;
    EXPECT_FALSE(frame.QueryClose());
    EXPECT_EQ(dialogs.messages.back(), "Waveform not saved.\nClose anyway?");
    dialogs.answers.push_back(IDYES);
    EXPECT_TRUE(frame.QueryClose());
    frame.show();
    frame.Action(ID_APP_EXIT)->trigger(); // asks (No) and stays
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.View().SampleCount(), 16u);
}

TEST(MainFrame, ToolbarDrawsItsGripperBeforeTheButtons) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    frame.show();
    auto* bar = frame.findChild<CMainToolBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->allowedAreas(), Qt::TopToolBarArea); // nowhere else to go
    EXPECT_FALSE(bar->isFloatable());
    const QRect grip = bar->GripperRect();
    ASSERT_GT(grip.width(), 0);
    for (auto* button : bar->findChildren<QToolButton*>()) {
        if (button->isVisible()) {
            EXPECT_GE(button->geometry().left(), grip.right()) << "a button covers the gripper";
        }
    }
    const QImage image = bar->grab().toImage();
    int marks = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = grip.left(); x <= grip.right(); ++x)
            marks += image.pixel(x, y) != image.pixel(grip.right() + 1, 0);
    EXPECT_GT(marks, 0) << "nothing drawn where the gripper goes";
}

TEST(MainFrame, LockPanesShowTheKeyboardsStateNotKeyPresses) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    LockState keyboard{true, false, false}; // caps lock was on before the program started
    frame.lockReader = [&] { return std::optional<LockState>(keyboard); };
    frame.RefreshLocks();
    EXPECT_TRUE(frame.LockLit(0));
    EXPECT_FALSE(frame.LockLit(1));
    keyboard = {false, true, false};
    for (int key : {Qt::Key_CapsLock, Qt::Key_NumLock}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(frame.View().Host(), &press);
    }
    EXPECT_FALSE(frame.LockLit(0)); // a toggle would have lit it twice over
    EXPECT_TRUE(frame.LockLit(1));
    EXPECT_FALSE(frame.LockLit(2));
    frame.lockReader = [] { return std::optional<LockState>(); }; // the platform cannot tell
    frame.RefreshLocks();
    EXPECT_FALSE(frame.LockLit(1));
}

std::vector<double> SamplesOf(CWaveformView& view) {
    std::vector<double> ys;
    for (std::uint32_t i = 0; i < view.SampleCount(); ++i)
        ys.push_back(view.Samples()[i].y);
    return ys;
}

TEST(MainFrame, UndoAndRedoStepThroughDragsAndStrokesWithTheKeys) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    frame.resize(900, 600);
    frame.show();
    QApplication::setActiveWindow(&frame);
    dialogs.counts.push_back(21);
    frame.Action(ID_FILE_NEW)->trigger();
    CPlot& g = frame.View().Graph();
    g.YAxisAt(0).SetRange(-10, 10);
    g.Invalidate();
    g.UpdateWindow();
    g.XAxisAt(0).autoScale = g.YAxisAt(0).autoScale = false;
    g.Invalidate();
    g.UpdateWindow();
    auto at = [&](double x, double y) {
        return CPoint(g.XAxisAt(0).PixelOfValue({x, 0}).x, g.YAxisAt(0).PixelOfValue({0, y}).y);
    };
    std::vector<std::vector<double>> states{SamplesOf(frame.View())};

    frame.Action(ID_TOOL_EDIT)->trigger(); // a drag: one step
    const CPoint hover(at(5, 0).x + 5, at(5, 0).y);
    input::Move(g, hover);
    input::Press(g, hover);
    input::Move(g, CPoint(hover.x, at(5, 3).y), Qt::LeftButton);
    input::Move(g, CPoint(hover.x, at(5, 6).y), Qt::LeftButton);
    input::Release(g, CPoint(hover.x, at(5, 6).y));
    states.push_back(SamplesOf(frame.View()));
    ASSERT_NE(states[1], states[0]);
    EXPECT_TRUE(frame.Action(ID_WAVE_UNDO)->isEnabled()) << "a drag is offered to Undo";

    frame.Action(ID_TOOL_FREEHAND)->trigger(); // a stroke: one step
    g.Invalidate();
    g.UpdateWindow();
    input::Drag(g, CPoint(at(10, -4).x - 3, at(10, -4).y), CPoint(at(14, -2).x + 3, at(14, -2).y),
                3);
    states.push_back(SamplesOf(frame.View()));
    ASSERT_NE(states[2], states[1]);
    EXPECT_EQ(frame.View().History().Steps(), 2u);

    dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t&, auto&) {
        o.shape = Shape::Expression; // a generator adding to what is there
        o.expression = "0.25 * sin(2*pi*x)";
        o.add = true;
        return true;
    });
    frame.Action(ID_WAVE_GENERATE)->trigger();
    states.push_back(SamplesOf(frame.View()));
    dialogs.transforms.push_back([](TransformRequest& r) { r.first = 3, r.last = 12; });
    frame.Action(ID_WAVE_REVERSE)->trigger(); // a transform of some samples
    states.push_back(SamplesOf(frame.View()));
    ASSERT_EQ(frame.View().History().Steps(), 4u);

    frame.View().Graph().modified = false;
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(SamplesOf(frame.View()), states[3]);
    EXPECT_TRUE(frame.View().IsModified()); // undoing is a change like any other
    QTest::keyClick(&frame, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(SamplesOf(frame.View()), states[2]);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(SamplesOf(frame.View()), states[1]);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(SamplesOf(frame.View()), states[0]);
    for (std::size_t k = 1; k < states.size(); ++k) { // and forth again, bit for bit
        QTest::keyClick(&frame, k % 2 ? Qt::Key_Y : Qt::Key_Z,
                        k % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(SamplesOf(frame.View()), states[k]) << k;
    }

    dialogs.answers.push_back(IDYES);
    dialogs.counts.push_back(5);
    frame.Action(ID_FILE_NEW)->trigger(); // a new waveform starts a fresh history
    EXPECT_EQ(frame.View().History().Steps(), 0u);
}

} // namespace

namespace {

// Started with a path, as a desktop's Open With starts it: the file opens as Open opens it;
// a sound file is imported; anything else is said, and the window starts empty.
TEST(MainFrame, AFileGivenAtTheStartOpensAsOpenDoes) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "given";
    std::filesystem::create_directories(folder);
    const std::string data = (folder / "wave.txt").string();
    std::ofstream(data) << "0.5\n-0.25\n1\n";
    {
        ScriptedDialogs dialogs;
        CMainFrame frame(dialogs);
        frame.OpenGiven({data});
        EXPECT_EQ(frame.View().SampleCount(), 3u);
        EXPECT_EQ(frame.windowTitle(), "Tarvelin 1.7 - [wave.txt]");
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_FALSE(frame.View().IsModified());
    }
    {
        ScriptedDialogs dialogs;
        CMainFrame frame(dialogs);
        frame.OpenGiven({});
        EXPECT_EQ(frame.View().SampleCount(), 0u);
        EXPECT_TRUE(dialogs.messages.empty());
    }
    for (const std::vector<std::string>& odd :
         std::vector<std::vector<std::string>>{{data, data}, {"--help"}, {"-platform"}}) {
        ScriptedDialogs dialogs;
        CMainFrame frame(dialogs);
        frame.OpenGiven(odd);
        EXPECT_EQ(frame.View().SampleCount(), 0u);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0], "Tarvelin opens the one file whose path it is given, and "
                                       "takes no options.\nIt starts with no waveform.");
    }
    {
        ScriptedDialogs dialogs;
        CMainFrame frame(dialogs);
        const std::string missing = (folder / "missing.txt").string();
        frame.OpenGiven({missing});
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{missing + " was not found."});
        EXPECT_EQ(frame.windowTitle(), "Tarvelin 1.7");
    }
    {
        ScriptedDialogs dialogs;
        CMainFrame frame(dialogs);
        // Four 16-bit mono frames: 0, half scale, full scale down, a quarter.
        const std::string wav = (folder / "tone.wav").string();
        const std::string data("\x00\x00\x00\x40\x00\x80\x00\x20", 8);
        std::ofstream(wav, std::ios::binary)
            << std::string("RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00"
                           "\x80\xbb\x00\x00\x00\x77\x01\x00\x02\x00\x10\x00"
                           "data\x08\x00\x00\x00",
                           44)
            << data;
        frame.OpenGiven({wav});
        ASSERT_EQ(frame.View().SampleCount(), 4u)
            << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
        EXPECT_EQ(frame.View().Samples()[1].y, 0.5);
        EXPECT_EQ(frame.View().Samples()[2].y, -1.0);
    }
    std::filesystem::remove_all(folder);
}

} // namespace

namespace {

// Undo and Redo are offered only where a step can be taken back or forth; an edit with the
// mouse offers Undo while its step is still open.
TEST(MainFrame, UndoAndRedoAreOfferedOnlyWhereThereIsAStep) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    QAction* undo = frame.Action(ID_WAVE_UNDO);
    QAction* redo = frame.Action(ID_WAVE_REDO);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    dialogs.counts.push_back(16);
    frame.Command(ID_FILE_NEW);
    EXPECT_FALSE(undo->isEnabled());
    dialogs.transforms.push_back([](TransformRequest& r) { r.values[1].value = 0.5; });
    frame.Command(ID_WAVE_SCALE);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(frame.View().Samples()[3].y, 0.5);
}

} // namespace

namespace {

// The bank bar follows the bank, and the overview draws every frame back to front; a click on
// a frame's curve there shows that frame.
TEST(MainFrame, TheBankBarAndOverviewFollowTheBankAndAClickThereShowsAFrame) {
    ScriptedDialogs dialogs;
    CMainFrame frame(dialogs);
    frame.resize(900, 700);
    frame.show();
    const std::filesystem::path bank =
        std::filesystem::temp_directory_path() / "tarvelin-overview.csv";
    {
        std::ofstream out(bank);
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 8; ++i)
                out << k * 10 + i % 2 << (i == 7 ? "\n" : ",");
    }
    dialogs.files.push_back({bank.string(), 1});
    frame.Command(ID_BANK_OPEN);
    std::filesystem::remove(bank);
    ASSERT_NE(frame.View().OpenBank(), nullptr);
    EXPECT_TRUE(frame.BankBar()->isVisibleTo(&frame));
    EXPECT_FALSE(frame.Action(ID_BANK_PREVIOUS)->isEnabled());
    frame.Command(ID_BANK_NEXT);
    EXPECT_TRUE(frame.Action(ID_BANK_PREVIOUS)->isEnabled());

    frame.Command(ID_BANK_OVERVIEW);
    ASSERT_TRUE(frame.Overview()->isVisible());
    CPlot& plot = frame.Overview()->Plot();
    ASSERT_EQ(plot.SeriesCount(), 4);
    EXPECT_EQ(plot.SeriesAt(3).points[0].y, 0.0);       // frame 1 last: in front
    EXPECT_EQ(plot.SeriesAt(2).colour, RGB(255, 0, 0)); // frame 2 is shown
    QApplication::processEvents();
    plot.Invalidate();
    plot.UpdateWindow();
    // A click on frame 4's curve (series 0, at the back).
    const DataPoint& p = plot.SeriesAt(0).points[3];
    const CPoint at(plot.XAxisAt(0).PixelOfValue({p.x, 0}).x,
                    plot.YAxisAt(0).PixelOfValue({0, p.y}).y);
    input::Press(plot, at);
    input::Release(plot, at);
    QApplication::processEvents();
    EXPECT_EQ(frame.View().OpenBank()->Current(), 3u);
    EXPECT_EQ(frame.View().Samples()[0].y, 30.0);
}

} // namespace
