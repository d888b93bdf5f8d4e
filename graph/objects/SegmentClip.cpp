#include "graph/objects/SegmentClip.h"

#include <algorithm>
#include <cmath>

std::optional<ClippedSegment> ClipSegment(long double ax, long double ay, long double bx,
                                          long double by, const CRect& band) {
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by))
        return std::nullopt;
    const long double dx = bx - ax, dy = by - ay;
    long double t0 = 0, t1 = 1;
    // Liang and Barsky: each edge cuts the parameter range from one side.
    const long double p[] = {-dx, dx, -dy, dy};
    const long double q[] = {ax - band.left, band.right - ax, ay - band.top, band.bottom - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt; // parallel to the edge and outside it
            continue;
        }
        const long double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return std::nullopt;
    }
    // An end that was not cut stays exactly where it was. A cut end is held to the band: across
    // a span of thousands of orders of magnitude, `from + d * t` keeps no digit of the band.
    auto at = [](long double from, long double to, long double d, long double t, long double lo,
                 long double hi) {
        const long double v = t == 0 ? from : t == 1 ? to : from + d * t;
        return int(std::trunc(std::isnan(v) ? lo : std::clamp(v, lo, hi)));
    };
    const long double l = band.left, r = band.right, top = band.top, bottom = band.bottom;
    return ClippedSegment{CPoint(at(ax, bx, dx, t0, l, r), at(ay, by, dy, t0, top, bottom)),
                          CPoint(at(ax, bx, dx, t1, l, r), at(ay, by, dy, t1, top, bottom))};
}
