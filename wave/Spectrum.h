#pragma once
// The harmonic spectrum of a table taken as one period: the DFT of its N samples (FFTW), as
// the amplitude and phase of each harmonic 0..N/2.

#include <cstddef>
#include <vector>

struct HarmonicSpectrum {
    // Harmonic k as amplitude · cos(2πkn/N + phase): the mean at 0, 2|X_k|/N between,
    // |X_k|/N at N/2 (even N).
    std::vector<double> amplitude;
    std::vector<double> phaseDegrees; // of the cosine, -180..180
};

// Empty for no samples. Plans are made once per size and shared between threads; the
// transform allocates its own buffers (std::bad_alloc when they do not fit).
// `stride` doubles apart (2 for the Y of DataPoint records).
HarmonicSpectrum SpectrumOf(const double* ys, std::size_t n, std::size_t stride = 1);
