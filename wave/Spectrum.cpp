#include "wave/Spectrum.h"

#include <cmath>
#include <new>
#include <numbers>

#include "files/MemoryGate.h"

FftwBuffer<std::complex<double>> TransformOf(const double* ys, std::size_t n, std::size_t stride) {
    const std::size_t bins = n / 2 + 1;
    // The transform's two buffers and the spectrum's two columns.
    AskForMemory(std::uint64_t(n) * sizeof(double) + std::uint64_t(bins) * 32);
    FftwBuffer<std::complex<double>> out = FftBins(bins);
    FftwBuffer<double> in = FftReals(n);
    for (std::size_t i = 0; i < n; ++i)
        in[i] = ys[i * stride];
    ForwardFft(n, in.get(), out.get());
    return out;
}

HarmonicSpectrum SpectrumOfBins(const std::complex<double>* out, std::size_t n) {
    HarmonicSpectrum s;
    const std::size_t bins = n / 2 + 1;
    s.amplitude.resize(bins);
    s.phaseDegrees.resize(bins);
    const double whole = 1.0 / double(n), twice = 2.0 / double(n);
    for (std::size_t k = 0; k < bins; ++k) {
        const double re = out[k].real(), im = out[k].imag();
        const bool edge = k == 0 || 2 * k == n;
        double magnitude = std::sqrt(re * re + im * im); // a sixth of hypot's time
        if (!std::isfinite(magnitude) || magnitude < 1e-150)
            magnitude = std::hypot(re, im); // squares beyond the doubles, either way
        s.amplitude[k] = magnitude * (edge ? whole : twice);
        s.phaseDegrees[k] = std::atan2(im, re) * (180.0 / std::numbers::pi);
    }
    return s;
}

HarmonicSpectrum SpectrumOf(const double* ys, std::size_t n, std::size_t stride) {
    if (n == 0 || n > 2147483647u)
        return {};
    return SpectrumOfBins(TransformOf(ys, n, stride).get(), n);
}
