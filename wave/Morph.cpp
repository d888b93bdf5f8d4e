#include "wave/Morph.h"

#include "files/MemoryGate.h"

#include <algorithm>
#include <cmath>
#include <numbers>

CFrameMorph::CFrameMorph(const double* fa, const double* fb, std::size_t count, MorphMethod m)
    : n(count), method(m), a(fa, fa + count), b(fb, fb + count) {
    if (method == MorphMethod::Linear || n < 2)
        return;
    const std::size_t half = n / 2 + 1;
    AskForMemory(std::uint64_t(half) * 64 + std::uint64_t(n) * 8);
    bins = FftBins(half);
    samples = FftReals(n);
    rootA.resize(half);
    rootB.resize(half);
    phaseA.resize(half);
    turn.resize(half);
    std::vector<std::complex<double>> spectrumA(half);
    for (int end = 0; end < 2; ++end) {
        std::copy_n(end ? fb : fa, n, samples.get());
        ForwardFft(n, samples.get(), bins.get());
        if (!end)
            std::copy_n(bins.get(), half, spectrumA.begin());
    }
    for (std::size_t k = 0; k < half; ++k) {
        const std::complex<double> x = spectrumA[k], y = bins[k];
        rootA[k] = std::sqrt(std::abs(x));
        rootB[k] = std::sqrt(std::abs(y));
        phaseA[k] = std::arg(x);
        // The shorter way round from A's phase to B's: -pi..pi.
        turn[k] = std::remainder(std::arg(y) - std::arg(x), 2 * std::numbers::pi);
    }
    edgeA = {spectrumA[0], spectrumA[half - 1]};
    edgeB = {bins[0], bins[half - 1]};
}

void CFrameMorph::At(double t, double* out) {
    if (t <= 0 || t >= 1) { // the ends as they are, not as the arithmetic rounds them
        std::copy(t <= 0 ? a.begin() : b.begin(), t <= 0 ? a.end() : b.end(), out);
        return;
    }
    if (method == MorphMethod::Linear || n < 2) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = (1 - t) * a[i] + t * b[i];
        return;
    }
    const std::size_t half = n / 2 + 1;
    for (std::size_t k = 0; k < half; ++k) {
        const double root = (1 - t) * rootA[k] + t * rootB[k];
        bins[k] = std::polar(root * root, phaseA[k] + t * turn[k]);
    }
    // DC, and Nyquist where N is even, are real: their values are interpolated as they are.
    bins[0] = (1 - t) * edgeA[0] + t * edgeB[0];
    if (n % 2 == 0)
        bins[half - 1] = (1 - t) * edgeA[1] + t * edgeB[1];
    BackwardFft(n, bins.get(), samples.get());
    const double scale = 1.0 / double(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = samples[i] * scale;
}

std::vector<double> MorphFrames(const double* a, const double* b, std::size_t n, std::size_t k,
                                MorphMethod method) {
    CFrameMorph morph(a, b, n, method);
    AskForMemory(std::uint64_t(k) * n, sizeof(double));
    std::vector<double> frames(k * n);
    for (std::size_t j = 0; j < k; ++j)
        morph.At(double(j + 1) / double(k + 1), frames.data() + j * n);
    return frames;
}
