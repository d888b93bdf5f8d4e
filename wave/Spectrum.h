#pragma once
// The harmonic spectrum of a table taken as one period: the DFT of its N samples (FFTW), as
// the amplitude and phase of each harmonic 0..N/2.

#include <complex>
#include <cstddef>

#include "files/LargePages.h"
#include "wave/FftPlans.h"

struct HarmonicSpectrum {
    // Harmonic k as amplitude · cos(2πkn/N + phase): the mean at 0, 2|X_k|/N between,
    // |X_k|/N at N/2 (even N).
    LargeVector<double> amplitude;
    LargeVector<double> phaseDegrees; // of the cosine, -180..180
};

// The N / 2 + 1 bins of `n` samples, `stride` doubles apart (2 for the Y of DataPoint
// records); throws std::bad_alloc when they do not fit. Plans are made once per size and
// shared between threads.
FftwBuffer<std::complex<double>> TransformOf(const double* ys, std::size_t n,
                                             std::size_t stride = 1);

// The spectrum the bins of `n` samples give.
HarmonicSpectrum SpectrumOfBins(const std::complex<double>* bins, std::size_t n);

// Empty for no samples (or more than 2^31 - 1).
HarmonicSpectrum SpectrumOf(const double* ys, std::size_t n, std::size_t stride = 1);
