#include "draw/Measure.h"

#include <cmath>

CSize TextExtent(CGraphDC& dc, const std::string& text) {
    if (!text.empty() && text.find('\n') != std::string::npos) {
        CRect r(0, 0, 0, 0);
        const int height = dc.DrawText(text, &r, DT_CALCRECT | DT_CENTER | DT_VCENTER);
        return CSize(r.right - r.left, height);
    }
    return dc.GetTextExtent(text);
}

double DistanceToLine(CPoint p1, CPoint p2, CPoint q) {
    const double vx = double(p2.x) - p1.x, vy = double(p2.y) - p1.y;
    const double wx = double(q.x) - p1.x, wy = double(q.y) - p1.y;
    const double vv = vx * vx + vy * vy;
    if (vv == 0)
        return std::hypot(wx, wy);
    const double t = (wx * vx + wy * vy) / vv;
    return std::hypot(wx - t * vx, wy - t * vy);
}
