#pragma once
// What can be done to the Y values of samples [first, last) of a waveform in one step. Each
// is linear in the number of samples and allocates at most once; none writes a value that is
// not finite (a result that would not be finite is refused: the function returns false and
// changes nothing).

#include <cstddef>
#include <vector>

#include "files/DataPoint.h"

struct SampleRange {
    DataPoint* points;
    std::size_t count;
};

// The largest magnitude becomes `peak` (a range of zeros stays as it is).
bool NormalisePeak(SampleRange r, double peak);
// The minimum becomes `low` and the maximum `high` (a flat range goes to their middle).
bool NormaliseRange(SampleRange r, double low, double high);
// y := y * scale + offset.
bool ScaleOffset(SampleRange r, double scale, double offset);
// The mean becomes 0 (within rounding).
bool RemoveDC(SampleRange r);
void Invert(SampleRange r);
void Reverse(SampleRange r);
// Moving average over `width` samples (odd), centred; at the ends the window is cut short, or
// with `circular` it wraps around (a table that repeats).
bool Smooth(SampleRange r, int width, bool circular);
// Held to low..high.
void Clip(SampleRange r, double low, double high);
// To the nearest of 2^bits levels spread evenly over low..high (held to that range).
bool Quantise(SampleRange r, int bits, double low, double high);
