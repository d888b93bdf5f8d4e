#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>

#include "app/Commands.h"
#include "app/Resources.h"
#include "app/WaveformView.h"
#include "files/DataFileReader.h"
#include "tests/app/ViewFixture.h"
#include "tests/support/QtInput.h"
#include "tests/support/Timing.h"
#include "tests/support/WindowPixels.h"

namespace {

TEST_F(ViewTest, NewMakesAFlatLineShownAsPannedSeriesZero) {
    EXPECT_EQ(view.Graph().cursorFlags, 14);
    EXPECT_EQ(view.Graph().cursorSeriesLock, 0);
    EXPECT_EQ(view.Graph().GetDlgCtrlID(), 1001u);
    EXPECT_EQ(view.Graph().GetClientRect(), CRect(0, 0, 500, 300)); // fills the view
    New();
    ASSERT_EQ(view.SampleCount(), 256u);
    EXPECT_EQ(view.Samples()[255].x, 255);
    EXPECT_EQ(view.Samples()[100].y, 0);
    EXPECT_EQ(title, "Tarvelin 1.7 - [new*]");
    EXPECT_EQ(view.Tool(), ToolPan);
    EXPECT_TRUE(view.IsChecked(ID_TOOL_PAN));
    EXPECT_EQ(view.Graph().operationMode, ModePan);
    EXPECT_FALSE(view.Graph().legendVisible);
    EXPECT_TRUE(view.Graph().XAxisAt(0).showGrid);
    EXPECT_EQ(view.Graph().YAxisAt(0).title, "Y");
    EXPECT_EQ(view.Graph().SeriesAt(0).points, view.Samples()); // not copied
    EXPECT_FALSE(view.IsModified());
}

TEST_F(ViewTest, ConfirmationBeforeDiscardingAndCancelChangeNothing) {
    New(10);
    view.Graph().modified = true;
    Run(ID_TOOL_ZOOM);
    Run(ID_FILE_NEW); // answer No
    EXPECT_EQ(dialogs.messages.back(), "Waveform not saved.\nDo you want to continue?");
    EXPECT_EQ(view.SampleCount(), 10u);
    EXPECT_EQ(view.Tool(), ToolZoom);
    EXPECT_EQ(title, "Tarvelin 1.7 - [new*]");
    Run(ID_FILE_OPEN); // No again
    EXPECT_EQ(dialogs.requests.size(), 0u);
    dialogs.answers.push_back(IDYES);
    Run(ID_FILE_NEW); // Yes, then Cancel in the New Data dialog
    EXPECT_EQ(view.SampleCount(), 10u);
    EXPECT_TRUE(view.IsModified());
}

TEST_F(ViewTest, SaveTitleRulesAndRememberedPaths) {
    New(4);
    Choose(dir / "a.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(title, "Tarvelin 1.7 - [new*]"); // no edit, no new title
    EXPECT_EQ(ReadAll(dir / "a.txt"),
              std::string(4 * 10, ' ')
                  .replace(0, 40, "0.000000\r\n0.000000\r\n0.000000\r\n0.000000\r\n"));
    view.Graph().modified = true;
    Choose(dir / "b.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(title, "Tarvelin 1.7 - [b.txt]");
    EXPECT_FALSE(view.IsModified());
    EXPECT_EQ(dialogs.requests.back().initialFile, (dir / "a.txt").string());
    EXPECT_EQ(dialogs.requests.back().defaultExtension, "txt");
    EXPECT_EQ(dialogs.requests.back().filter, "Data file (*.TXT)|*.txt||");

    Choose(dir / "w.h", 2);
    Run(ID_FILE_SAVE_C);
    EXPECT_EQ(dialogs.requests.back().initialFile, ""); // its own path, empty at first
    EXPECT_EQ(dialogs.requests.back().defaultExtension, "h");
    EXPECT_EQ(ReadAll(dir / "w.h"),
              "\r\nconst float Waveform[4] = {\r\n\t0.000000,\r\n\t0.000000,\r\n\t0.000000,\r\n"
              "\t0.000000,\r\n};\r\n");
    EXPECT_EQ(title, "Tarvelin 1.7 - [b.txt]");
    Run(ID_FILE_SAVE); // cancelled; proposes the last text path, not the export's
    EXPECT_EQ(dialogs.requests.back().initialFile, (dir / "b.txt").string());
    Run(ID_FILE_SAVE_C);
    EXPECT_EQ(dialogs.requests.back().initialFile, (dir / "w.h").string());
    EXPECT_EQ(dialogs.requests.back().filterIndex, 2) << "the form is remembered with the name";
}

TEST_F(ViewTest, OpenReadsBackAndAnEmptyFileLeavesTheViewEmpty) {
    std::ofstream(dir / "wave.txt", std::ios::binary) << "1.5\r\n-2\r\n3e1\r\n";
    Choose(dir / "wave.txt");
    Run(ID_FILE_OPEN);
    ASSERT_EQ(view.SampleCount(), 3u);
    EXPECT_EQ(view.Samples()[2].y, 30);
    EXPECT_EQ(title, "Tarvelin 1.7 - [wave.txt]");
    EXPECT_EQ(view.Tool(), ToolPan);
    EXPECT_EQ(dialogs.requests.back().initialFolder, "");
    Choose(dir / "out.txt");
    Run(ID_FILE_SAVE); // the first Save proposes the opened file
    EXPECT_EQ(dialogs.requests.back().initialFile, (dir / "wave.txt").string());
    EXPECT_EQ(ReadAll(dir / "out.txt"), "1.500000\r\n-2.000000\r\n30.000000\r\n");

    std::ofstream(dir / "empty.txt", std::ios::binary).flush();
    Run(ID_TOOL_ZOOM);
    Choose(dir / "empty.txt");
    Run(ID_FILE_OPEN);
    EXPECT_EQ(view.SampleCount(), 0u);
    EXPECT_EQ(view.Graph().SeriesCount(), 0);
    EXPECT_EQ(title, "Tarvelin 1.7 - [empty.txt]");
    EXPECT_EQ(view.Tool(), ToolZoom);
    Run(ID_TOOL_CURSOR); // no X axis: nothing at all
    EXPECT_EQ(view.Tool(), ToolZoom);
    Choose(dir / "e.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(ReadAll(dir / "e.txt"), "");
    Choose(dir / "e.h", 1);
    Run(ID_FILE_SAVE_C);
    EXPECT_EQ(ReadAll(dir / "e.h"), "\r\nconst int Waveform[0] = {\r\n\t};\r\n");
}

// Lines with more than a number keep the value the file's rule gives, but are told once.
TEST_F(ViewTest, OpenSaysHowManyLinesHoldMoreThanANumber) {
    std::ofstream(dir / "comma.txt", std::ios::binary) << "0.5\r\n2\r\n1,5\r\n-0,25\r\n\x01\"\r\n";
    Choose(dir / "comma.txt");
    Run(ID_FILE_OPEN);
    ASSERT_EQ(view.SampleCount(), 5u);
    EXPECT_EQ(view.Samples()[2].y, 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "3 lines hold more than a number; line 3 reads \"1,5\" as 1.");
    EXPECT_EQ(title, "Tarvelin 1.7 - [comma.txt]");
    EXPECT_FALSE(view.IsModified());
    OddLines one{1, 0, "\x01\"x", -0.0};
    EXPECT_EQ(OddLinesText(one),
              "1 line holds more than a number; line 1 reads \"\\x01\\\"x\" as -0.");
    std::ofstream(dir / "plain.txt", std::ios::binary) << "1\r\n-2.5\r\n";
    Choose(dir / "plain.txt");
    Run(ID_FILE_OPEN);
    EXPECT_EQ(dialogs.messages.size(), 1u) << "nothing to say";
}

TEST_F(ViewTest, ViewResetKeepsTheToolAndCursorNeedsAnAxis) {
    Run(ID_TOOL_CURSOR);
    EXPECT_EQ(view.Tool(), ToolNone);
    EXPECT_FALSE(view.IsChecked(ID_TOOL_CURSOR));
    New(50);
    Run(ID_TOOL_EDIT);
    Run(ID_TOOL_VIEW_RESET);
    EXPECT_EQ(view.Tool(), ToolEdit);
    EXPECT_EQ(view.Graph().operationMode, ModeEdit);
    Run(ID_TOOL_CURSOR);
    EXPECT_EQ(view.Graph().operationMode, ModeCursor);
    Run(ID_TOOL_EDIT_PLUS);
    EXPECT_EQ(view.Graph().operationMode, ModeEditPlus);
    Run(ID_TOOL_FREEHAND);
    EXPECT_EQ(view.Graph().operationMode, ModeFreehand);
    EXPECT_TRUE(view.IsChecked(ID_TOOL_FREEHAND));
    EXPECT_FALSE(view.IsChecked(ID_TOOL_EDIT));
}

TEST_F(ViewTest, FailedSaveKeepsTheOldFileTitleAndModifiedState) {
    New(3);
    std::ofstream(dir / "keep.txt", std::ios::binary) << "old\r\n";
    view.Graph().modified = true;
    fs::permissions(dir, fs::perms::owner_write, fs::perm_options::remove);
    const bool enforced = ::access(dir.c_str(), W_OK) != 0; // root may write anyway
    Choose(dir / "keep.txt");
    Run(ID_FILE_SAVE);
    fs::permissions(dir, fs::perms::owner_write, fs::perm_options::add);
    if (enforced) {
        EXPECT_EQ(dialogs.messages.back(), "File save error!");
        EXPECT_EQ(ReadAll(dir / "keep.txt"), "old\r\n");
        EXPECT_TRUE(view.IsModified());
        EXPECT_EQ(title, "Tarvelin 1.7 - [new*]");
    }
    view.Graph().modified = true;
    Choose(dir / "no-such-folder" / "x.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(dialogs.messages.back(), "File save error!");
    EXPECT_TRUE(view.IsModified());
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().rfind(".keep", 0), std::string::npos);
}

TEST_F(ViewTest, UnreadableFileIsReportedAndTheViewStaysEmpty) {
    New(5);
    fs::create_directories(dir / "folder.txt");
    Choose(dir / "folder.txt");
    Run(ID_FILE_OPEN);
    EXPECT_EQ(view.SampleCount(), 0u);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find((dir / "folder.txt").string()), std::string::npos);
    Choose(dir / "missing.txt"); // a name that does not exist says nothing
    const std::size_t shown = dialogs.messages.size();
    Run(ID_FILE_OPEN);
    EXPECT_EQ(dialogs.messages.size(), shown);
    EXPECT_EQ(title, "Tarvelin 1.7 - [missing.txt]");
}

TEST_F(ViewTest, HugeCountIsOutOfMemoryAndTheProgramGoesOn) {
    New(10);
    New(2147483647u);
    if (view.SampleCount() == 0) { // most machines cannot hold 32 GiB
        EXPECT_EQ(dialogs.messages.back(), "Out of memory.");
        EXPECT_EQ(view.Graph().SeriesCount(), 0);
    }
    New(7);
    EXPECT_EQ(view.SampleCount(), 7u);
}

TEST_F(ViewTest, DragAndFreehandWithTheMouseThenSave) {
    New(21);
    view.Graph().YAxisAt(0).SetRange(-10, 10);
    Paint();
    view.Graph().XAxisAt(0).autoScale = view.Graph().YAxisAt(0).autoScale = false;
    Paint();
    CPlot& g = view.Graph();
    auto at = [&](double x, double y) {
        return CPoint(g.XAxisAt(0).PixelOfValue({x, 0}).x, g.YAxisAt(0).PixelOfValue({0, y}).y);
    };
    Run(ID_TOOL_EDIT);
    const CPoint hover(at(5, 0).x + 5, at(5, 0).y);
    input::Move(g, hover);
    input::Press(g, hover);
    input::Move(g, CPoint(hover.x, at(5, 6).y), Qt::LeftButton);
    input::Release(g, CPoint(hover.x, at(5, 6).y));
    const double dragged = g.YAxisAt(0).ValueAtPixel(at(5, 6).y);
    EXPECT_EQ(view.Samples()[5].y, dragged);
    EXPECT_TRUE(view.IsModified());

    Run(ID_TOOL_FREEHAND);
    Paint();
    input::Drag(g, CPoint(at(10, -4).x - 3, at(10, -4).y), CPoint(at(14, -4).x + 3, at(14, -4).y),
                2);
    for (int i = 10; i <= 14; ++i)
        EXPECT_NEAR(view.Samples()[i].y, -4, 0.2) << i;

    Choose(dir / "drawn.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(title, "Tarvelin 1.7 - [drawn.txt]");
    DataFile back = ReadDataFile((dir / "drawn.txt").string());
    ASSERT_EQ(back.count, 21u);
    char six[64];
    for (std::uint32_t i = 0; i < 21; ++i) {
        std::snprintf(six, sizeof six, "%f", view.Samples()[i].y);
        EXPECT_EQ(back.points[i].y, std::strtod(six, nullptr)) << i;
    }
}

} // namespace

namespace {

// What the window shows once pending repaints ran is what a fresh paint of the model gives.
bool ShowsTheModel(CPlot& g) {
    g.UpdateWindow();
    const std::vector<COLORREF> shown = WindowPixels(g);
    g.Invalidate();
    g.UpdateWindow();
    return shown == WindowPixels(g);
}

std::vector<std::string> YLabels(CPlotAxis& y) {
    std::vector<std::string> labels;
    for (int k = 0; y.TickValue(k) <= y.viewMax; ++k)
        labels.push_back(y.LabelText(y.TickValue(k)));
    return labels;
}

TEST_F(ViewTest, TheScreenAlwaysShowsTheModel) {
    CPlot& g = view.Graph();
    std::ofstream(dir / "wave.txt", std::ios::binary) << "1\r\n5\r\n-3\r\n";
    std::ofstream(dir / "empty.txt", std::ios::binary).flush();
    const auto commands = std::vector<std::function<void()>>{
        [&] { New(40); },
        [&] { Choose(dir / "wave.txt"), Run(ID_FILE_OPEN); },
        [&] { Choose(dir / "empty.txt"), Run(ID_FILE_OPEN); },
        [&] { New(2); },
        [&] { New(2147483647u); }, // refused here as out of memory, or made
        [&] { New(3); },
        [&] { Run(ID_TOOL_ZOOM); },
        [&] { Run(ID_TOOL_PAN); },
        [&] { Run(ID_TOOL_CURSOR); },
        [&] { Run(ID_TOOL_EDIT); },
        [&] { Run(ID_TOOL_EDIT_PLUS); },
        [&] { Run(ID_TOOL_FREEHAND); },
        [&] { Run(ID_TOOL_VIEW_RESET); },
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        Paint();
        commands[i]();
        EXPECT_TRUE(ShowsTheModel(g)) << "command " << i;
        if (i == 4 && view.SampleCount() != 0)
            New(3); // the machine held it; free it again
    }
}

TEST_F(ViewTest, TheEditedValueGoesWithTheDrag) {
    New(21);
    CPlot& g = view.Graph();
    Paint();
    Run(ID_TOOL_EDIT);
    Paint();
    const CPoint p(g.XAxisAt(0).PixelOfValue({5, 0}).x + 5, g.YAxisAt(0).PixelOfValue({0, 0}).y);
    input::Move(g, p);
    input::Press(g, p);
    input::Move(g, CPoint(p.x, p.y - 20), Qt::LeftButton);
    EXPECT_TRUE(g.showEditedValue);
    input::Release(g, CPoint(p.x, p.y - 20));
    EXPECT_FALSE(g.showEditedValue); // the acting hit-test of the release hides it
    EXPECT_TRUE(ShowsTheModel(g));

    for (auto next : {std::function<void()>([&] { Run(ID_TOOL_ZOOM); }),
                      std::function<void()>([&] { Run(ID_TOOL_PAN); }), std::function<void()>([&] {
                          dialogs.answers.push_back(IDYES); // discard the drag
                          New(5);
                      }),
                      std::function<void()>([&] { g.ClearGraph(); })}) {
        g.showEditedValue = true; // as left by a drag that never saw its release
        next();
        EXPECT_FALSE(g.showEditedValue);
    }
}

TEST_F(ViewTest, PipesAndDevicesAreReportedNotRead) {
    New(5);
    const fs::path pipe = dir / "pipe.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Choose(pipe);
    Run(ID_FILE_OPEN); // must return at once
    EXPECT_EQ(view.SampleCount(), 0u);
    EXPECT_EQ(dialogs.messages.back(),
              "An invalid file handle was associated with " + pipe.string() + ".");
    EXPECT_EQ(title, "Tarvelin 1.7 - [pipe.txt]");
    fs::create_symlink("/dev/zero", dir / "zero.txt");
    Choose(dir / "zero.txt");
    Run(ID_FILE_OPEN);
    EXPECT_EQ(dialogs.messages.back(),
              "An invalid file handle was associated with " + (dir / "zero.txt").string() + ".");
}

TEST_F(ViewTest, TheFirstViewLabelsRoundTicks) {
    New(256);
    CPlot& g = view.Graph();
    for (CPlotAxis* axis : {&g.XAxisAt(0), &g.YAxisAt(0)}) {
        EXPECT_FALSE(axis->autoScale);
        const double steps = axis->viewMin / axis->tickStep;
        EXPECT_EQ(steps, std::round(steps)) << "the range starts on a whole step";
    }
    const std::vector<std::string> labels = YLabels(g.YAxisAt(0));
    EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), labels.size());
    for (const std::string& label : labels)
        EXPECT_EQ(label.find("-0.0"), std::string::npos) << label;
    EXPECT_NE(std::find(labels.begin(), labels.end(), "  0.0"), labels.end());
    const double xStep = g.XAxisAt(0).tickStep;
    EXPECT_EQ(xStep, std::round(xStep)) << "256 samples get whole X steps";
}

} // namespace

namespace {

// Zooming deep into empty space above a curve leaves its segments billions of pixels away.
TEST_F(ViewTest, ZoomingIntoEmptySpaceAboveACurveStaysQuick) {
    {
        std::ofstream sine(dir / "sine.txt", std::ios::binary);
        for (int i = 0; i <= 100; ++i)
            sine << std::sin(i * 0.0628) << "\r\n";
    }
    view.MoveWindow(CRect(0, 0, 1200, 800));
    Choose(dir / "sine.txt");
    Run(ID_FILE_OPEN);
    CPlot& g = view.Graph();
    Paint();
    Run(ID_TOOL_ZOOM);
    for (int zoom = 0; zoom < 10; ++zoom) {
        const CRect plot = g.plotRect;
        // A thin band near the top of the plot, above the curve from the first zoom on.
        const CPoint from(plot.left + 100, plot.top + 20), to(plot.left + 400, plot.top + 36);
        const double seconds = SecondsOf([&] {
            input::Drag(g, from, to);
            g.UpdateWindow();
        });
        EXPECT_LT(seconds, HangGuard(0.0125)) << "zoom " << zoom;
    }
    EXPECT_GT(g.YAxisAt(0).viewMin, 1.0) << "the view is above the curve";
    Run(ID_TOOL_PAN);
    const CPoint middle = g.plotRect.CenterPoint();
    const double panning = SecondsOf([&] {
        input::Drag(g, middle, CPoint(middle.x + 30, middle.y + 30), 6);
        g.UpdateWindow();
    });
    EXPECT_LT(panning, HangGuard(0.025));
}

} // namespace
