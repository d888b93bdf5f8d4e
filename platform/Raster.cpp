#include "platform/Raster.h"

#include <algorithm>
#include <cmath>

namespace {

// Outline pixels sorted by row and column become outline runs and the gaps between them.
FigureSpans FromPixels(std::vector<CPoint>& pixels) {
    std::sort(pixels.begin(), pixels.end(),
              [](CPoint a, CPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    FigureSpans spans;
    for (std::size_t i = 0; i < pixels.size();) {
        const int y = pixels[i].y;
        int runStart = pixels[i].x, previous = runStart;
        int lastRunEnd = -1;
        bool haveRun = false;
        for (++i; i <= pixels.size(); ++i) {
            const bool sameRow = i < pixels.size() && pixels[i].y == y;
            if (sameRow && pixels[i].x == previous + 1) {
                previous = pixels[i].x;
                continue;
            }
            if (haveRun && runStart > lastRunEnd + 1)
                spans.inside.push_back({y, lastRunEnd + 1, runStart - 1});
            spans.outline.push_back({y, runStart, previous});
            lastRunEnd = previous;
            haveRun = true;
            if (!sameRow)
                break;
            runStart = previous = pixels[i].x;
        }
    }
    return spans;
}

} // namespace

LineWalk::LineWalk(CPoint a, CPoint b)
    : ax(a.x), ay(a.y), dx(std::llabs(std::int64_t(b.x) - a.x)),
      dy(std::llabs(std::int64_t(b.y) - a.y)), n(std::max(dx, dy)), sx(b.x > a.x ? 1 : -1),
      sy(b.y > a.y ? 1 : -1), xMajor(dx >= dy) {}

// The walk's error term starts at half the major distance and loses the minor distance each
// step; each time it goes below zero the minor coordinate moves and it gains the major one.
std::int64_t LineWalk::MinorSteps(std::int64_t i) const {
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const __int128 taken = __int128(i) * minor - major / 2;
    return taken > 0 ? std::int64_t((taken + major - 1) / major) : 0;
}

std::int64_t LineWalk::FirstStepWithMinor(std::int64_t m) const {
    if (m <= 0)
        return 0;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    if (minor == 0)
        return n; // never
    const __int128 first = (__int128(m - 1) * major + major / 2) / minor + 1;
    return first > n ? n : std::int64_t(first);
}

StepRange LineWalk::StepsInside(const CRect& bounds) const {
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top || n == 0)
        return {};
    // Steps along a coordinate that moves by one each step (s = +-1), from `start`.
    auto along = [](std::int64_t start, int s, std::int64_t lo, std::int64_t hi) {
        return s > 0 ? StepRange{lo - start, hi - start + 1}
                     : StepRange{start - hi, start - lo + 1};
    };
    const std::int64_t xLo = bounds.left, xHi = std::int64_t(bounds.right) - 1;
    const std::int64_t yLo = bounds.top, yHi = std::int64_t(bounds.bottom) - 1;
    const StepRange majorSteps = xMajor ? along(ax, sx, xLo, xHi) : along(ay, sy, yLo, yHi);
    const StepRange minorMoves = xMajor ? along(ay, sy, yLo, yHi) : along(ax, sx, xLo, xHi);
    StepRange r{std::max<std::int64_t>(0, majorSteps.first), std::min(n, majorSteps.last)};
    if (minorMoves.last <= 0)
        return {};
    r.first = std::max(r.first, FirstStepWithMinor(minorMoves.first));
    r.last = std::min(r.last, FirstStepWithMinor(minorMoves.last));
    return r.Empty() ? StepRange{} : r;
}

void LineWalk::StateAt(std::int64_t i, std::int64_t& x, std::int64_t& y, std::int64_t& err) const {
    const std::int64_t m = MinorSteps(i);
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    err = std::int64_t(__int128(major / 2) - __int128(i) * minor + __int128(m) * major);
    x = ax + sx * (xMajor ? i : m);
    y = ay + sy * (xMajor ? m : i);
}

std::vector<PointF> ClipPolygon(const std::vector<PointF>& polygon, double left, double top,
                                double right, double bottom) {
    std::vector<PointF> in = polygon, out;
    // One edge of the rectangle at a time: keep what lies on its inner side.
    auto cut = [&](auto inside, auto cross) {
        out.clear();
        for (std::size_t i = 0; i < in.size(); ++i) {
            const PointF a = in[i], b = in[(i + 1) % in.size()];
            if (inside(a)) {
                out.push_back(a);
                if (!inside(b))
                    out.push_back(cross(a, b));
            } else if (inside(b)) {
                out.push_back(cross(a, b));
            }
        }
        std::swap(in, out);
    };
    auto atX = [](double x) {
        return [x](PointF a, PointF b) {
            return PointF{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
        };
    };
    auto atY = [](double y) {
        return [y](PointF a, PointF b) {
            return PointF{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
        };
    };
    cut([left](PointF p) { return p.x >= left; }, atX(left));
    cut([right](PointF p) { return p.x <= right; }, atX(right));
    cut([top](PointF p) { return p.y >= top; }, atY(top));
    cut([bottom](PointF p) { return p.y <= bottom; }, atY(bottom));
    return in;
}

bool IsConvex(const CPoint* points, int count) {
    int sign = 0;
    for (int i = 0; i < count; ++i) {
        const CPoint a = points[i], b = points[(i + 1) % count], c = points[(i + 2) % count];
        const std::int64_t cross = (std::int64_t(b.x) - a.x) * (std::int64_t(c.y) - b.y) -
                                   (std::int64_t(b.y) - a.y) * (std::int64_t(c.x) - b.x);
        const int s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (s && sign && s != sign)
            return false;
        if (s)
            sign = s;
    }
    return true;
}

FigureSpans ConvexPolygonSpans(const CPoint* points, int count) {
    std::vector<CPoint> pixels;
    for (int i = 0; i < count; ++i)
        WalkLine(points[i], points[(i + 1) % count],
                 [&](int x, int y) { pixels.push_back(CPoint(x, y)); });
    if (pixels.empty() && count > 0)
        pixels.push_back(points[0]); // all corners on one pixel
    return FromPixels(pixels);
}

FigureSpans EllipseSpans(const CRect& box) {
    FigureSpans spans;
    const int w = box.right - box.left, h = box.bottom - box.top;
    if (w <= 0 || h <= 0)
        return spans;
    // Pixel centres relative to the box centre, in half pixels: inside when
    // (2x - cx)^2 / rx^2 + (2y - cy)^2 / ry^2 <= 1, with rx = w and ry = h doubled radii.
    const double rx = w, ry = h;
    std::vector<int> x0(static_cast<std::size_t>(h)), x1(static_cast<std::size_t>(h));
    for (int row = 0; row < h; ++row) {
        const double v = (2.0 * row + 1 - h) / ry;
        const double u = 1 - v * v;
        if (u < 0) {
            x0[std::size_t(row)] = 1, x1[std::size_t(row)] = 0; // empty
            continue;
        }
        // Columns c with |2c + 1 - w| <= rx sqrt(u).
        const double half = rx * std::sqrt(u);
        int lo = int(std::ceil((w - 1 - half) / 2)), hi = int(std::floor((w - 1 + half) / 2));
        lo = std::max(lo, 0);
        hi = std::min(hi, w - 1);
        x0[std::size_t(row)] = lo;
        x1[std::size_t(row)] = hi;
    }
    auto in = [&](int row, int c) {
        return row >= 0 && row < h && c >= x0[std::size_t(row)] && c <= x1[std::size_t(row)];
    };
    for (int row = 0; row < h; ++row) {
        const int lo = x0[std::size_t(row)], hi = x1[std::size_t(row)];
        if (lo > hi)
            continue;
        const int y = box.top + row;
        // Outline: the row's ends, and every pixel whose upper or lower neighbour is outside.
        int c = lo;
        while (c <= hi) {
            const bool edge = c == lo || c == hi || !in(row - 1, c) || !in(row + 1, c);
            int end = c;
            while (end + 1 <= hi) {
                const int n = end + 1;
                const bool nEdge = n == lo || n == hi || !in(row - 1, n) || !in(row + 1, n);
                if (nEdge != edge)
                    break;
                end = n;
            }
            (edge ? spans.outline : spans.inside).push_back({y, box.left + c, box.left + end});
            c = end + 1;
        }
    }
    return spans;
}
