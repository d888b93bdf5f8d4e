// Pins the framework pixel rules the chart arithmetic depends on.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/Canvas.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

using MemoryDC = Canvas;

TEST(DC, LineToLeavesOutTheEndPixel) {
    MemoryDC m;
    m.dc.SelectObject(CPen(PS_SOLID, 1, Black));
    m.dc.MoveTo(2, 5);
    m.dc.LineTo(10, 5);
    EXPECT_EQ(m.At(2, 5), Black);
    EXPECT_EQ(m.At(9, 5), Black);
    EXPECT_EQ(m.At(10, 5), White);
    EXPECT_EQ(m.Count(Black, CRect(0, 0, 40, 40)), 8);
    EXPECT_EQ(m.dc.GetCurrentPosition(), CPoint(10, 5));

    m.dc.MoveTo(20, 20); // upward and diagonal, both without the end
    m.dc.LineTo(20, 15);
    EXPECT_EQ(m.At(20, 20), Black);
    EXPECT_EQ(m.At(20, 16), Black);
    EXPECT_EQ(m.At(20, 15), White);
    m.dc.MoveTo(30, 30);
    m.dc.LineTo(34, 34);
    EXPECT_EQ(m.At(33, 33), Black);
    EXPECT_EQ(m.At(34, 34), White);
    EXPECT_EQ(m.Count(Black, CRect(29, 29, 36, 36)), 4);
}

// A line that starts far outside the clip lights the same pixels inside it as the whole walk.
TEST(DC, LinesFromFarOutsideTheClipKeepTheirPixels) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> x(0, 2999), y(0, 199);
    for (int round = 0; round < 200; ++round) {
        const bool tall = round >= 100; // the same with Y as the major axis
        auto at = [tall](int u, int v) { return tall ? CPoint(v, u) : CPoint(u, v); };
        const CPoint a = at(x(rng) % 500, y(rng)), b = at(x(rng), y(rng));
        const int style = round % 3 == 0 ? PS_DOT : round % 3 == 1 ? PS_DASHDOT : PS_SOLID;
        const int w = tall ? 200 : 3000, h = tall ? 3000 : 200;
        MemoryDC whole(w, h), clipped(w, h);
        for (MemoryDC* m : {&whole, &clipped}) {
            if (m == &clipped)
                m->dc.IntersectClipRect(tall ? CRect(0, 2000, 200, 3000)
                                             : CRect(2000, 0, 3000, 200));
            m->dc.SelectObject(CPen(style, 1, Black));
            m->dc.SetBkColor(Red);
            m->dc.MoveTo(round % 2 ? a : b);
            m->dc.LineTo(round % 2 ? b : a);
        }
        for (int v = 0; v < 200; ++v)
            for (int u = 2000; u < 3000; ++u) {
                const CPoint p = at(u, v);
                ASSERT_EQ(whole.At(p.x, p.y), clipped.At(p.x, p.y))
                    << round << ": " << u << "," << v;
            }
    }
}

TEST(DC, RectangleAndFillRectEdges) {
    MemoryDC m;
    m.dc.SelectObject(CPen(PS_SOLID, 1, Black));
    m.dc.SelectObject(CBrush(Red));
    m.dc.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(m.At(2, 2), Black);
    EXPECT_EQ(m.At(7, 5), Black); // right and bottom edges are outside the box
    EXPECT_EQ(m.At(8, 5), White);
    EXPECT_EQ(m.At(7, 6), White);
    EXPECT_EQ(m.At(3, 3), Red);
    EXPECT_EQ(m.Count(Black, CRect(0, 0, 10, 10)), 16);
    EXPECT_EQ(m.Count(Red, CRect(0, 0, 10, 10)), 8);

    m.dc.FillRect(CRect(20, 20, 25, 23), CBrush(Blue));
    EXPECT_EQ(m.Count(Blue, CRect(18, 18, 30, 30)), 15);
    EXPECT_EQ(m.At(24, 22), Blue);
    EXPECT_EQ(m.At(25, 22), White);

    m.dc.SelectObject(CPen(PS_SOLID, 1, Blue));
    m.dc.Ellipse(0, 30, 8, 38); // inside its box as well
    EXPECT_EQ(m.Count(Blue, CRect(0, 30, 8, 38)) > 0, true);
    EXPECT_EQ(m.At(0, 34), Blue);
    EXPECT_EQ(m.At(7, 34), Blue);
    EXPECT_EQ(m.At(8, 34), White);
    EXPECT_EQ(m.At(4, 37), Blue);
    EXPECT_EQ(m.At(4, 38), White);

    // A null pen leaves the right column and bottom row unfilled.
    m.dc.SelectObject(CPen(PS_NULL, 0, Black));
    m.dc.Rectangle(30, 30, 34, 34);
    EXPECT_EQ(m.Count(Red, CRect(28, 28, 40, 40)), 9);
    EXPECT_EQ(m.At(33, 30), White);
}

TEST(DC, NotXorPenTwiceRestoresThePicture) {
    MemoryDC m;
    m.dc.FillSolidRect(CRect(0, 0, 20, 40), RGB(12, 200, 77));
    m.dc.SetROP2(R2_NOTXORPEN);
    m.dc.SelectObject(CPen(PS_SOLID, 1, Black));
    auto draw = [&] {
        m.dc.MoveTo(5, 1);
        m.dc.LineTo(35, 30);
        m.dc.MoveTo(15, 0);
        m.dc.LineTo(15, 39);
        m.dc.DrawFocusRect(CRect(3, 3, 30, 20));
    };
    draw();
    EXPECT_EQ(m.At(15, 10), RGB(243, 55, 178)); // a black pen inverts
    EXPECT_EQ(m.At(25, 38), White);
    m.dc.SelectObject(CPen(PS_SOLID, 1, Red));
    m.dc.MoveTo(0, 38);
    m.dc.LineTo(10, 38);
    EXPECT_EQ(m.At(2, 38), RGB(12, 55, 178)); // NOT(red XOR (12,200,77))
    m.dc.MoveTo(0, 38);
    m.dc.LineTo(10, 38);
    EXPECT_EQ(m.At(2, 38), RGB(12, 200, 77));
    m.dc.SelectObject(CPen(PS_SOLID, 1, Black));
    draw();
    EXPECT_EQ(m.Count(RGB(12, 200, 77), CRect(0, 0, 20, 40)), 20 * 40);
    EXPECT_EQ(m.Count(White, CRect(20, 0, 40, 40)), 20 * 40);
}

TEST(DC, FocusRectInvertsEveryOtherBorderPixel) {
    MemoryDC m;
    m.dc.DrawFocusRect(CRect(2, 2, 12, 8));
    EXPECT_EQ(m.At(2, 2), Black);
    EXPECT_EQ(m.At(3, 2), White);
    EXPECT_EQ(m.At(5, 5), White);
    EXPECT_EQ(m.Count(White, CRect(12, 0, 40, 40)), 28 * 40);
}

TEST(DC, HatchedBrushPaintsLinesOverOpaqueOrTransparentBackground) {
    MemoryDC m;
    m.dc.FillSolidRect(CRect(0, 0, 40, 40), Blue);
    m.dc.SetBkColor(White);
    m.dc.FillRect(CRect(0, 0, 16, 16), CBrush(HS_HORIZONTAL, Red));
    int red = m.Count(Red, CRect(0, 0, 16, 16));
    EXPECT_EQ(red, 2 * 16); // one row in eight
    EXPECT_EQ(m.Count(White, CRect(0, 0, 16, 16)), 16 * 16 - red);
    for (int x = 0; x < 16; ++x) // rows 3 and 11, from the device origin
        EXPECT_TRUE(m.At(x, 3) == Red && m.At(x, 11) == Red) << x;

    m.dc.SetBkMode(TRANSPARENT);
    m.dc.FillRect(CRect(20, 20, 36, 36), CBrush(HS_VERTICAL, Red));
    EXPECT_EQ(m.Count(Red, CRect(20, 20, 36, 36)), 2 * 16);
    EXPECT_EQ(m.Count(Blue, CRect(20, 20, 36, 36)), 16 * 16 - 2 * 16);

    m.dc.FillRect(CRect(0, 20, 16, 36), CBrush(HS_DIAGCROSS, Red));
    EXPECT_EQ(m.Count(Red, CRect(0, 20, 16, 36)), 4 * 16); // two pixels a row
    EXPECT_EQ(m.At(0, 24), Red);
    EXPECT_EQ(m.At(7, 24), Red);
    EXPECT_EQ(m.At(3, 27), Red);
    EXPECT_EQ(m.At(4, 27), Red);
}

TEST(DC, DottedPenRunsAndOpaqueGaps) {
    MemoryDC m(60, 10);
    m.dc.SelectObject(CPen(PS_DOT, 1, Black));
    m.dc.SetBkColor(Red);
    m.dc.MoveTo(0, 2);
    m.dc.LineTo(12, 2);
    const COLORREF expected[12] = {Black, Black, Black, Red, Red, Red,
                                   Black, Black, Black, Red, Red, Red};
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(m.At(x, 2), expected[x]) << x;
    m.dc.SetBkMode(TRANSPARENT);
    m.dc.MoveTo(0, 5);
    m.dc.LineTo(12, 5);
    EXPECT_EQ(m.At(4, 5), White);
    EXPECT_EQ(m.At(7, 5), Black);
}

TEST(DC, TextBackgroundOpaqueOrTransparent) {
    MemoryDC m(120, 40);
    m.dc.FillSolidRect(CRect(0, 0, 120, 40), Blue);
    CFont font;
    font.CreateFontA(-13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    m.dc.SelectObject(font);
    m.dc.SetBkColor(White);
    m.dc.SetBkMode(OPAQUE);
    CSize ext = m.dc.GetTextExtent("Wg");
    EXPECT_GE(ext.cy, 13);
    m.dc.TextOut(4, 4, "Wg");
    EXPECT_EQ(m.At(4 + ext.cx - 1, 4 + ext.cy - 1), White);
    EXPECT_EQ(m.At(4 + ext.cx, 4), Blue);
    EXPECT_EQ(m.At(4, 4 + ext.cy), Blue);
    m.dc.SetBkMode(TRANSPARENT);
    m.dc.TextOut(60, 4, "Wg");
    EXPECT_EQ(m.Count(White, CRect(60, 0, 120, 40)), 0);
    EXPECT_GT(m.Count(Blue, CRect(60, 0, 120, 40)), 0);
}

TEST(DC, CalcRectMeasuresEveryLine) {
    MemoryDC m;
    CFont font;
    font.CreateFontA(-13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    m.dc.SelectObject(font);
    CSize one = m.dc.GetTextExtent("Long line");
    CSize two = m.dc.GetTextExtent("ab");
    CRect r(5, 7, 5, 7);
    int h = m.dc.DrawText("ab\nLong line\nab", &r, DT_CALCRECT | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(h, 3 * one.cy);
    EXPECT_EQ(r, CRect(5, 7, 5 + one.cx, 7 + 3 * one.cy));
    EXPECT_GT(one.cx, two.cx);
    EXPECT_EQ(m.Count(White, CRect(0, 0, 40, 40)), 40 * 40); // measuring draws nothing
    CRect empty(0, 0, 0, 0);
    EXPECT_EQ(m.dc.DrawText("", &empty, DT_CALCRECT), 0);
}

TEST(DC, ClipAndSaveRestore) {
    MemoryDC m;
    int saved = m.dc.SaveDC();
    m.dc.IntersectClipRect(CRect(10, 10, 20, 20));
    m.dc.SelectObject(CPen(PS_SOLID, 1, Red));
    m.dc.SetBkColor(Blue);
    m.dc.FillRect(CRect(0, 0, 40, 40), CBrush(Black));
    EXPECT_EQ(m.Count(Black, CRect(0, 0, 40, 40)), 100);
    EXPECT_EQ(m.At(19, 19), Black);
    EXPECT_EQ(m.At(20, 19), White);
    EXPECT_TRUE(m.dc.RestoreDC(saved));
    EXPECT_EQ(m.dc.GetCurrentPen().colour, Black);
    EXPECT_EQ(m.dc.GetBkColor(), White);
    m.dc.FillRect(CRect(0, 0, 5, 5), CBrush(Black));
    EXPECT_EQ(m.Count(Black, CRect(0, 0, 40, 40)), 125);
    EXPECT_FALSE(m.dc.RestoreDC(-1));
}

TEST(DC, EscapementNineHundredRunsUpward) {
    MemoryDC m(60, 120);
    CFont font;
    font.CreateFontA(-13, 0, 900, 900, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 16, 4, 0, "Arial");
    m.dc.SelectObject(font);
    m.dc.SetBkMode(TRANSPARENT);
    m.dc.TextOut(20, 100, "HHHHHH");
    CRect ink(1000, 1000, -1, -1);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 60; ++x)
            if (m.At(x, y) != White) {
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
    EXPECT_GT(ink.Height(), 3 * ink.Width()); // runs vertically
    EXPECT_LE(ink.bottom, 100);               // upward from the reference point
    EXPECT_GE(ink.left, 20);                  // the tops of the letters face left
    EXPECT_LE(ink.right, 20 + 16);
}

TEST(DC, StretchBltScalesAndBitBltCopies) {
    MemoryDC src(4, 2);
    src.dc.SetPixel(0, 0, Red);
    src.dc.SetPixel(3, 1, Blue);
    MemoryDC dst;
    dst.dc.StretchBlt(10, 10, 16, 8, &src.dc, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(dst.Count(Red, CRect(0, 0, 40, 40)), 16);
    EXPECT_EQ(dst.At(10, 10), Red);
    EXPECT_EQ(dst.At(13, 13), Red);
    EXPECT_EQ(dst.At(14, 10), White);
    EXPECT_EQ(dst.At(25, 17), Blue);
    EXPECT_EQ(dst.Count(Blue, CRect(0, 0, 40, 40)), 16);
    dst.dc.BitBlt(0, 0, 4, 2, &src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), Red);
    EXPECT_EQ(dst.At(3, 1), Blue);
    EXPECT_EQ(dst.At(4, 1), White);
}

TEST(DC, SymbolShapesKeepTheirCorners) {
    MemoryDC m;
    m.dc.SelectObject(CPen(PS_SOLID, 1, Black));
    m.dc.SelectObject(CBrush(Red));
    CPoint diamond[] = {{4, 0}, {8, 4}, {4, 8}, {0, 4}};
    m.dc.Polygon(diamond, 4);
    for (CPoint p : diamond)
        EXPECT_EQ(m.At(p.x, p.y), Black) << p.x << "," << p.y;
    EXPECT_EQ(m.At(4, 4), Red);
    EXPECT_EQ(m.At(0, 0), White);
    EXPECT_EQ(m.At(8, 8), White);
}

} // namespace
