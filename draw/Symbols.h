#pragma once
// The eight marker symbols, each drawn in the square (x, y)-(x + size, y + size).

#include "draw/GraphDC.h"

// x, y, size, colour, an argument no symbol uses, and the drawing context.
using SymbolRoutine = void (*)(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);

void DrawFilledSquare(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawFilledCircle(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawDiagonalCross(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawFilledDiamond(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawTriangleLeft(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawTriangleUp(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawTriangleRight(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);
void DrawTriangleDown(int x, int y, int size, COLORREF colour, int unused, CGraphDC* dc);

constexpr int SymbolCount = 8;
// Symbol number n is routine n.
extern const SymbolRoutine symbolTable[SymbolCount];
