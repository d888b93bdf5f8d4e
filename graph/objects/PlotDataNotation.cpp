#include "graph/objects/PlotDataNotation.h"

#include "graph/Plot.h"

IMPLEMENT_SERIAL(CPlotDataNotation, CPlotObject, 1)

CPlotDataNotation::CPlotDataNotation() {
    movable = sizable = editable = false;
    font.CreateFontA(12, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
}

void CPlotDataNotation::Draw(CGraphDC* dc) {
    if (!visible || !dc)
        return;
    // A series that is not there places nothing.
    if (!graph || !graph->HasSeries(series))
        return;
    const CPlotDataSeries& s = graph->SeriesAt(series);
    if (s.xAxisIndex < 0 || s.xAxisIndex >= graph->XAxisCount() || s.yAxisIndex < 0 ||
        s.yAxisIndex >= graph->YAxisCount())
        return;
    if (tracking)
        DrawTracker(dc);
    const CFont shown = dc->PrintFont(font);
    CSelectGuard<CFont> guard(*dc, shown);
    const int x = graph->XAxisAt(s.xAxisIndex).PixelOfValue(point).x;
    const int y = graph->YAxisAt(s.yAxisIndex).PixelOfValue(point).y;
    if (!boxMeasured) { // the box keeps its first size for good
        // Measured in the graph's own units, as on the screen, whatever device draws first:
        // a box first measured on a printer would otherwise keep the printer's size.
        rectangle = CRect(x, SatSum(y, -20), SatSum(x, 1), y);
        std::unique_ptr<CGraphDC> measure = graph->MeasureDC();
        CSelectGuard<CFont> measureFont(*measure, font);
        measure->DrawText(text, &rectangle, DT_CALCRECT | DT_CENTER);
        boxMeasured = true;
    }
    // Moved to its point: the box keeps its size wherever the point lies.
    const CSize size = rectangle.Size();
    rectangle = CRect(x, SatSum(y, -20), SatSum(x, size.cx), SatSum(y, -20, size.cy));
    CRect frame = rectangle;
    frame.InflateRect(1, 1);
    dc->FillSolidRect(frame, RGB(0, 0, 0));
    dc->FillSolidRect(rectangle, RGB(255, 255, 255));
    CRect box = rectangle;
    dc->DrawText(text, &box, DT_CENTER);
    dc->FillSolidRect(CRect(SatSum(x, -1), SatSum(y, -1), SatSum(x, 2), SatSum(y, 2)),
                      RGB(0, 0, 0));
    dc->MoveTo(x, y);
    dc->LineTo(x, rectangle.bottom);
}

void CPlotDataNotation::Serialize(CArchive& ar) {
    CPlotObject::Serialize(ar);
    if (ar.IsStoring())
        ar << point.x << point.y << series << pointIndex << text;
    else
        ar >> point.x >> point.y >> series >> pointIndex >> text;
}
