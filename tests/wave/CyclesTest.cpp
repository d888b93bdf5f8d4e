// Cycles cut from synthetic recordings whose true cycle starts are known: a pitch glide with
// noise, found by following the pitch and at zero crossings, and a steady tone by its period.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "wave/Cycles.h"

namespace {

struct Glide {
    std::vector<double> y, starts; // the recording and where its cycles truly start
};

// A sine whose period glides linearly from `from` to `to` samples over `length`, with noise.
Glide MakeGlide(double from, double to, std::size_t length, double noise) {
    Glide g;
    const double b = (to - from) / double(length);
    auto phase = [&](double x) { // 2 pi times the integral of 1 / T(x)
        return b == 0 ? 2 * M_PI * x / from : 2 * M_PI / b * std::log((from + b * x) / from);
    };
    std::mt19937 random(7);
    std::normal_distribution<double> n(0, noise);
    for (std::size_t i = 0; i < length; ++i)
        g.y.push_back(std::sin(phase(double(i))) + n(random));
    for (int k = 0;; ++k) {
        const double x = b == 0 ? k * from : from * (std::exp(b * k) - 1) / b;
        if (x >= double(length))
            break;
        g.starts.push_back(x);
    }
    return g;
}

// Each start found lies within one sample of a true one, and most true ones are found.
void ExpectNearTrue(const std::vector<double>& found, const Glide& g, std::size_t least) {
    EXPECT_GE(found.size(), least);
    for (double at : found) {
        double nearest = 1e9;
        for (double t : g.starts)
            nearest = std::min(nearest, std::fabs(at - t));
        EXPECT_LT(nearest, 1.0) << at;
    }
}

TEST(Cycles, APitchGlideWithNoiseIsCutWithinOneSampleOfItsTrueCycles) {
    const Glide g = MakeGlide(80, 120, 20000, 0.01);
    CycleOptions pitch;
    pitch.shortest = 20;
    pitch.longest = 400;
    ExpectNearTrue(CycleStarts(g.y, pitch), g, g.starts.size() - 4);
    CycleOptions crossings;
    crossings.by = CycleCut::ZeroCrossings;
    ExpectNearTrue(CycleStarts(g.y, crossings), g, g.starts.size() - 2);
    // Frames of 64 from every 10th cycle, at most 8: each one cycle of a sine.
    std::string error;
    const BankValues bank = CyclesToFrames(g.y, CycleStarts(g.y, pitch), 64, 10, 8, error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(bank.frames, 8u);
    for (std::size_t i = 0; i < 64; ++i)
        EXPECT_NEAR(bank.values[3 * 64 + i], std::sin(2 * M_PI * i / 64), 0.05) << i;
}

TEST(Cycles, ASteadyToneIsCutByItsPeriodAndSilenceHasNoCycle) {
    const Glide g = MakeGlide(100.5, 100.5, 5000, 0.0);
    CycleOptions period;
    period.by = CycleCut::Period;
    period.period = 100.5;
    ExpectNearTrue(CycleStarts(g.y, period), g, g.starts.size() - 1);
    std::string error;
    CyclesToFrames(std::vector<double>(1000, 0.0), CycleStarts(std::vector<double>(1000, 0.0), {}),
                   64, 1, 8, error);
    EXPECT_EQ(error, "The recording holds no whole cycle to cut.");
}

} // namespace
