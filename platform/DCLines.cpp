// Lines: one-pixel lines walked here with the framework's rules, wide ones through Qt.
#include <QPolygon>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "platform/DCPaint.h"
#include "platform/DirectImage.h"
#include "platform/Raster.h"

using namespace dcqt;

namespace {

// A pattern's period, the sum of its runs.
int PeriodOf(const DashPattern& dash) {
    int period = 0;
    for (int r = 0; r < dash.count; ++r)
        period += dash.runs[r];
    return period;
}

// Whether a styled line along a row or a column can be written 64 steps at a time: a window
// of 64 steps and the pattern's period fit the 128 bits it is read from.
bool FitsWindow(const DashPattern& dash) {
    return PeriodOf(dash) <= 64;
}

// A styled line along row (or column) `at`, pixels lo..lo+n-1, whose pixel lo is step
// `first` of the pattern, and the steps run backwards along the row when `reversed`. Which
// of 64 steps the pattern draws is a window on the pattern laid end to end: those pixels
// are written and marked together.
void StraightStyledLine(const DirectImage& direct, bool row, int at, int lo, std::int64_t n,
                        const DashPattern& dash, std::int64_t first, bool reversed, QRgb on,
                        QRgb off, bool opaque) {
    const int period = PeriodOf(dash);
    unsigned __int128 tape = 0;
    for (int j = 0, r = 0, left = dash.runs[0]; j < period; ++j) {
        if (r % 2 == 0) // a drawn run
            tape |= static_cast<unsigned __int128>(1) << (reversed ? period - 1 - j : j);
        if (--left == 0 && ++r < dash.count)
            left = dash.runs[r];
    }
    for (int j = period; j < 128; ++j)
        tape |= (tape >> (j - period) & 1) << j;
    const int start = int(first % period);
    int phase = reversed ? period - 1 - start : start;
    if (opaque) // every pixel is written
        row ? direct.MarkRow(lo, int(lo + n - 1), at) : direct.MarkColumn(at, lo, int(lo + n - 1));
    for (std::int64_t k = 0; k < n; k += 64) {
        const std::uint64_t all =
            n - k >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << (n - k)) - 1;
        const std::uint64_t drawn = std::uint64_t(tape >> phase) & all;
        const int from = lo + int(k);
        direct.WriteBits(row, at, from, drawn, on);
        if (opaque)
            direct.WriteBits(row, at, from, ~drawn & all, off);
        else
            direct.MarkBits(row, at, from, drawn);
        phase = (phase + 64) % period;
    }
}

// A one-pixel line from a to b that leaves out b; the gaps of a styled pen take the
// background colour when the background is opaque. Only the steps whose pixels can reach the
// device are walked, entered at the exact state the whole walk would have there, so a line
// costs what it can show however far away its ends lie.
void CosmeticLine(QPainter& p, const DirectImage& direct, CPoint a, CPoint b, const CPen& pen,
                  int rop, int bkMode, COLORREF bk) {
    if (a == b)
        return;
    const QRect device = direct ? direct.Bounds() : DeviceBounds(p);
    const CRect bounds(device.left(), device.top(), device.right() + 1, device.bottom() + 1);
    const LineWalk walk(a, b);
    const StepRange steps = walk.StepsInside(bounds);
    if (steps.Empty())
        return;
    p.setCompositionMode(CompositionFor(rop));
    const DashPattern* dash = DashFor(pen.style);
    const QColor colour = ToQColor(pen.colour);
    std::int64_t x, y, err;
    walk.StateAt(steps.first, x, y, err);
    const std::int64_t dx = walk.dx, dy = walk.dy;
    const int sx = walk.sx, sy = walk.sy;
    const bool xMajor = walk.xMajor;

    // A solid line is a few straight runs along its major axis: one fill per run.
    std::int64_t runStart = steps.first, runX = x, runY = y;
    const QRgb onColour = colour.rgb(), offColour = ToQColor(bk).rgb();
    auto flushRun = [&](std::int64_t length) {
        if (length <= 0)
            return;
        const QRect r =
            xMajor ? QRect(int(sx > 0 ? runX : runX - length + 1), int(runY), int(length), 1)
                   : QRect(int(runX), int(sy > 0 ? runY : runY - length + 1), 1, int(length));
        if (dash) {               // the pattern's pixels are written one by one, unmarked
            if (bkMode == OPAQUE) // all of them; otherwise each is marked as it is written
                xMajor ? direct.MarkRow(r.left(), r.right(), r.top())
                       : direct.MarkColumn(r.left(), r.top(), r.bottom());
        } else if (!direct)
            p.fillRect(r, colour);
        else if (xMajor)
            direct.Fill(r.left(), r.right(), r.top(), onColour);
        else
            direct.Column(r.left(), r.top(), r.bottom(), onColour);
    };
    if (!dash) {
        // Each run's length follows from the error term, and the next one's from this one's
        // remainder: no step per pixel, and no division per run. The run ends with the step
        // that moves the minor coordinate.
        const std::int64_t minor = xMajor ? dy : dx, major = xMajor ? dx : dy;
        if (minor == 0) {
            flushRun(steps.last - steps.first);
            return;
        }
        const std::int64_t whole = major / minor, part = major % minor;
        std::int64_t before = err / minor, rest = err % minor; // steps before the minor one
        for (std::int64_t i = steps.first; i < steps.last;) {
            const std::int64_t k = std::min(before + 1, steps.last - i);
            runX = x, runY = y;
            flushRun(k);
            (xMajor ? x : y) += k * (xMajor ? sx : sy);
            (xMajor ? y : x) += xMajor ? sy : sx;
            const bool carry = (rest += part) >= minor;
            rest -= carry ? minor : 0;
            before = whole - 1 + carry;
            i += k;
        }
        return;
    }
    if (direct && (dx == 0 || dy == 0) && FitsWindow(*dash)) {
        const std::int64_t n = steps.last - steps.first;
        const std::int64_t step = xMajor ? sx : sy, from = xMajor ? x : y;
        StraightStyledLine(direct, xMajor, int(xMajor ? y : x),
                           int(step > 0 ? from : from - (n - 1)), n, *dash,
                           step > 0 ? steps.first : steps.first + n - 1, step < 0, onColour,
                           offColour, bkMode == OPAQUE);
        return;
    }
    int run = 0, left = 0;
    { // the pattern where the walk enters
        std::int64_t offset = steps.first % PeriodOf(*dash);
        while (offset >= dash->runs[run]) {
            offset -= dash->runs[run];
            run = (run + 1) % dash->count;
        }
        left = dash->runs[run] - int(offset);
    }
    QPolygon on, off;
    for (std::int64_t i = steps.first; i < steps.last; ++i) {
        if (direct) {
            if (run % 2 == 0) {
                if (bkMode != OPAQUE)
                    direct.MarkRow(int(x), int(x), int(y));
                direct.Write(int(x), int(x), int(y), onColour);
            } else if (bkMode == OPAQUE) {
                direct.Write(int(x), int(x), int(y), offColour);
            }
        } else if (run % 2 == 0) {
            on << QPoint(int(x), int(y));
        } else if (bkMode == OPAQUE) {
            off << QPoint(int(x), int(y));
        }
        if (--left == 0) {
            run = run + 1 == dash->count ? 0 : run + 1;
            left = dash->runs[run];
        }
        bool minorStep = false;
        if (xMajor) {
            x += sx;
            if ((err -= dy) < 0) {
                y += sy;
                err += dx;
                minorStep = true;
            }
        } else {
            y += sy;
            if ((err -= dx) < 0) {
                x += sx;
                err += dy;
                minorStep = true;
            }
        }
        if (direct && (minorStep || i + 1 == steps.last)) {
            flushRun(i + 1 - runStart);
            runStart = i + 1;
            runX = x;
            runY = y;
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
    const std::int64_t reach = std::int64_t(S().pen.width) / 2 + 2;
    if (IsCosmetic(S().pen) && target->IsRaster()) {
        // Written straight, the walk marks its own pixels; through Qt, its box is marked.
        const DirectImage direct = DirectImage::For(*target, S().rop);
        if (!direct)
            target->Drawn(std::min(from.x, x), std::min(from.y, y),
                          std::int64_t(std::max(from.x, x)) + 1,
                          std::int64_t(std::max(from.y, y)) + 1);
        CosmeticLine(p, direct, from, CPoint(x, y), S().pen, S().rop, S().bkMode, S().bkColor);
    } else {
        target->Drawn(std::min(from.x, x) - reach, std::min(from.y, y) - reach,
                      std::max(from.x, x) + reach, std::max(from.y, y) + reach);
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
