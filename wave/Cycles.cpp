#include "wave/Cycles.h"

#include "files/MemoryGate.h"

#include <algorithm>
#include <cmath>

namespace {

// Rising zero crossings, between samples, with a little hysteresis so that noise near zero
// does not cross twice: after one, the signal must fall below -h before the next counts.
std::vector<double> RisingCrossings(const std::vector<double>& y, double h) {
    std::vector<double> at;
    bool armed = false;
    for (std::size_t i = 1; i < y.size(); ++i) {
        if (y[i - 1] < -h)
            armed = true;
        if (armed && y[i - 1] < 0 && y[i] >= 0) {
            at.push_back(double(i - 1) + y[i - 1] / (y[i - 1] - y[i]));
            armed = false;
        }
    }
    return at;
}

double Rms(const std::vector<double>& y) {
    double sum = 0;
    for (double v : y)
        sum += v * v;
    return y.empty() ? 0 : std::sqrt(sum / double(y.size()));
}

// The period at `from`: the first dip of YIN's cumulative mean normalised difference below
// 0.15 (else its least), refined between samples by a parabola; 0 where the window runs out.
double PeriodAt(const std::vector<double>& y, std::size_t from, std::size_t shortest,
                std::size_t longest, std::vector<double>& d) {
    const std::size_t window = longest;
    if (from + window + longest >= y.size())
        return 0;
    d.assign(longest + 2, 0.0);
    double running = 0;
    for (std::size_t tau = 1; tau <= longest + 1; ++tau) {
        double sum = 0;
        for (std::size_t i = 0; i < window; ++i) {
            const double e = y[from + i] - y[from + i + tau];
            sum += e * e;
        }
        running += sum;
        d[tau] = running > 0 ? sum * double(tau) / running : 1;
    }
    std::size_t best = 0;
    for (std::size_t tau = shortest; tau <= longest; ++tau) {
        if (d[tau] < 0.15) {
            while (tau + 1 <= longest && d[tau + 1] < d[tau])
                ++tau;
            best = tau;
            break;
        }
        if (!best || d[tau] < d[best])
            best = tau;
    }
    const double a = d[best - 1], b = d[best], c = d[best + 1];
    const double bend = a - 2 * b + c;
    return double(best) + (bend > 0 ? 0.5 * (a - c) / bend : 0.0);
}

double Cubic(const std::vector<double>& y, double x) {
    const std::ptrdiff_t n = std::ptrdiff_t(y.size());
    const std::ptrdiff_t i = std::ptrdiff_t(std::floor(x));
    const double t = x - double(i);
    auto at = [&](std::ptrdiff_t k) {
        return y[std::size_t(std::clamp<std::ptrdiff_t>(k, 0, n - 1))];
    };
    const double p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
    // Catmull-Rom: through the samples, the slopes from their neighbours.
    return p1 + 0.5 * t *
                    (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
}

} // namespace

std::vector<double> CycleStarts(const std::vector<double>& y, const CycleOptions& o) {
    const double h = 0.1 * Rms(y);
    const std::vector<double> crossings = RisingCrossings(y, h);
    if (o.by == CycleCut::ZeroCrossings || crossings.empty())
        return crossings;
    std::vector<double> starts;
    if (o.by == CycleCut::Period) {
        if (!(o.period >= 2))
            return starts;
        for (double at = crossings.front(); at < double(y.size()); at += o.period)
            starts.push_back(at);
        return starts;
    }
    const std::size_t shortest = std::size_t(std::max(2.0, o.shortest));
    const std::size_t longest = std::size_t(std::max(o.longest, o.shortest + 2));
    std::vector<double> d;
    double at = crossings.front();
    starts.push_back(at);
    std::size_t low = shortest, high = longest;
    for (;;) {
        const double period = PeriodAt(y, std::size_t(at), low, high, d);
        if (period <= 0)
            break;
        // The pitch glides, it does not jump: the next is looked for within an octave.
        low = std::max(shortest, std::size_t(period / 2));
        high = std::max(low + 2, std::min(longest, std::size_t(period * 2)));
        // On the crossing nearest where the pitch says the next cycle starts.
        double next = at + period;
        const auto near = std::lower_bound(crossings.begin(), crossings.end(), next - period / 4);
        if (near != crossings.end() && *near <= next + period / 4)
            next = *near;
        if (next <= at || next >= double(y.size()))
            break;
        starts.push_back(next);
        at = next;
    }
    return starts;
}

BankValues CyclesToFrames(const std::vector<double>& y, const std::vector<double>& starts,
                          std::uint32_t frameSize, std::uint32_t every, std::uint32_t most,
                          std::string& error) {
    BankValues bank{frameSize, 0, {}};
    every = std::max<std::uint32_t>(every, 1);
    const std::size_t cycles = starts.size() > 1 ? starts.size() - 1 : 0;
    const std::size_t taken = std::min<std::size_t>((cycles + every - 1) / every, most);
    if (taken == 0) {
        error = "The recording holds no whole cycle to cut.";
        return bank;
    }
    if (const std::string e = CheckBankShape(taken, frameSize); !e.empty()) {
        error = e;
        return bank;
    }
    AskForMemory(std::uint64_t(taken) * frameSize, sizeof(double));
    bank.values.reserve(taken * frameSize);
    for (std::size_t k = 0; k < taken; ++k) {
        const double from = starts[k * every], to = starts[k * every + 1];
        for (std::uint32_t i = 0; i < frameSize; ++i)
            bank.values.push_back(Cubic(y, from + (to - from) * double(i) / frameSize));
    }
    bank.frames = std::uint32_t(taken);
    return bank;
}
