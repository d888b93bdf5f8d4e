#pragma once
// Frames between two frames A and B of N samples: linearly, (1 - t) A + t B, or spectrally,
// each harmonic's amplitude interpolated in the square root of its magnitude and its phase
// along the shorter arc, DC and Nyquist as the real values they are, so that two sines of
// different phase keep their level all the way. t = 0 gives A and t = 1 gives B exactly.

#include <complex>
#include <cstddef>
#include <vector>

#include "wave/FftPlans.h"

enum class MorphMethod { Linear, Spectral };

class CFrameMorph {
public:
    // Keeps copies of the two frames (and their spectra); throws std::bad_alloc.
    CFrameMorph(const double* a, const double* b, std::size_t n, MorphMethod method);
    // The frame at t, 0..1, into `out` (n samples).
    void At(double t, double* out);

private:
    std::size_t n;
    MorphMethod method;
    std::vector<double> a, b;
    // Spectral: each bin's square root of magnitude and phase at either end, and the room the
    // inverse transform works in.
    std::vector<double> rootA, rootB, phaseA, turn;
    std::vector<std::complex<double>> edgeA, edgeB; // DC and Nyquist as they are
    FftwBuffer<std::complex<double>> bins;
    FftwBuffer<double> samples;
};

// K frames between A and B at t = k / (K + 1), k = 1..K, one after another (K x n values).
std::vector<double> MorphFrames(const double* a, const double* b, std::size_t n, std::size_t k,
                                MorphMethod method);
