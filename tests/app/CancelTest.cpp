// Every long command, cancelled midway, leaves the editor and the disk as they were.
#include <gtest/gtest.h>

#include <cmath>

#include "files/DataFileWriter.h"
#include "tests/app/ViewFixture.h"

namespace {

// What a user could see or lose.
struct State {
    std::vector<double> ys;
    std::string title, dataPath, savePath, exportPath;
    bool modified, atSaved;
    std::size_t steps;
    std::vector<std::pair<std::string, std::string>> files; // name and bytes, sorted
    bool operator==(const State&) const = default;
};

struct CancelTest : ViewTest {
    fs::path text; // in the test's own folder, known once it is made
    void SetUp() override {
        ViewTest::SetUp();
        text = dir / "long.txt";
        New(1000);
        dialogs.generates.push_back([](GeneratorOptions&, std::uint32_t&, auto&) { return true; });
        Run(ID_WAVE_GENERATE);
        std::string lines;
        for (int i = 0; i < 300000; ++i)
            lines += std::to_string(std::sin(i * 0.001)) + "\n";
        std::ofstream(text, std::ios::binary) << lines;
        std::ofstream(dir / "old.txt", std::ios::binary) << "1.000000\r\n";
    }
    State Now() {
        State s;
        for (std::uint32_t i = 0; view.Samples() && i < view.SampleCount(); ++i)
            s.ys.push_back(view.Samples()[i].y);
        s.title = title;
        s.dataPath = view.DataPath();
        s.savePath = view.SavePath();
        s.exportPath = view.ExportPath();
        s.modified = view.IsModified();
        s.atSaved = view.History().AtSaved();
        s.steps = view.History().Steps();
        for (const auto& e : fs::directory_iterator(dir))
            s.files.emplace_back(e.path().filename().string(), ReadAll(e.path()));
        std::sort(s.files.begin(), s.files.end());
        return s;
    }
    // Runs the command cancelled at `step`, and checks that nothing changed.
    void Cancelled(UINT id, int step, const std::function<void()>& answers) {
        const State before = Now();
        answers();
        dialogs.cancels.push_back(step);
        dialogs.messages.clear();
        Run(id);
        EXPECT_TRUE(dialogs.cancels.empty()) << id << ": no long work was run";
        dialogs.cancels.clear();
        EXPECT_TRUE(Now() == before) << id << " cancelled at step " << step;
        for (const std::string& m : dialogs.messages) // only the question before a new waveform
            EXPECT_EQ(m, "Waveform not saved.\nDo you want to continue?");
    }
};

TEST_F(CancelTest, EachLongCommandCancelledMidwayChangesNothing) {
    // Steps are taken as the work goes: a cancel at the second lands in the middle.
    Cancelled(ID_FILE_OPEN, 2, [&] {
        dialogs.answers.push_back(IDYES);
        Choose(text);
    });
    EXPECT_EQ(dialogs.longWork.back(), "Opening long.txt...");
    Cancelled(ID_WAVE_IMPORT, 0, [&] {
        dialogs.answers.push_back(IDYES);
        Choose(text);
        dialogs.transforms.push_back([](TransformRequest&) {});
    });
    Cancelled(ID_FILE_SAVE, 1, [&] { Choose(dir / "old.txt"); });
    Cancelled(ID_FILE_SAVE_C, 1, [&] { Choose(dir / "old.txt", 2); });
    Cancelled(ID_WAVE_EXPORT_TABLE, 1, [&] {
        dialogs.tables.push_back(TableOptions());
        Choose(dir / "old.txt");
    });
    for (int method = 0; method < 4; ++method)
        Cancelled(ID_WAVE_RESAMPLE, 1, [&] {
            dialogs.transforms.push_back([method](TransformRequest& r) {
                r.values[0].value = 400000;
                r.choice = method;
            });
        });
    Cancelled(ID_WAVE_GENERATE, 1, [&] {
        dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t& n, auto&) {
            o.shape = Shape::Expression;
            o.expression = "sin(x * 7)";
            n = 300000;
            return true;
        });
    });
    view.inlineLimit = 0; // every transform through the worker
    for (UINT id : {ID_WAVE_INVERT, ID_WAVE_SMOOTH, ID_WAVE_NORMALISE})
        Cancelled(id, 0, [&] { dialogs.transforms.push_back([](TransformRequest&) {}); });
}

TEST_F(CancelTest, LongCommandsLetAloneGoToTheirEnd) {
    view.inlineLimit = 0;
    const std::vector<double> before = Now().ys;
    dialogs.transforms.push_back([](TransformRequest&) {});
    Run(ID_WAVE_INVERT);
    ASSERT_EQ(view.History().Steps(), 2u); // Generate, then Invert as one step
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(view.Samples()[i].y, -before[i]) << i;
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Now().ys, before);

    Choose(text);
    dialogs.answers.push_back(IDYES);
    Run(ID_FILE_OPEN);
    EXPECT_EQ(view.SampleCount(), 300000u);
    EXPECT_GT(dialogs.steps, 2);
    EXPECT_EQ(title, "Tarvelin 1.7 - [long.txt]");
}

// A file written over in place (it has another name) cannot be cancelled once its old bytes
// are being replaced: the save goes on to its end, and counts.
TEST_F(CancelTest, AWriteInPlaceGoesOnPastItsPointOfNoReturn) {
    const fs::path linked = dir / "linked.txt";
    fs::create_hard_link(dir / "old.txt", linked);
    Choose(linked);
    dialogs.cancels.push_back(1); // the first step is in the dry run: nothing written yet
    Run(ID_FILE_SAVE);
    EXPECT_EQ(ReadAll(linked), "1.000000\r\n");
    EXPECT_TRUE(view.IsModified());
    Choose(linked);
    const int dryRun = dialogs.steps;
    dialogs.cancels.push_back(dryRun + 2); // while the file is being written over
    Run(ID_FILE_SAVE);
    std::string want;
    WriteDataFile(StringSink(want), view.Samples(), view.SampleCount());
    EXPECT_EQ(ReadAll(linked), want);
    EXPECT_EQ(ReadAll(dir / "old.txt"), want); // the same file
    EXPECT_FALSE(view.IsModified());
}

} // namespace
