// Lines whose ends lie far outside the device: the pixels inside are those of the whole walk,
// and the cost is what the device can show.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <random>
#include <set>

#include "platform/Raster.h"
#include "tests/support/Canvas.h"
#include "tests/support/Timing.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);

// The pixels the whole walk sets inside `area`, walked step by step.
std::set<std::pair<int, int>> Walked(CPoint a, CPoint b, CRect area) {
    std::set<std::pair<int, int>> pixels;
    WalkLine(a, b, [&](int x, int y) {
        if (area.PtInRect(CPoint(x, y)))
            pixels.insert({x, y});
    });
    return pixels;
}

std::set<std::pair<int, int>> Drawn(const Canvas& c) {
    std::set<std::pair<int, int>> pixels;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.At(x, y) == Black)
                pixels.insert({x, y});
    return pixels;
}

TEST(FarLines, EnteredAtTheExactStateOfTheWholeWalk) {
    std::mt19937 rng(12);
    std::uniform_int_distribution<int> far(-1000000, 1000000), near(-20, 80);
    for (int round = 0; round < 300; ++round) {
        // One end far away in any direction, the other near or far: the line often crosses.
        CPoint a(far(rng), far(rng)), b(near(rng), near(rng));
        if (round % 3 == 0)
            b = CPoint(-a.x / 2 + near(rng), -a.y / 3 + near(rng));
        if (round % 4 == 1) // and wholly inside, at any slope
            a = CPoint(near(rng), near(rng));
        if (round % 2)
            std::swap(a, b);
        Canvas c(60, 60);
        c.dc.SelectObject(CPen(PS_SOLID, 1, Black));
        c.dc.MoveTo(a);
        c.dc.LineTo(b);
        ASSERT_EQ(Drawn(c), Walked(a, b, CRect(0, 0, 60, 60))) << round;
    }
}

TEST(FarLines, EndsAtTheLimitsOfIntCostWhatTheyShow) {
    const double seconds = SecondsOf([] {
        std::mt19937 rng(13);
        std::uniform_int_distribution<int> any(INT_MIN, INT_MAX), near(0, 199);
        int crossing = 0;
        for (int round = 0; round < 600; ++round) {
            const CPoint a(any(rng), any(rng));
            const CPoint b = round % 2 ? CPoint(any(rng), any(rng)) : CPoint(near(rng), near(rng));
            for (int style : {PS_SOLID, PS_DOT}) {
                Canvas c(200, 200);
                c.dc.SelectObject(CPen(style, 1, Black));
                c.dc.MoveTo(a);
                c.dc.LineTo(b);
                const std::set<std::pair<int, int>> drawn = Drawn(c);
                crossing += !drawn.empty();
                // Every pixel lies on the ideal line, within the walk's half pixel.
                const double ax = a.x, ay = a.y, dx = double(b.x) - a.x, dy = double(b.y) - a.y;
                const double length = std::hypot(dx, dy);
                for (const auto& [x, y] : drawn) {
                    const double off = std::fabs((x - ax) * dy - (y - ay) * dx) / length;
                    ASSERT_LE(off, 1.0) << round << " at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(crossing, 150);
    });
    EXPECT_LT(seconds, HangGuard(0.5)) << "far lines are walked step by step";
}

TEST(FarLines, StepsInsideMatchAWalk) {
    std::mt19937 rng(14);
    std::uniform_int_distribution<int> v(-300, 300);
    for (int round = 0; round < 3000; ++round) {
        const CPoint a(v(rng), v(rng)), b(v(rng), v(rng));
        const CRect area(-40, -30, 50 + v(rng) % 20, 60);
        std::int64_t first = -1, last = -1, i = 0;
        WalkLine(a, b, [&](int x, int y) {
            if (area.PtInRect(CPoint(x, y))) {
                if (first < 0)
                    first = i;
                last = i + 1;
            }
            ++i;
        });
        const StepRange r = LineWalk(a, b).StepsInside(area);
        if (first < 0) {
            EXPECT_TRUE(r.Empty()) << round;
        } else {
            EXPECT_EQ(r.first, first) << round;
            EXPECT_EQ(r.last, last) << round;
        }
    }
}

// Styled lines, straight ones among them, keep their pattern counted from the first step
// wherever they enter, with the gaps in the background colour when it is opaque.
TEST(FarLines, StyledLinesKeepTheirPatternFromTheFirstStep) {
    constexpr COLORREF Gap = RGB(255, 0, 0), Paper = RGB(255, 255, 255);
    const struct {
        int style;
        std::vector<int> runs;
    } styles[] = {{PS_DOT, {3, 3}},
                  {PS_DASH, {18, 6}},
                  {PS_DASHDOT, {9, 6, 3, 6}},
                  {PS_DASHDOTDOT, {9, 3, 3, 3, 3, 3}}};
    std::mt19937 rng(15);
    // Wide enough for a straight line to be written in several pieces of 64 steps.
    constexpr int Size = 150;
    std::uniform_int_distribution<int> near(-30, Size + 30), far(-20000, 20000);
    for (int round = 0; round < 400; ++round) {
        const auto& style = styles[round % 4];
        CPoint a(near(rng), near(rng)), b(near(rng), near(rng));
        if (round % 3 == 0)
            a = CPoint(far(rng), a.y), b.y = a.y; // straight across
        else if (round % 3 == 1)
            a = CPoint(a.x, far(rng)), b.x = a.x; // straight down or up
        if (round % 2)
            std::swap(a, b);
        const bool opaque = round % 5 < 3;
        Canvas c(Size, Size);
        c.dc.SelectObject(CPen(style.style, 1, Black));
        c.dc.SetBkColor(Gap);
        c.dc.SetBkMode(opaque ? OPAQUE : TRANSPARENT);
        c.dc.MoveTo(a);
        c.dc.LineTo(b);
        std::vector<COLORREF> expected(Size * Size, Paper);
        int total = 0;
        for (int r : style.runs)
            total += r;
        std::int64_t step = 0;
        WalkLine(a, b, [&](int x, int y) {
            int at = int(step++ % total), run = 0;
            while (at >= style.runs[std::size_t(run)])
                at -= style.runs[std::size_t(run++)];
            if (x >= 0 && x < Size && y >= 0 && y < Size && (run % 2 == 0 || opaque))
                expected[std::size_t(y * Size + x)] = run % 2 == 0 ? Black : Gap;
        });
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x)
                ASSERT_EQ(c.At(x, y), expected[std::size_t(y * Size + x)])
                    << "round " << round << " at " << x << "," << y;
    }
}

} // namespace
