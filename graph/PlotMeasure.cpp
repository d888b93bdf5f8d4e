// Trend curves and the two-point measurement.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "graph/Plot.h"
#include "graph/axes/OleDate.h"
#include "graph/axes/TickFormat.h"

namespace {

std::string ValueText(const CPlotAxis& axis, double v) {
    return axis.dateTime ? FormatDate(v, axis.tickFormat) : FormatTickValue(axis.tickFormat, v);
}

} // namespace

CPlotDataSeries* CPlot::AddLinearTrend(int source) {
    if (!HasSeries(source))
        return nullptr;
    const CPlotDataSeries& s = seriesList[std::size_t(source)];
    std::unique_ptr<DataPoint[]> points = s.LinearTrendPoints(0);
    if (!points)
        return nullptr;
    const std::string name = s.name + " linear trend";
    const int n = s.pointCount, x = s.xAxisIndex, y = s.yAxisIndex; // before the list grows
    CPlotDataSeries* trend = SetSeriesData(points.get(), n, SeriesCount(), x, y, true);
    if (trend)
        trend->name = name;
    return trend;
}

CPlotDataSeries* CPlot::AddCubicTrend(int source) {
    if (!HasSeries(source))
        return nullptr;
    const CPlotDataSeries& s = seriesList[std::size_t(source)];
    std::unique_ptr<DataPoint[]> points = s.CubicTrendPoints(0);
    if (!points)
        return nullptr;
    const std::string name = s.name + " cubic trend";
    const int n = s.pointCount, x = s.xAxisIndex, y = s.yAxisIndex;
    CPlotDataSeries* trend = SetSeriesData(points.get(), n, SeriesCount(), x, y, true);
    if (trend)
        trend->name = name;
    return trend;
}

CPoint CPlot::SnapMeasurePoint(CPoint point, bool firstEnd) {
    int best = 10000000, winner = -1, index = 0, pixelY = 0;
    for (int s = 0; s < SeriesCount(); ++s) {
        const CPlotDataSeries& series = seriesList[std::size_t(s)];
        if (series.xAxisIndex < 0 || series.xAxisIndex >= XAxisCount() || series.yAxisIndex < 0 ||
            series.yAxisIndex >= YAxisCount())
            continue;
        CPlotAxis& x = xAxes[std::size_t(series.xAxisIndex)];
        CPlotAxis& y = yAxes[std::size_t(series.yAxisIndex)];
        if (!x.CanMap() || !y.CanMap())
            continue;
        const std::optional<int> i = x.NearestPointIndex(x.ValueAtPixel(point.x), s);
        if (!i)
            continue;
        const int py = y.PixelOfValue(series.points[*i]).y;
        const std::int64_t d = std::llabs(std::int64_t(point.y) - py);
        if (d < best) { // the first of equal candidates wins
            best = d;
            winner = s;
            index = *i;
            pixelY = py;
        }
    }
    if (winner == -1)
        return point;
    point.y = pixelY;
    if (firstEnd) {
        measuring.series1 = winner;
        measuring.point1 = index;
        cursorSeries = winner;
    } else {
        measuring.series2 = winner;
        measuring.point2 = index;
        secondSeries = winner;
    }
    return point;
}

void CPlot::AddMeasurement() {
    if (measuring.series1 >= 0 && measuring.series2 >= 0)
        measurements.push_back(measuring);
}

void CPlot::DrawMeasurements(CGraphDC& dc) {
    auto pixel = [this](int series, int point, CPoint& out) {
        if (!HasSeries(series)) // a record of a series that is gone
            return false;
        const CPlotDataSeries& s = seriesList[std::size_t(series)];
        if (!s.points || point < 0 || point >= s.pointCount || s.xAxisIndex < 0 ||
            s.xAxisIndex >= XAxisCount() || s.yAxisIndex < 0 || s.yAxisIndex >= YAxisCount())
            return false;
        out = CPoint(xAxes[std::size_t(s.xAxisIndex)].PixelOfValue(s.points[point]).x,
                     yAxes[std::size_t(s.yAxisIndex)].PixelOfValue(s.points[point]).y);
        return true;
    };
    for (const Measurement& m : measurements) {
        CPoint a, b;
        if (pixel(m.series1, m.point1, a) && pixel(m.series2, m.point2, b))
            DrawMeasurement(dc, a.x, a.y, b.x, b.y);
    }
}

void CPlot::DrawMeasurement(CGraphDC& dc, int x1, int y1, int x2, int y2) {
    {
        CSelectGuard<CPen> guide(dc, CPen(PS_DOT, 1, RGB(200, 200, 200)));
        dc.MoveTo(plotRect.left, y1);
        dc.LineTo(plotRect.right, y1);
        dc.MoveTo(x2, plotRect.top);
        dc.LineTo(x2, plotRect.bottom);
    }
    {
        CSelectGuard<CPen> path(dc, CPen(PS_DOT, 1, RGB(255, 0, 0)));
        dc.MoveTo(x1, y1);
        dc.LineTo(x2, y1);
        dc.LineTo(x2, y2);
    }
    const COLORREF red = RGB(255, 0, 0);
    if (std::llabs(std::int64_t(x2) - x1) < 7)
        symbolRoutines[5](SatSum(x2, -3), SatSum(y1, 3), 6, red, 0, &dc);
    else
        symbolRoutines[4](x1, SatSum(y1, -3), 6, red, 0, &dc);
    if (std::llabs(std::int64_t(y2) - y1) < 7)
        symbolRoutines[6](SatSum(x2, -6), SatSum(y2, -6), 6, red, 0, &dc);
    else
        symbolRoutines[7](SatSum(x2, -3), SatSum(y2, -6), 6, red, 0, &dc);

    // The texts read the graph's current ends, not the record drawn.
    if (!HasSeries(cursorSeries) || !HasSeries(secondSeries))
        return;
    const CPlotDataSeries& first = seriesList[std::size_t(cursorSeries)];
    const CPlotDataSeries& second = seriesList[std::size_t(secondSeries)];
    if (first.xAxisIndex < 0 || first.xAxisIndex >= XAxisCount() || first.yAxisIndex < 0 ||
        first.yAxisIndex >= YAxisCount() || second.xAxisIndex < 0 ||
        second.xAxisIndex >= XAxisCount())
        return;
    CPlotAxis& x1Axis = xAxes[std::size_t(first.xAxisIndex)];
    CPlotAxis& x2Axis = xAxes[std::size_t(second.xAxisIndex)];
    CPlotAxis& yAxis = yAxes[std::size_t(first.yAxisIndex)];
    if (!x1Axis.CanMap() || !x2Axis.CanMap())
        return;
    CFont font;
    font.CreateFontA(-11, 0, 0, 0, 700, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    CSelectGuard<CFont> fontGuard(dc, font);
    const int mode = dc.SetBkMode(TRANSPARENT);
    const double v1 = x1Axis.ValueAtPixel(x1), v2 = x2Axis.ValueAtPixel(x2);
    const std::string dx = ValueText(x1Axis, v2 - v1);
    CRect r(x1, y1, x2, y2);
    if (dc.GetTextExtent(dx).cx < std::llabs(std::int64_t(x2) - x1))
        dc.DrawText(dx, &r, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    const std::optional<int> i1 = x1Axis.NearestPointIndex(v1, cursorSeries);
    const std::optional<int> i2 = x2Axis.NearestPointIndex(v2, secondSeries);
    if (i1 && i2) {
        const double d = std::fabs(second.points[*i2].y - first.points[*i1].y);
        const std::string dy = FormatTickValue(yAxis.tickFormat, d) + " " + yAxis.title;
        r = CRect(x1, y1, x2, y2);
        if (dc.GetTextExtent(dy).cy < std::llabs(std::int64_t(y2) - y1))
            dc.DrawText(dy, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    dc.SetBkMode(mode);
}
