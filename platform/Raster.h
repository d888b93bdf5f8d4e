#pragma once
// Which pixels a one-pixel line, a convex polygon and an ellipse cover, as pure geometry:
// the outline and the inside of a figure come from one rasterisation, so a fill always
// covers exactly what its outline encloses.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/Types.h"

// Pixels x0..x1 (both included) of row y.
struct PixelSpan {
    int y, x0, x1;
    bool operator==(const PixelSpan&) const = default;
};

struct FigureSpans {
    std::vector<PixelSpan> outline; // every outline pixel once
    std::vector<PixelSpan> inside;  // the pixels the outline encloses
};

// The pixels of the line from a to b without b, in walking order (Bresenham, the error term
// starting at half the major distance). Computed in 64 bits.
template <class Visit> void WalkLine(CPoint a, CPoint b, Visit visit) {
    const std::int64_t dx = std::llabs(std::int64_t(b.x) - a.x);
    const std::int64_t dy = std::llabs(std::int64_t(b.y) - a.y);
    const int sx = b.x > a.x ? 1 : -1, sy = b.y > a.y ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t n = xMajor ? dx : dy;
    std::int64_t x = a.x, y = a.y, err = n / 2;
    for (std::int64_t i = 0; i < n; ++i) {
        visit(int(x), int(y));
        if (xMajor) {
            x += sx;
            if ((err -= dy) < 0) {
                y += sy;
                err += dx;
            }
        } else {
            y += sy;
            if ((err -= dx) < 0) {
                x += sx;
                err += dy;
            }
        }
    }
}

// Steps [first, last) of a line's walk: step i is the walk's i-th pixel.
struct StepRange {
    std::int64_t first = 0, last = 0;
    bool Empty() const { return first >= last; }
};

// The walk of WalkLine from a to b, entered at any step without walking to it.
struct LineWalk {
    LineWalk(CPoint a, CPoint b);
    // The steps whose pixels lie in `bounds` (right and bottom outside): one stretch, since
    // both coordinates move one way. Found by arithmetic, whatever the line's length.
    StepRange StepsInside(const CRect& bounds) const;
    // The pixel of step i and the error term the walk has there.
    void StateAt(std::int64_t i, std::int64_t& x, std::int64_t& y, std::int64_t& err) const;

    std::int64_t ax, ay, dx, dy, n;
    int sx, sy;
    bool xMajor;

private:
    std::int64_t MinorSteps(std::int64_t i) const;
    // The first step whose minor coordinate has moved `m` times.
    std::int64_t FirstStepWithMinor(std::int64_t m) const;
};

// A polygon cut to a rectangle (Sutherland-Hodgman), in floating point: inside the rectangle it
// encloses exactly what the polygon did, with either fill rule.
struct PointF {
    double x, y;
};
std::vector<PointF> ClipPolygon(const std::vector<PointF>& polygon, double left, double top,
                                double right, double bottom);

// True when the corners turn one way only (collinear corners allowed).
bool IsConvex(const CPoint* points, int count);

// A closed convex polygon through `points`: its outline as LineTo draws it edge by edge, and
// the pixels between the outline's left and right runs on each row.
FigureSpans ConvexPolygonSpans(const CPoint* points, int count);

// The ellipse inside box (right and bottom outside): the pixels whose centres lie in it; the
// outline is those with a side neighbour outside, so it is closed and one pixel wide.
FigureSpans EllipseSpans(const CRect& box);
