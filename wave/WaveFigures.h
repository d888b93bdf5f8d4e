#pragma once
// What a table will do once it repeats: its level, its harmonics and how clean it is, the
// step where it wraps, and how far it is from the symmetries a table can be stored by.

#include <cstddef>
#include <limits>

#include "wave/Spectrum.h"

struct WaveFigures {
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();
    double dc = 0;                 // the mean
    std::size_t fundamentalAt = 0; // the strongest harmonic from 1 on; 0 when there is none
    double fundamental = 0;        // its amplitude
    double phaseDegrees = None;    // of its cosine
    double rms = 0, peak = 0;      // over the samples, the mean included
    double acRms = 0;              // about the mean: the part that sounds
    double crest = None;           // the largest swing from the mean / acRms
    double thdPercent = None;      // harmonics 2f..10f against f, as a ratio of amplitudes,
                                   // those above N/2 where they fold back to
    double thdDb = None;
    double sinadDb = None; // f against everything else but the mean
    double snrDb = None;   // ... and but harmonics 2f..10f
    double sfdrDb = None;  // f against the strongest other harmonic
    double seam = 0;       // |first - last|: the step where the table wraps
    double maxStep = 0;    // the largest step between neighbours inside the table
    // The largest difference between samples that each symmetry pairs, about the middle of
    // the range: odd (y[n] = -y[N-n]), even (y[n] = y[N-n]) and quarter-wave (odd, and the
    // first quarter mirrored in the second); None where N is no multiple of 4.
    double oddDeviation = 0, evenDeviation = 0, quarterWaveDeviation = None;
};

// Harmonics up to this multiple of the fundamental count as distortion.
constexpr std::size_t DistortionHarmonics = 10;

// The bins of an N-point spectrum that hold a distortion harmonic of the fundamental at k1:
// 2k1..10k1, folded back below N/2 where they lie above (IEEE 1241), but k1 itself; ascending
// and each once, ended by 0, so that a walk over the spectrum meets them in turn.
struct HarmonicBins {
    std::size_t bins[DistortionHarmonics] = {};
    HarmonicBins(std::size_t k1, std::size_t n);
};

// The figures of `n` samples, `stride` doubles apart, with their spectrum (SpectrumOf).
WaveFigures FiguresOf(const double* ys, std::size_t n, const HarmonicSpectrum& spectrum,
                      std::size_t stride = 1);
