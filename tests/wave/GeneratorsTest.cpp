#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "wave/Generators.h"

namespace {

std::vector<double> Ys(const GeneratorResult& r) {
    std::vector<double> ys;
    for (const DataPoint& p : r.points)
        ys.push_back(p.y);
    return ys;
}

GeneratorResult Make(GeneratorOptions o, std::size_t n) {
    return Generate(o, n, nullptr, 0);
}

TEST(Generators, ClosedFormsAtAFewSizes) {
    for (std::size_t n : {4u, 100u, 4096u}) {
        GeneratorOptions o;
        o.amplitude = 2;
        o.offset = 0.5;
        o.cycles = 3;
        o.phase = 90;
        const GeneratorResult sine = Make(o, n);
        ASSERT_TRUE(sine.error.empty());
        ASSERT_EQ(sine.points.size(), n);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(sine.points[i].x, double(i));
            EXPECT_NEAR(sine.points[i].y,
                        2 * std::sin(2 * std::numbers::pi * (3.0 * i / n + 0.25)) + 0.5, 1e-12);
        }
        o.shape = Shape::Cosine;
        o.phase = 0;
        const GeneratorResult cosine = Make(o, n);
        EXPECT_NEAR(cosine.points[0].y, 2.5, 1e-12);
    }
    GeneratorOptions o;
    o.shape = Shape::Square;
    o.duty = 25;
    EXPECT_EQ(Ys(Make(o, 8)), (std::vector<double>{1, 1, -1, -1, -1, -1, -1, -1}));
    o.shape = Shape::Pulse;
    EXPECT_EQ(Ys(Make(o, 4)), (std::vector<double>{1, 0, 0, 0}));
    o.shape = Shape::Triangle;
    EXPECT_EQ(Ys(Make(o, 4)), (std::vector<double>{-1, 0, 1, 0}));
    o.symmetry = 100; // the rising saw
    EXPECT_EQ(Ys(Make(o, 4)), (std::vector<double>{-1, -0.5, 0, 0.5}));
    o.symmetry = 0; // the falling one
    EXPECT_EQ(Ys(Make(o, 4)), (std::vector<double>{1, 0.5, 0, -0.5}));
    o.shape = Shape::SawDown;
    EXPECT_EQ(Ys(Make(o, 4)), (std::vector<double>{1, 0.5, 0, -0.5}));
    o.shape = Shape::Harmonics;
    o.harmonicAmplitude = {};
    o.harmonicAmplitude[0] = 1;
    o.harmonicAmplitude[2] = 0.5;
    const GeneratorResult h = Make(o, 64);
    for (std::size_t i = 0; i < 64; ++i) {
        const double t = 2 * std::numbers::pi * i / 64;
        EXPECT_NEAR(h.points[i].y, std::sin(t) + 0.5 * std::sin(3 * t), 1e-12);
    }
    o.shape = Shape::Noise;
    o.seed = 7;
    const std::vector<double> a = Ys(Make(o, 1000));
    EXPECT_EQ(a, Ys(Make(o, 1000))); // the same seed, the same noise
    for (double v : a)
        EXPECT_TRUE(v >= -1 && v <= 1);
}

TEST(Generators, ExpressionsAndWhatTheyCannotDo) {
    GeneratorOptions o;
    o.shape = Shape::Expression;
    o.expression = "sin(2*pi*x) + i/n - x";
    const GeneratorResult e = Make(o, 32);
    ASSERT_TRUE(e.error.empty()) << e.error;
    o.shape = Shape::Sine;
    const GeneratorResult s = Make(o, 32);
    for (std::size_t i = 0; i < 32; ++i)
        EXPECT_NEAR(e.points[i].y, s.points[i].y, 1e-12);

    o.shape = Shape::Expression;
    o.expression = "y * 2 + 1";
    const std::vector<DataPoint> current{{0, 1}, {1, 2}};
    EXPECT_EQ(Ys(Generate(o, 3, current.data(), 2)), (std::vector<double>{3, 5, 1}));
    o.add = true;
    o.expression = "1";
    EXPECT_EQ(Ys(Generate(o, 2, current.data(), 2)), (std::vector<double>{2, 3}));

    o.expression = "sin(";
    const GeneratorResult bad = Make(o, 4);
    EXPECT_NE(bad.error.find("cannot be used"), std::string::npos) << bad.error;
    EXPECT_TRUE(bad.points.empty());
    o.expression = "1/(i-2)";
    const GeneratorResult infinite = Make(o, 4);
    EXPECT_NE(infinite.error.find("Sample 2 "), std::string::npos) << infinite.error;
    o.shape = Shape::Sine;
    o.amplitude = 1e308;
    o.add = false;
    o.offset = 1e308;
    EXPECT_FALSE(Make(o, 4).error.empty());
}

} // namespace

namespace {

// The phase moves a waveform in time whatever its shape: harmonics of a square's series with
// phase 90 are the same waveform a quarter cycle later.
TEST(Generators, ThePhaseOfHarmonicsIsAShiftInTime) {
    GeneratorOptions o;
    o.shape = Shape::Harmonics;
    o.harmonicAmplitude = {1, 0, 1.0 / 3, 0, 1.0 / 5};
    o.harmonicPhase = {0, 0, 30};
    const std::vector<double> still = Ys(Make(o, 400));
    o.phase = 90;
    const std::vector<double> moved = Ys(Make(o, 400));
    for (std::size_t i = 0; i < 400; ++i)
        ASSERT_NEAR(moved[i], still[(i + 100) % 400], 1e-12) << i;
    o.shape = Shape::Sine; // the same rule as the other shapes
    o.phase = 0;
    const std::vector<double> sine = Ys(Make(o, 400));
    o.phase = 90;
    const std::vector<double> sineMoved = Ys(Make(o, 400));
    EXPECT_NEAR(sineMoved[0], sine[100], 1e-12);
}

} // namespace
