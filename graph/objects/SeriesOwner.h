#pragma once
// What a data series asks of the graph that holds it.

#include "platform/Types.h"

class CPlotAxis;
class CPlotDataSeries;

class CSeriesOwner {
public:
    virtual ~CSeriesOwner() = default;
    // The axis of that index in its list, or null.
    virtual CPlotAxis* XAxisOf(int index) = 0;
    virtual CPlotAxis* YAxisOf(int index) = 0;
    // The plot rectangle of the last layout (empty before the first paint).
    virtual CRect PlotRect() const = 0;
    // Another series, the partner of a fill; null when there is none.
    virtual const CPlotDataSeries* SeriesOf(int index) const = 0;
    virtual int SeriesIndexOf(const CPlotDataSeries* series) const = 0;
    // Points are being edited: every point is marked, in red, or in blue with an edit marker.
    virtual bool Editing() const = 0;
    virtual bool HasEditMarker() const = 0;
    // A series not editable is left alone by the mouse (an opt-in of the chart's): its points
    // are then drawn in its own colour, as a curve shown only for comparison.
    virtual bool HitEditableOnly() const { return false; }
};
