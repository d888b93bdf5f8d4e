#include <gtest/gtest.h>

#include "draw/Symbols.h"
#include "tests/support/Canvas.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Green = RGB(0, 160, 0);

TEST(Symbols, DiamondAndLeftTriangleCorners) {
    Canvas c(32, 32);
    symbolTable[3](0, 0, 8, Green, 0, &c.dc);
    for (CPoint p : {CPoint(4, 0), CPoint(8, 4), CPoint(4, 8), CPoint(0, 4)})
        EXPECT_EQ(c.dc.GetPixel(p.x, p.y), Black) << p.x << "," << p.y;
    EXPECT_EQ(c.dc.GetPixel(4, 4), Green);
    EXPECT_EQ(c.dc.GetPixel(1, 1), White);

    Canvas t(32, 32);
    symbolTable[4](0, 0, 8, Green, 0, &t.dc);
    for (CPoint p : {CPoint(7, 0), CPoint(0, 4), CPoint(7, 8)})
        EXPECT_EQ(t.dc.GetPixel(p.x, p.y), Black) << p.x << "," << p.y;
    EXPECT_EQ(t.dc.GetPixel(8, 4), White); // one unit short on the right
    EXPECT_EQ(t.dc.GetPixel(5, 4), Green);
}

TEST(Symbols, SquareCoversItsBoxWithRightAndBottomOutside) {
    Canvas c(32, 32);
    symbolTable[0](2, 2, 6, Green, 0, &c.dc);
    EXPECT_EQ(c.Count(Black), 20);
    EXPECT_EQ(c.Count(Green), 16);
    EXPECT_EQ(c.dc.GetPixel(8, 8), White);
}

TEST(Symbols, EveryFilledSymbolAndTheCrossAreBlackOnFewColours) {
    for (int n = 0; n < SymbolCount; ++n) {
        Canvas c(32, 32, Caps(96, 96, 2));
        symbolTable[n](4, 4, 20, Green, 0, &c.dc);
        EXPECT_EQ(c.Count(Green), 0) << n;
        EXPECT_GT(c.Count(Black), 20) << n;
        EXPECT_TRUE(c.dc.fewColours);
    }
    Canvas colour(32, 32);
    symbolTable[2](4, 4, 20, Green, 0, &colour.dc);
    EXPECT_GT(colour.Count(Green), 20);
    EXPECT_EQ(colour.Count(Black), 0);
}

TEST(Symbols, RestoreThePenAndBrushAndScaleWhenPrinting) {
    Canvas c(32, 32);
    CPen pen(PS_DOT, 1, Green);
    CBrush brush(HS_CROSS, Green);
    c.dc.SelectObject(pen);
    c.dc.SelectObject(brush);
    for (int n = 0; n < SymbolCount; ++n)
        symbolTable[n](1, 1, 4, RGB(9, 9, 9), 0, &c.dc);
    EXPECT_EQ(c.dc.GetCurrentPen().style, PS_DOT);
    EXPECT_EQ(c.dc.GetCurrentBrush().kind, CBrush::Hatched);

    Canvas print(32, 32, Caps(192, 192));
    print.dc.scaling = true;
    symbolTable[0](2, 2, 4, Green, 0, &print.dc); // box (4,4)-(12,12), two-unit outline
    EXPECT_EQ(print.dc.GetPixel(8, 8), Green);
    EXPECT_EQ(print.dc.GetPixel(4, 4), Black);
    EXPECT_EQ(print.dc.GetPixel(14, 14), White);
}

} // namespace
