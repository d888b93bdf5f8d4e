#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

#include "graph/axes/OleDate.h"
#include "graph/axes/TickSteps.h"

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Second = 1.0 / 86400;

TEST(NiceTickStep, OneTwoFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(*NiceTickStep(7, 0, 100), 20);
    EXPECT_DOUBLE_EQ(*NiceTickStep(4, 0, 1), 0.5);
    EXPECT_DOUBLE_EQ(*NiceTickStep(2, 0, 1), 0.5);
    EXPECT_DOUBLE_EQ(*NiceTickStep(3, 0, 1), 0.5);
    EXPECT_DOUBLE_EQ(*NiceTickStep(4, 0, 1000), 500);
    EXPECT_DOUBLE_EQ(*NiceTickStep(10, 0, 1000), 100);
    EXPECT_DOUBLE_EQ(*NiceTickStep(1, 0, 5), 5); // on a bound keeps it
    EXPECT_DOUBLE_EQ(*NiceTickStep(1, 0, 10), 10);
    EXPECT_DOUBLE_EQ(*NiceTickStep(1, 0, 0.03), 0.05);
    EXPECT_DOUBLE_EQ(*NiceTickStep(1, 0, 2), 2);
    EXPECT_DOUBLE_EQ(*NiceTickStep(3, -1e-7, 2e-7), 1e-7);
}

TEST(NiceTickStep, NothingForRangesWithoutAStep) {
    EXPECT_FALSE(NiceTickStep(5, 3, 3));
    EXPECT_FALSE(NiceTickStep(5, 4, 3));
    EXPECT_FALSE(NiceTickStep(0, 0, 1));
    EXPECT_FALSE(NiceTickStep(-3, 0, 1));
    EXPECT_FALSE(NiceTickStep(5, 0, Inf));
    EXPECT_FALSE(NiceTickStep(5, -Inf, 0));
    EXPECT_FALSE(NiceTickStep(5, NaN, 1));
    EXPECT_FALSE(NiceTickStep(2, -DBL_MAX, DBL_MAX));                  // the span overflows
    EXPECT_FALSE(NiceTickStep(10, 1e300, std::nextafter(1e300, Inf))); // cannot move the ends
}

TEST(DateTickStep, CalendarSteps) {
    EXPECT_DOUBLE_EQ(DateTickStep(4, 0, 1), 28800 * Second);       // a day in 4: 8 h
    EXPECT_DOUBLE_EQ(DateTickStep(5, 0, 2.0 / 24), 1800 * Second); // two hours in 5
    EXPECT_DOUBLE_EQ(DateTickStep(1, 10, 10 + 3600 * Second), 3600 * Second);
    EXPECT_DOUBLE_EQ(DateTickStep(1, 10, 10 + 3601 * Second), 7200 * Second);
    EXPECT_DOUBLE_EQ(DateTickStep(7, 0, 5 * Second), 1 * Second); // 1 s up to count seconds
    EXPECT_DOUBLE_EQ(DateTickStep(4, 0, 0.5 * Second), 0);        // under a second
    EXPECT_DOUBLE_EQ(DateTickStep(1, 0, 20000), 20000);           // beyond the table: raw
    EXPECT_DOUBLE_EQ(DateTickStep(0, 0, 1), 0);
    EXPECT_DOUBLE_EQ(DateTickStep(3, 1, 0), 0);
    EXPECT_DOUBLE_EQ(DateTickStep(3, 0, Inf), 0);
    EXPECT_DOUBLE_EQ(DateTickStep(3, NaN, 1), 0);
    EXPECT_EQ(DateStepTable[33], 1572480000);
    EXPECT_EQ(DateStepTable[34], -1);
}

TEST(AlignRangeToStep, WidensOutwardToMultiples) {
    auto align = [](double min, double max, double step) {
        AlignRangeToStep(min, max, step);
        return std::pair(min, max);
    };
    EXPECT_EQ(align(0, 100, 10), std::pair(0.0, 100.0));
    EXPECT_EQ(align(35, 95, 10), std::pair(20.0, 100.0));
    EXPECT_EQ(align(-35, -35, 10), std::pair(-40.0, -20.0));
    EXPECT_EQ(align(5, -5, 10), std::pair(0.0, 0.0));
    EXPECT_EQ(align(35, 95, 0), std::pair(35.0, 95.0));
    EXPECT_EQ(align(35, 95, -10), std::pair(35.0, 95.0));
    EXPECT_EQ(align(35, 95, NaN), std::pair(35.0, 95.0));
    EXPECT_EQ(align(1e300, 2e300, 1e-300), std::pair(1e300, 2e300));
}

// Steps that are no binary fraction: a range aligned once stays as it is, and every random
// range settles after one alignment, where the old remainder test moved it out a step again.
TEST(AlignRangeToStep, AnAlignedRangeStaysAligned) {
    auto align = [](double min, double max, double step) {
        AlignRangeToStep(min, max, step);
        return std::pair(min, max);
    };
    EXPECT_EQ(align(-100, -99.86, 0.05), std::pair(-100.0, -99.8)); // by the rule for negative ends
    EXPECT_EQ(align(-100.05, -99.7, 0.05), std::pair(-100.05, -99.7));
    std::mt19937_64 rng(31);
    for (int i = 0; i < 100000; ++i) {
        const double step = std::pow(10.0, int(rng() % 9) - 6) * (1 + rng() % 3 * 1.5 + rng() % 2);
        const double a = double(std::int64_t(rng() % 2000001) - 1000000) / 1000;
        const double b = a + double(rng() % 100000 + 1) / 1000;
        const auto once = align(a, b, step);
        ASSERT_EQ(align(once.first, once.second, step), once) << a << " " << b << " " << step;
        ASSERT_LE(once.first, a);
        ASSERT_GE(once.second, b);
    }
}

// At the largest doubles a step beyond the maximum would be infinite: the end stays.
TEST(AlignRangeToStep, StaysWithinTheFiniteDoubles) {
    double min = 0, max = DBL_MAX;
    AlignRangeToStep(min, max, 2e307);
    EXPECT_EQ(min, 0);
    EXPECT_TRUE(std::isfinite(max));
    min = -DBL_MAX, max = -DBL_MAX / 3;
    AlignRangeToStep(min, max, 5e307);
    EXPECT_TRUE(std::isfinite(min));
    EXPECT_LE(min, -DBL_MAX / 2);
}

TEST(AlignDateRangeToStep, WholeStepsFromTheEpoch) {
    double min = MakeDate(1970, 1, 1, 10, 17), max = MakeDate(1970, 1, 1, 11, 43);
    AlignDateRangeToStep(min, max, 1800 * Second);
    EXPECT_NEAR(min, MakeDate(1970, 1, 1, 10, 0), 1e-9);
    EXPECT_NEAR(max, MakeDate(1970, 1, 1, 12, 0), 1e-9);

    min = MakeDate(2024, 5, 17, 13), max = MakeDate(2024, 5, 18, 1);
    AlignDateRangeToStep(min, max, 1); // a day: midnights
    EXPECT_NEAR(min, MakeDate(2024, 5, 17), 1e-9);
    EXPECT_NEAR(max, MakeDate(2024, 5, 19), 1e-9);

    min = MakeDate(1969, 12, 31, 23, 59, 30), max = MakeDate(1970, 1, 1);
    AlignDateRangeToStep(min, max, 60 * Second); // before the epoch: floor, not toward zero
    EXPECT_NEAR(min, MakeDate(1969, 12, 31, 23, 59), 1e-9);
    EXPECT_NEAR(max, MakeDate(1970, 1, 1), 1e-9);

    // Every calendar step aligns to its own whole seconds (15 s, 30 s, 1 and 2 min included).
    const double epoch = MakeDate(1970, 1, 1);
    for (int i = 1; DateStepTable[i] > 0 && DateStepTable[i] < 5e8; ++i) { // within 32-bit seconds
        const double seconds = DateStepTable[i];
        const double step = DateTickStep(1, 0, seconds * Second);
        const double base = epoch + 3 * seconds * Second;
        double lo = base + Second, hi = base + Second;
        AlignDateRangeToStep(lo, hi, step);
        EXPECT_NEAR(lo, base, 1e-9) << seconds;
        EXPECT_NEAR((hi - lo) * 86400, seconds, 1e-3) << seconds;
    }

    for (auto [lo, hi] : {std::pair(MakeDate(1900, 1, 1, 0, 0, 7), MakeDate(1970, 1, 2)),
                          std::pair(MakeDate(1970, 1, 1), MakeDate(2040, 1, 1, 0, 0, 7))}) {
        double a = lo, b = hi;
        AlignDateRangeToStep(a, b, 60 * Second); // beyond 32-bit seconds: unchanged
        EXPECT_EQ(a, lo);
        EXPECT_EQ(b, hi);
    }
    double a = 1.3, b = 2.7;
    AlignDateRangeToStep(a, b, 0.1 * Second); // no whole second
    AlignDateRangeToStep(a, b, NaN);
    EXPECT_EQ(std::pair(a, b), std::pair(1.3, 2.7));
}

TEST(StepsFuzz, EveryInputTerminates) {
    std::mt19937_64 rng(17);
    const double specials[] = {0,     -0.0,   1,       -1,       1e-300,    -1e-300,
                               1e300, -1e300, DBL_MAX, -DBL_MAX, DBL_MIN,   4.9e-324,
                               Inf,   -Inf,   NaN,     1e15,     1e15 + 0.1};
    std::uniform_int_distribution<int> pick(0, std::size(specials) - 1);
    std::uniform_int_distribution<int> count(-3, 1000);
    std::uniform_real_distribution<double> any(-1e9, 1e9);
    for (int i = 0; i < 20000; ++i) {
        double a = i % 3 ? specials[pick(rng)] : any(rng);
        double b = i % 5 ? specials[pick(rng)] : any(rng);
        double s = i % 2 ? specials[pick(rng)] : any(rng);
        if (auto step = NiceTickStep(count(rng), a, b)) {
            EXPECT_TRUE(*step > 0 && std::isfinite(*step));
        }
        double d = DateTickStep(count(rng), a, b);
        EXPECT_FALSE(std::isnan(d));
        double lo = a, hi = b;
        AlignRangeToStep(lo, hi, s);
        AlignDateRangeToStep(lo, hi, s);
    }
}

} // namespace
