#include "graph/axes/PlotLogAxis.h"

#include <cmath>

#include "draw/Measure.h"
#include "graph/axes/Truncate.h"

IMPLEMENT_SERIAL(CPlotLogAxis, CPlotAxis, 1)

namespace {

// Values the decade walks can use: finite and above zero.
bool Positive(double v) {
    return std::isfinite(v) && v > 0;
}

} // namespace

CPoint CPlotLogAxis::LogPixelOfValue(const DataPoint& point) {
    if (linearFallback == 1)
        return PixelOfValue(point);
    viewSpan = viewMax - viewMin;
    const CRect plot = Plot();
    const double lmin = std::log10(viewMin), lmax = std::log10(viewMax);
    if (orientation == Vertical)
        return CPoint(
            0, TruncInt(plot.bottom - pixelLength * (std::log10(point.y) - lmin) / (lmax - lmin)));
    return CPoint(TruncInt(pixelLength * (std::log10(point.x) - lmin) / (lmax - lmin) + plot.left),
                  0);
}

void CPlotLogAxis::LogAutoScale(CGraphDC& dc) {
    if (linearFallback == 1) {
        AutoScale(dc);
        return;
    }
    if (Positive(viewMin) && viewMin > 1e-16) {
        bool done = false;
        // Nine multiples of each step: counted, so rounding cannot add a tenth.
        for (double c = 1e-16; !done && c < viewMin && std::isfinite(c); c *= 10) {
            double e = c;
            for (int k = 1; k <= 9; ++k, e += c)
                if (e > viewMin) {
                    viewMin = e - c;
                    done = true;
                    break;
                }
        }
    }
    if (Positive(viewMax)) {
        double c = 1e-16, d = 1e-16;
        bool done = false;
        while (!done && viewMax > d && std::isfinite(c)) {
            for (int k = 1; k <= 9; ++k, d += c)
                if (d > viewMax) {
                    viewMax = d;
                    done = true;
                    break;
                }
            c *= 10;
            d = c;
        }
    }
}

void CPlotLogAxis::Draw(CGraphDC* dc) {
    if (linearFallback == 1) {
        CPlotAxis::Draw(dc);
        return;
    }
    DrawVisibleOrNot(dc, [this](CGraphDC& target) { DrawLog(target); });
}

void CPlotLogAxis::DrawLog(CGraphDC& dc) {
    if (autoScale)
        LogAutoScale(dc);
    viewSpan = viewMax - viewMin;
    const CRect plot = Plot();
    const bool vertical = orientation == Vertical;
    const CSize titleSize = TitleExtent(dc);
    endMargin = vertical ? 2.0 * ShownArrowSize() : 4.0 * ShownArrowSize();
    markerRoom = SeriesBadgeRoom(dc, false);
    if (!title.empty())
        endMargin += vertical ? titleSize.cy : titleSize.cx;
    int end;
    if (vertical) {
        end = TruncInt(areaRect.top + markerRoom);
        pixelLength = plot.bottom - TruncInt(plot.top + endMargin + markerRoom);
    } else {
        end = TruncInt(plot.right - markerRoom);
        pixelLength = TruncInt(plot.right - endMargin - markerRoom) - plot.left;
    }
    DrawRangeBands(dc, plot);
    markerRoom = SeriesBadgeRoom(dc, true);

    dc.SetBkColor(dc.fewColours ? RGB(255, 255, 255)
                                : (owner ? owner->InnerColour() : RGB(255, 255, 255)));
    dc.SetBkMode(OPAQUE);
    DrawTitle(dc, end, titleSize);

    // The decades, and the multiples of each decade's step inside the range; no walk for a
    // range without a logarithm.
    if (Positive(viewMin) && Positive(viewMax) && viewMin <= viewMax) {
        const CPen gridPen(gridStyle,
                           dc.scaling && gridStyle == PS_SOLID ? int(dc.horizontalScale) : 1,
                           gridColor);
        const CFont tickShown = dc.PrintFont(tickFont);
        const double dEnd = std::pow(10.0, std::ceil(std::log10(viewMax)));
        int decades = 0;
        for (double d = std::pow(10.0, std::floor(std::log10(viewMin))); d < dEnd && decades < 700;
             d *= 10, ++decades)
            for (double v = d, k = 1; k <= 9; v += d, ++k) { // nine multiples, counted
                if (v < viewMin || v > viewMax)
                    continue;
                const CPoint p = LogPixelOfValue({v, v});
                // Only the decades are labelled.
                // Drawn in the opaque mode set above: dotted grid gaps take the inner colour.
                DrawTick(dc, vertical ? p.y : p.x, v, v == d, tickShown, gridPen, plot, false);
            }
    }

    DrawAxisLine(dc, end);
}
