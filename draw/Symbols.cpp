#include "draw/Symbols.h"

namespace {

// Selects the filled symbols' outline pen and fill brush, and puts the previous ones back.
class FilledStyle {
public:
    FilledStyle(CGraphDC& d, COLORREF colour) : dc(d) {
        if (!dc.scaleKnown)
            dc.ComputeScaleFactors();
        const int width = dc.scaling ? int(dc.horizontalScale) : 1;
        oldPen = dc.SelectObject(CPen(PS_SOLID, width, RGB(0, 0, 0)));
        oldBrush = dc.SelectObject(CBrush(dc.fewColours ? RGB(0, 0, 0) : colour));
    }
    ~FilledStyle() {
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
    }
    FilledStyle(const FilledStyle&) = delete;
    FilledStyle& operator=(const FilledStyle&) = delete;

private:
    CGraphDC& dc;
    CPen oldPen;
    CBrush oldBrush;
};

} // namespace

void DrawFilledSquare(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    dc->Rectangle(x, y, x + s, y + s);
}

void DrawFilledCircle(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    dc->Ellipse(x, y, x + s, y + s);
}

void DrawDiagonalCross(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    if (!dc->scaleKnown)
        dc->ComputeScaleFactors();
    const int width = dc->scaling ? int(2 * dc->horizontalScale) : 2;
    CSelectGuard<CPen> pen(*dc, CPen(PS_SOLID, width, dc->fewColours ? RGB(0, 0, 0) : colour));
    dc->MoveTo(x, y);
    dc->LineTo(x + s, y + s);
    dc->MoveTo(x + s, y);
    dc->LineTo(x, y + s);
}

void DrawFilledDiamond(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    const CPoint points[] = {
        {x + s / 2, y}, {x + s, y + s / 2}, {x + s / 2, y + s}, {x, y + s / 2}};
    dc->Polygon(points, 4);
}

void DrawTriangleLeft(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{x + s - 1, y}, {x, y + s / 2}, {x + s - 1, y + s}};
    dc->Polygon(points, 3);
}

void DrawTriangleUp(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{x + s / 2, y}, {x + s, y + s}, {x, y + s}};
    dc->Polygon(points, 3);
}

void DrawTriangleRight(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{x, y}, {x + s, y + s / 2}, {x, y + s}};
    dc->Polygon(points, 3);
}

void DrawTriangleDown(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{x, y}, {x + s, y}, {x + s / 2, y + s}};
    dc->Polygon(points, 3);
}

const SymbolRoutine symbolTable[SymbolCount] = {
    DrawFilledSquare, DrawFilledCircle, DrawDiagonalCross, DrawFilledDiamond,
    DrawTriangleLeft, DrawTriangleUp,   DrawTriangleRight, DrawTriangleDown,
};
