#pragma once
// The part of a straight segment inside a rectangle, found in floating point before anything
// becomes a pixel: a segment whose ends lie far beyond the int range is drawn as the true
// line wherever it crosses the window, instead of from ends held at the range's limits.

#include <optional>

#include "platform/Types.h"

struct ClippedSegment {
    CPoint a, b;
};

// The part of the segment from (ax, ay) to (bx, by) inside `band` (its edges included), its
// ends truncated toward zero; nothing when the segment misses the band or is not finite.
std::optional<ClippedSegment> ClipSegment(long double ax, long double ay, long double bx,
                                          long double by, const CRect& band);
