// Rectangles, ellipses, polygons, fills and single pixels.
#include <QPolygon>
#include <algorithm>
#include <cstdint>

#include "platform/DCPaint.h"
#include "platform/DirectImage.h"
#include "platform/Raster.h"

using namespace dcqt;

namespace {

constexpr std::int64_t RasterLimit = 4096;
bool Rasterisable(const CRect& bounds) {
    return std::int64_t(bounds.right) - bounds.left <= RasterLimit &&
           std::int64_t(bounds.bottom) - bounds.top <= RasterLimit;
}
bool Rasterisable(const CPoint* pts, int count) {
    std::int64_t x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
    for (int i = 1; i < count; ++i) {
        x0 = std::min<std::int64_t>(x0, pts[i].x), x1 = std::max<std::int64_t>(x1, pts[i].x);
        y0 = std::min<std::int64_t>(y0, pts[i].y), y1 = std::max<std::int64_t>(y1, pts[i].y);
    }
    return x1 - x0 <= RasterLimit && y1 - y0 <= RasterLimit;
}

void FillSpans(QPainter& p, const std::vector<PixelSpan>& spans, const QBrush& brush) {
    for (const PixelSpan& s : spans)
        p.fillRect(ToQRect(CRect(s.x0, s.y, SatSum(s.x1, 1), SatSum(s.y, 1))), brush);
}

// Whether a figure within these bounds (right and bottom outside), with a pen of this width,
// can touch the device. When it cannot there is nothing to draw, and nothing to compute with
// its far coordinates; when it can, what it may write is marked on the surface first.
bool Reaches(const DCTarget& target, QPainter& p, std::int64_t l, std::int64_t t, std::int64_t r,
             std::int64_t b, int penWidth) {
    const QRect d = DeviceBounds(p);
    const std::int64_t m = std::max(2, penWidth);
    if (r + m <= d.left() || l - m > d.right() || b + m <= d.top() || t - m > d.bottom())
        return false;
    target.Drawn(l - m, t - m, r + m, b + m);
    return true;
}

// Corners beyond this lie far off any device; Qt's fixed-point rasteriser cannot take them.
constexpr std::int64_t FarCorner = 1 << 22;

} // namespace

static void Outline(CDC& dc, const CPoint* pts, int count) {
    dc.MoveTo(pts[0]);
    for (int i = 1; i < count; ++i)
        dc.LineTo(pts[i]);
    dc.LineTo(pts[0]);
}

BOOL CDC::Rectangle(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    box.NormalizeRect();
    PAINTER_OR(FALSE)
    if (!Reaches(*target, p, box.left, box.top, box.right, box.bottom, S().pen.width))
        return TRUE;
    const bool nullPen = S().pen.style == PS_NULL;
    p.setCompositionMode(CompositionFor(S().rop));
    const QBrush brush = FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor);
    const int right1 = SatSum(box.right, -1), bottom1 = SatSum(box.bottom, -1);
    if (nullPen || (IsCosmetic(S().pen) && target->IsRaster())) {
        // A null pen leaves the right and bottom edges out of the fill as well.
        const QRect fill =
            nullPen ? ToQRect(CRect(box.left, box.top, right1, bottom1))
                    : ToQRect(CRect(SatSum(box.left, 1), SatSum(box.top, 1), right1, bottom1));
        if (S().brush.kind != CBrush::Hollow && fill.width() > 0 && fill.height() > 0)
            p.fillRect(fill, brush);
        if (!nullPen && box.Width() > 0 && box.Height() > 0) {
            CPoint keep = S().position;
            CPoint corners[4] = {
                {box.left, box.top}, {right1, box.top}, {right1, bottom1}, {box.left, bottom1}};
            if (box.Width() == 1 || box.Height() == 1) {
                p.fillRect(ToQRect(box), ToQColor(S().pen.colour));
            } else {
                Outline(*this, corners, 4);
            }
            S().position = keep;
        }
        return TRUE;
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(WidePen(S().pen));
    p.setBrush(brush);
    p.drawRect(ToQRect(CRect(box.left, box.top, right1, bottom1)));
    return TRUE;
}

BOOL CDC::Ellipse(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    box.NormalizeRect();
    PAINTER_OR(FALSE)
    if (!Reaches(*target, p, box.left, box.top, box.right, box.bottom, S().pen.width))
        return TRUE;
    const QRect q =
        ToQRect(CRect(box.left, box.top, SatSum(box.right, -1), SatSum(box.bottom, -1)));
    p.setCompositionMode(CompositionFor(S().rop));
    if (S().pen.style == PS_SOLID && IsCosmetic(S().pen) && target->IsRaster() &&
        Rasterisable(box)) {
        // Fill and outline from one rasterisation: the fill covers exactly the inside.
        const FigureSpans spans = EllipseSpans(box);
        if (S().brush.kind != CBrush::Hollow)
            FillSpans(p, spans.inside, FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor));
        p.setBackgroundMode(Qt::TransparentMode);
        FillSpans(p, spans.outline, QBrush(ToQColor(S().pen.colour)));
        return TRUE;
    }
    // Filled first, then outlined: Qt strokes differently over an opaque background.
    if (S().brush.kind != CBrush::Hollow) {
        p.setPen(Qt::NoPen);
        p.setBrush(FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor));
        p.drawEllipse(q);
    }
    if (S().pen.style != PS_NULL) {
        p.setBackgroundMode(Qt::TransparentMode);
        p.setPen(IsCosmetic(S().pen) ? QPen(ToQColor(S().pen.colour), 1) : WidePen(S().pen));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(q);
    }
    return TRUE;
}

BOOL CDC::Polygon(const CPoint* pts, int count) {
    if (!pts || count < 2)
        return FALSE;
    PAINTER_OR(FALSE)
    std::int64_t l = pts[0].x, t = pts[0].y, r = l, b = t;
    for (int i = 1; i < count; ++i) {
        l = std::min<std::int64_t>(l, pts[i].x), r = std::max<std::int64_t>(r, pts[i].x);
        t = std::min<std::int64_t>(t, pts[i].y), b = std::max<std::int64_t>(b, pts[i].y);
    }
    if (!Reaches(*target, p, l, t, r + 1, b + 1, S().pen.width))
        return TRUE;
    p.setCompositionMode(CompositionFor(S().rop));
    const QBrush brush = FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor);
    const bool nullPen = S().pen.style == PS_NULL;
    if (S().pen.style == PS_SOLID && IsCosmetic(S().pen) && target->IsRaster() &&
        Rasterisable(pts, count) && IsConvex(pts, count)) {
        // Fill and outline from one rasterisation: the fill covers exactly the inside.
        const FigureSpans spans = ConvexPolygonSpans(pts, count);
        if (S().brush.kind != CBrush::Hollow)
            FillSpans(p, spans.inside, brush);
        p.setBackgroundMode(Qt::TransparentMode);
        FillSpans(p, spans.outline, QBrush(ToQColor(S().pen.colour)));
        return TRUE;
    }
    // Far corners are cut off first, in floating point: Qt could not take them.
    auto fill = [&] {
        if (std::max({-l, -t, r, b}) < FarCorner) {
            QPolygon poly;
            poly.reserve(count);
            for (int i = 0; i < count; ++i)
                poly << QPoint(pts[i].x, pts[i].y);
            p.drawPolygon(poly, Qt::OddEvenFill);
            return;
        }
        std::vector<PointF> corners;
        corners.reserve(std::size_t(count));
        for (int i = 0; i < count; ++i)
            corners.push_back({double(pts[i].x), double(pts[i].y)});
        const QRect d = DeviceBounds(p);
        const double margin = 64 + S().pen.width;
        QPolygonF cut;
        for (const PointF& c : ClipPolygon(corners, d.left() - margin, d.top() - margin,
                                           d.right() + margin, d.bottom() + margin))
            cut << QPointF(c.x, c.y);
        p.drawPolygon(cut, Qt::OddEvenFill);
    };
    if (nullPen || (IsCosmetic(S().pen) && target->IsRaster())) {
        if (S().brush.kind != CBrush::Hollow) {
            p.setPen(Qt::NoPen);
            p.setBrush(brush);
            fill();
        }
        if (!nullPen) {
            CPoint keep = S().position;
            Outline(*this, pts, count);
            S().position = keep;
        }
        return TRUE;
    }
    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(WidePen(S().pen));
    p.setBrush(brush);
    fill();
    return TRUE;
}

void CDC::FillRect(const CRect& r, const CBrush& brush) {
    PAINTER_OR()
    if (brush.kind == CBrush::Hollow || r.IsRectEmpty())
        return;
    if (brush.kind == CBrush::Solid) {
        if (const DirectImage direct = DirectImage::For(*target, R2_COPYPEN)) {
            direct.FillRect(r, ToQColor(brush.colour).rgb());
            return;
        }
    }
    target->Drawn(r.left, r.top, r.right, r.bottom);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Pattern brushes always paint their clear bits in the background colour.
    const bool opaque = S().bkMode == OPAQUE || brush.kind == CBrush::Pattern;
    p.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(ToQColor(S().bkColor));
    p.fillRect(ToQRect(r), ToQBrush(brush));
    p.setBackgroundMode(Qt::TransparentMode);
}

// Like the framework, this leaves the background colour set to `c`.
void CDC::FillSolidRect(const CRect& r, COLORREF c) {
    SetBkColor(c);
    PAINTER_OR()
    if (r.IsRectEmpty())
        return;
    if (const DirectImage direct = DirectImage::For(*target, R2_COPYPEN)) {
        direct.FillRect(r, ToQColor(c).rgb());
        return;
    }
    target->Drawn(r.left, r.top, r.right, r.bottom);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(ToQRect(r), ToQColor(c));
}

void CDC::RefillSolidRect(const CRect& r, COLORREF c) {
    RefillSolidRects({{r, c}});
}

// A window's surface remembers the last fill of the rectangles and what was drawn over them
// since: filling them again writes nothing now, and clears only what this paint leaves
// undrawn.
void CDC::RefillSolidRects(const std::vector<CFillPart>& wanted) {
    if (wanted.empty())
        return;
    SetBkColor(wanted.back().colour); // as the last fill leaves it
    PAINTER_OR()
    (void)p;
    const std::shared_ptr<SurfaceMemory> memory = target->surfaceMemory;
    const DirectImage direct = DirectImage::For(*target, R2_COPYPEN);
    bool inside = memory && direct;
    std::vector<SurfaceMemory::Part> parts;
    for (std::size_t k = 0; inside && k < wanted.size(); ++k) {
        // An inside-out rectangle fills nothing, here as on any other target.
        const CRect& r = wanted[k].rect;
        const QRect cut = r.IsRectEmpty() ? QRect() : ToQRect(r) & target->image->rect();
        if (cut.isEmpty())
            continue;
        inside = direct.Bounds().contains(cut);
        parts.push_back({CRect(cut.left(), cut.top(), cut.right() + 1, cut.bottom() + 1),
                         ToQColor(wanted[k].colour).rgb() | 0xFF000000u});
    }
    if (!inside || parts.empty()) {
        if (memory)
            memory->Settle();
        for (const CFillPart& w : wanted)
            FillSolidRect(w.rect, w.colour);
        if (memory) // a fill cut by the clip leaves part of a rectangle as it was
            memory->Forget();
        return;
    }
    if (memory->Remembers(parts)) {
        memory->FillAgain();
        return;
    }
    memory->Settle();
    for (const SurfaceMemory::Part& part : parts)
        direct.FillRect(part.rect, part.colour);
    memory->Remember(parts);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    FillSolidRect(CRect(x, y, SatSum(x, cx), SatSum(y, cy)), c);
}

// Inverts every other pixel of the one-pixel border: drawing it twice restores the picture.
void CDC::DrawFocusRect(const CRect& rc) {
    PAINTER_OR()
    CRect r = rc;
    r.NormalizeRect();
    if (r.IsRectEmpty())
        return;
    target->Drawn(r.left, r.top, r.right, r.bottom);
    QPolygon pts;
    auto add = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            pts << QPoint(x, y);
    };
    for (int x = r.left; x < r.right; ++x) {
        add(x, r.top);
        if (r.bottom - 1 != r.top)
            add(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        add(r.left, y);
        if (r.right - 1 != r.left)
            add(r.right - 1, y);
    }
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    p.drawPoints(pts);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF c) {
    PAINTER_OR(COLORREF(-1))
    target->Drawn(x, y, std::int64_t(x) + 1, std::int64_t(y) + 1);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(QRect(x, y, 1, 1), ToQColor(c));
    return c;
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (!target || !target->image || !target->image->valid(x, y))
        return COLORREF(-1);
    QRgb px = target->image->pixel(x, y);
    return RGB(qRed(px), qGreen(px), qBlue(px));
}
