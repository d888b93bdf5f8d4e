#include "wave/WaveFigures.h"

#include "files/QuarterWave.h"

#include <algorithm>
#include <cmath>

namespace {

// A sinusoid's mean power from its amplitude (the Nyquist harmonic is ±A itself), in units
// of `unit` squared, so that neither 1e160 nor 1e-170 leaves the doubles.
double PowerOf(const HarmonicSpectrum& s, std::size_t k, std::size_t n, double unit) {
    const double a = s.amplitude[k] / unit;
    return 2 * k == n ? a * a : a * a / 2;
}

double Decibels(double ratio) {
    return 10 * std::log10(ratio);
}

} // namespace

HarmonicBins::HarmonicBins(std::size_t k1, std::size_t n) {
    std::size_t found = 0;
    for (std::size_t m = 2; k1 && n && m <= DistortionHarmonics; ++m) {
        std::size_t b = (m * k1) % n;
        if (2 * b > n)
            b = n - b;
        if (b && b != k1 && std::find(bins, bins + found, b) == bins + found)
            bins[found++] = b;
    }
    std::sort(bins, bins + found);
}

WaveFigures FiguresOf(const double* samples, std::size_t n, const HarmonicSpectrum& s,
                      std::size_t stride) {
    WaveFigures f;
    if (n == 0 || s.amplitude.size() != n / 2 + 1)
        return f;
    // Indexes run to n, which is 0 again: the table repeats.
    auto at = [&](std::size_t i) { return samples[(i == n ? 0 : i) * stride]; };
    double lo = at(0), hi = lo;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = at(i);
        lo = std::min(lo, y);
        hi = std::max(hi, y);
        if (i > 0)
            f.maxStep = std::max(f.maxStep, std::fabs(y - at(i - 1)));
    }
    f.peak = std::max(std::fabs(lo), std::fabs(hi));
    // Sums taken of values scaled by the peak: 1e308s add up, and 1e160 and 1e-170 square,
    // within the doubles.
    const double unit = f.peak > 0 && std::isfinite(f.peak) ? f.peak : 1;
    double sum = 0, squares = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = at(i) / unit;
        sum += y;
        squares += y * y;
    }
    const double mean = sum / double(n);
    f.dc = unit * mean;
    double swings = 0, swing = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = at(i) / unit - mean;
        swings += d * d;
        swing = std::max(swing, std::fabs(d));
    }
    f.rms = unit * std::sqrt(squares / double(n));
    f.acRms = unit * std::sqrt(swings / double(n));
    if (swings > 0)
        f.crest = swing / std::sqrt(swings / double(n));

    f.seam = std::fabs(at(0) - at(n - 1));

    const double middle = lo / 2 + hi / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const double y = at(i), mirrored = at(n - i);
        f.oddDeviation = std::max(f.oddDeviation, std::fabs(y - middle + (mirrored - middle)));
        f.evenDeviation = std::max(f.evenDeviation, std::fabs(y - mirrored));
    }
    const double quarter = QuarterWaveDeviation(n, lo + hi, at);
    f.quarterWaveDeviation = quarter < 0 ? WaveFigures::None : quarter;

    const std::size_t last = n / 2;
    for (std::size_t k = 1; k <= last; ++k)
        if (s.amplitude[k] > s.amplitude[f.fundamentalAt] || f.fundamentalAt == 0)
            f.fundamentalAt = k;
    // Rounding leaves every table some spectrum: a fundamental lost in it is none.
    if (f.fundamentalAt == 0 ||
        !(s.amplitude[f.fundamentalAt] > 1e-13 * std::max(f.peak, 1e-300))) {
        f.fundamentalAt = 0;
        return f;
    }
    const std::size_t k1 = f.fundamentalAt;
    f.fundamental = s.amplitude[k1];
    f.phaseDegrees = s.phaseDegrees[k1];
    const double scale = f.fundamental; // powers relative to the fundamental's
    double harmonics = 0, noise = 0, spur = 0;
    const HarmonicBins harmonic(k1, n);
    const std::size_t* next = harmonic.bins;
    for (std::size_t k = 1; k <= last; ++k) {
        if (k == k1)
            continue;
        const double p = PowerOf(s, k, n, scale);
        spur = std::max(spur, s.amplitude[k]);
        if (k == *next) {
            harmonics += p;
            ++next;
        } else {
            noise += p;
        }
    }
    const double signal = PowerOf(s, k1, n, scale);
    const double thd = std::sqrt(harmonics / signal);
    f.thdPercent = 100 * thd;
    f.thdDb = 20 * std::log10(thd);
    f.sinadDb = Decibels(signal / (harmonics + noise));
    f.snrDb = Decibels(signal / noise);
    f.sfdrDb = 20 * std::log10(f.fundamental / spur);
    return f;
}
