// Rectangles, ellipses, polygons, fills and single pixels.
#include <QPolygon>
#include <algorithm>
#include <cstdint>

#include "platform/DCPaint.h"
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
        p.fillRect(QRect(s.x0, s.y, s.x1 - s.x0 + 1, 1), brush);
}

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
    const bool nullPen = S().pen.style == PS_NULL;
    p.setCompositionMode(CompositionFor(S().rop));
    const QBrush brush = FillBrush(p, S().brush, S().rop, S().bkMode, S().bkColor);
    if (nullPen || (IsCosmetic(S().pen) && target->IsRaster())) {
        // A null pen leaves the right and bottom edges out of the fill as well.
        QRect fill = nullPen ? QRect(box.left, box.top, box.Width() - 1, box.Height() - 1)
                             : QRect(box.left + 1, box.top + 1, box.Width() - 2, box.Height() - 2);
        if (S().brush.kind != CBrush::Hollow && fill.width() > 0 && fill.height() > 0)
            p.fillRect(fill, brush);
        if (!nullPen && box.Width() > 0 && box.Height() > 0) {
            CPoint keep = S().position;
            CPoint corners[4] = {{box.left, box.top},
                                 {box.right - 1, box.top},
                                 {box.right - 1, box.bottom - 1},
                                 {box.left, box.bottom - 1}};
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
    p.drawRect(QRect(box.left, box.top, box.Width() - 1, box.Height() - 1));
    return TRUE;
}

BOOL CDC::Ellipse(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    box.NormalizeRect();
    PAINTER_OR(FALSE)
    const QRect q(box.left, box.top, box.Width() - 1, box.Height() - 1);
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
    QPolygon poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i)
        poly << QPoint(pts[i].x, pts[i].y);
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
    if (nullPen || (IsCosmetic(S().pen) && target->IsRaster())) {
        if (S().brush.kind != CBrush::Hollow) {
            p.setPen(Qt::NoPen);
            p.setBrush(brush);
            p.drawPolygon(poly, Qt::OddEvenFill);
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
    p.drawPolygon(poly, Qt::OddEvenFill);
    return TRUE;
}

void CDC::FillRect(const CRect& r, const CBrush& brush) {
    PAINTER_OR()
    if (brush.kind == CBrush::Hollow || r.IsRectEmpty())
        return;
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
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(ToQRect(r), ToQColor(c));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    FillSolidRect(CRect(x, y, x + cx, y + cy), c);
}

// Inverts every other pixel of the one-pixel border: drawing it twice restores the picture.
void CDC::DrawFocusRect(const CRect& rc) {
    PAINTER_OR()
    CRect r = rc;
    r.NormalizeRect();
    if (r.IsRectEmpty())
        return;
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
