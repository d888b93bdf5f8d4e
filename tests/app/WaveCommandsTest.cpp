// The Wave menu through the view: each command, its steps back and forth, and the title and
// view that go with them.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/support/Timing.h"

#include "platform/WndHost.h"
#include "tests/app/ViewFixture.h"

namespace {

TEST_F(ViewTest, ExportTableWritesTheChosenFormAndChangesNothing) {
    New(3);
    view.Graph().modified = true;
    TableOptions o;
    o.type = TableType::Q15;
    o.includeStdint = false;
    dialogs.tables.push_back(o);
    Choose(dir / "t.h");
    Run(ID_WAVE_EXPORT_TABLE);
    EXPECT_EQ(ReadAll(dir / "t.h"), "const int16_t Table[3] = {\n    0, 0, 0\n};\n");
    EXPECT_TRUE(view.IsModified());
    EXPECT_EQ(title, "Tarvelin 1.7 - [new*]");
    EXPECT_EQ(dialogs.requests.back().defaultExtension, "h");
    EXPECT_EQ(view.TableExportOptions().type, TableType::Q15); // kept for the next time
    Run(ID_WAVE_EXPORT_TABLE); // Cancel in the options: no file dialog
    EXPECT_EQ(dialogs.requests.size(), 1u);
    dialogs.tables.push_back(o);
    Choose(dir / "no-folder" / "t.h");
    Run(ID_WAVE_EXPORT_TABLE);
    EXPECT_EQ(dialogs.messages.back(), "File save error!");
}

} // namespace

namespace {

std::vector<double> ViewSamples(const CWaveformView& view) {
    std::vector<double> ys;
    for (std::uint32_t i = 0; i < view.SampleCount(); ++i)
        ys.push_back(view.Samples()[i].y);
    return ys;
}

TEST_F(ViewTest, TransformsActOnTheChosenSamplesAsOneStepEach) {
    std::ofstream(dir / "w.txt", std::ios::binary) << "1\r\n-2\r\n3\r\n-4\r\n5\r\n";
    Choose(dir / "w.txt");
    Run(ID_FILE_OPEN);
    const std::vector<double> original = ViewSamples(view);

    // Values that make no sense are refused before anything is done: no step, no change.
    for (UINT id : {ID_WAVE_CLIP, ID_WAVE_QUANTISE}) {
        dialogs.transforms.push_back([](TransformRequest& r) {
            std::swap(r.values[r.values.size() - 2].value, r.values.back().value);
        });
        Run(id);
        EXPECT_NE(dialogs.messages.back().find("High."), std::string::npos);
    }
    EXPECT_EQ(dialogs.messages.front(), "Low must not lie above High.");
    EXPECT_EQ(ViewSamples(view), original);
    EXPECT_EQ(view.History().Steps(), 0u);
    EXPECT_FALSE(view.IsModified());

    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 10; });
    Run(ID_WAVE_NORMALISE);
    EXPECT_EQ(dialogs.transformRequests.back().title, "Normalise");
    EXPECT_EQ(dialogs.transformRequests.back().last, 4u); // all samples unless told
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{2, -4, 6, -8, 10}));
    EXPECT_TRUE(view.IsModified());

    dialogs.transforms.push_back([](TransformRequest& r) { r.first = 1, r.last = 3; });
    Run(ID_WAVE_REVERSE);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{2, -8, 6, -4, 10}));

    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 4; }); // even
    Run(ID_WAVE_SMOOTH);
    EXPECT_NE(dialogs.messages.back().find("left as they were"), std::string::npos);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{2, -8, 6, -4, 10}));

    Run(ID_WAVE_INVERT); // Cancel: nothing
    EXPECT_EQ(view.History().Steps(), 2u);
    Run(ID_WAVE_UNDO);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(ViewSamples(view), original);
    Run(ID_WAVE_REDO);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{2, -4, 6, -8, 10}));
}

} // namespace

namespace {

TEST_F(ViewTest, GenerateShowsItsPreviewAndIsOneStep) {
    New(16);
    const std::vector<double> zeros(16, 0.0);
    CPlot& g = view.Graph();
    dialogs.generates.push_back([&](GeneratorOptions& o, std::uint32_t& n, auto& preview) {
        o.shape = Shape::Square;
        EXPECT_EQ(preview(o, n), "");
        EXPECT_NE(g.SeriesAt(0).points, view.Samples()); // shown, not yet written
        EXPECT_EQ(g.SeriesAt(0).points[0].y, 1);
        o.expression = "sin(";
        o.shape = Shape::Expression;
        EXPECT_NE(preview(o, n).find("cannot be used"), std::string::npos);
        return false; // Cancel
    });
    Run(ID_WAVE_GENERATE);
    EXPECT_EQ(g.SeriesAt(0).points, view.Samples());
    EXPECT_EQ(ViewSamples(view), zeros);
    EXPECT_FALSE(view.IsModified());

    dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t&, auto&) {
        o.shape = Shape::Square;
        o.duty = 25;
        return true;
    });
    Run(ID_WAVE_GENERATE);
    EXPECT_EQ(ViewSamples(view)[3], 1);
    EXPECT_EQ(ViewSamples(view)[4], -1);
    EXPECT_TRUE(view.IsModified());
    dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t& n, auto&) {
        o.shape = Shape::Sine;
        n = 64; // a new count
        return true;
    });
    Run(ID_WAVE_GENERATE);
    EXPECT_EQ(view.SampleCount(), 64u);
    EXPECT_EQ(g.SeriesAt(0).points, view.Samples());
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(view.SampleCount(), 16u);
    EXPECT_EQ(ViewSamples(view)[3], 1);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(ViewSamples(view), zeros);
    Run(ID_WAVE_REDO);
    Run(ID_WAVE_REDO);
    EXPECT_EQ(view.SampleCount(), 64u);
}

TEST_F(ViewTest, GenerateIntoAnEmptyViewMakesANewWaveform) {
    dialogs.generates.push_back([](GeneratorOptions&, std::uint32_t&, auto&) { return true; });
    Run(ID_WAVE_GENERATE);
    EXPECT_EQ(view.SampleCount(), 256u);
    EXPECT_EQ(title, "Tarvelin 1.7 - [new*]");
    EXPECT_EQ(view.Tool(), ToolPan);
    EXPECT_NEAR(view.Samples()[64].y, 1, 1e-12);
}

} // namespace

namespace {

TEST_F(ViewTest, ResampleMakesTheTableItsNewLengthAsOneStep) {
    std::ofstream(dir / "w.txt", std::ios::binary) << "0\r\n1\r\n2\r\n3\r\n";
    Choose(dir / "w.txt");
    Run(ID_FILE_OPEN);
    dialogs.transforms.push_back([](TransformRequest& r) {
        EXPECT_FALSE(r.range);
        r.values[0].value = 7;
        r.choice = 0; // linear
    });
    Run(ID_WAVE_RESAMPLE);
    ASSERT_EQ(view.SampleCount(), 7u);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{0, 0.5, 1, 1.5, 2, 2.5, 3}));
    EXPECT_EQ(view.Samples()[6].x, 6);
    EXPECT_EQ(view.Graph().SeriesAt(0).pointCount, 7);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{0, 1, 2, 3}));
    // The dialog opens with the method and the option last chosen.
    dialogs.transforms.push_back([](TransformRequest& r) {
        EXPECT_EQ(r.choice, 0);
        r.checked = true;
    });
    Run(ID_WAVE_RESAMPLE);
    dialogs.transforms.push_back([](TransformRequest& r) { EXPECT_TRUE(r.checked); });
    Run(ID_WAVE_RESAMPLE);
}

} // namespace

namespace {

TEST_F(ViewTest, ImportsReplaceTheWaveformAsOneStepAndMistakesChangeNothing) {
    New(3);
    dialogs.clipboard = "1 2, 3;4";
    Run(ID_WAVE_PASTE);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(title, "Tarvelin 1.7 - [clipboard*]");
    EXPECT_TRUE(view.IsModified());
    EXPECT_EQ(view.Tool(), ToolPan);

    // Commas that may be decimal points: the user says which they are.
    for (int answer : {IDYES, IDNO}) {
        dialogs.clipboard = "1,5 2,25 -3,75";
        dialogs.answers.push_back(IDYES); // discard the unsaved import
        dialogs.answers.push_back(answer);
        Run(ID_WAVE_PASTE);
        EXPECT_NE(dialogs.messages.back().find("decimal point"), std::string::npos);
        EXPECT_EQ(ViewSamples(view).size(), answer == IDYES ? 3u : 6u);
    }
    Run(ID_WAVE_UNDO);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{1, 2, 3, 4}));

    dialogs.clipboard = "5 6 oops";
    dialogs.answers.push_back(IDYES); // discard the unsaved import
    Run(ID_WAVE_PASTE);
    EXPECT_NE(dialogs.messages.back().find("not a number"), std::string::npos);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{1, 2, 3, 4})); // untouched

    std::ofstream(dir / "data.csv", std::ios::binary) << "t;v\n0;0.5\n1;-1.5\n";
    dialogs.answers.push_back(IDYES);
    Choose(dir / "data.csv", 2);
    dialogs.transforms.push_back([](TransformRequest& r) {
        r.values[0].value = 2;
        r.values[1].value = 1;
        r.choice = 1; // semicolon
    });
    Run(ID_WAVE_IMPORT);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{0.5, -1.5}));
    EXPECT_EQ(title, "Tarvelin 1.7 - [data.csv*]");
    Choose(dir / "saved.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(dialogs.requests.back().initialFile, ""); // asks for a name, as after New

    Run(ID_WAVE_UNDO); // back to the pasted numbers
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{1, 2, 3, 4}));
}

} // namespace

namespace {

// A 16-bit mono WAV file of these samples; `promise` frames in its header (0: as many as it
// holds), so a cut file can be made.
void WriteWav(const fs::path& path, const std::vector<std::int16_t>& samples,
              std::uint32_t promise = 0) {
    const std::uint32_t data = 2 * std::uint32_t(promise ? promise : samples.size());
    std::string b = "RIFF";
    auto u32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b += char(v >> (8 * i));
    };
    auto u16 = [&b](std::uint32_t v) {
        b += char(v);
        b += char(v >> 8);
    };
    u32(36 + data);
    b += "WAVEfmt ";
    u32(16);
    u16(1);     // PCM
    u16(1);     // mono
    u32(8000);  // rate
    u32(16000); // bytes a second
    u16(2);     // bytes a frame
    u16(16);
    b += "data";
    u32(data);
    for (std::int16_t s : samples)
        u16(std::uint16_t(s));
    std::ofstream(path, std::ios::binary) << b;
}

struct AxesState {
    double xMin, xMax, yMin, yMax;
    bool operator==(const AxesState&) const = default;
};

AxesState Axes(CWaveformView& view) {
    const CPlotAxis& x = view.Graph().XAxisAt(0);
    const CPlotAxis& y = view.Graph().YAxisAt(0);
    return {x.viewMin, x.viewMax, y.viewMin, y.viewMax};
}

TEST_F(ViewTest, UndoOfAnImportGivesBackTheFileItsNameItsViewAndItsSavedState) {
    std::ofstream(dir / "w3.txt", std::ios::binary) << "1\r\n2\r\n3\r\n";
    Choose(dir / "w3.txt");
    Run(ID_FILE_OPEN);
    const AxesState opened = Axes(view);
    std::vector<std::int16_t> ramp(100);
    for (int i = 0; i < 100; ++i)
        ramp[std::size_t(i)] = std::int16_t(i * 300);
    WriteWav(dir / "imp.wav", ramp);
    Choose(dir / "imp.wav", 2); // the text filter left showing: the file is still sound
    dialogs.transforms.push_back([](TransformRequest& r) {
        EXPECT_EQ(r.choices.front(), "The first channel");
        EXPECT_TRUE(r.values.empty());
    });
    Run(ID_WAVE_IMPORT);
    ASSERT_EQ(view.SampleCount(), 100u);
    EXPECT_EQ(title, "Tarvelin 1.7 - [imp.wav*]");
    EXPECT_GE(Axes(view).xMax, 99);
    EXPECT_TRUE(view.IsModified());

    Run(ID_TOOL_ZOOM); // Undo keeps the tool; only the view is new
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(view.Tool(), ToolZoom);
    EXPECT_EQ(view.Graph().operationMode, ModeZoom);
    EXPECT_EQ(ViewSamples(view), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(title, "Tarvelin 1.7 - [w3.txt]");
    EXPECT_EQ(view.DataPath(), (dir / "w3.txt").string());
    EXPECT_EQ(Axes(view), opened);
    EXPECT_TRUE(view.Graph().XAxisAt(0).showGrid);
    EXPECT_EQ(view.Graph().YAxisAt(0).title, "Y");
    EXPECT_EQ(view.Graph().SeriesAt(0).points, view.Samples());
    EXPECT_FALSE(view.IsModified()) << "the samples are the file's again";
    Run(ID_FILE_NEW); // nothing to lose: no question
    EXPECT_TRUE(dialogs.messages.empty());

    Run(ID_WAVE_REDO);
    EXPECT_EQ(view.SampleCount(), 100u);
    EXPECT_EQ(title, "Tarvelin 1.7 - [imp.wav*]");
    EXPECT_EQ(view.DataPath(), "");
    EXPECT_GE(Axes(view).xMax, 99);
    EXPECT_TRUE(view.IsModified());
    Choose(dir / "imp.txt");
    Run(ID_FILE_SAVE);
    EXPECT_EQ(dialogs.requests.back().initialFile, "");
    Run(ID_WAVE_UNDO);
    EXPECT_TRUE(view.IsModified()) << "the file now holds the import";
    EXPECT_EQ(title, "Tarvelin 1.7 - [w3.txt]");
    Run(ID_WAVE_REDO);
    EXPECT_FALSE(view.IsModified());
    EXPECT_EQ(title, "Tarvelin 1.7 - [imp.txt]");
    EXPECT_EQ(view.SavePath(), (dir / "imp.txt").string());
}

TEST_F(ViewTest, UndoingBackToTheFileIsNoChangeAndLeavingItIs) {
    std::ofstream(dir / "w.txt", std::ios::binary) << "1\r\n2\r\n";
    Choose(dir / "w.txt");
    Run(ID_FILE_OPEN);
    dialogs.transforms.push_back([](TransformRequest&) {});
    Run(ID_WAVE_INVERT);
    EXPECT_TRUE(view.IsModified());
    Run(ID_WAVE_UNDO);
    EXPECT_FALSE(view.IsModified());
    Run(ID_WAVE_REDO);
    EXPECT_TRUE(view.IsModified());
    Choose(dir / "w.txt");
    Run(ID_FILE_SAVE);
    Run(ID_WAVE_UNDO);
    EXPECT_TRUE(view.IsModified());
    Run(ID_WAVE_REDO);
    EXPECT_FALSE(view.IsModified());

    dialogs.tables.push_back(TableOptions()); // another file written: not the waveform's
    Choose(dir / "t.h");
    Run(ID_WAVE_EXPORT_TABLE);
    Choose(dir / "w.h");
    Run(ID_FILE_SAVE_C);
    Run(ID_WAVE_UNDO);
    EXPECT_TRUE(view.IsModified());
    Run(ID_WAVE_REDO);
    EXPECT_FALSE(view.IsModified());
}

TEST_F(ViewTest, ResamplingToFewerSamplesShowsThemOnNewAxes) {
    New(300);
    const AxesState fresh = Axes(view);
    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 30; });
    Run(ID_WAVE_RESAMPLE);
    ASSERT_EQ(view.SampleCount(), 30u);
    EXPECT_LT(Axes(view).xMax, 40);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Axes(view), fresh);
    EXPECT_FALSE(view.IsModified());
}

// Samples that a command takes out of the shown Y range bring Y back to them all; X stays,
// and samples that stay within leave the view as the user set it.
TEST_F(ViewTest, ACommandThatThrowsTheCurveOutOfViewRefitsY) {
    New(100);
    dialogs.generates.push_back([](GeneratorOptions&, std::uint32_t&, auto&) { return true; });
    Run(ID_WAVE_GENERATE);
    Paint();
    const AxesState sine = Axes(view);
    ASSERT_LT(sine.yMax, 10);
    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 1000; });
    Run(ID_WAVE_SCALE);
    AxesState scaled = Axes(view);
    EXPECT_EQ(std::pair(scaled.xMin, scaled.xMax), std::pair(sine.xMin, sine.xMax));
    double low = 0, high = 0;
    for (std::uint32_t i = 0; i < view.SampleCount(); ++i) {
        low = std::min(low, view.Samples()[i].y);
        high = std::max(high, view.Samples()[i].y);
    }
    EXPECT_EQ(std::pair(scaled.yMin, scaled.yMax), std::pair(low, high)) << "as View Reset";
    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 0.5; });
    Run(ID_WAVE_SCALE);
    EXPECT_EQ(Axes(view), scaled);
    Run(ID_WAVE_UNDO);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Axes(view), scaled) << "the sine lies within";
    Run(ID_WAVE_REDO);
    Run(ID_TOOL_VIEW_RESET);
    EXPECT_EQ(std::pair(Axes(view).yMin, Axes(view).yMax), std::pair(low, high));
}

// Every Wave command on a long waveform, its undo and redo, run through the long-work runner,
// the graph showing its last picture meanwhile (it is not painted from samples that change).
TEST_F(ViewTest, LongWaveCommandsAndTheirUndoRunOffTheWindowsThread) {
    New(64);
    view.inlineLimit = 16;
    Paint();
    std::vector<bool> held;
    dialogs.whileLong = [&] { held.push_back(view.Graph().Host()->held); };
    dialogs.transforms.push_back([](TransformRequest&) {});
    Run(ID_WAVE_INVERT);
    Run(ID_WAVE_UNDO);
    Run(ID_WAVE_REDO);
    dialogs.generates.push_back([](GeneratorOptions&, std::uint32_t&, auto&) { return true; });
    Run(ID_WAVE_GENERATE);
    EXPECT_EQ(dialogs.longWork, (std::vector<std::string>{"Invert...", "Undoing...", "Redoing...",
                                                          "Generating...", "Generating..."}));
    // Making the new waveform reads the samples only; putting it in place writes them.
    EXPECT_EQ(held, (std::vector<bool>{true, true, true, false, true}));
    EXPECT_FALSE(view.Graph().Host()->held) << "let go at the end";
    EXPECT_EQ(view.History().Steps(), 2u);
    EXPECT_NEAR(view.Samples()[16].y, 1, 1e-12); // the generated sine's peak

    // A step that replaces the waveform copies it off the window's thread too; the graph is
    // rebuilt from the new samples afterwards.
    dialogs.longWork.clear();
    held.clear();
    dialogs.transforms.push_back([](TransformRequest& r) { r.values[0].value = 128; });
    Run(ID_WAVE_RESAMPLE);
    Run(ID_WAVE_UNDO);
    Run(ID_WAVE_REDO);
    EXPECT_EQ(dialogs.longWork, (std::vector<std::string>{"Resampling...", "Resampling...",
                                                          "Undoing...", "Redoing..."}));
    EXPECT_EQ(held, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(view.SampleCount(), 128u);
    EXPECT_EQ(view.Graph().SeriesAt(0).pointCount, 128);
    EXPECT_FALSE(view.Graph().Host()->held);
}

TEST_F(ViewTest, AWholeTableStepIsSmallAtTenMillionSamples) {
    constexpr std::uint32_t n = 10'000'000;
    New(n);
    for (std::uint32_t i = 0; i < n; ++i)
        const_cast<DataPoint*>(view.Samples())[i].y = double(i % 1000);
    auto timed = [&](UINT id) {
        dialogs.transforms.push_back([](TransformRequest&) {});
        return SecondsOf([&] {
            Run(id);
            Paint();
        });
    };
    EXPECT_LT(timed(ID_WAVE_INVERT), HangGuard(0.25));
    EXPECT_EQ(view.Samples()[7].y, -7);
    EXPECT_LE(view.History().Bytes(), 8.0 * n);
    EXPECT_LT(timed(ID_WAVE_UNDO), HangGuard(0.25));
    EXPECT_EQ(view.Samples()[7].y, 7);
    EXPECT_LT(timed(ID_WAVE_REDO), HangGuard(0.25));
    EXPECT_EQ(view.Samples()[7].y, -7);
}

// Another form proposes the last path with its own extension, and the WAV's sample format
// does not change the words' width or signedness kept for the other forms.
TEST_F(ViewTest, ExportTableProposesTheFormsExtension) {
    New(8);
    TableOptions mem;
    mem.format = TableFormat::Mem;
    mem.width = 12;
    dialogs.tables.push_back(mem);
    Choose(dir / "t.mem");
    Run(ID_WAVE_EXPORT_TABLE);
    EXPECT_EQ(dialogs.requests.back().defaultExtension, "mem");
    TableOptions wav = mem;
    wav.format = TableFormat::Wav;
    wav.wavBits = 24;
    dialogs.tables.push_back(wav);
    Choose(dir / "t.wav");
    Run(ID_WAVE_EXPORT_TABLE);
    EXPECT_EQ(dialogs.requests.back().initialFile, (dir / "t.wav").string());
    EXPECT_EQ(dialogs.requests.back().filter, "Sound file (*.wav)|*.wav||");
    EXPECT_EQ(ReadAll(dir / "t.wav").substr(0, 4), "RIFF");
    EXPECT_EQ(view.TableExportOptions().width, 12);
    EXPECT_FALSE(view.TableExportOptions().widthSigned);
}

TEST_F(ViewTest, ACutWavFileSaysWhatItHoldsAndTheUserChooses) {
    New(3);
    WriteWav(dir / "cut.wav", std::vector<std::int16_t>(250, 1000), 1000);
    for (int answer : {IDNO, IDYES}) {
        Choose(dir / "cut.wav");
        dialogs.transforms.push_back([](TransformRequest&) {});
        dialogs.answers.push_back(answer);
        Run(ID_WAVE_IMPORT);
        EXPECT_EQ(dialogs.messages.back(), "cut.wav holds 250 of the 1,000 frames its header "
                                           "promises.\nImport the frames that are there?");
        EXPECT_EQ(view.SampleCount(), answer == IDYES ? 250u : 3u);
    }
}

} // namespace

namespace {

// Far more than the machine has: the preview says so inside the dialog (nothing escapes into
// the window system), and the refused Generate keeps the steps that can still be undone, as
// dropping them would not have made room enough.
TEST_F(ViewTest, AGenerateBeyondMemoryIsRefusedAndKeepsTheHistory) {
    New(64);
    dialogs.transforms.push_back([](TransformRequest&) {});
    Run(ID_WAVE_INVERT);
    ASSERT_EQ(view.History().Steps(), 1u);
    std::string said;
    dialogs.generates.push_back([&](GeneratorOptions& o, std::uint32_t& n, auto& preview) {
        said = preview(o, 2147483647u);
        n = 2147483647u;
        return true;
    });
    Run(ID_WAVE_GENERATE);
    EXPECT_EQ(said, "Out of memory.");
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Out of memory."});
    EXPECT_EQ(view.History().Steps(), 1u);
    EXPECT_EQ(view.SampleCount(), 64u);
    EXPECT_EQ(view.Graph().SeriesAt(0).points, view.Samples()) << "the preview is let go";
}

} // namespace
