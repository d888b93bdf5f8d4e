#pragma once
// Single cycles cut from a recording: where each cycle starts, found by a period given in
// samples, by following the pitch (a YIN difference function, each cut then put on the nearest
// rising zero crossing), or at rising zero crossings; and the cycles made frames of N samples.

#include <cstdint>
#include <string>
#include <vector>

#include "files/bank/BankShape.h"

enum class CycleCut { Period, Pitch, ZeroCrossings };

struct CycleOptions {
    CycleCut by = CycleCut::Pitch;
    double period = 0;                    // Period: samples a cycle
    double shortest = 16, longest = 4096; // Pitch: the periods looked for, in samples
};

// The starts of the cycles, in samples from the recording's start (between samples where the
// signal says so); the last start ends the last whole cycle.
std::vector<double> CycleStarts(const std::vector<double>& recording, const CycleOptions& options);

// Every `every`-th cycle, at most `most` of them, each resampled to `frameSize` samples (cubic
// interpolation over the recording); `error` says why there are none.
BankValues CyclesToFrames(const std::vector<double>& recording, const std::vector<double>& starts,
                          std::uint32_t frameSize, std::uint32_t every, std::uint32_t most,
                          std::string& error);
