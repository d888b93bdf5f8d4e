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

// Every routine works on a size held to what a window can show, and saturates its corners:
// a symbol of a far point stays far.

void DrawFilledSquare(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    dc->Rectangle(x, y, SatSum(x, s), SatSum(y, s));
}

void DrawFilledCircle(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    dc->Ellipse(x, y, SatSum(x, s), SatSum(y, s));
}

void DrawDiagonalCross(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    if (!dc->scaleKnown)
        dc->ComputeScaleFactors();
    const int width = dc->scaling ? int(2 * dc->horizontalScale) : 2;
    CSelectGuard<CPen> pen(*dc, CPen(PS_SOLID, width, dc->fewColours ? RGB(0, 0, 0) : colour));
    dc->MoveTo(x, y);
    dc->LineTo(SatSum(x, s), SatSum(y, s));
    dc->MoveTo(SatSum(x, s), y);
    dc->LineTo(x, SatSum(y, s));
}

void DrawFilledDiamond(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{SatSum(x, s / 2), y},
                             {SatSum(x, s), SatSum(y, s / 2)},
                             {SatSum(x, s / 2), SatSum(y, s)},
                             {x, SatSum(y, s / 2)}};
    dc->Polygon(points, 4);
}

void DrawTriangleLeft(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    const CPoint points[] = {
        {SatSum(x, s, -1), y}, {x, SatSum(y, s / 2)}, {SatSum(x, s, -1), SatSum(y, s)}};
    dc->Polygon(points, 3);
}

void DrawTriangleUp(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    const CPoint points[] = {
        {SatSum(x, s / 2), y}, {SatSum(x, s), SatSum(y, s)}, {x, SatSum(y, s)}};
    dc->Polygon(points, 3);
}

void DrawTriangleRight(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{x, y}, {SatSum(x, s), SatSum(y, s / 2)}, {x, SatSum(y, s)}};
    dc->Polygon(points, 3);
}

void DrawTriangleDown(int x, int y, int s, COLORREF colour, int, CGraphDC* dc) {
    s = DrawnSize(s);
    FilledStyle style(*dc, colour);
    const CPoint points[] = {{x, y}, {SatSum(x, s), y}, {SatSum(x, s / 2), SatSum(y, s)}};
    dc->Polygon(points, 3);
}

const SymbolRoutine symbolTable[SymbolCount] = {
    DrawFilledSquare, DrawFilledCircle, DrawDiagonalCross, DrawFilledDiamond,
    DrawTriangleLeft, DrawTriangleUp,   DrawTriangleRight, DrawTriangleDown,
};
