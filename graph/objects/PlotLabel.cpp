#include "graph/objects/PlotLabel.h"

#include "graph/Plot.h"

IMPLEMENT_SERIAL(CPlotLabel, CPlotObject, 1)

CPlotLabel::CPlotLabel() : backgroundColour(GetSysColor(COLOR_WINDOW)) {
    movable = sizable = true;
    font.CreateFontA(14, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
}

void CPlotLabel::Draw(CGraphDC* dc) {
    if (!visible || !dc)
        return;
    const bool mono = dc->fewColours;
    const CFont shown = dc->PrintFont(font);
    CSelectGuard<CFont> fontGuard(*dc, shown);
    CBrush brush;
    if (transparent)
        brush.CreateHollowBrush();
    else
        brush.CreateSolidBrush(mono ? RGB(255, 255, 255) : backgroundColour);
    CSelectGuard<CBrush> brushGuard(*dc, brush);
    const CPen previousPen = dc->GetCurrentPen();
    if (border)
        dc->SelectObject(CPen(PS_SOLID, dc->scaling ? int(dc->horizontalScale) : 1, RGB(0, 0, 0)));

    if (attachedSeries != -1 && graph && graph->HasSeries(attachedSeries)) {
        CPlotDataSeries& s = graph->SeriesAt(attachedSeries);
        if (s.points && s.pointCount > 0 && s.xAxisIndex >= 0 &&
            s.xAxisIndex < graph->XAxisCount() && s.yAxisIndex >= 0 &&
            s.yAxisIndex < graph->YAxisCount()) {
            const DataPoint& m = s.points[s.pointCount / 2];
            dc->MoveTo(graph->XAxisAt(s.xAxisIndex).PixelOfValue(m).x,
                       graph->YAxisAt(s.yAxisIndex).PixelOfValue(m).y);
            dc->LineTo(rectangle.CenterPoint());
        }
    }

    dc->SetBkMode(OPAQUE);
    const COLORREF back = mono ? RGB(255, 255, 255) : backgroundColour;
    if (transparent)
        dc->SetBkMode(TRANSPARENT);
    else
        dc->FillSolidRect(rectangle, back);
    if (border)
        dc->Rectangle(rectangle);
    dc->SetBkColor(back);
    const COLORREF previousText = dc->SetTextColor(mono ? RGB(0, 0, 0) : textColour);
    if (tracking)
        DrawTracker(dc);
    if (!editing) {
        CRect inner = rectangle;
        inner.DeflateRect(1, 1);
        dc->DrawText(text, &inner, UINT(textFormat));
    }
    dc->SetTextColor(previousText);
    dc->SelectObject(previousPen);
}

void CPlotLabel::Edit() {
    if (!editable)
        return;
    editControl.reset();
    tracking = false;
    editing = true;
    if (!graph || !graph->IsWindow())
        return;
    CRect inner = rectangle;
    inner.DeflateRect(1, 1);
    editControl = std::make_unique<CEdit>();
    const DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                        ES_WANTRETURN | DWORD(textFormat);
    if (!editControl->Create(style, inner, graph, EditControlId)) {
        editControl.reset();
        return;
    }
    editControl->SetFont(font.LogFont());
    editControl->SetWindowText(text);
    editControl->ShowWindow(true);
    graph->Invalidate(TRUE);
    editControl->SetFocus();
    editControl->SetSel(0, -1);
    editControl->ScrollCaret();
}

void CPlotLabel::EndEdit() {
    if (!editable)
        return;
    if (editControl) {
        text = editControl->GetWindowText();
        editControl.reset();
    }
    editing = false;
}

void CPlotLabel::Serialize(CArchive& ar) {
    CPlotObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << text << font.LogFont() << std::uint32_t(backgroundColour)
           << std::uint32_t(textColour);
        ar.WriteFlag(border);
        ar.WriteFlag(transparent);
        ar << textFormat << attachedSeries;
        return;
    }
    LOGFONTA lf;
    std::uint32_t back, fore;
    ar >> text >> lf >> back >> fore;
    font.DeleteObject();
    font.CreateFontIndirectA(&lf);
    backgroundColour = back;
    textColour = fore;
    border = ar.ReadFlag();
    transparent = ar.ReadFlag();
    ar >> textFormat >> attachedSeries;
}
