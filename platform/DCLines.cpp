// Lines: one-pixel lines walked here with the framework's rules, wide ones through Qt.
#include <QPolygon>
#include <algorithm>
#include <cstdlib>

#include "platform/DCPaint.h"

using namespace dcqt;

namespace {

// A one-pixel line from a to b that leaves out b; the gaps of a styled pen take the
// background colour when the background is opaque.
void CosmeticLine(QPainter& p, CPoint a, CPoint b, const CPen& pen, int rop, int bkMode,
                  COLORREF bk) {
    if (a == b)
        return;
    p.setCompositionMode(CompositionFor(rop));
    const DashPattern* dash = DashFor(pen.style);
    const long long dx = std::llabs(static_cast<long long>(b.x) - a.x);
    const long long dy = std::llabs(static_cast<long long>(b.y) - a.y);
    if (!dash && (dx == 0 || dy == 0)) {
        QRect r = dx == 0 ? QRect(a.x, std::min(a.y, b.y + 1), 1, int(dy))
                          : QRect(std::min(a.x, b.x + 1), a.y, int(dx), 1);
        if (dx == 0 && b.y > a.y)
            r.moveTop(a.y);
        if (dy == 0 && b.x > a.x)
            r.moveLeft(a.x);
        p.fillRect(r, ToQColor(pen.colour));
        return;
    }
    // Only the part that can reach the device is walked.
    const QRect bounds = p.hasClipping() ? p.clipBoundingRect().toAlignedRect()
                                         : QRect(0, 0, p.device()->width(), p.device()->height());
    const int sx = b.x > a.x ? 1 : -1;
    const int sy = b.y > a.y ? 1 : -1;
    const long long n = std::max(dx, dy);
    const bool xMajor = dx >= dy;
    const QColor colour = ToQColor(pen.colour);
    QPolygon on, off;
    // A solid line is a few straight runs along its major axis: one fill per run.
    long long runStart = 0, runX = a.x, runY = a.y;
    auto flushRun = [&](long long length) {
        if (length <= 0)
            return;
        QRect r = xMajor ? QRect(int(sx > 0 ? runX : runX - length + 1), int(runY), int(length), 1)
                         : QRect(int(runX), int(sy > 0 ? runY : runY - length + 1), 1, int(length));
        r = r.intersected(bounds);
        if (!r.isEmpty())
            p.fillRect(r, colour);
    };
    long long x = a.x, y = a.y, err = (xMajor ? dx : dy) / 2;
    int run = 0, left = dash ? dash->runs[0] : 0;
    long long first = 0;
    // A start far before the bounds along the major axis: step there at once, with the error
    // term and the dash position the walk would have had.
    {
        const long long major = xMajor ? x : y;
        const int s = xMajor ? sx : sy;
        const long long lo = xMajor ? bounds.left() : bounds.top();
        const long long hi = xMajor ? bounds.right() : bounds.bottom();
        long long k = s > 0 ? lo - major : major - hi;
        if (k > 1 && k < n) {
            --k; // stop one short; the loop takes the last step
            const long long dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
            const __int128 taken = __int128(k) * dMinor - err;
            const long long m = taken > 0 ? (long long)((taken + dMajor - 1) / dMajor) : 0;
            err = (long long)(err - __int128(k) * dMinor + __int128(m) * dMajor);
            if (xMajor) {
                x += sx * k;
                y += sy * m;
            } else {
                y += sy * k;
                x += sx * m;
            }
            first = k;
            runStart = k;
            runX = x;
            runY = y;
            if (dash) {
                int total = 0;
                for (int r = 0; r < dash->count; ++r)
                    total += dash->runs[r];
                long long offset = k % total;
                run = 0;
                while (offset >= dash->runs[run]) {
                    offset -= dash->runs[run];
                    run = (run + 1) % dash->count;
                }
                left = dash->runs[run] - int(offset);
            }
        }
    }
    for (long long i = first; i < n; ++i) {
        if (!dash) {
            // Runs outside the bounds are cut by the fill; only their count matters here.
        } else {
            const bool drawOn = run % 2 == 0;
            if (x >= bounds.left() && x <= bounds.right() && y >= bounds.top() &&
                y <= bounds.bottom()) {
                if (drawOn)
                    on << QPoint(int(x), int(y));
                else if (bkMode == OPAQUE)
                    off << QPoint(int(x), int(y));
            }
            if (--left == 0) {
                run = (run + 1) % dash->count;
                left = dash->runs[run];
            }
        }
        bool minorStep = false;
        if (xMajor) {
            x += sx;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
                minorStep = true;
            }
        } else {
            y += sy;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
                minorStep = true;
            }
        }
        if (!dash && (minorStep || i + 1 == n)) {
            flushRun(i + 1 - runStart);
            runStart = i + 1;
            runX = x;
            runY = y;
        }
        // Far outside the bounds along the major axis the rest of the line cannot come back.
        if (xMajor ? (sx > 0 ? x > bounds.right() : x < bounds.left())
                   : (sy > 0 ? y > bounds.bottom() : y < bounds.top())) {
            if (!dash)
                flushRun(i + 1 - runStart);
            break;
        }
    }
    if (!on.isEmpty()) {
        p.setPen(QPen(colour, 1));
        p.drawPoints(on);
    }
    if (!off.isEmpty()) {
        p.setPen(QPen(ToQColor(bk), 1));
        p.drawPoints(off);
    }
}

} // namespace

BOOL CDC::LineTo(int x, int y) {
    CPoint from = S().position;
    S().position = CPoint(x, y);
    PAINTER_OR(FALSE)
    if (S().pen.style == PS_NULL)
        return TRUE;
    if (IsCosmetic(S().pen) && target->IsRaster()) {
        CosmeticLine(p, from, CPoint(x, y), S().pen, S().rop, S().bkMode, S().bkColor);
    } else {
        p.setCompositionMode(CompositionFor(S().rop));
        // Gaps of a styled pen take the background colour when it is opaque.
        p.setBackgroundMode(S().bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
        p.setBackground(ToQColor(S().bkColor));
        p.setPen(WidePen(S().pen));
        p.drawLine(from.x, from.y, x, y);
    }
    return TRUE;
}

// Like LineTo, every segment leaves out its end; the current position stays.
BOOL CDC::Polyline(const CPoint* pts, int count) {
    if (!pts || count < 2)
        return FALSE;
    CPoint keep = S().position;
    MoveTo(pts[0]);
    for (int i = 1; i < count; ++i)
        LineTo(pts[i]);
    S().position = keep;
    return TRUE;
}

// The outline of a closed figure through its corners, every pixel once.
