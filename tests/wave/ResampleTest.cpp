#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "wave/Resample.h"

namespace {

std::vector<double> Sine(std::size_t n, bool circular) {
    std::vector<double> ys(n);
    for (std::size_t i = 0; i < n; ++i)
        ys[i] = std::sin(2 * std::numbers::pi * double(i) / double(circular ? n : n - 1));
    return ys;
}

double WorstError(const std::vector<double>& got, const std::vector<double>& want) {
    double worst = 0;
    for (std::size_t i = 0; i < got.size(); ++i)
        worst = std::max(worst, std::fabs(got[i] - want[i]));
    return worst;
}

TEST(Resample, ASineStaysASine) {
    std::string error;
    for (bool circular : {true, false}) {
        const std::vector<double> from = Sine(256, circular);
        const std::vector<double> want = Sine(1000, circular);
        const std::vector<double> linear =
            Resample(from, 1000, ResampleMethod::Linear, circular, error);
        const std::vector<double> cubic =
            Resample(from, 1000, ResampleMethod::Cubic, circular, error);
        ASSERT_EQ(linear.size(), 1000u);
        // Within the stated errors; without wrapping, the cubic's end segments only see one side.
        EXPECT_LT(WorstError(linear, want), 1e-4) << circular;
        EXPECT_LT(WorstError(cubic, want), circular ? 1e-5 : 2e-3) << circular;
        if (!circular) { // the ends stay where they are
            EXPECT_EQ(linear.front(), from.front());
            EXPECT_NEAR(linear.back(), from.back(), 1e-15);
        }
    }
    const std::vector<double> band =
        Resample(Sine(256, true), 1000, ResampleMethod::BandLimited, true, error);
    ASSERT_EQ(band.size(), 1000u) << error;
    EXPECT_LT(WorstError(band, Sine(1000, true)), 2e-3);
    const std::vector<double> down =
        Resample(Sine(1024, true), 100, ResampleMethod::Cubic, true, error);
    EXPECT_LT(WorstError(down, Sine(100, true)), 1e-6);
    EXPECT_TRUE(Resample({}, 10, ResampleMethod::Linear, false, error).empty());
    EXPECT_FALSE(error.empty());
}

} // namespace
