#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
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

namespace {

// The exact sum of doubles, as Python's math.fsum finds it: a list of partial sums that
// never lose a bit.
double ExactSum(const std::vector<DataPoint>& w) {
    std::vector<double> partials;
    for (const DataPoint& p : w) {
        double x = p.y;
        std::size_t kept = 0;
        for (double y : partials) {
            if (std::fabs(x) < std::fabs(y))
                std::swap(x, y);
            const double high = x + y, low = y - (high - x);
            if (low != 0)
                partials[kept++] = low;
            x = high;
        }
        partials.resize(kept);
        partials.push_back(x);
    }
    double sum = 0;
    for (double v : partials)
        sum += v;
    return sum;
}

// Long ranges are summed pairwise and worked in two halves at once: the results are those
// of the plain formulas, sample by sample, and the mean is as good as an exact sum allows.
TEST(Transforms, LongRangesGiveWhatThePlainFormulasGive) {
    const std::size_t n = 3'000'000;
    std::vector<DataPoint> w = Random(n, 9);
    for (std::size_t i = 0; i < n; i += 3)
        w[i].y += 1e6; // a large offset on every third: a naive sum loses digits
    std::vector<DataPoint> dc = w;
    ASSERT_TRUE(RemoveDC(All(dc)));
    const double mean = ExactSum(w) / double(n);
    const double left = ExactSum(dc) / double(n); // what is left of the mean, exactly
    EXPECT_LE(std::fabs(left), 4 * std::log2(double(n)) * 0x1p-52 * std::fabs(mean)) << left;
    for (std::size_t i = 0; i < n; i += 997)
        ASSERT_NEAR(dc[i].y, w[i].y - mean, 1e-9 * std::fabs(mean)) << i;

    std::vector<DataPoint> scaled = w, peak = w, range = w, quantised = w;
    ASSERT_TRUE(ScaleOffset(All(scaled), -1.5, 0.25));
    ASSERT_TRUE(NormalisePeak(All(peak), 2));
    ASSERT_TRUE(NormaliseRange(All(range), -1, 1));
    ASSERT_TRUE(Quantise(All(quantised), 12, -2, 1e6));
    double largest = 0, lo = w[0].y, hi = w[0].y;
    for (const DataPoint& p : w) {
        largest = std::max(largest, std::fabs(p.y));
        lo = std::min(lo, p.y);
        hi = std::max(hi, p.y);
    }
    const double step = (1e6 + 2) / 4095;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = w[i].y;
        ASSERT_EQ(scaled[i].y, y * -1.5 + 0.25) << i;
        ASSERT_EQ(peak[i].y, std::fabs(y) == largest ? std::copysign(2.0, y) : y / largest * 2);
        ASSERT_EQ(range[i].y, y == lo ? -1 : y == hi ? 1 : -1 + (y - lo) * 2 / (hi - lo));
        const double k = std::round((std::clamp(y, -2.0, 1e6) + 2) / step);
        ASSERT_EQ(quantised[i].y, k >= 4095 ? 1e6 : -2 + k * step) << i;
    }
    // Ties go away from zero, as std::round takes them.
    std::vector<DataPoint> ties = Wave({0.5, 1.5, 2.5, 0.49999999999999994});
    ASSERT_TRUE(Quantise(All(ties), 4, 0, 15));
    EXPECT_EQ(Ys(ties), (std::vector<double>{1, 2, 3, 0}));

    // A value that is not a number anywhere in a long range: each refuses and changes nothing.
    w[n - 5].y = NAN;
    for (auto apply : {+[](SampleRange r) { return RemoveDC(r); },
                       +[](SampleRange r) { return ScaleOffset(r, 2, 1); },
                       +[](SampleRange r) { return NormalisePeak(r, 1); },
                       +[](SampleRange r) { return NormaliseRange(r, 0, 1); },
                       +[](SampleRange r) { return Quantise(r, 8, 0, 1); }}) {
        std::vector<DataPoint> v = w;
        EXPECT_FALSE(apply(All(v)));
        EXPECT_EQ(std::memcmp(v.data(), w.data(), n * sizeof(DataPoint)), 0);
    }
}

} // namespace
