// What one drawing leaves behind must not change the next: text backgrounds after shapes, the
// clear bits of hatches under raster operations, fills against their outlines.
#include <gtest/gtest.h>

#include <functional>

#include "draw/Symbols.h"
#include "platform/Raster.h"
#include "tests/support/Canvas.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Green = RGB(0, 200, 0);
constexpr COLORREF Grey = RGB(240, 240, 240);

bool HatchBit(int hatch, int x, int y) {
    static const unsigned char patterns[6][8] = {
        {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00},
        {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},
        {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
        {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08},
        {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},
    };
    return (patterns[hatch][y & 7] >> (7 - (x & 7))) & 1;
}

TEST(DCState, TextKeepsTheBackgroundModeTheCallerSet) {
    const std::vector<std::pair<const char*, std::function<void(CDC&)>>> shapes = {
        {"Rectangle", [](CDC& dc) { dc.Rectangle(2, 2, 30, 10); }},
        {"Ellipse", [](CDC& dc) { dc.Ellipse(2, 2, 30, 10); }},
        {"Polygon",
         [](CDC& dc) {
             const CPoint pts[] = {{2, 2}, {30, 2}, {16, 10}};
             dc.Polygon(pts, 3);
         }},
        {"FillRect", [](CDC& dc) { dc.FillRect(CRect(2, 2, 30, 10), CBrush(HS_CROSS, Green)); }},
    };
    for (const auto& [name, draw] : shapes)
        for (bool drawText : {true, false}) {
            Canvas c(120, 40);
            c.dc.SelectObject(CPen(PS_SOLID, 1, Black));
            c.dc.SelectObject(CBrush(Green));
            c.dc.SetBkMode(OPAQUE);
            c.dc.SetBkColor(Green);
            draw(c.dc);
            c.dc.SetBkMode(TRANSPARENT);
            c.dc.SetTextColor(Black);
            CRect r(40, 12, 120, 40);
            if (drawText)
                c.dc.DrawText("Wide text", &r, DT_LEFT);
            else
                c.dc.TextOut(40, 12, "Wide text");
            EXPECT_EQ(c.Count(Green, CRect(40, 12, 120, 40)), 0) << name << " then text";
            EXPECT_GT(c.Count(White, CRect(40, 12, 120, 40)), 1000) << name;

            c.dc.SetBkMode(OPAQUE); // and the box comes back when asked for
            c.dc.SetBkColor(RGB(1, 2, 3));
            c.dc.TextOut(40, 12, "Wide text");
            EXPECT_GT(c.Count(RGB(1, 2, 3), CRect(40, 12, 120, 40)), 100) << name;
        }
}

TEST(DCState, TransparentHatchesUnderNotXorLeaveTheClearBitsAlone) {
    for (int hatch = 0; hatch < 6; ++hatch) {
        const std::vector<std::pair<const char*, std::function<void(CDC&)>>> shapes = {
            {"Rectangle", [](CDC& dc) { dc.Rectangle(0, 0, 32, 32); }},
            {"Polygon",
             [](CDC& dc) {
                 const CPoint pts[] = {{0, 0}, {31, 0}, {31, 31}, {0, 31}};
                 dc.Polygon(pts, 4);
             }},
            {"Ellipse", [](CDC& dc) { dc.Ellipse(-20, -20, 52, 52); }},
        };
        for (const auto& [name, draw] : shapes) {
            Canvas c(32, 32);
            c.dc.CDC::FillSolidRect(CRect(0, 0, 32, 32), Grey);
            c.dc.SelectObject(CPen(PS_NULL, 1, Black));
            c.dc.SelectObject(CBrush(hatch, RGB(0, 0, 255)));
            c.dc.SetBkMode(TRANSPARENT);
            c.dc.SetROP2(R2_NOTXORPEN);
            draw(c.dc);
            // ~(blue ^ grey): the set bits; the clear ones stay grey.
            const COLORREF set = RGB(0x0F, 0x0F, 0xF0);
            int wrong = 0;
            for (int y = 4; y < 28; ++y)
                for (int x = 4; x < 28; ++x)
                    wrong += c.At(x, y) != (HatchBit(hatch, x, y) ? set : Grey);
            EXPECT_EQ(wrong, 0) << name << " hatch " << hatch << std::hex << " " << c.At(4, 4)
                                << " " << c.At(5, 4) << " " << c.At(4, 7);
            draw(c.dc); // and twice gives the picture back
            EXPECT_EQ(c.Count(Grey, CRect(4, 4, 28, 28)), 24 * 24) << name << " " << hatch;
        }
    }
}

// Pixels reached from the border without crossing the outline colour are outside.
std::vector<bool> Outside(const Canvas& c, COLORREF outline) {
    std::vector<bool> seen(static_cast<std::size_t>(c.width * c.height));
    std::vector<CPoint> stack;
    for (int x = 0; x < c.width; ++x)
        stack.insert(stack.end(), {CPoint(x, 0), CPoint(x, c.height - 1)});
    for (int y = 0; y < c.height; ++y)
        stack.insert(stack.end(), {CPoint(0, y), CPoint(c.width - 1, y)});
    while (!stack.empty()) {
        const CPoint p = stack.back();
        stack.pop_back();
        if (p.x < 0 || p.y < 0 || p.x >= c.width || p.y >= c.height)
            continue;
        const std::size_t i = std::size_t(p.y * c.width + p.x);
        if (seen[i] || c.At(p.x, p.y) == outline)
            continue;
        seen[i] = true;
        stack.insert(stack.end(), {CPoint(p.x + 1, p.y), CPoint(p.x - 1, p.y), CPoint(p.x, p.y + 1),
                                   CPoint(p.x, p.y - 1)});
    }
    return seen;
}

TEST(DCState, FilledFiguresFillExactlyTheInsideOfTheirOutline) {
    // Every marker symbol with a fill (all but the cross), at every size a marker may have.
    for (int size = 2; size <= 24; ++size)
        for (int figure : {0, 1, 3, 4, 5, 6, 7}) {
            Canvas c(40, 40);
            symbolTable[figure](5, 7, size, Green, 0, &c.dc);
            const std::vector<bool> outside = Outside(c, Black);
            int spilled = 0, holes = 0;
            for (int py = 0; py < c.height; ++py)
                for (int px = 0; px < c.width; ++px) {
                    const COLORREF v = c.At(px, py);
                    const bool out = outside[std::size_t(py * c.width + px)];
                    spilled += out && v == Green;
                    holes += !out && v != Black && v != Green;
                }
            EXPECT_EQ(spilled, 0) << "figure " << figure << " size " << size;
            EXPECT_EQ(holes, 0) << "figure " << figure << " size " << size;
        }
}

TEST(Raster, EllipsesAreSymmetricAndTheirOutlinesClosed) {
    for (int w = 1; w <= 30; w += 3)
        for (int h = 1; h <= 30; h += 4) {
            const FigureSpans f = EllipseSpans(CRect(0, 0, w, h));
            int widest = 0;
            for (const PixelSpan& s : f.outline) {
                EXPECT_LE(0, s.x0);
                EXPECT_LT(s.x1, w);
                widest = std::max(widest, s.x1);
            }
            EXPECT_EQ(widest, w - 1) << w << "x" << h; // it reaches both sides of its box
            std::vector<int> width(static_cast<std::size_t>(h)), lo(width.size(), w),
                hi(width.size(), -1);
            for (const auto* list : {&f.outline, &f.inside})
                for (const PixelSpan& s : *list) {
                    const std::size_t row = std::size_t(s.y);
                    width[row] += s.x1 - s.x0 + 1;
                    lo[row] = std::min(lo[row], s.x0);
                    hi[row] = std::max(hi[row], s.x1);
                }
            for (int y = 0; y < h; ++y) {
                const std::size_t row = std::size_t(y);
                EXPECT_EQ(width[row], width[std::size_t(h - 1 - y)]) << w << "x" << h;
                EXPECT_EQ(width[row], hi[row] - lo[row] + 1) << "a row without gaps";
                EXPECT_EQ(lo[row] + hi[row], w - 1) << "centred";
            }
        }
    EXPECT_TRUE(EllipseSpans(CRect(0, 0, 0, 5)).outline.empty());
}

TEST(Raster, ConvexPolygonsAndLines) {
    const CPoint square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_TRUE(IsConvex(square, 4));
    const FigureSpans f = ConvexPolygonSpans(square, 4);
    EXPECT_EQ(f.inside, (std::vector<PixelSpan>{{1, 1, 3}, {2, 1, 3}, {3, 1, 3}}));
    const CPoint dart[] = {{0, 0}, {10, 5}, {0, 10}, {3, 5}};
    EXPECT_FALSE(IsConvex(dart, 4));
    std::vector<CPoint> walked;
    WalkLine(CPoint(0, 0), CPoint(5, 2), [&](int x, int y) { walked.push_back(CPoint(x, y)); });
    EXPECT_EQ(walked, (std::vector<CPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
}

} // namespace
