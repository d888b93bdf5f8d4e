#pragma once
// A waveform at a new number of samples. Linear and cubic (Catmull-Rom) interpolation keep
// the first and the last sample where they are; a periodic table ("circular") is treated as
// repeating, so its end joins its start. Band-limited resampling goes through libsamplerate's
// best or fastest sinc converter (in single precision, as the library works), on every core.

#include <cstddef>
#include <string>
#include <vector>

enum class ResampleMethod { Linear, Cubic, BandLimited, BandLimitedFast };

// `error` is set, and nothing returned, when it cannot be done.
std::vector<double> Resample(const std::vector<double>& ys, std::size_t count,
                             ResampleMethod method, bool circular, std::string& error);
