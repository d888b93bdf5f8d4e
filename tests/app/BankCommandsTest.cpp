// Wave > Bank through the view: a bank opened, stepped through, edited, reordered, undone and
// saved, as a user does it with scripted answers.
#include <gtest/gtest.h>

#include <random>

#include "files/bank/CsvBank.h"
#include "tests/app/ViewFixture.h"
#include "wave/BankFile.h"

namespace {

// Frame k holds k + i / 1000.
void WriteBank(const fs::path& p, std::uint32_t frames, std::uint32_t n) {
    BankValues bank{n, frames, {}};
    for (std::uint32_t k = 0; k < frames; ++k)
        for (std::uint32_t i = 0; i < n; ++i)
            bank.values.push_back(k + i / 1000.0);
    std::string text;
    WriteCsvBank(StringSink(text), bank);
    std::ofstream(p, std::ios::binary) << text;
}

struct BankTest : ViewTest {
    const CWaveBank& Bank() { return *view.OpenBank(); }
    std::uint32_t Current() { return Bank().Current(); }
    double First() { return view.Samples()[0].y; }
    // Every frame's values, the shown one read from the view.
    std::vector<double> All() { return Bank().Values(view.Samples()).values; }
    void Open(const fs::path& p) {
        Choose(p);
        Run(ID_BANK_OPEN);
    }
    void Answer(std::function<void(TransformRequest&)> answer = [](TransformRequest&) {}) {
        dialogs.transforms.push_back(std::move(answer));
    }
};

TEST_F(BankTest, ABankIsSteppedThroughEditedReorderedUndoneAndSaved) {
    WriteBank(dir / "bank.csv", 4, 64);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr) << dialogs.messages.back();
    EXPECT_EQ(title, "Tarvelin 1.7 - [bank.csv]");
    EXPECT_EQ(view.SampleCount(), 64u);
    EXPECT_EQ(Bank().Frames(), 4u);
    EXPECT_DOUBLE_EQ(view.Samples()[1].y, 0.001);
    const CPlotAxis x = view.Graph().XAxisAt(0);

    Run(ID_BANK_NEXT);
    EXPECT_EQ(Current(), 1u);
    EXPECT_EQ(First(), 1.0);
    EXPECT_FALSE(view.IsModified()); // showing another frame changes nothing
    EXPECT_EQ(view.Graph().XAxisAt(0).viewMin, x.viewMin);
    Answer();
    Run(ID_WAVE_INVERT); // frame 1
    Run(ID_BANK_NEXT);
    Answer();
    Run(ID_WAVE_INVERT); // frame 2
    EXPECT_TRUE(view.IsModified());
    Run(ID_BANK_EARLIER); // frame 2 to place 1
    EXPECT_EQ(Current(), 1u);
    EXPECT_EQ(First(), -2.0);
    const std::vector<double> edited = All();

    // Undo shows the frame each step changed.
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Current(), 2u);
    EXPECT_EQ(First(), -2.0);
    Run(ID_BANK_PREVIOUS);
    Run(ID_BANK_PREVIOUS);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Current(), 2u);
    EXPECT_EQ(First(), 2.0);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Current(), 1u);
    EXPECT_EQ(First(), 1.0);
    EXPECT_FALSE(view.IsModified()); // back at what the file holds
    for (int i = 0; i < 3; ++i)
        Run(ID_WAVE_REDO);
    EXPECT_EQ(All(), edited);

    // Saved as a Serum bank: frames of 64 are no Serum frames, which is said first.
    Answer([](TransformRequest& r) { r.choice = 0; });
    dialogs.answers.push_back(IDYES);
    Choose(dir / "out.wav");
    Run(ID_BANK_SAVE);
    EXPECT_NE(dialogs.messages.back().find("2048"), std::string::npos);
    EXPECT_EQ(title, "Tarvelin 1.7 - [out.wav]");
    EXPECT_FALSE(view.IsModified());
    BankFileRead read = ReadBankFile((dir / "out.wav").string());
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.frameSizeFrom, "clm");
    ASSERT_EQ(read.bank.values.size(), edited.size());
    for (std::size_t i = 0; i < edited.size(); ++i)
        ASSERT_EQ(read.bank.values[i], double(float(edited[i]))) << i;

    // As WaveEdit's 64 x 256: the frames resampled and the rest silent, both said first.
    Answer([](TransformRequest& r) { r.choice = 1; });
    dialogs.answers.push_back(IDYES);
    Choose(dir / "we.wav");
    Run(ID_BANK_SAVE);
    EXPECT_NE(dialogs.messages.back().find("resampled from 64"), std::string::npos);
    EXPECT_NE(dialogs.messages.back().find("60 after the bank's are written silent"),
              std::string::npos);
    EXPECT_EQ(fs::file_size(dir / "we.wav"), 44u + 2 * 64 * 256);
    EXPECT_EQ(title, "Tarvelin 1.7 - [we.wav]");
    EXPECT_EQ(view.SampleCount(), 64u); // the bank itself stays as it is

    // Save writes the frame shown when asked to, and the bank stays unsaved.
    Answer();
    Run(ID_WAVE_INVERT);
    dialogs.answers.push_back(IDNO);
    Choose(dir / "frame.txt");
    Run(ID_FILE_SAVE);
    EXPECT_TRUE(fs::exists(dir / "frame.txt"));
    EXPECT_TRUE(view.IsModified());
    EXPECT_EQ(title, "Tarvelin 1.7 - [we.wav]");
    const std::size_t asked = dialogs.requests.size();
    dialogs.answers.push_back(IDCANCEL);
    Run(ID_FILE_SAVE);
    EXPECT_EQ(dialogs.requests.size(), asked); // Cancel: nothing saved, nothing asked

    // A C table of the bank, [F][N].
    TableOptions o;
    o.type = TableType::Float;
    dialogs.tables.push_back(o);
    dialogs.answers.push_back(IDYES);
    Choose(dir / "bank.h");
    Run(ID_BANK_EXPORT_TABLE);
    EXPECT_NE(ReadAll(dir / "bank.h").find("const float Table[4][64] = {"), std::string::npos);

    // Deleted, then given back; duplicated; then kept as the one waveform.
    const std::vector<double> before = All();
    Run(ID_BANK_DELETE);
    EXPECT_EQ(Bank().Frames(), 3u);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(All(), before);
    Run(ID_BANK_DUPLICATE);
    EXPECT_EQ(Bank().Frames(), 5u);
    Run(ID_BANK_NEW); // the query names the bank, and No keeps it
    EXPECT_EQ(dialogs.messages.back(), "Bank not saved.\nDo you want to continue?");
    EXPECT_EQ(Bank().Frames(), 5u);
    EXPECT_EQ(Current(), 2u);
    dialogs.answers.push_back(IDYES);
    Run(ID_BANK_TAKE_FRAME);
    EXPECT_EQ(view.OpenBank(), nullptr);
    EXPECT_EQ(view.SampleCount(), 64u);
    EXPECT_EQ(title, "Tarvelin 1.7 - [frame 3*]");
    EXPECT_FALSE(view.History().CanUndo());
}

// Random commands over random frames: undoing them all gives the bank back bit for bit, and
// redoing them all the bank they made.
TEST_F(BankTest, UndoingAndRedoingEveryRandomStepGivesBothBanksBack) {
    WriteBank(dir / "bank.csv", 5, 16);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    const std::vector<double> start = All();
    std::mt19937 random(20261209);
    const UINT commands[] = {ID_BANK_NEXT,      ID_BANK_PREVIOUS, ID_BANK_ADD,
                             ID_BANK_DUPLICATE, ID_BANK_DELETE,   ID_BANK_EARLIER,
                             ID_BANK_LATER,     ID_WAVE_INVERT,   ID_WAVE_REVERSE};
    for (int i = 0; i < 200; ++i) {
        const UINT id = commands[random() % std::size(commands)];
        if (id == ID_WAVE_INVERT || id == ID_WAVE_REVERSE) { // over random frames
            const std::uint32_t a = random() % Bank().Frames(), b = random() % Bank().Frames();
            Answer([a, b](TransformRequest& r) {
                r.firstFrame = a;
                r.lastFrame = b;
            });
        }
        Run(id);
    }
    const std::vector<double> made = All();
    while (view.History().CanUndo())
        Run(ID_WAVE_UNDO);
    EXPECT_EQ(All(), start);
    while (view.History().CanRedo())
        Run(ID_WAVE_REDO);
    EXPECT_EQ(All(), made);
}

TEST_F(BankTest, AFileThatSaysNoFrameSizeAsksForOneAndAMalformedOneChangesNothing) {
    std::ofstream(dir / "flat.csv") << "0,1,2,3,4,5,6,7,8,9,10,11\n";
    Answer([](TransformRequest& r) {
        EXPECT_EQ(r.values[0].value, 12);
        r.values[0].value = 4;
    });
    Open(dir / "flat.csv"); // one line: a bank of one frame, no question
    ASSERT_NE(view.OpenBank(), nullptr);
    EXPECT_EQ(Bank().Frames(), 1u);
    dialogs.transforms.clear();

    New(10);
    std::ofstream(dir / "bad.wt", std::ios::binary) << std::string("vawt\x00\x01\0\0\0\0\0\0", 12);
    Open(dir / "bad.wt");
    EXPECT_EQ(view.OpenBank(), nullptr);
    EXPECT_EQ(view.SampleCount(), 10u);
    EXPECT_NE(dialogs.messages.back().find("0 frames"), std::string::npos);

    // Samples with no frame size: the proposal and its reason, another size chosen.
    BankValues flat{2048, 4, std::vector<double>(8192, 0.25)};
    std::string wav;
    BankWavLayout plain;
    plain.frameSizeChunks = false;
    WriteBankWav(StringSink(wav), flat, plain);
    std::ofstream(dir / "plain.wav", std::ios::binary) << wav;
    std::string reason;
    Answer([&](TransformRequest& r) {
        reason = r.note;
        EXPECT_EQ(r.values[0].value, 2048);
        r.values[0].value = 3000; // no whole number of frames: the dialog stays open
        EXPECT_NE(r.check(r), "");
        r.values[0].value = 1024;
        EXPECT_EQ(r.check(r), "");
    });
    Open(dir / "plain.wav");
    EXPECT_NE(reason.find("2048"), std::string::npos);
    ASSERT_NE(view.OpenBank(), nullptr);
    EXPECT_EQ(Bank().Frames(), 8u);
    EXPECT_EQ(view.SampleCount(), 1024u);
}

// A transform over many frames is one step, and Normalise can take the frames as one.
TEST_F(BankTest, ATransformOverFramesIsOneStepAndNormaliseKeepsTheirLevelsAsOne) {
    WriteBank(dir / "bank.csv", 4, 8);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    const std::vector<double> start = All();
    Answer([](TransformRequest& r) {
        EXPECT_EQ(r.frames, 4u);
        EXPECT_EQ(r.firstFrame, 0u); // the frame shown
        EXPECT_EQ(r.asOne, "");
        r.firstFrame = 1;
        r.lastFrame = 3;
    });
    Run(ID_WAVE_INVERT);
    std::vector<double> want = start;
    for (std::size_t i = 8; i < want.size(); ++i)
        want[i] = -want[i];
    EXPECT_EQ(All(), want);
    EXPECT_EQ(Current(), 0u);
    EXPECT_EQ(view.History().Steps(), 1u);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(All(), start);
    Run(ID_WAVE_REDO);
    EXPECT_EQ(All(), want);

    // Peak 1 over frames 2..4 as one: the loudest (frame 4, 3.007) reaches 1, the others keep
    // their share of it.
    Answer([](TransformRequest& r) {
        EXPECT_NE(r.asOne, "");
        r.firstFrame = 1;
        r.lastFrame = 3;
        r.framesAsOne = true;
    });
    Run(ID_WAVE_NORMALISE);
    const std::vector<double> normalised = All();
    EXPECT_DOUBLE_EQ(normalised[3 * 8 + 7], -1.0);
    EXPECT_DOUBLE_EQ(normalised[8], -1.0 / 3.007);
    EXPECT_EQ(normalised[0], 0.0); // frame 1 untouched
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(All(), want);
}

// A frame that refuses puts back the frames changed before it, and no step is kept.
TEST_F(BankTest, WhereOneFrameRefusesTheFramesChangedBeforeItArePutBack) {
    std::ofstream(dir / "huge.csv") << "1,2,3,4\n1e300,0,0,0\n5,6,7,8\n";
    Open(dir / "huge.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    const std::vector<double> before = All();
    Answer([](TransformRequest& r) {
        r.values[0].value = 1e10; // beyond the doubles on frame 2 alone
        r.lastFrame = 2;
    });
    Run(ID_WAVE_SCALE); // frame 1 is done, then frame 2 refuses
    EXPECT_EQ(All(), before);
    EXPECT_EQ(view.History().Steps(), 0u);
    EXPECT_FALSE(view.IsModified());
    EXPECT_NE(dialogs.messages.back().find("left as they were"), std::string::npos);
}

// Morph makes the frames between two anew, or puts new ones between them, as one step.
TEST_F(BankTest, MorphFillsOrInsertsTheFramesBetweenTwoAsOneStep) {
    WriteBank(dir / "bank.csv", 4, 8);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    const std::vector<double> start = All();
    Answer([this](TransformRequest& r) {
        r.values[0].value = 1;
        r.values[1].value = 4;
        r.choice = 1; // linear: frame 2 is 2/3 of frame 1 and 1/3 of frame 4
        r.preview(r); // the frames to be made, on the graph while choosing
        EXPECT_EQ(view.Graph().SeriesCount(), 3);
        EXPECT_NEAR(view.Graph().SeriesAt(1).points[0].y, 1.0, 1e-12);
    });
    Run(ID_BANK_MORPH);
    EXPECT_EQ(view.Graph().SeriesCount(), 1); // and gone after
    std::vector<double> all = All();
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(all[8 + i], start[i] * 2 / 3 + start[24 + i] / 3, 1e-12) << i;
        EXPECT_NEAR(all[16 + i], start[i] / 3 + start[24 + i] * 2 / 3, 1e-12) << i;
    }
    EXPECT_EQ(view.History().Steps(), 1u);
    Run(ID_BANK_NEXT);
    Run(ID_BANK_NEXT);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(All(), start);
    EXPECT_EQ(Current(), 1u); // the first frame it made

    Answer([](TransformRequest& r) {
        r.values[0].value = 1;
        r.values[1].value = 2;
        r.checked = true;
        r.values[2].value = 3;
    });
    Run(ID_BANK_MORPH);
    EXPECT_EQ(Bank().Frames(), 7u);
    all = All();
    EXPECT_EQ(std::vector<double>(all.begin() + 32, all.begin() + 40),
              std::vector<double>(start.begin() + 8, start.begin() + 16)); // frame 2, now 5th
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(All(), start);
    Run(ID_WAVE_REDO);
    EXPECT_EQ(Bank().Frames(), 7u);
}

// Generate over the frames: one expression, with the frame's f, F and t, as one step.
TEST_F(BankTest, GenerateOverTheFramesGivesEachItsOwnT) {
    WriteBank(dir / "bank.csv", 3, 4);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    dialogs.generates.push_back([](GeneratorOptions& o, std::uint32_t& n, auto& preview) {
        o = GeneratorOptions{}; // as the dialog gives them back: it knows nothing of frames
        o.shape = Shape::Expression;
        o.expression = "t + f * 10 + F * 100";
        return n == 4 && preview(o, n).empty();
    });
    Answer([](TransformRequest& r) { r.lastFrame = 2; });
    Run(ID_WAVE_GENERATE);
    const std::vector<double> all = All();
    EXPECT_EQ(all[0], 300.0);
    EXPECT_EQ(all[4], 310.5);
    EXPECT_EQ(all[11], 321.0);
    EXPECT_EQ(view.History().Steps(), 1u);
}

// Neighbour frames: grey, behind the one shown, following it; a drag over them changes nothing.
TEST_F(BankTest, NeighbourFramesFollowTheFrameShownAndAreNeverGrabbed) {
    WriteBank(dir / "bank.csv", 5, 16);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    Answer([](TransformRequest& r) { r.choice = 1; });
    Run(ID_BANK_NEIGHBOURS);
    EXPECT_EQ(view.Graph().SeriesCount(), 3); // frame 2, and frame 1 once more on top
    Run(ID_BANK_NEXT);
    Run(ID_BANK_NEXT);
    CPlot& g = view.Graph();
    ASSERT_EQ(g.SeriesCount(), 4); // frames 2 and 4, and 3 on top
    EXPECT_EQ(g.SeriesAt(1).points[0].y, 1.0);
    EXPECT_EQ(g.SeriesAt(2).points[0].y, 3.0);
    EXPECT_EQ(g.SeriesAt(3).points, view.Samples());
    EXPECT_FALSE(g.SeriesAt(1).editable);
    EXPECT_TRUE(g.hitEditableOnly);
    // A drag on frame 4's curve, far from the one shown: nothing changes.
    Run(ID_TOOL_EDIT);
    Paint();
    const std::vector<double> before = All();
    const CPoint on(g.XAxisAt(0).PixelOfValue({8, 0}).x + g.SeriesAt(2).markerSize / 2,
                    g.YAxisAt(0).PixelOfValue({0, 3.008}).y);
    g.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(on.x, on.y));
    g.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(on.x, on.y));
    g.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(on.x, on.y + 40));
    g.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(on.x, on.y + 40));
    EXPECT_EQ(All(), before);
    EXPECT_FALSE(view.History().CanUndo());
    Run(ID_BANK_TAKE_FRAME);
    EXPECT_EQ(g.SeriesCount(), 1);
    EXPECT_FALSE(g.hitEditableOnly);
}

// Single-cycle files become frames, each resampled to the bank's frame size, as one step; and
// the frames go back to files of their own.
TEST_F(BankTest, FramesComeFromFilesAndGoBackToThem) {
    WriteBank(dir / "bank.csv", 2, 16);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    std::ofstream(dir / "eight.txt") << "1\n1\n1\n1\n1\n1\n1\n1\n"; // DC: any length alike
    {
        std::ofstream sixteen(dir / "sixteen.txt");
        for (int i = 0; i < 16; ++i)
            sixteen << "2\n";
    }
    dialogs.manyFiles.push_back({(dir / "eight.txt").string(), (dir / "sixteen.txt").string()});
    Run(ID_BANK_FROM_FILES);
    ASSERT_EQ(Bank().Frames(), 4u);
    const std::vector<double> all = All();
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(all[16 + i], 1.0, 1e-9) << i; // resampled from 8
        EXPECT_EQ(all[32 + i], 2.0) << i;
    }
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Bank().Frames(), 2u);

    Choose(dir / "part.txt");
    Run(ID_BANK_SPLIT);
    EXPECT_TRUE(fs::exists(dir / "part-0.txt"));
    EXPECT_TRUE(fs::exists(dir / "part-1.txt"));
    EXPECT_EQ(ReadAll(dir / "part-1.txt").substr(0, 10), "1.000000\r\n");
}

// The waveform shown cut at its zero crossings: a new bank of its cycles.
TEST_F(BankTest, CyclesOfTheWaveformShownBecomeANewBank) {
    New(1000);
    for (std::uint32_t i = 0; i < 1000; ++i) // ten cycles of 100
        const_cast<DataPoint*>(view.Samples())[i].y = std::sin(2 * M_PI * (i + 0.5) / 100);
    view.Graph().modified = false;
    Answer([this](TransformRequest& r) {
        r.choice = 1;
        r.checked = false; // the waveform shown
        r.values[1].value = 32;
        r.preview(r); // the cuts marked on it while choosing
        ASSERT_EQ(view.Graph().SeriesCount(), 2);
        EXPECT_EQ(view.Graph().SeriesAt(1).pointCount, 9);
        EXPECT_NEAR(view.Graph().SeriesAt(1).points[0].x, 99.5, 0.01);
    });
    Run(ID_BANK_CYCLES);
    ASSERT_NE(view.OpenBank(), nullptr) << dialogs.messages.back();
    EXPECT_EQ(Bank().Frames(), 8u); // from the first rising crossing to the last
    EXPECT_EQ(view.SampleCount(), 32u);
    EXPECT_NEAR(view.Samples()[8].y, 1.0, 0.01);
    EXPECT_EQ(title, "Tarvelin 1.7 - [cycles*]");
}

// Mipmaps of the frame shown, as a C table that names each level's highest harmonic.
TEST_F(BankTest, MipmapsOfTheFrameShownGoToACTable) {
    New(64);
    Answer([](TransformRequest& r) {
        EXPECT_EQ(r.values[0].value, 5); // harmonics below 32, 16, 8, 4 and 2
        r.values[0].value = 3;
    });
    Choose(dir / "mips.h");
    Run(ID_BANK_MIPMAPS);
    const std::string text = ReadAll(dir / "mips.h");
    EXPECT_NE(text.find("// level 2: harmonics 0 to 7"), std::string::npos) << text;
    EXPECT_NE(text.find("float Mipmaps[3][64] = {"), std::string::npos) << text;
}

// A stereo bank: the first channel or the mix, as Import asks.
TEST_F(BankTest, ABankOfTwoChannelsIsOpenedAsTheFirstOrTheMix) {
    using namespace std::string_literals;
    std::string wav = "RIFF\x54\0\0\0WAVE"s
                      "fmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0"s
                      "srge\x08\0\0\0\x01\0\0\0\x04\0\0\0"s
                      "data\x20\0\0\0"s;
    for (int i = 0; i < 8; ++i)
        wav += "\x00\x40\x00\xE0"s; // 0.5 and -0.25
    std::ofstream(dir / "stereo.wav", std::ios::binary) << wav;
    for (int mix : {0, 1}) {
        Answer([mix](TransformRequest& r) {
            EXPECT_EQ(r.choices.size(), 2u);
            r.choice = mix;
        });
        Open(dir / "stereo.wav");
        ASSERT_NE(view.OpenBank(), nullptr) << dialogs.messages.back();
        EXPECT_EQ(Bank().Frames(), 2u);
        EXPECT_EQ(First(), mix ? 0.125 : 0.5);
    }
}

TEST_F(BankTest, AWaveformOfAnotherCountCannotTakeAFramesPlace) {
    Answer([](TransformRequest& r) {
        r.values[0].value = 3;
        r.values[1].value = 32;
    });
    Run(ID_BANK_NEW);
    ASSERT_NE(view.OpenBank(), nullptr);
    EXPECT_EQ(title, "Tarvelin 1.7 - [new bank*]");
    // Import of another count cannot take a frame's place.
    std::ofstream(dir / "three.txt") << "1\n2\n3\n";
    Answer();
    Choose(dir / "three.txt");
    Run(ID_WAVE_IMPORT);
    EXPECT_NE(dialogs.messages.back().find("Take Frame as Waveform"), std::string::npos);
    EXPECT_EQ(view.SampleCount(), 32u);
    EXPECT_FALSE(view.History().CanUndo());
}

// Resample in a bank resamples every frame, as one step both ways.
TEST_F(BankTest, ResampleActsOnTheWholeBank) {
    WriteBank(dir / "bank.csv", 3, 16);
    Open(dir / "bank.csv");
    ASSERT_NE(view.OpenBank(), nullptr);
    Run(ID_BANK_NEXT);
    const std::vector<double> start = All();
    Answer([](TransformRequest& r) {
        r.values[0].value = 32;
        r.choice = 0; // linear
        r.checked = true;
    });
    Run(ID_WAVE_RESAMPLE);
    EXPECT_EQ(Bank().FrameSize(), 32u);
    EXPECT_EQ(Bank().Frames(), 3u);
    EXPECT_EQ(view.SampleCount(), 32u);
    EXPECT_EQ(Current(), 1u);
    EXPECT_EQ(All()[32], 1.0); // frame 2's first sample
    EXPECT_DOUBLE_EQ(All()[33], 1.0005);
    Run(ID_WAVE_UNDO);
    EXPECT_EQ(Bank().FrameSize(), 16u);
    EXPECT_EQ(All(), start);
    Run(ID_WAVE_REDO);
    EXPECT_EQ(view.SampleCount(), 32u);
}

} // namespace
