#pragma once
// A waveform at a new number of samples. Linear and cubic (Catmull-Rom) interpolation keep
// the first and the last sample where they are; a periodic table ("circular") is treated as
// repeating, so its end joins its start. Band-limited resampling goes through libsoxr, the SoX
// resampler, in double precision: its very high quality (best) or high quality (fast).

#include <cstddef>
#include <string>
#include <vector>

#include "files/Progress.h"

enum class ResampleMethod { Linear, Cubic, BandLimited, BandLimitedFast };

// `error` is set, and nothing returned, when it cannot be done.
// With a progress, it is stepped now and then and may end the work (OperationCancelled).
std::vector<double> Resample(const std::vector<double>& ys, std::size_t count,
                             ResampleMethod method, bool circular, std::string& error,
                             CProgress* progress = nullptr);
