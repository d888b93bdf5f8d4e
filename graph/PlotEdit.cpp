// Point editing: dragging a grabbed point (with the edit marker's straighten and move-range
// rules), the edit marker, and freehand strokes. X values are never changed.
#include <algorithm>
#include <cmath>

#include "graph/Plot.h"

void CPlot::EditGrabbedPoint() {
    showEditedValue = false;
    if (!leftButtonDown || (operationMode != ModeEdit && operationMode != ModeEditPlus) ||
        !HasSeries(grabbedSeries))
        return;
    CPlotDataSeries& s = seriesList[std::size_t(grabbedSeries)];
    if (!s.points || grabbedPoint < 0 || grabbedPoint >= s.pointCount || s.yAxisIndex < 0 ||
        s.yAxisIndex >= YAxisCount() || !yAxes[std::size_t(s.yAxisIndex)].CanMap())
        return;
    const double newY = yAxes[std::size_t(s.yAxisIndex)].ValueAtPixel(mousePoint.y);
    if (!std::isfinite(newY))
        return;
    modified = true;
    DataPoint* p = s.points;
    if (beforeEdit) { // the grabbed point and, with the marker, the range up to it
        int first = grabbedPoint, last = grabbedPoint;
        if (editMarker) {
            const int marker = std::clamp(editMarkerIndex, 0, s.pointCount - 1);
            first = std::min(first, marker);
            last = std::max(last, marker);
        }
        beforeEdit(grabbedSeries, first, last);
    }
    const double oldY = p[grabbedPoint].y;
    pointEdit = PointEditRecord{grabbedSeries, grabbedPoint, oldY, newY};
    Notify(PLN_POINT_CHANGED, WPARAM(&pointEdit));
    p[grabbedPoint].y = newY;
    editedValue = newY;
    if (editMarker) {
        // The marker is an index of series 0: on another series it is held to that one's points.
        const int marker = std::clamp(editMarkerIndex, 0, s.pointCount - 1);
        const int lo = std::min(marker, grabbedPoint);
        const int hi = std::max(marker, grabbedPoint);
        const int n = hi - lo;
        if (operationMode == ModeEdit) {
            if (n >= 2) { // a straight line from the marker to the dragged point
                const double step = (p[hi].y - p[lo].y) / n;
                if (std::isfinite(step))
                    for (int k = 1; k < n; ++k)
                        p[lo + k].y = p[lo + k - 1].y + step;
            }
        } else {
            const double delta = newY - oldY; // the whole marked range follows
            for (int i = lo; i <= hi; ++i)
                if (i != grabbedPoint && std::isfinite(p[i].y + delta))
                    p[i].y += delta;
        }
    }
    showEditedValue = true;
    if (edited)
        edited();
    Invalidate(TRUE);
}

void CPlot::ToggleEditMarker(CPoint point) {
    if (seriesList.empty() || xAxes.empty() || !xAxes[0].CanMap())
        return;
    const std::optional<int> i = xAxes[0].NearestPointIndex(xAxes[0].ValueAtPixel(point.x), 0);
    if (!i)
        return;
    if (!editMarker) {
        editMarker = true;
        editMarkerIndex = *i;
    } else if (editMarkerIndex == *i) {
        editMarker = false;
    } else {
        editMarkerIndex = *i;
    }
    Invalidate(FALSE);
}

void CPlot::FreehandSegment(CPoint from, CPoint to) {
    if (seriesList.empty() || xAxes.empty() || yAxes.empty() || from.x == to.x)
        return;
    CPlotAxis& x = xAxes[0];
    CPlotAxis& y = yAxes[0];
    if (!x.CanMap() || !y.CanMap())
        return;
    if (from.x > to.x)
        std::swap(from, to);
    const double e = x.ValueAtPixel(from.x), g = x.ValueAtPixel(to.x);
    const double f = y.ValueAtPixel(from.y), h = y.ValueAtPixel(to.y);
    const double slope = (h - f) / (g - e);
    if (!std::isfinite(e) || !std::isfinite(g) || !std::isfinite(f) || !std::isfinite(slope))
        return;
    CPlotDataSeries& s = seriesList[0];
    if (!s.points)
        return;
    DataPoint* begin = s.points;
    DataPoint* end = s.points + s.pointCount;
    // With ascending X the stroke's first sample is found by halving, not by walking.
    DataPoint* first =
        s.XAscending()
            ? std::partition_point(begin, end, [e](const DataPoint& p) { return p.x < e; })
            : begin;
    if (beforeEdit) { // the samples under the stroke; all of them when X does not ascend
        DataPoint* last =
            s.XAscending()
                ? std::partition_point(first, end, [g](const DataPoint& p) { return p.x <= g; })
                : end;
        if (last > first)
            beforeEdit(0, int(first - begin), int(last - begin) - 1);
    }
    for (DataPoint* p = first; p < end; ++p) {
        if (p->x > g)
            break;
        if (p->x >= e) {
            const double v = f + (p->x - e) * slope;
            if (std::isfinite(v))
                p->y = v;
        }
    }
    modified = true;
    if (edited)
        edited();
}
