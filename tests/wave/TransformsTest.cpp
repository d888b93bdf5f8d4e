#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tests/wave/Waves.h"
#include "wave/Transforms.h"

namespace {

SampleRange All(std::vector<DataPoint>& w) {
    return {w.data(), w.size()};
}

std::vector<DataPoint> Random(std::size_t n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> v(-3, 7);
    std::vector<double> ys(n);
    for (double& y : ys)
        y = v(rng);
    return Wave(ys);
}

TEST(Transforms, NormalisingHitsThePeakAndTheRangeExactly) {
    std::vector<DataPoint> w = Random(1001, 1);
    ASSERT_TRUE(NormalisePeak(All(w), 0.75));
    double largest = 0;
    for (const DataPoint& p : w)
        largest = std::max(largest, std::fabs(p.y));
    EXPECT_EQ(largest, 0.75);
    ASSERT_TRUE(NormaliseRange(All(w), -1, 4095));
    const auto [lo, hi] = std::minmax_element(
        w.begin(), w.end(), [](const DataPoint& a, const DataPoint& b) { return a.y < b.y; });
    EXPECT_EQ(lo->y, -1);
    EXPECT_EQ(hi->y, 4095);
    std::vector<DataPoint> flat = Wave({2, 2});
    ASSERT_TRUE(NormaliseRange(All(flat), 0, 10));
    EXPECT_EQ(Ys(flat), (std::vector<double>{5, 5}));
    std::vector<DataPoint> zeros = Wave({0, 0});
    EXPECT_TRUE(NormalisePeak(All(zeros), 1)); // nothing to scale
}

TEST(Transforms, OffsetsScalesAndTheirRefusals) {
    std::vector<DataPoint> w = Random(10000, 2);
    ASSERT_TRUE(RemoveDC(All(w)));
    double sum = 0;
    for (const DataPoint& p : w)
        sum += p.y;
    EXPECT_NEAR(sum / double(w.size()), 0, 1e-13);

    const std::vector<double> before = Ys(w);
    Invert(All(w));
    Invert(All(w));
    Reverse(All(w));
    Reverse(All(w));
    EXPECT_EQ(Ys(w), before);
    Reverse({w.data() + 2, 3}); // a part: samples 2..4
    EXPECT_EQ(w[2].y, before[4]);
    EXPECT_EQ(w[4].y, before[2]);
    EXPECT_EQ(w[5].y, before[5]);

    std::vector<DataPoint> big = Wave({1e10, 1});
    EXPECT_FALSE(ScaleOffset(All(big), 1e300, 0)); // would leave the doubles: nothing changes
    EXPECT_EQ(Ys(big), (std::vector<double>{1e10, 1}));
    ASSERT_TRUE(ScaleOffset(All(big), 2, 1));
    EXPECT_EQ(Ys(big), (std::vector<double>{2e10 + 1, 3}));
}

TEST(Transforms, SmoothingClippingAndQuantising) {
    std::vector<DataPoint> w = Wave({0, 3, 0, 3});
    ASSERT_TRUE(Smooth(All(w), 3, false));
    EXPECT_EQ(Ys(w), (std::vector<double>{1.5, 1, 2, 1.5})); // ends: the window cut short
    w = Wave({0, 3, 0, 3});
    ASSERT_TRUE(Smooth(All(w), 3, true));
    EXPECT_EQ(Ys(w), (std::vector<double>{2, 1, 2, 1})); // wrapping around
    EXPECT_FALSE(Smooth(All(w), 4, false));
    std::vector<DataPoint> constant = Wave(std::vector<double>(10000, 0.3));
    ASSERT_TRUE(Smooth(All(constant), 101, true));
    for (const DataPoint& p : constant)
        ASSERT_NEAR(p.y, 0.3, 1e-15);

    w = Wave({-5, 0.2, 9});
    Clip(All(w), -1, 1);
    EXPECT_EQ(Ys(w), (std::vector<double>{-1, 0.2, 1}));
    w = Wave({-1, -0.4, 0.1, 0.9, 2});
    ASSERT_TRUE(Quantise(All(w), 2, -1, 1)); // four levels: -1, -1/3, 1/3, 1
    EXPECT_EQ(w[0].y, -1);
    EXPECT_DOUBLE_EQ(w[1].y, -1.0 / 3);
    EXPECT_DOUBLE_EQ(w[2].y, 1.0 / 3);
    EXPECT_EQ(w[4].y, 1);
    EXPECT_FALSE(Quantise(All(w), 0, -1, 1));
}

} // namespace
