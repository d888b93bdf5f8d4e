#pragma once
// What an axis asks of the graph that owns it.

#include <cstddef>
#include <memory>

#include "draw/GraphDC.h"
#include "files/DataPoint.h"

class CPlotAxis;

// A series as an axis' badges show it.
struct SeriesBadge {
    bool visible = false;
    int xAxis = -1, yAxis = -1;
    COLORREF colour = 0;
    int markerMode = 0, markerSymbol = 0;
};

class CAxisOwner {
public:
    virtual ~CAxisOwner() = default;
    // The plot rectangle of the last layout (empty before the first paint).
    virtual CRect PlotRect() const = 0;
    // The owner's window exists and is shown.
    virtual bool IsOwnerVisible() const = 0;
    virtual void InvalidateOwner() = 0;
    // A screen context of the owner's window for measuring text.
    virtual std::unique_ptr<CGraphDC> MeasureDC() = 0;
    // The points of a series by index; false when there is no such series.
    virtual bool SeriesPoints(int series, const DataPoint*& points, std::size_t& count) const = 0;
    // The colour inside the margins, behind axis texts.
    virtual COLORREF InnerColour() const { return RGB(255, 255, 255); }
    // The axis' position in its list (X or Y), or -1; the series, for the axis' badges.
    virtual int AxisIndex(const CPlotAxis*) const { return -1; }
    virtual int SeriesCount() const { return 0; }
    virtual SeriesBadge BadgeOf(int) const { return {}; }
};
