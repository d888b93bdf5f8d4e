#include "wave/Generators.h"

#include <algorithm>
#include <cmath>
#include <muParser.h>
#include <numbers>
#include <random>

#include "files/MemoryGate.h"

namespace {

constexpr double Pi = std::numbers::pi;

// The position within a cycle, 0 <= t < 1, of sample i.
double CyclePosition(const GeneratorOptions& o, std::size_t i, std::size_t n) {
    const double t = double(i) / double(n) * o.cycles + o.phase / 360.0;
    return t - std::floor(t);
}

double Unit(const GeneratorOptions& o, std::size_t i, std::size_t n, std::mt19937_64& rng) {
    const double t = CyclePosition(o, i, n);
    switch (o.shape) {
    case Shape::Sine:
        return std::sin(2 * Pi * t);
    case Shape::Cosine:
        return std::cos(2 * Pi * t);
    case Shape::Square:
        return t < o.duty / 100 ? 1 : -1;
    case Shape::Pulse:
        return t < o.duty / 100 ? 1 : 0;
    case Shape::Triangle: {
        const double rise = std::clamp(o.symmetry / 100, 0.0, 1.0);
        if (t < rise)
            return -1 + 2 * t / rise;
        return rise >= 1 ? 1 : 1 - 2 * (t - rise) / (1 - rise);
    }
    case Shape::SawUp:
        return -1 + 2 * t;
    case Shape::SawDown:
        return 1 - 2 * t;
    case Shape::Noise:
        return std::uniform_real_distribution<double>(-1, 1)(rng);
    case Shape::Harmonics: {
        // The phase shifts the whole waveform in time, as for every other shape: harmonic k
        // moves by k times it.
        double sum = 0;
        const double base = double(i) / double(n) * o.cycles + o.phase / 360.0;
        for (std::size_t h = 0; h < o.harmonicAmplitude.size(); ++h)
            if (o.harmonicAmplitude[h] != 0)
                sum += o.harmonicAmplitude[h] *
                       std::sin(2 * Pi * (double(h + 1) * base) + o.harmonicPhase[h] * Pi / 180);
        return sum;
    }
    default:
        return 0;
    }
}

std::string NotFinite(std::size_t i) {
    return "Sample " + std::to_string(i) + " would not be a finite number; nothing was changed.";
}

} // namespace

GeneratorResult Generate(const GeneratorOptions& o, std::size_t count, const DataPoint* current,
                         std::size_t currentCount, CProgress* progress) {
    CProgressTicker ticker(progress, double(count));
    GeneratorResult r;
    if (!std::isfinite(o.cycles) || !std::isfinite(o.amplitude) || !std::isfinite(o.offset) ||
        !std::isfinite(o.phase)) {
        r.error = "Cycles, amplitude, offset and phase must be finite numbers.";
        return r;
    }
    AskForMemory(count, sizeof(DataPoint));
    r.points.resize(count);
    auto before = [&](std::size_t i) { return i < currentCount && current ? current[i].y : 0.0; };
    if (o.shape == Shape::Expression) {
        double vi = 0, vn = double(count), vx = 0, vy = 0, vf = o.frame, vF = o.frames,
               vt = o.frames > 1 ? double(o.frame) / double(o.frames - 1) : 0;
        mu::Parser parser;
        try {
            parser.DefineVar("i", &vi);
            parser.DefineVar("n", &vn);
            parser.DefineVar("x", &vx);
            parser.DefineVar("y", &vy);
            parser.DefineVar("f", &vf);
            parser.DefineVar("F", &vF);
            parser.DefineVar("t", &vt);
            parser.DefineConst("pi", Pi);
            parser.SetExpr(o.expression);
            for (std::size_t i = 0; i < count; ++i) {
                vi = double(i);
                vx = count ? double(i) / double(count) : 0;
                vy = before(i);
                const double v = parser.Eval() * o.amplitude + o.offset + (o.add ? vy : 0);
                if (!std::isfinite(v)) {
                    r.error = NotFinite(i);
                    r.points.clear();
                    return r;
                }
                r.points[i] = {double(i), v};
                ticker.Tick(double(i));
            }
        } catch (const mu::Parser::exception_type& e) {
            r.error = "The expression cannot be used: " + e.GetMsg();
            r.points.clear();
        }
        return r;
    }
    std::mt19937_64 rng(o.seed);
    for (std::size_t i = 0; i < count; ++i) {
        const double v = Unit(o, i, count, rng) * o.amplitude + o.offset + (o.add ? before(i) : 0);
        if (!std::isfinite(v)) {
            r.error = NotFinite(i);
            r.points.clear();
            return r;
        }
        r.points[i] = {double(i), v};
        ticker.Tick(double(i));
    }
    return r;
}
