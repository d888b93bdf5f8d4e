#pragma once
// A graph with a laid-out plot rectangle, drawn into a memory context.

#include <vector>

#include "graph/Plot.h"
#include "tests/support/Canvas.h"

struct GraphFixture {
    CPlot plot;
    std::vector<DataPoint> data;

    GraphFixture() { plot.CWnd::Create("TarvelinPlot", "", CRect(0, 0, 400, 300), nullptr, 1001); }

    CPlotDataSeries& Load(std::vector<DataPoint> points) {
        data = std::move(points);
        return *plot.SetSeriesData(data.data(), int(data.size()), plot.SeriesCount(), 0, 0, false);
    }

    // A full repaint into the window's surface.
    void Paint() {
        plot.Invalidate();
        plot.UpdateWindow();
    }
    // Paints once so the axes lay out and round their ranges, then keeps those ranges.
    void PaintAndFreeze() {
        Paint();
        plot.XAxisAt(0).autoScale = plot.YAxisAt(0).autoScale = false;
        Paint();
    }
    // The pixel of the values (x, y) through X axis 0 and Y axis 0.
    CPoint At(double x, double y) {
        return CPoint(plot.XAxisAt(0).PixelOfValue({x, 0}).x,
                      plot.YAxisAt(0).PixelOfValue({0, y}).y);
    }

    // Maps the view of both axis 0 onto `area` as the layout would.
    void Layout(CRect area, double xMin, double xMax, double yMin, double yMax) {
        plot.plotRect = area;
        CPlotAxis& x = plot.XAxisAt(0);
        CPlotAxis& y = plot.YAxisAt(0);
        x.autoScale = y.autoScale = false;
        x.viewMin = xMin;
        x.viewMax = xMax;
        y.viewMin = yMin;
        y.viewMax = yMax;
        x.pixelLength = area.Width();
        y.pixelLength = area.Height();
    }
};

inline std::vector<DataPoint> Samples(std::initializer_list<double> ys) {
    std::vector<DataPoint> points;
    for (double y : ys)
        points.push_back({double(points.size()), y});
    return points;
}
