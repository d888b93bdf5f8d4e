#pragma once
// A graph stand-in: a plot rectangle, a shown or hidden window, series points, a screen context.

#include <vector>

#include "graph/axes/AxisOwner.h"
#include "tests/support/Canvas.h"

struct StandInOwner : CAxisOwner {
    CRect plot{50, 20, 450, 320};
    bool shown = false;
    int invalidated = 0;
    std::vector<std::vector<DataPoint>> series;
    COLORREF inner = RGB(255, 255, 255);

    CRect PlotRect() const override { return plot; }
    bool IsOwnerVisible() const override { return shown; }
    void InvalidateOwner() override { ++invalidated; }
    COLORREF InnerColour() const override { return inner; }
    std::unique_ptr<CGraphDC> MeasureDC() override {
        auto dc = std::make_unique<CGraphDC>();
        dc->CreateCompatibleDC(nullptr);
        return dc;
    }
    bool SeriesPoints(int index, const DataPoint*& points, std::size_t& count) const override {
        if (index < 0 || std::size_t(index) >= series.size())
            return false;
        points = series[std::size_t(index)].data();
        count = series[std::size_t(index)].size();
        return true;
    }
};
