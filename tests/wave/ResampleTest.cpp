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

// Long waveforms are converted in pieces, one per core: the pieces must join where a single
// run would have put them. A tone of many cycles turns a seam one sample off into a large error.
TEST(Resample, LongWaveformsJoinWithoutSeams) {
    auto tone = [](std::size_t n, double cycles, std::size_t count) {
        std::vector<double> ys(count);
        for (std::size_t i = 0; i < count; ++i)
            ys[i] = std::sin(2 * std::numbers::pi * cycles * double(i) / double(n));
        return ys;
    };
    std::string error;
    const struct {
        std::size_t from, to;
        double cycles;
    } cases[] = {{32800, 65600, 1600}, {163840, 65536, 2000}, {70001, 65537, 3000}};
    for (const auto& c : cases)
        for (ResampleMethod m : {ResampleMethod::BandLimitedFast, ResampleMethod::BandLimited})
            for (bool circular : {true, false}) {
                if (m == ResampleMethod::BandLimited && c.from != 32800)
                    continue; // the best converter is slow; its pieces join as the fast one's

                const double cycles = c.cycles;
                const std::vector<double> got =
                    Resample(tone(c.from, cycles, c.from), c.to, m, circular, error);
                ASSERT_EQ(got.size(), c.to) << error;
                // Without wrapping, the filter meets silence beyond the ends: judged inside.
                const std::vector<double> want = tone(c.to, cycles, c.to);
                const std::size_t margin = circular ? 0 : c.to / 50;
                double worst = 0;
                for (std::size_t j = margin; j < c.to - margin; ++j)
                    worst = std::max(worst, std::fabs(got[j] - want[j]));
                EXPECT_LT(worst, 1e-3) << c.from << " -> " << c.to << " " << int(m) << circular;
            }
}

} // namespace

namespace {

// A table that does not repeat is not padded with silence: its ends keep their level and
// their slope.
TEST(Resample, BandLimitedKeepsConstantsAndRampsUpToTheEnds) {
    std::string error;
    for (ResampleMethod m : {ResampleMethod::BandLimited, ResampleMethod::BandLimitedFast})
        for (std::size_t to : {2000u, 700u}) {
            const std::vector<double> flat =
                Resample(std::vector<double>(1000, 1.0), to, m, false, error);
            ASSERT_EQ(flat.size(), to) << error;
            EXPECT_LT(WorstError(flat, std::vector<double>(to, 1.0)), 1e-5);
            std::vector<double> ramp(1000), want(to);
            for (std::size_t i = 0; i < 1000; ++i)
                ramp[i] = double(i) / 999;
            for (std::size_t j = 0; j < to; ++j)
                want[j] = double(j) * 1000 / double(to) / 999;
            EXPECT_LT(WorstError(Resample(ramp, to, m, false, error), want), 1e-5) << to;
        }
}

} // namespace
