// Drawing an axis: range bands, value markers, series badges, title, ticks, labels, grid,
// the axis line with its arrow, and the selection frame. Drawing also settles the layout
// values the value/pixel mapping uses.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "draw/Measure.h"
#include "draw/Symbols.h"
#include "graph/axes/PlotAxis.h"
#include "graph/axes/TickSteps.h"
#include "graph/axes/TickWalk.h"
#include "graph/axes/Truncate.h"

namespace {

// Writes text at a point of the layout, scaled like every other coordinate when printing.
void TextAt(CGraphDC& dc, int x, int y, const std::string& text) {
    const CPoint p = dc.scaling ? dc.ScalePoint(CPoint(x, y)) : CPoint(x, y);
    dc.TextOut(p.x, p.y, text);
}

COLORREF Blend(COLORREF a, COLORREF b, double t) {
    auto mix = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

} // namespace

void CPlotAxis::DrawVisibleOrNot(CGraphDC* dc, const std::function<void(CGraphDC&)>& draw) {
    if (visible && dc) {
        draw(*dc);
        return;
    }
    CGraphDC sink; // a hidden axis is laid out into a context that shows nothing
    sink.CreateCompatibleDC(dc);
    if (dc) {
        sink.scaleKnown = dc->scaleKnown;
        sink.scaling = dc->scaling;
        sink.fewColours = dc->fewColours;
        sink.horizontalScale = dc->horizontalScale;
        sink.verticalScale = dc->verticalScale;
    }
    draw(sink);
}

void CPlotAxis::Draw(CGraphDC* dc) {
    DrawVisibleOrNot(dc, [this](CGraphDC& target) { DrawLayout(target); });
}

void CPlotAxis::DrawLayout(CGraphDC& dc) {
    if (autoScale)
        AutoScale(dc);
    viewSpan = viewMax - viewMin;
    const CRect plot = Plot();
    const double sx = dc.horizontalScale;
    const bool vertical = orientation == Vertical;
    const CSize titleSize = TitleExtent(dc);
    const double steps = (viewMax - viewMin) / tickStep;

    int top = 0, end = 0;
    double d;
    if (vertical) {
        endMargin = 2.0 * ShownArrowSize();
        markerRoom = SeriesBadgeRoom(dc, false);
        if (!title.empty())
            endMargin += titleSize.cy;
        top = TruncInt(areaRect.top + markerRoom);
        d = ((originY - top) - endMargin) / steps;
        pixelLength = plot.bottom - TruncInt(plot.top + endMargin + markerRoom);
    } else {
        endMargin = 4.0 * ShownArrowSize();
        markerRoom = SeriesBadgeRoom(dc, false);
        if (!title.empty())
            endMargin += titleSize.cx;
        end = TruncInt(plot.right - markerRoom);
        d = ((end - originX) - endMargin) / steps;
        pixelLength = TruncInt(d * (viewMax - viewMin) / tickStep);
    }

    DrawRangeBands(dc, plot);
    DrawValueMarkers(dc, plot);
    markerRoom = SeriesBadgeRoom(dc, true);

    dc.SetBkColor(dc.fewColours ? RGB(255, 255, 255)
                                : (owner ? owner->InnerColour() : RGB(255, 255, 255)));
    dc.SetBkMode(OPAQUE);

    const CFont tickShown = dc.PrintFont(tickFont);
    DrawTitle(dc, vertical ? top : end, titleSize);

    // Ticks: from viewMin, one step and d pixels at a time; a step that does not move draws none.
    const int gridWidth = dc.scaling && gridStyle == PS_SOLID ? int(sx) : 1;
    const CPen gridPen(gridStyle, gridWidth, gridColor);
    if (StepMoves(viewMin, tickStep) && std::isfinite(d)) {
        // Every tick up to viewMax, but only the last of those that share a pixel: the work
        // follows the axis's length in pixels, however small the step.
        const std::int64_t count = FirstFailing(0, std::int64_t(1) << 62, [&](std::int64_t k) {
            const double value = TickValue(k);
            return vertical ? value <= viewMax : value < viewMax;
        });
        // Ticks far beyond the area along the axis cannot show on it: passed over unmeasured.
        const double lo = (vertical ? areaRect.top : areaRect.left) - 2.0 * MaxDrawnSize;
        const double hi = (vertical ? areaRect.bottom : areaRect.right) + 2.0 * MaxDrawnSize;
        if (everyTick) {
            double position = vertical ? originY : originX;
            for (std::int64_t k = 0; k < count; position += vertical ? -d : d, ++k)
                if (position >= lo && position <= hi)
                    DrawTick(dc, position, TickValue(k), true, tickShown, gridPen, plot);
        } else {
            auto draw = [&](std::int64_t k, double position, std::int64_t first,
                            double firstPosition) {
                DrawLabelsShowingPast(dc, first, k, firstPosition, vertical ? -d : d, tickShown);
                DrawTick(dc, position, TickValue(k), true, tickShown, gridPen, plot);
            };
            WalkTicks(vertical ? originY : originX, vertical ? -d : d, count, lo, hi, draw);
        }
    }

    DrawAxisLine(dc, vertical ? top : end);
}

double CPlotAxis::TickValue(std::int64_t k) const {
    // One rounding per tick instead of one per step, so the ticks do not drift off the
    // multiples of the step; a residue of rounding at zero is zero, never "-0.0".
    const double value = viewMin + double(k) * tickStep;
    return std::abs(value) < std::abs(tickStep) * 1e-9 ? 0.0 : value;
}

void CPlotAxis::DrawTitle(CGraphDC& dc, int end, CSize size) {
    if (title.empty())
        return;
    const int gap = ShownLabelGap();
    CSelectGuard<CFont> font(dc, dc.PrintFont(titleFont));
    CRect r;
    UINT format = DT_LEFT;
    if (orientation != Vertical) // under the right end of the axis
        r = CRect(SatSum(end, -std::int64_t(size.cx)), SatSum(originY, gap), end,
                  SatSum(originY, gap, size.cy));
    else if (labelSide == 0) {
        r = CRect(SatSum(originX, -gap, -std::int64_t(size.cx)), end, SatSum(originX, -gap),
                  SatSum(end, size.cy));
        format = DT_RIGHT;
    } else
        r = CRect(SatSum(originX, gap), end, SatSum(originX, gap, size.cx), SatSum(end, size.cy));
    dc.DrawText(title, &r, format);
}

CRect CPlotAxis::TickLabelRect(double position, CSize size) const {
    const int gap = ShownLabelGap();
    if (orientation == Vertical) {
        const int h = size.cy / 2;
        const int y0 = TruncInt(position - h), y1 = TruncInt(position + h);
        return labelSide == 0 ? CRect(SatSum(originX, -gap, -std::int64_t(size.cx)), y0,
                                      SatSum(originX, -gap), y1)
                              : CRect(SatSum(originX, gap), y0, SatSum(originX, gap, size.cx), y1);
    }
    const int w = size.cx / 2;
    return CRect(TruncInt(position - w), SatSum(originY, gap), TruncInt(position + w),
                 SatSum(originY, gap, size.cy));
}

void CPlotAxis::DrawTickLabel(CGraphDC& dc, double position, const std::string& label, CSize size,
                              const CFont& shownFont) {
    CSelectGuard<CFont> font(dc, shownFont);
    CRect r = TickLabelRect(position, size);
    dc.DrawText(label, &r,
                orientation != Vertical ? DT_CENTER
                : labelSide == 0        ? DT_RIGHT
                                        : DT_LEFT);
}

void CPlotAxis::DrawLabelsShowingPast(CGraphDC& dc, std::int64_t first, std::int64_t last,
                                      double firstPosition, double step, const CFont& shownFont) {
    // Many ticks a pixel: their labels are told apart by no one; the last one stands for all.
    constexpr std::int64_t MostLooked = 4096;
    if (first >= last || last - first > MostLooked)
        return;
    struct Shown {
        double position;
        std::string label;
        CSize size;
        CRect rect;
        bool drawn;
    };
    std::vector<Shown> run;
    run.reserve(std::size_t(last - first + 1));
    CSelectGuard<CFont> measure(dc, tickFont); // measuring never scales
    double position = firstPosition;
    for (std::int64_t k = first; k <= last; ++k, position += step) {
        Shown s{position, LabelText(TickValue(k)), {}, {}, false};
        s.size = TextExtent(dc, s.label);
        s.rect = TickLabelRect(position, s.size);
        run.push_back(std::move(s));
    }
    // From the last back: a label wholly inside one drawn after it can never show.
    run.back().drawn = true; // drawn whole by the caller
    for (std::size_t i = run.size() - 1; i-- > 0;) {
        CRect& r = run[i].rect;
        bool covered = false;
        for (std::size_t j = i + 1; j < run.size() && !covered; ++j) {
            const CRect& later = run[j].rect;
            covered = run[j].drawn && later.left <= r.left && later.top <= r.top &&
                      later.right >= r.right && later.bottom >= r.bottom;
        }
        run[i].drawn = !covered;
    }
    for (std::size_t i = 0; i + 1 < run.size(); ++i)
        if (run[i].drawn)
            DrawTickLabel(dc, run[i].position, run[i].label, run[i].size, shownFont);
}

void CPlotAxis::DrawTick(CGraphDC& dc, double position, double value, bool labelled,
                         const CFont& shownFont, const CPen& gridPen, const CRect& plot,
                         bool transparentLines) {
    const bool vertical = orientation == Vertical;
    const int gap = ShownLabelGap();
    const int at = TruncInt(position);
    if (labelled) {
        const std::string label = LabelText(value);
        CSize size;
        {
            CSelectGuard<CFont> measure(dc, tickFont); // measuring never scales
            size = TextExtent(dc, label);
        }
        DrawTickLabel(dc, position, label, size, shownFont);
    }
    CSelectGuard<CPen> pen(dc, gridPen);
    const int mode = transparentLines ? dc.SetBkMode(TRANSPARENT) : dc.GetBkMode();
    if (vertical) {
        const int from = labelSide == 0 ? SatSum(originX, -gap) : SatSum(originX, gap);
        const int to =
            showGrid && at != originY ? (labelSide == 0 ? plot.right : plot.left) : originX;
        dc.MoveTo(from, at);
        dc.LineTo(to, at);
    } else {
        dc.MoveTo(at, SatSum(originY, gap));
        dc.LineTo(at, showGrid && at != originX ? areaRect.top : originY);
    }
    dc.SetBkMode(mode);
}

void CPlotAxis::DrawAxisLine(CGraphDC& dc, int end) {
    {
        CSelectGuard<CPen> pen(dc,
                               CPen(PS_SOLID, dc.scaling ? int(dc.horizontalScale) : 1, colour));
        dc.MoveTo(originX, originY);
        if (orientation == Vertical) {
            dc.LineTo(originX, end);
            DrawArrow(dc, originX, end, 1, ShownArrowSize());
            rectangle = CRect(SatSum(originX, -5), end, SatSum(originX, 5), originY);
        } else {
            dc.LineTo(end, originY);
            DrawArrow(dc, end, originY, 2, ShownArrowSize());
            rectangle = CRect(originX, SatSum(originY, -5), end, SatSum(originY, 5));
        }
    }
    if (selected)
        dc.DrawFocusRect(rectangle);
}

void CPlotAxis::DrawArrow(CGraphDC& dc, int x, int y, int direction, int s) {
    for (int i = 0; i < s; ++i) {
        switch (direction) {
        case 0:
            dc.MoveTo(SatSum(x, i), SatSum(y, -i));
            dc.LineTo(SatSum(x, i), SatSum(y, i));
            break;
        case 1:
            dc.MoveTo(SatSum(x, -i), SatSum(y, i));
            dc.LineTo(SatSum(x, i), SatSum(y, i));
            break;
        case 2:
            dc.MoveTo(SatSum(x, -s, i), SatSum(y, -s, i));
            dc.LineTo(SatSum(x, -s, i), SatSum(y, s, -i));
            break;
        default:
            dc.MoveTo(SatSum(x, -s, i), SatSum(y, i));
            dc.LineTo(SatSum(x, s, -i), SatSum(y, i));
            break;
        }
    }
}

int CPlotAxis::SeriesBadgeRoom(CGraphDC& dc, bool draw) {
    if (!showSeriesBadges)
        return 0;
    const int e = ShownBadgeSize();
    const bool vertical = orientation == Vertical;
    const int self = owner ? owner->AxisIndex(this) : -1;
    const CRect plot = Plot();
    int placed = 0;
    if (owner && self >= 0) {
        for (int i = 0; i < owner->SeriesCount(); ++i) {
            const SeriesBadge s = owner->BadgeOf(i);
            if (!s.visible || (vertical ? s.yAxis : s.xAxis) != self)
                continue;
            if (draw) {
                int x, y;
                if (vertical) {
                    const int row = placed / 3, j = placed % 3;
                    x = SatSum(originX, (labelSide == 1 ? 1 : -1) * std::int64_t(j) * e, -e / 2);
                    y = SatSum(areaRect.top, std::int64_t(e) * row);
                } else {
                    const int column = placed / 2, j = placed % 2;
                    x = SatSum(plot.right, -e, -std::int64_t(column) * e);
                    y = SatSum(originY, -e / 2, j * e);
                }
                const bool symbol = s.markerMode == 1;
                DrawSeriesBadge(dc, x, y, symbol ? s.markerSymbol : i, e, s.colour, symbol);
            }
            ++placed;
        }
    }
    return SaturateInt(std::int64_t(e) * (vertical ? (placed + 2) / 3 : (placed + 1) / 2 + 1));
}

void CPlotAxis::DrawSeriesBadge(CGraphDC& dc, int x, int y, int number, int size, COLORREF c,
                                bool symbol) {
    if (symbol) {
        if (number >= 0 && number < SymbolCount)
            symbolTable[number](x, y, size, c, 0, &dc);
        return;
    }
    size = DrawnSize(size);
    dc.FillSolidRect(CRect(x, y, SatSum(x, size), SatSum(y, size)),
                     dc.fewColours ? RGB(0, 0, 0) : c);
    LOGFONTA lf{};
    lf.lfHeight = size;
    lf.lfWeight = 100;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Arial");
    if (dc.scaling) {
        lf.lfHeight = TruncInt(double(float(lf.lfHeight - 1) * dc.verticalScale));
    }
    CFont font;
    font.CreateFontIndirectA(&lf);
    CSelectGuard<CFont> guard(dc, font);
    const int brightness = std::max({int(GetRValue(c)), int(GetGValue(c)), GetBValue(c) / 2});
    const COLORREF text = dc.fewColours || brightness <= 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const COLORREF previous = dc.SetTextColor(text);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", number + 1);
    CRect r(x, y, SatSum(x, size), SatSum(y, size));
    dc.DrawText(digits, &r, DT_CENTER);
    dc.SetTextColor(previous);
}

void CPlotAxis::DrawRangeBands(CGraphDC& dc, const CRect& plot) {
    const bool vertical = orientation == Vertical;
    for (const RangeBand& b : rangeBands) {
        const CPoint p1 = PixelOfValue({b.from, b.from}), p2 = PixelOfValue({b.to, b.to});
        CRect r;
        if (vertical) {
            r = CRect(plot.left, std::clamp(std::min(p1.y, p2.y), plot.top, plot.bottom),
                      plot.right, std::clamp(std::max(p1.y, p2.y), plot.top, plot.bottom));
        } else {
            r = CRect(std::clamp(std::min(p1.x, p2.x), plot.left, plot.right), plot.top,
                      std::clamp(std::max(p1.x, p2.x), plot.left, plot.right), plot.bottom);
        }
        if (r.IsRectEmpty())
            continue;
        if (b.fillStyle >= HS_HORIZONTAL && b.fillStyle <= HS_DIAGCROSS) {
            CSelectGuard<CPen> pen(dc, CPen(PS_SOLID, 1, b.colourA));
            CSelectGuard<CBrush> brush(dc, CBrush(b.fillStyle, b.colourA));
            const int mode = dc.SetBkMode(TRANSPARENT);
            dc.Rectangle(r);
            dc.SetBkMode(mode);
        } else if (b.colourA == b.colourB) {
            const COLORREF keep = dc.GetBkColor();
            dc.FillSolidRect(r, b.colourA);
            dc.SetBkColor(keep);
        } else {
            // A linear blend from colour A at `from` to colour B at `to`.
            const COLORREF keep = dc.GetBkColor();
            const bool fromLow = vertical ? p1.y >= p2.y : p1.x <= p2.x;
            const int length = vertical ? r.Height() : r.Width();
            for (int k = 0; k < length; ++k) {
                const double t = length > 1 ? double(k) / (length - 1) : 0;
                const COLORREF c = Blend(b.colourA, b.colourB, fromLow ? t : 1 - t);
                if (vertical)
                    dc.FillSolidRect(CRect(r.left, r.bottom - 1 - k, r.right, r.bottom - k), c);
                else
                    dc.FillSolidRect(CRect(r.left + k, r.top, r.left + k + 1, r.bottom), c);
            }
            dc.SetBkColor(keep);
        }
        if (b.text[0]) {
            CRect inner = r;
            inner.DeflateRect(2, 2);
            const int mode = dc.SetBkMode(TRANSPARENT);
            dc.DrawText(b.text, &inner, DT_LEFT | DT_TOP);
            dc.SetBkMode(mode);
        }
    }
}

void CPlotAxis::DrawValueMarkers(CGraphDC& dc, const CRect& plot) {
    if (valueMarkers.empty())
        return;
    CFont bold;
    bold.CreateFontA(12, 0, 0, 0, 700, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    CSelectGuard<CFont> boldGuard(dc, bold);
    const int mode = dc.SetBkMode(TRANSPARENT);
    const bool vertical = orientation == Vertical;
    for (const ValueMarker& m : valueMarkers) {
        const int width = dc.scaling && m.penStyle == PS_SOLID
                              ? TruncInt(double(float(m.lineWidth) * dc.horizontalScale))
                              : m.lineWidth;
        CSelectGuard<CPen> pen(dc, CPen(m.penStyle, width, m.colour));
        const CPoint at = PixelOfValue({m.value, m.value});
        CFont markerFont;
        markerFont.CreateFontIndirectA(&m.font);
        CSize w;
        {
            CSelectGuard<CFont> measure(dc, markerFont);
            w = dc.GetTextExtent("W");
        }
        CSelectGuard<CFont> font(dc, dc.PrintFont(markerFont));
        if (vertical) {
            if (at.y < plot.top || at.y > plot.bottom)
                continue;
            dc.MoveTo(plot.left, at.y);
            dc.LineTo(plot.right, at.y);
            if (m.showValue)
                TextAt(dc, plot.left, at.y, LabelText(m.value));
            if (!m.text.empty()) {
                CRect r(plot.left, at.y - w.cy, plot.right, at.y);
                dc.DrawText(m.text, &r, DT_SINGLELINE | DT_RIGHT);
            }
        } else {
            if (at.x < plot.left || at.x > plot.right)
                continue;
            dc.MoveTo(at.x, plot.bottom);
            dc.LineTo(at.x, plot.top);
            if (m.showValue)
                TextAt(dc, at.x, plot.bottom, LabelText(m.value));
            if (!m.text.empty())
                TextAt(dc, at.x - w.cy, plot.top + w.cy + w.cx, m.text);
        }
    }
    dc.SetBkMode(mode);
}
