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
    EXPECT_EQ(h.Bytes(), 2 * 5 * sizeof(double)); // only the range changed
    h.Touch(w.data(), 6, 7);                      // a stroke
    w[6].y = 60;
    w[7].y = 70;
    h.Commit(w.data());
    const std::vector<double> last = Ys(w);

    ASSERT_TRUE(h.Undo({w.data(), w.size(), {}}));
    EXPECT_EQ(Ys(w), (std::vector<double>{0, -0.0, 2, 30, 4, 0.1, 6, 7}));
    ASSERT_TRUE(h.Undo({w.data(), w.size(), {}}));
    EXPECT_EQ(Ys(w), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(std::signbit(w[1].y));
    EXPECT_FALSE(h.Undo({w.data(), w.size(), {}}));
    ASSERT_TRUE(h.Redo({w.data(), w.size(), {}}));
    EXPECT_TRUE(std::signbit(w[1].y)); // -0.0 comes back as it was
    ASSERT_TRUE(h.Redo({w.data(), w.size(), {}}));
    EXPECT_EQ(Ys(w), last);
    EXPECT_FALSE(h.Redo({w.data(), w.size(), {}}));

    h.Undo({w.data(), w.size(), {}});
    h.Touch(w.data(), 0, 0); // a new step ends what could be redone
    w[0].y = 9;
    h.Commit(w.data());
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.Steps(), 2u);
}

TEST(UndoHistory, NothingChangedIsNoStepAndTheAllowanceDropsTheOldest) {
    std::vector<DataPoint> w = Wave({1, 2, 3, 4});
    UndoHistory h(2 * 2 * sizeof(double)); // room for one step of two samples
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
    EXPECT_LE(h.Bytes(), 2 * 2 * sizeof(double));
    ASSERT_TRUE(h.Undo({w.data(), w.size(), {}}));
    EXPECT_EQ(w[3].y, 4);
    EXPECT_FALSE(h.Undo({w.data(), w.size(), {}}));
    EXPECT_EQ(w[0].y, 10);

    h.Touch(w.data(), 0, 3); // larger than the whole allowance: not kept, and no failure
    w[2].y = 99;
    h.Commit(w.data());
    EXPECT_EQ(h.Steps(), 0u);
    EXPECT_EQ(w[2].y, 99);
    std::vector<DataPoint> shorter = Wave({1});
    h.Clear();
    h.Touch(w.data(), 2, 3);
    w[2].y = 5;
    h.Commit(w.data());
    EXPECT_FALSE(h.Undo({shorter.data(), shorter.size(), {}})); // a step that does not fit
}

TEST(UndoHistory, ReplacementsOfTheWholeWaveformComeBackToo) {
    std::vector<DataPoint> w = Wave({1, 2, 3});
    UndoHistory h(1 << 20);
    const std::vector<DataPoint> longer = Wave({5, 6, 7, 8});
    h.RecordReplace(w, longer);
    w = longer;
    auto target = [&]() -> UndoHistory::Target {
        return {w.data(), w.size(), [&](const std::vector<DataPoint>& next) {
                    w = next;
                    return true;
                }};
    };
    ASSERT_TRUE(h.Undo(target()));
    EXPECT_EQ(Ys(w), (std::vector<double>{1, 2, 3}));
    ASSERT_TRUE(h.Redo(target()));
    EXPECT_EQ(Ys(w), (std::vector<double>{5, 6, 7, 8}));
    EXPECT_FALSE(h.Undo({w.data(), w.size(), {}})) << "nobody to take the old waveform";
}

} // namespace
