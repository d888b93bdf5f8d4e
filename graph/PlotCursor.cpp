// The cursor of the Cursor tool: lines and a box drawn with R2_NOTXORPEN (drawing twice
// restores the picture), snapped or locked to a curve, and the readout label's text.
#include <cmath>
#include <cstdio>

#include "graph/Plot.h"
#include "graph/axes/OleDate.h"
#include "graph/axes/TickFormat.h"

namespace {

std::string OneLine(std::string format) {
    for (char& c : format)
        if (c == '\r' || c == '\n')
            c = ' ';
    return format;
}

std::string Number2(int k) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", k);
    return text;
}

} // namespace

void CPlot::DrawCursor(CGraphDC& dc) {
    CSelectGuard<CPen> pen(dc, CPen(PS_SOLID, dc.scaling ? int(dc.horizontalScale) : 1, 0));
    CBrush hollow;
    hollow.CreateHollowBrush();
    CSelectGuard<CBrush> brush(dc, hollow);
    const int rop = dc.SetROP2(R2_NOTXORPEN);

    cursorSeries = -1;
    auto sample = [&](int s, int& pixelY) {
        CPlotDataSeries& series = seriesList[std::size_t(s)];
        if (series.xAxisIndex < 0 || series.xAxisIndex >= XAxisCount() || series.yAxisIndex < 0 ||
            series.yAxisIndex >= YAxisCount())
            return false;
        CPlotAxis& x = xAxes[std::size_t(series.xAxisIndex)];
        CPlotAxis& y = yAxes[std::size_t(series.yAxisIndex)];
        if (!x.CanMap() || !y.CanMap())
            return false;
        cursorX = x.ValueAtPixel(mousePoint.x);
        const std::optional<int> i = x.NearestPointIndex(cursorX, s);
        if (!i)
            return false;
        cursorY = series.points[*i].y;
        pixelY = y.PixelOfValue(series.points[*i]).y;
        return true;
    };
    int pixelY = 0;
    if (cursorSeriesLock >= 0) {
        if (HasSeries(cursorSeriesLock) && sample(cursorSeriesLock, pixelY)) {
            cursorSeries = cursorSeriesLock;
            mousePoint.y = pixelY;
        }
    } else if (cursorSnap) {
        for (int s = 0; s < SeriesCount(); ++s)
            if (sample(s, pixelY) &&
                std::llabs(std::int64_t(mousePoint.y) - pixelY) < snapDistance) {
                cursorSeries = s;
                mousePoint.y = pixelY;
                break;
            }
    }

    auto figure = [&](CPoint at) {
        if (cursorFlags & 2) {
            dc.MoveTo(at.x, plotRect.top);
            dc.LineTo(at.x, plotRect.bottom);
        }
        if (cursorFlags & 1) {
            dc.MoveTo(plotRect.left, at.y);
            dc.LineTo(plotRect.right, at.y);
        }
        const int half = snapDistance / 2;
        dc.Rectangle(SatSum(at.x, -half), SatSum(at.y, -half), SatSum(at.x, half, 1),
                     SatSum(at.y, half, 1));
    };
    if (previousCursorPoint != CPoint(-1, -1))
        figure(previousCursorPoint); // takes the old one away
    figure(mousePoint);
    previousCursorPoint = mousePoint;
    dc.SetROP2(rop);

    if (cursorFlags & 4) {
        std::string text;
        for (int k = 0; k < XAxisCount(); ++k) {
            CPlotAxis& a = xAxes[std::size_t(k)];
            const double v = a.ValueAtPixel(mousePoint.x);
            const std::string format = OneLine(a.tickFormat);
            text += " X[" + Number2(k + 1) +
                    "] : " + (a.dateTime ? FormatDate(v, format) : FormatTickValue(format, v)) +
                    " " + a.title + "\r\n";
        }
        for (int k = 0; k < YAxisCount(); ++k) {
            CPlotAxis& a = yAxes[std::size_t(k)];
            text += " Y[" + Number2(k + 1) +
                    "] : " + FormatTickValue(a.tickFormat, a.ValueAtPixel(mousePoint.y)) + " " +
                    a.title + "\r\n";
        }
        if (cursorSeries != -1) {
            const CPlotDataSeries& s = seriesList[std::size_t(cursorSeries)];
            const CPlotAxis& x = xAxes[std::size_t(s.xAxisIndex)];
            const CPlotAxis& y = yAxes[std::size_t(s.yAxisIndex)];
            const std::string xFormat = OneLine(x.tickFormat);
            text +=
                " " + s.name + "[" + Number2(cursorSeries + 1) + "] : " +
                (x.dateTime ? FormatDate(cursorX, xFormat) : FormatTickValue(xFormat, cursorX)) +
                ", " + FormatTickValue(y.tickFormat, cursorY) + "\r\n";
        }
        readoutLabel.visible = true;
        readoutLabel.text = text;
        readoutLabel.Draw(&dc);
    }
}
