// Painting the control: surfaces, frame, margins, legend, stacked axes, plot, curves, markers,
// measurements, the edit marker, rubber bands, objects and the edited value, in that order.
#include <cstdio>

#include "draw/Measure.h"
#include "graph/Plot.h"
#include "platform/DCTarget.h"

namespace {

CFont ArialFont(int height, int weight) {
    CFont f;
    f.CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    return f;
}

} // namespace

BOOL CPlot::OnEraseBkgnd(CDC&) {
    return TRUE;
}

namespace {

// `area` except where it meets `hole`, which a later fill covers, in `colour`.
void FillAround(std::vector<CFillPart>& parts, const CRect& area, const CRect& hole,
                COLORREF colour) {
    CRect meet;
    if (!meet.IntersectRect(area, hole)) {
        parts.push_back({area, colour});
        return;
    }
    parts.push_back({CRect(area.left, area.top, area.right, meet.top), colour});
    parts.push_back({CRect(area.left, meet.bottom, area.right, area.bottom), colour});
    parts.push_back({CRect(area.left, meet.top, meet.left, meet.bottom), colour});
    parts.push_back({CRect(meet.right, meet.top, area.right, meet.bottom), colour});
}

} // namespace

void CPlot::OnSize(UINT, int, int) {
    Invalidate(TRUE);
}

void CPlot::OnPaint(CDC& windowDC) {
    const CRect client = GetClientRect();
    CDC memory;
    CGraphDC gdc;
    // A window surface that is a picture shown only once painted is a double buffer already:
    // painting straight into it gives the same pixels without another picture and a copy.
    const bool buffered = doubleBuffering && !windowDC.DrawsOnPicture();
    // The memory picture is kept from paint to paint while the size stays: a new one of
    // full-screen size costs more than the whole painting.
    const CSize size(std::max<LONG>(client.Width(), 1), std::max<LONG>(client.Height(), 1));
    if (buffered && (bufferBitmap.IsNull() || bufferBitmap.GetSize() != size)) {
        bufferBitmap.DeleteObject();
        bufferBitmap.CreateCompatibleBitmap(&windowDC, size.cx, size.cy);
    }
    if (buffered && !bufferBitmap.IsNull() && memory.CreateCompatibleDC(&windowDC)) {
        memory.SelectObject(bufferBitmap);
        memory.FillSolidRect(client, windowDC.GetBkColor());
        gdc.Attach(memory);
    } else {
        gdc.Attach(windowDC);
    }
    gdc.SaveDC();
    gdc.fewColours = false;
    gdc.scaling = false;
    PaintGraph(gdc, client);
    gdc.RestoreDC(-1);
    gdc.Detach();
    if (memory.IsValid())
        windowDC.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
}

void CPlot::PaintGraph(CGraphDC& dc, const CRect& outer) {
    previousCursorPoint = CPoint(-1, -1);
    const bool mono = dc.fewColours;
    CRect inner(SatSum(outer.left, marginLeft), SatSum(outer.top, marginTop),
                SatSum(outer.right, -std::int64_t(marginRight)),
                SatSum(outer.bottom, -std::int64_t(marginBottom)));
    CRect afterLegend = inner;
    if (legendVisible)
        DrawLegend(dc, afterLegend, false);
    LayoutAxes(dc, afterLegend);
    // The surfaces in one refill, a window's surface remembering them from paint to paint; each
    // colour is filled only where no later one covers it: the same picture with a third of the
    // writes.
    const COLORREF plotFill = mono ? RGB(255, 255, 255) : plotColour;
    std::vector<CFillPart> surfaces;
    FillAround(surfaces, outer, afterLegend, mono ? RGB(255, 255, 255) : backgroundColour);
    FillAround(surfaces, afterLegend, plotRect, mono ? RGB(255, 255, 255) : innerColour);
    surfaces.push_back({plotRect, plotFill});
    dc.RefillSolidRects(surfaces);
    if (legendVisible) {
        DrawLegend(dc, inner, true);
        dc.SetBkColor(plotFill); // the axes are drawn as the fills leave it
    }
    DrawAxes(dc);

    CRect clip = plotRect;
    if (dc.scaling)
        clip = dc.ScaleRect(clip);
    dc.IntersectClipRect(clip);
    for (CPlotDataSeries& s : seriesList)
        if (s.visible)
            s.Draw(&dc);
    for (CPlotDataSeries& s : seriesList)
        if (s.visible && s.showMarkers)
            s.DrawMarkers(&dc);
    DrawMeasurements(dc);
    if (editMarker && !seriesList.empty() && !xAxes.empty() && !yAxes.empty()) {
        const CPlotDataSeries& s = seriesList[0];
        if (s.points && editMarkerIndex >= 0 && editMarkerIndex < s.pointCount) {
            const DataPoint& p = s.points[editMarkerIndex];
            const int x = xAxes[0].PixelOfValue(p).x, y = yAxes[0].PixelOfValue(p).y;
            dc.FillSolidRect(CRect(SatSum(x, -4), SatSum(y, -4), SatSum(x, 4), SatSum(y, 4)),
                             RGB(0, 0, 255));
        }
    }
    if (operationMode == ModeZoom && leftButtonDown && !zoomRect.IsRectEmpty()) {
        const int rop = dc.SetROP2(R2_NOTXORPEN);
        {
            CSelectGuard<CPen> pen(dc, CPen(PS_NULL, 0, 0));
            CSelectGuard<CBrush> brush(dc, CBrush(RGB(150, 150, 255)));
            dc.Rectangle(zoomRect);
        }
        dc.SetROP2(rop);
        dc.DrawFocusRect(zoomRect);
    }
    if (operationMode == ModeMeasure && leftButtonDown) {
        measureRect = CRect(
            std::max(mouseDownPoint.x, plotRect.left), std::max(mouseDownPoint.y, plotRect.top),
            std::min(mousePoint.x, plotRect.right), std::min(mousePoint.y, plotRect.bottom));
        DrawMeasurement(dc, measureRect.left, measureRect.top, measureRect.right,
                        measureRect.bottom);
    }
    if (operationMode == ModeCursor)
        DrawCursor(dc);
    for (CPlotObject* object : objects)
        object->Draw(&dc);
    if (showEditedValue) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f", editedValue);
        CSelectGuard<CFont> font(dc, ArialFont(13, 400));
        const int mode = dc.SetBkMode(TRANSPARENT);
        const CPoint beside(SatSum(mousePoint.x, 10), mousePoint.y);
        const CPoint at = dc.scaling ? dc.ScalePoint(beside) : beside;
        dc.TextOut(at.x, at.y, text);
        dc.SetBkMode(mode);
    }
}

void CPlot::DrawLegend(CGraphDC& dc, CRect& inner, bool draw) {
    CFont font = ArialFont(13, 400);
    CSelectGuard<CFont> measureFont(dc, font);
    std::vector<std::pair<int, std::string>> rows;
    std::vector<CSize> sizes;
    int widest = 0, total = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        const CPlotDataSeries& s = seriesList[std::size_t(i)];
        if (!s.visible)
            continue;
        char number[16];
        std::snprintf(number, sizeof number, "%02d ", i + 1);
        rows.emplace_back(i, number + s.name);
        sizes.push_back(TextExtent(dc, rows.back().second));
        widest = std::max<int>(widest, sizes.back().cx);
        total += sizes.back().cy;
    }
    const int b = widest + 16;
    if (!draw) { // only the room it takes
        if (legendSide == 0)
            inner.left = SatSum(inner.left, b, 20);
        else
            inner.right = SatSum(inner.right, -std::int64_t(b), -20);
        return;
    }
    CFont shown = font;
    if (dc.scaling) {
        LOGFONTA lf = font.LogFont();
        lf.lfHeight = LONG(float(13 - 1) * dc.verticalScale);
        lf.lfWidth = LONG(float(lf.lfWidth) * dc.horizontalScale);
        shown.CreateFontIndirectA(&lf);
    }
    CSelectGuard<CFont> drawFont(dc, shown);
    CRect frame;
    if (legendSide == 0) {
        frame = CRect(inner.left + 10, inner.top + 10, inner.left + 10 + b, inner.top + total + 12);
        inner.left = SatSum(inner.left, b, 20);
    } else {
        frame =
            CRect(inner.right - b - 10, inner.top + 10, inner.right - 10, inner.top + total + 12);
        inner.right = SatSum(inner.right, -std::int64_t(b), -20);
    }
    const COLORREF back = dc.fewColours ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOW);
    {
        CSelectGuard<CPen> pen(dc, CPen(PS_SOLID, dc.scaling ? int(dc.horizontalScale) : 1, 0));
        CSelectGuard<CBrush> brush(dc, CBrush(back));
        dc.Rectangle(frame);
    }
    legendEntries.clear();
    int y = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const CPlotDataSeries& s = seriesList[std::size_t(rows[k].first)];
        const int h = sizes[k].cy;
        const CRect entry(frame.left, frame.top + y, frame.right, frame.top + y + h);
        legendEntries.push_back({entry, rows[k].first});
        const int mode = dc.SetBkMode(OPAQUE);
        dc.SetBkColor(back);
        CRect text(frame.left + 12, entry.top, entry.right, entry.bottom);
        dc.DrawText(rows[k].second, &text, DT_LEFT | DT_TOP);
        dc.SetBkMode(mode);
        if (s.selected)
            dc.DrawFocusRect(entry);
        const COLORREF c = dc.fewColours ? RGB(0, 0, 0) : s.colour;
        const CRect sample(frame.left + 2, entry.top + 1, frame.left + 10, entry.bottom - 2);
        if (s.markerMode == 0)
            dc.FillSolidRect(sample, c);
        else
            CPlotAxis::DrawSeriesBadge(dc, sample.left - 1, sample.top + 1, s.markerSymbol, 8, c,
                                       true);
        y += h;
    }
}

void CPlot::LayoutAxes(CGraphDC& dc, const CRect& inner) {
    int side = 0; // automatic sides alternate left, right, left ...
    for (CPlotAxis& a : yAxes)
        if (a.labelSide == 2) {
            a.labelSide = side;
            side = 1 - side;
        }
    int left = inner.left, right = inner.right, bottom = inner.bottom;
    for (CPlotAxis& a : yAxes) {
        if (a.labelSide != 0)
            continue;
        if (a.visible) // each axis takes its room; a loaded size may ask for more than fits
            left = SatSum(
                left,
                std::max<std::int64_t>(a.TickLabelWidth(dc),
                                       std::int64_t(a.TitleExtent(dc).cx) + a.ShownArrowSize()),
                axisGap);
        a.originX = left;
        a.areaRect = inner;
    }
    for (CPlotAxis& a : yAxes) {
        if (a.labelSide != 1)
            continue;
        if (a.visible)
            right =
                SatSum(right, -std::max<std::int64_t>(a.TitleExtent(dc).cx, a.TickLabelWidth(dc)),
                       -std::int64_t(axisGap));
        a.originX = right;
        a.areaRect = inner;
    }
    for (CPlotAxis& a : xAxes) {
        if (a.visible)
            bottom = SatSum(bottom, -std::int64_t(a.TickLabelHeight(dc)), -std::int64_t(axisGap));
        a.originY = bottom;
        a.originX = left;
        a.areaRect = inner;
    }
    plotRect = CRect(SatSum(left, 1), inner.top, right, bottom);
    for (CPlotAxis& a : yAxes)
        a.originY = bottom;
}

void CPlot::DrawAxes(CGraphDC& dc) {
    for (CPlotAxis& a : yAxes)
        a.Draw(&dc);
    for (CPlotAxis& a : xAxes)
        a.Draw(&dc);
}

bool CPlot::PrintGraph() {
    std::unique_ptr<CDC> printer = dialogs ? dialogs->PrintDialog(this) : nullptr;
    if (!printer)
        return false;
    CGraphDC dc;
    dc.Attach(*printer);
    dc.ComputeScaleFactors(*printer);
    printRect = CRect(0, 0, LONG(float(printer->GetDeviceCaps(HORZRES)) / dc.horizontalScale),
                      LONG(float(printer->GetDeviceCaps(VERTRES)) / dc.verticalScale));
    printDC = printer.get();
    dc.scaling = true;
    dc.StartDoc("Graph");
    dc.StartPage();
    dc.SaveDC();
    PaintGraph(dc, printRect);
    dc.RestoreDC(-1);
    dc.EndPage();
    dc.EndDoc();
    printDC = nullptr;
    dc.Detach();
    Invalidate();
    return true;
}
