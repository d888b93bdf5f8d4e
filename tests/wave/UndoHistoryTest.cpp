#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/wave/Waves.h"
#include "wave/UndoHistory.h"

namespace {

TEST(UndoHistory, StepsWidenToOneRangeAndGoBackAndForthBitForBit) {
    std::vector<DataPoint> w = Wave({0, 1, 2, 3, 4, 5, 6, 7});
    UndoHistory h(1 << 20);
    h.Touch(w.data(), 3, 3); // a drag: point 3, then the range 1..5 through the marker
    w[3].y = 30;
    h.Touch(w.data(), 1, 5);
    w[1].y = -0.0;
    w[5].y = 0.1;
    h.Commit(w.data());
    EXPECT_EQ(h.Bytes(), 5 * sizeof(double)); // only the range changed
    h.Touch(w.data(), 6, 7);                  // a stroke
    w[6].y = 60;
    w[7].y = 70;
    h.Commit(w.data());
    const std::vector<double> last = Ys(w);

    ASSERT_TRUE(h.Undo({w.data(), w.size(), {}, {}}));
    EXPECT_EQ(Ys(w), (std::vector<double>{0, -0.0, 2, 30, 4, 0.1, 6, 7}));
    ASSERT_TRUE(h.Undo({w.data(), w.size(), {}, {}}));
    EXPECT_EQ(Ys(w), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(std::signbit(w[1].y));
    EXPECT_FALSE(h.Undo({w.data(), w.size(), {}, {}}));
    ASSERT_TRUE(h.Redo({w.data(), w.size(), {}, {}}));
    EXPECT_TRUE(std::signbit(w[1].y)); // -0.0 comes back as it was
    ASSERT_TRUE(h.Redo({w.data(), w.size(), {}, {}}));
    EXPECT_EQ(Ys(w), last);
    EXPECT_FALSE(h.Redo({w.data(), w.size(), {}, {}}));

    h.Undo({w.data(), w.size(), {}, {}});
    h.Touch(w.data(), 0, 0); // a new step ends what could be redone
    w[0].y = 9;
    h.Commit(w.data());
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.Steps(), 2u);
}

TEST(UndoHistory, NothingChangedIsNoStepAndTheAllowanceDropsTheOldest) {
    std::vector<DataPoint> w = Wave({1, 2, 3, 4});
    UndoHistory h(sizeof(double)); // room for one step of one sample
    h.Touch(w.data(), 0, 3);
    h.Commit(w.data()); // a drag that moved nothing
    EXPECT_EQ(h.Steps(), 0u);
    h.Touch(w.data(), 0, 1);
    w[0].y = 10;
    h.Commit(w.data());
    h.Touch(w.data(), 2, 3);
    w[3].y = 40;
    h.Commit(w.data());
    EXPECT_EQ(h.Steps(), 1u); // the first went to make room
    EXPECT_LE(h.Bytes(), sizeof(double));
    ASSERT_TRUE(h.Undo({w.data(), w.size(), {}, {}}));
    EXPECT_EQ(w[3].y, 4);
    EXPECT_FALSE(h.Undo({w.data(), w.size(), {}, {}}));
    EXPECT_EQ(w[0].y, 10);

    h.Touch(w.data(), 0, 3); // larger than the whole allowance: not kept, and no failure
    w[1].y = 98;
    w[2].y = 99;
    h.Commit(w.data());
    EXPECT_EQ(h.Steps(), 0u);
    EXPECT_EQ(w[2].y, 99);
    std::vector<DataPoint> shorter = Wave({1});
    h.Clear();
    h.Touch(w.data(), 2, 3);
    w[2].y = 5;
    h.Commit(w.data());
    EXPECT_FALSE(h.Undo({shorter.data(), shorter.size(), {}, {}})); // a step that does not fit
}

TEST(UndoHistory, ReplacementsOfTheWholeWaveformComeBackWithTheirDocument) {
    std::vector<DataPoint> w = Wave({1, 2, 3});
    UndoHistory::Document doc{"w3.txt", "/d/w3.txt", ""};
    UndoHistory h(1 << 20);
    h.MarkSaved();
    h.RecordReplace(Ys(w), doc);
    w = Wave({5, 6, 7, 8});
    doc = {"imp.wav*", "", ""};
    EXPECT_EQ(h.Bytes(), 3 * sizeof(double)); // the other waveform's values alone
    EXPECT_FALSE(h.AtSaved());
    auto target = [&]() -> UndoHistory::Target {
        return {w.data(), w.size(),
                [&](std::vector<double>& ys) {
                    const std::vector<double> old = Ys(w);
                    w = Wave(ys);
                    ys = old;
                    return true;
                },
                [&](UndoHistory::Document& other) { std::swap(doc, other); }};
    };
    ASSERT_TRUE(h.UndoReplaces());
    ASSERT_TRUE(h.Undo(target()));
    EXPECT_EQ(Ys(w), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(doc.name, "w3.txt");
    EXPECT_EQ(doc.dataPath, "/d/w3.txt");
    EXPECT_TRUE(h.AtSaved());
    EXPECT_EQ(h.Bytes(), 4 * sizeof(double)); // now it keeps the longer one
    ASSERT_TRUE(h.Redo(target()));
    EXPECT_EQ(Ys(w), (std::vector<double>{5, 6, 7, 8}));
    EXPECT_EQ(doc.name, "imp.wav*");
    EXPECT_FALSE(h.AtSaved());
    EXPECT_FALSE(h.Undo({w.data(), w.size(), {}, {}})) << "nobody to take the old waveform";
}

TEST(UndoHistory, TheSavedPlaceIsFoundAgainUntilItCannotBeReached) {
    std::vector<DataPoint> w = Wave({0, 0, 0, 0});
    UndoHistory h(1 << 20);
    auto edit = [&](std::size_t i, double y) {
        h.Touch(w.data(), i, i);
        w[i].y = y;
        h.Commit(w.data());
    };
    const UndoHistory::Target t{w.data(), w.size(), {}, {}};
    h.MarkSaved(); // opened
    edit(0, 1);
    edit(1, 2);
    EXPECT_FALSE(h.AtSaved());
    h.Undo(t);
    h.Undo(t);
    EXPECT_TRUE(h.AtSaved());
    h.Redo(t);
    h.MarkSaved(); // saved after one step
    h.Undo(t);
    EXPECT_FALSE(h.AtSaved());
    h.Redo(t);
    EXPECT_TRUE(h.AtSaved());
    h.Undo(t);
    edit(2, 3); // a new branch: the saved state is gone for good
    h.Undo(t);
    h.Redo(t);
    EXPECT_FALSE(h.AtSaved());
    h.Undo(t);
    EXPECT_FALSE(h.AtSaved());

    UndoHistory small(sizeof(double)); // one one-sample step at a time
    small.MarkSaved();
    h.Clear();
    w = Wave({0, 0});
    small.Touch(w.data(), 0, 0);
    w[0].y = 1;
    small.Commit(w.data());
    small.Touch(w.data(), 1, 1);
    w[1].y = 1;
    small.Commit(w.data()); // drops the first step, and with it the way back to the file
    EXPECT_TRUE(small.Undo({w.data(), w.size(), {}, {}}));
    EXPECT_FALSE(small.AtSaved());
}

TEST(UndoHistory, AWholeTableStepCostsEightBytesASampleAndKeepsOnlyWhatChanged) {
    std::vector<DataPoint> w(1000);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i] = {double(i), double(i)};
    UndoHistory h(1 << 20);
    h.Touch(w.data(), 0, 999);
    for (std::size_t i = 0; i < w.size(); ++i)
        w[i].y = -w[i].y; // 0 stays 0 in value but becomes -0.0
    h.Commit(w.data());
    EXPECT_EQ(h.Bytes(), 1000 * sizeof(double));
    h.Touch(w.data(), 0, 999);
    w[500].y = 7;
    w[600].y = 8;
    h.Commit(w.data());
    EXPECT_EQ(h.Bytes(), (1000 + 101) * sizeof(double)); // 500..600, not the whole table
    const UndoHistory::Target t{w.data(), w.size(), {}, {}};
    ASSERT_TRUE(h.Undo(t));
    ASSERT_TRUE(h.Undo(t));
    for (std::size_t i = 0; i < w.size(); ++i)
        ASSERT_EQ(w[i].y, double(i));
    EXPECT_FALSE(std::signbit(w[0].y));
    ASSERT_TRUE(h.Redo(t));
    EXPECT_TRUE(std::signbit(w[0].y));
    ASSERT_TRUE(h.Redo(t));
    EXPECT_EQ(w[500].y, 7);
    EXPECT_EQ(w[601].y, -601);
}

} // namespace
