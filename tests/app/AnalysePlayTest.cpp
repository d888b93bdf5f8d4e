#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <cmath>
#include <set>

#include "app/AnalysisText.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "platform/WndHost.h"
#include "tests/app/ScriptedDialogs.h"
#include "tests/support/Canvas.h"
#include "tests/support/QtInput.h"
#include "tests/support/ScenePicture.h"

namespace {

// Stands for the sound card: the test pulls the frames itself.
struct FakeSink {
    COscillator* oscillator = nullptr;
    std::string refuse;  // what Open answers, where there is no output
    std::string failure; // what the open output says went wrong
    int opened = 0;
    std::vector<float> Pull(std::size_t frames) {
        std::vector<float> out(frames);
        oscillator->Render(out.data(), frames);
        return out;
    }
};

struct FakeOutput : CAudioOutput {
    FakeSink& sink;
    explicit FakeOutput(FakeSink& s) : sink(s) {}
    std::string Open(COscillator& o, double& rate) override {
        if (!sink.refuse.empty())
            return sink.refuse;
        sink.oscillator = &o;
        rate = 48000;
        ++sink.opened;
        return {};
    }
    void Close() override { sink.oscillator = nullptr; }
    std::string Failure() override { return sink.failure; }
};

struct Editor {
    ScriptedDialogs dialogs;
    CMainFrame frame{dialogs};
    FakeSink sink;
    explicit Editor(std::uint32_t count) {
        frame.audioOutput = [this] { return std::make_unique<FakeOutput>(sink); };
        frame.resize(900, 600);
        frame.show();
        dialogs.counts.push_back(count);
        frame.Command(ID_FILE_NEW);
        dialogs.generates.push_back([](GeneratorOptions&, std::uint32_t&, auto&) { return true; });
        frame.Command(ID_WAVE_GENERATE); // one cycle of a sine
    }
    CPlot& Graph() { return frame.View().Graph(); }
    // Drags sample `i` to `y` with the Edit tool.
    void Drag(int i, double y) {
        frame.Command(ID_TOOL_EDIT);
        CPlot& g = Graph();
        g.XAxisAt(0).autoScale = g.YAxisAt(0).autoScale = false;
        g.Invalidate();
        g.UpdateWindow();
        const DataPoint at = frame.View().Samples()[i];
        const CPoint p(g.XAxisAt(0).PixelOfValue(at).x, g.YAxisAt(0).PixelOfValue(at).y);
        input::Move(g, p);
        input::Press(g, p);
        input::Move(g, CPoint(p.x, g.YAxisAt(0).PixelOfValue({0, y}).y), Qt::LeftButton);
        input::Release(g, CPoint(p.x, g.YAxisAt(0).PixelOfValue({0, y}).y));
    }
};

TableOptions TwelveBits() {
    TableOptions o;
    o.type = TableType::UInt16;
    o.scaled = true;
    o.targetMin = 0;
    o.targetMax = 4095;
    return o;
}

TEST(Analyse, TheWindowFollowsADragInTheSameEventAndShowsTheStoredTable) {
    Editor e(256);
    e.frame.Command(ID_WAVE_ANALYSE);
    CAnalyseWindow* a = e.frame.Analysis();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isVisible());
    auto status = [a] { return a->findChild<QLabel*>(QStringLiteral("status"))->text(); };
    // Until a type is chosen in Export Table there is no stored table to show.
    EXPECT_EQ(status(), "Choose a type in Export Table to see the table as stored.");
    EXPECT_FALSE(a->FiguresText().contains("As stored"));

    // uint16 scaled onto 0..4095 in Export Table: the figures of 12 bits.
    e.dialogs.tables.push_back(TwelveBits());
    e.frame.Command(ID_WAVE_EXPORT_TABLE); // no file chosen: only the options stay
    EXPECT_TRUE(status().startsWith("As stored: 12-bit, 256 entries; storing: SINAD"))
        << status().toStdString();
    EXPECT_TRUE(a->FiguresText().contains("ENOB"));
    const QString before = a->FiguresText();

    e.Drag(40, -0.5); // no event is processed before the figures are read
    EXPECT_NE(a->FiguresText(), before);
    const StoredFigures now =
        AnalyseStored(e.frame.View().Samples(), 256, e.frame.View().TableExportOptions());
    EXPECT_TRUE(status().contains(QString::fromStdString(StoredSummary(now, 256, TwelveBits()))));

    // The readout names the harmonic under the mouse, with its level and phase.
    CPlot& p = a->Plot();
    p.Host()->resize(600, 300);
    p.Invalidate();
    p.UpdateWindow();
    a->ReadAt(p.XAxisAt(0).PixelOfValue({1, 0}).x);
    EXPECT_TRUE(a->findChild<QLabel*>(QStringLiteral("readout"))
                    ->text()
                    .startsWith("Harmonic 1: 0.0 dB, phase"));

    e.dialogs.answers.push_back(IDYES); // New closes it with the document
    e.dialogs.counts.push_back(8);
    e.frame.Command(ID_FILE_NEW);
    EXPECT_EQ(e.frame.Analysis(), nullptr);
}

TEST(Analyse, ThePictureOfTheSpectrum) {
    Editor e(64); // a sine
    e.dialogs.tables.push_back(TwelveBits());
    e.dialogs.tables.back().targetMax = 15; // 4 bits: the stored table's spurs show
    e.frame.Command(ID_WAVE_EXPORT_TABLE);
    e.frame.Command(ID_WAVE_ANALYSE);
    CPlot& p = e.frame.Analysis()->Plot();
    for (bool log : {false, true}) {
        e.frame.Analysis()->SetLogarithmic(log);
        Canvas c(480, 300);
        p.PaintGraph(c.dc, CRect(0, 0, 480, 300));
        QImage image(480, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 480; ++x) {
                const COLORREF px = c.At(x, y);
                image.setPixel(x, y, qRgb(GetRValue(px), GetGValue(px), GetBValue(px)));
            }
        CompareScene(log ? "analyse/sine-4-bits-log" : "analyse/sine-4-bits", image);
    }
}

TEST(Play, EditsAreHeardAtOnceAndStoppingFadesOut) {
    Editor e(64);
    e.frame.SetPlayFrequency(QStringLiteral("750 Hz")); // 64 samples at 48 kHz: one a frame
    e.frame.Command(ID_WAVE_PLAY);
    ASSERT_EQ(e.sink.opened, 1);
    EXPECT_TRUE(e.frame.Action(ID_WAVE_PLAY)->isChecked());
    EXPECT_TRUE(e.frame.PlayBar()->isVisible());
    e.sink.Pull(COscillator::FadeFrames + 64 - COscillator::FadeFrames % 64); // faded in
    const double gain = std::pow(10.0, -12 / 20.0);
    auto heard = [&] {
        const std::vector<float> block = e.sink.Pull(64);
        std::vector<double> back;
        for (float v : block)
            back.push_back(v / gain);
        return back;
    };
    auto table = [&] {
        const std::vector<float> t =
            Normalised(&e.frame.View().Samples()[0].y, e.frame.View().SampleCount(), 2);
        return std::vector<double>(t.begin(), t.end());
    };
    auto near = [](const std::vector<double>& a, const std::vector<double>& b) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::fabs(a[i] - b[i]) > 1e-5)
                return false;
        return a.size() == b.size();
    };
    EXPECT_TRUE(near(heard(), table()));

    e.Drag(10, 0.8);
    EXPECT_TRUE(near(heard(), table())); // the next block already has it
    e.dialogs.transforms.push_back([](TransformRequest&) {});
    e.frame.Command(ID_WAVE_INVERT);
    EXPECT_TRUE(near(heard(), table()));
    e.frame.Command(ID_WAVE_UNDO);
    EXPECT_TRUE(near(heard(), table()));

    // The table as stored in 3 bits: eight levels are heard.
    e.dialogs.tables.push_back(TwelveBits());
    e.dialogs.tables.back().targetMax = 7;
    e.frame.Command(ID_WAVE_EXPORT_TABLE);
    e.frame.SetPlayStored(true);
    const std::vector<double> stored = heard();
    EXPECT_EQ(std::set<double>(stored.begin(), stored.end()).size(), 8u);

    // The space bar in the graph stops it, with a fade, and lets the output go.
    e.Graph().SetFocus();
    QTest::keyClick(e.Graph().Host(), Qt::Key_Space);
    EXPECT_FALSE(e.frame.Action(ID_WAVE_PLAY)->isChecked());
    const std::vector<float> fade = e.sink.Pull(COscillator::FadeFrames + 1);
    for (std::size_t i = 1; i < fade.size(); ++i)
        ASSERT_LE(std::fabs(fade[i] - fade[i - 1]), 2.0 / COscillator::FadeFrames + 0.3) << i;
    EXPECT_EQ(fade.back(), 0.0f);
    EXPECT_FALSE(e.frame.Player()->Poll());
    EXPECT_EQ(e.sink.oscillator, nullptr);

    // New stops the sound too.
    QTest::keyClick(e.Graph().Host(), Qt::Key_Space);
    EXPECT_EQ(e.sink.opened, 2);
    e.dialogs.answers.push_back(IDYES);
    e.dialogs.counts.push_back(8);
    e.frame.Command(ID_FILE_NEW);
    EXPECT_FALSE(e.frame.Player()->Playing());
}

// Stepping through a bank while it plays: each frame is heard as it is shown.
TEST(Play, ABanksFramesAreHeardAsTheyAreShown) {
    Editor e(64);
    e.dialogs.answers.push_back(IDYES); // the generated waveform goes
    e.dialogs.transforms.push_back([](TransformRequest& r) {
        r.values[0].value = 3;
        r.values[1].value = 64;
    });
    e.frame.Command(ID_BANK_NEW);
    ASSERT_NE(e.frame.View().OpenBank(), nullptr);
    e.dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t&, auto&) {
        o.shape = Shape::Expression;
        o.expression = "sin(2*pi*x*(f+1))"; // frame k: k + 1 cycles
        return true;
    });
    e.dialogs.transforms.push_back([](TransformRequest& r) { r.lastFrame = 2; });
    e.frame.Command(ID_WAVE_GENERATE);
    e.frame.SetPlayFrequency(QStringLiteral("750 Hz")); // 64 samples at 48 kHz: one a frame
    e.frame.Command(ID_WAVE_PLAY);
    ASSERT_EQ(e.sink.opened, 1);
    e.sink.Pull(COscillator::FadeFrames + 64 - COscillator::FadeFrames % 64); // faded in
    auto heardMatchesShown = [&] {
        const std::vector<float> block = e.sink.Pull(64);
        const std::vector<float> t = Normalised(&e.frame.View().Samples()[0].y, 64, 2);
        const double gain = std::pow(10.0, -12 / 20.0);
        for (std::size_t i = 0; i < 64; ++i)
            if (std::fabs(block[i] / gain - t[i]) > 1e-5)
                return false;
        return true;
    };
    EXPECT_TRUE(heardMatchesShown());
    e.frame.Command(ID_BANK_NEXT);
    EXPECT_EQ(e.frame.View().OpenBank()->Current(), 1u);
    EXPECT_TRUE(heardMatchesShown());
    e.frame.Command(ID_BANK_NEXT);
    EXPECT_TRUE(heardMatchesShown());
}

TEST(Play, WithoutAnAudioOutputItSaysSoAndNothingWaits) {
    Editor e(32);
    e.sink.refuse = "There is no audio output to play through.";
    e.frame.Command(ID_WAVE_PLAY);
    ASSERT_EQ(e.dialogs.messages.size(), 1u);
    EXPECT_EQ(e.dialogs.messages[0], e.sink.refuse);
    EXPECT_FALSE(e.frame.Action(ID_WAVE_PLAY)->isChecked());
    EXPECT_FALSE(e.frame.Player()->Playing());
    // The real output on this machine, whatever it has: either it plays or it says why.
    CMainFrame real(e.dialogs);
    e.dialogs.counts.push_back(16);
    real.Command(ID_FILE_NEW);
    real.Command(ID_WAVE_PLAY);
    if (real.Player()->Playing())
        real.Command(ID_WAVE_PLAY);
    else
        EXPECT_EQ(e.dialogs.messages.size(), 2u);
}

// The frequency field refuses what it cannot play, with the reason; Space plays from
// anywhere in the window but a text field; an output that fails stops Play and says so.
TEST(Play, TheFieldSpaceAndAFailingOutputSayWhatHappens) {
    Editor e(32);
    QApplication::setActiveWindow(&e.frame);
    for (const char* refused : {"abc", "30 kHz", "1 MHz", "0.5"}) {
        e.dialogs.messages.clear();
        e.frame.SetPlayFrequency(QString::fromLatin1(refused));
        e.frame.Command(ID_WAVE_PLAY);
        ASSERT_EQ(e.dialogs.messages.size(), 1u) << refused;
        EXPECT_NE(e.dialogs.messages[0].find(refused), std::string::npos);
        EXPECT_EQ(e.sink.opened, 0) << refused << " is not played at another frequency";
        EXPECT_FALSE(e.frame.Action(ID_WAVE_PLAY)->isChecked());
    }
    EXPECT_EQ(ReadPlayFrequency("abc").problem,
              "\"abc\" is not a frequency: give Hz, kHz or a note such as A3 or C#4.");
    EXPECT_EQ(ReadPlayFrequency("20 kHz").hertz, 20000);
    // Typed again, the field is no longer red once it reads, before its edit ends.
    auto* typed = e.frame.PlayBar()->findChild<QLineEdit*>();
    EXPECT_FALSE(typed->styleSheet().isEmpty());
    typed->selectAll();
    QTest::keyClicks(typed, "A4");
    EXPECT_TRUE(typed->styleSheet().isEmpty());
    e.frame.SetPlayFrequency(QStringLiteral("A4"));

    // Space on the window, the graph never clicked.
    QWidget* field = e.frame.PlayBar()->findChild<QLineEdit*>();
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus(); // as after Open, the focus nowhere in particular
    QTest::keyClick(e.frame.windowHandle(), Qt::Key_Space);
    ASSERT_EQ(e.sink.opened, 1);
    EXPECT_EQ(e.frame.Player()->Frequency(), 440);
    EXPECT_TRUE(e.frame.Action(ID_WAVE_PLAY)->isChecked());
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Space); // typed into the field
    EXPECT_TRUE(e.frame.Player()->Playing());

    e.sink.failure = "The audio output stopped taking sound, and Play stopped.";
    QElapsedTimer clock;
    clock.start();
    while (e.frame.Action(ID_WAVE_PLAY)->isChecked() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(e.frame.Action(ID_WAVE_PLAY)->isChecked());
    EXPECT_FALSE(e.frame.Player()->Playing());
    EXPECT_EQ(e.dialogs.messages.back(), e.sink.failure);
    EXPECT_EQ(e.sink.oscillator, nullptr) << "the output is let go";
}

} // namespace

namespace {

TEST(Analyse, HarmonicsAreLabelledInWholeRoundSteps) {
    EXPECT_EQ(HarmonicStep(8), 1);
    EXPECT_EQ(HarmonicStep(128), 20);
    EXPECT_EQ(HarmonicStep(512), 100);
    EXPECT_EQ(HarmonicStep(2048), 500);
    EXPECT_EQ(HarmonicStep(1 << 30), 2e8);
}

// The ticks as the axis walks them: from the minimum, one rounding per tick.
std::vector<std::string> OctaveLabels(double last) {
    const OctaveScale o = OctaveAxis(last);
    std::vector<std::string> labels;
    for (int k = 0; o.min + k * o.step < o.max; ++k)
        if (std::string text = OctaveLabel(o.min + k * o.step, o.stride); !text.empty())
            labels.push_back(text);
    return labels;
}

TEST(Analyse, TheLogarithmicAxisIsLabelledInHarmonicNumbers) {
    EXPECT_EQ(OctaveLabels(512), (std::vector<std::string>{"1", "2", "4", "8", "16", "32", "64",
                                                           "128", "256", "512"}));
    EXPECT_EQ(OctaveLabels(4), (std::vector<std::string>{"1", "2", "4"}));
    EXPECT_EQ(OctaveLabels(1), (std::vector<std::string>{"1"}));
    EXPECT_EQ(OctaveLabels(3), (std::vector<std::string>{"1", "2"}));
    // Millions of harmonics: every third octave, still whole numbers.
    EXPECT_EQ(OctaveLabels(5e6), (std::vector<std::string>{"1", "8", "64", "512", "4096", "32768",
                                                           "262144", "2097152"}));
    EXPECT_LE(OctaveLabels(double(1 << 30)).size(), 12u);
}

} // namespace
