#include <gtest/gtest.h>

#include "graph/axes/TickWalk.h"
#include "tests/graph/GraphFixture.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Grid = RGB(150, 150, 150);

// A vertical axis 0..10 with step 2 at x = 60 from y = 250 up, labels on the left.
struct AxisDrawing : GraphFixture {
    Canvas canvas{400, 300};
    AxisDrawing() {
        Load(Samples({0, 10}));
        plot.plotRect = CRect(61, 20, 380, 250);
        for (CPlotAxis* a : {&plot.YAxisAt(0), &plot.XAxisAt(0)}) {
            a->autoScale = false;
            a->showSeriesBadges = false;
            a->showGrid = false;
            a->title = "";
            a->gridStyle = PS_SOLID;
            a->areaRect = CRect(5, 5, 395, 295);
            a->originX = 60;
            a->originY = 250;
        }
        CPlotAxis& y = plot.YAxisAt(0);
        y.labelSide = 0;
        y.viewMin = 0;
        y.viewMax = 10;
        y.tickStep = 2;
        CPlotAxis& x = plot.XAxisAt(0);
        x.viewMin = 0;
        x.viewMax = 10;
        x.tickStep = 2;
    }
    std::vector<int> TickRows(int column) {
        std::vector<int> rows;
        for (int y = 0; y < 300; ++y)
            if (canvas.At(column, y) == Grid)
                rows.push_back(y);
        return rows;
    }
};

TEST(AxisDraw, DenseTicksRunUpToTheEndOfTheRange) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    y.viewMax = 1000; // 2001 ticks on some 230 pixels
    y.tickStep = 0.5;
    y.Draw(&a.canvas.dc);
    const std::vector<int> rows = a.TickRows(57);
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.front(), 15) << "the tick of 1000 at the top"; // 14.99.. by repeated sums
    EXPECT_EQ(rows.back(), 250);
}

TEST(AxisDraw, VerticalTicksIncludeTheTopHorizontalOnesDoNot) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    y.Draw(&a.canvas.dc);
    EXPECT_EQ(y.endMargin, 10);
    // top = 5, spacing d = ((250 - 5) - 10) / 5 = 47
    EXPECT_EQ(a.TickRows(57), (std::vector<int>{15, 62, 109, 156, 203, 250}));
    EXPECT_EQ(y.pixelLength, 250 - 30);
    EXPECT_EQ(y.rectangle, CRect(55, 5, 65, 250));
    EXPECT_EQ(a.canvas.At(60, 100), RGB(0, 0, 0)); // the axis line
    EXPECT_EQ(a.canvas.At(60, 5), White);          // the tip is a line of length 0
    EXPECT_EQ(a.canvas.At(59, 6), RGB(0, 0, 0));   // the arrow's first row
    EXPECT_EQ(a.canvas.At(56, 9), RGB(0, 0, 0));   // its widest row
    EXPECT_EQ(a.canvas.At(56, 5), White);

    CPlotAxis& x = a.plot.XAxisAt(0);
    x.Draw(&a.canvas.dc);
    // end = 380, d = ((380 - 60) - 20) / 5 = 60: ticks at 60 .. 300, none at the far end
    std::vector<int> columns;
    for (int px = 0; px < 400; ++px)
        if (a.canvas.At(px, 253) == Grid)
            columns.push_back(px);
    EXPECT_EQ(columns, (std::vector<int>{60, 120, 180, 240, 300}));
    EXPECT_EQ(x.pixelLength, 300);
    EXPECT_EQ(x.rectangle, CRect(60, 245, 380, 255));
}

TEST(AxisDraw, GridLinesCrossThePlotButNotAtTheOrigin) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    y.showGrid = true;
    y.Draw(&a.canvas.dc);
    EXPECT_EQ(a.canvas.At(300, 203), Grid);
    EXPECT_NE(a.canvas.At(300, 250), Grid); // the origin row stops at the axis
    y.labelSide = 1;
    Canvas right(400, 300);
    y.Draw(&right.dc);
    EXPECT_EQ(right.At(62, 203), Grid); // from the label side across to plot.left
    EXPECT_EQ(right.At(64, 203), Grid);
}

TEST(AxisDraw, ANonAdvancingStepDrawsNoTicks) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    for (double step : {0.0, -2.0, 1.0}) {
        y.tickStep = step;
        if (step == 1.0) { // does not move a value of 1e17
            y.viewMin = 1e17;
            y.viewMax = 2e17;
        }
        Canvas c(400, 300);
        y.Draw(&c.dc);
        EXPECT_EQ(c.Count(Grid), 0) << step;
    }
}

TEST(AxisDraw, InvisibleAxisDrawsNothingYetMaps) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    y.visible = false;
    y.Draw(&a.canvas.dc);
    EXPECT_EQ(a.canvas.Count(White), 400 * 300);
    EXPECT_EQ(y.pixelLength, 220);
    EXPECT_EQ(y.PixelOfValue({0, 0}).y, 250);
}

TEST(AxisDraw, SelectedAxisGetsAFocusFrame) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    y.selected = true;
    y.Draw(&a.canvas.dc);
    // The frame on (55, 5, 65, 250) inverts every other pixel of its top row.
    EXPECT_EQ(a.canvas.Count(RGB(0, 0, 0), CRect(55, 5, 65, 6)), 5);
}

TEST(AxisDraw, BadgeRoomsRowsOfThreeColumnsOfTwo) {
    AxisDrawing a;
    std::vector<DataPoint> p = Samples({1, 2});
    for (int i = 1; i < 4; ++i)
        a.plot.SetSeriesData(p.data(), 2, i, 0, 0, true);
    CPlotAxis& y = a.plot.YAxisAt(0);
    CPlotAxis& x = a.plot.XAxisAt(0);
    y.showSeriesBadges = x.showSeriesBadges = true;
    EXPECT_EQ(y.SeriesBadgeRoom(a.canvas.dc, false), 2 * 10);
    EXPECT_EQ(x.SeriesBadgeRoom(a.canvas.dc, false), 3 * 10);
    for (int i = 0; i < 4; ++i)
        a.plot.SeriesAt(i).visible = false;               // hidden series take no badge
    EXPECT_EQ(x.SeriesBadgeRoom(a.canvas.dc, false), 10); // one column even when empty
    EXPECT_EQ(y.SeriesBadgeRoom(a.canvas.dc, false), 0);
}

TEST(AxisDraw, BadgeTextColoursFollowBrightness) {
    Canvas c(60, 60);
    CPlotAxis::DrawSeriesBadge(c.dc, 0, 0, 0, 20, RGB(0, 0, 255), false);
    EXPECT_EQ(c.At(1, 18), RGB(0, 0, 255));
    EXPECT_GT(c.Count(White, CRect(0, 0, 20, 20)), 0); // brightness 127: white text
    CPlotAxis::DrawSeriesBadge(c.dc, 30, 0, 0, 20, RGB(255, 255, 0), false);
    EXPECT_GT(c.Count(RGB(0, 0, 0), CRect(30, 0, 50, 20)), 0); // bright: black text
    Canvas mono(60, 60);
    mono.dc.fewColours = true;
    CPlotAxis::DrawSeriesBadge(mono.dc, 0, 0, 3, 20, RGB(0, 0, 255), false);
    EXPECT_EQ(mono.At(1, 18), RGB(0, 0, 0));
    EXPECT_GT(mono.Count(White, CRect(0, 0, 20, 20)), 0);
    EXPECT_EQ(mono.dc.GetTextColor(), RGB(0, 0, 0)); // restored
}

TEST(AxisDraw, ArrowsAreRunsOfLines) {
    Canvas c(40, 40);
    CPlotAxis::DrawArrow(c.dc, 20, 10, 1, 5); // up: rows 10..14 widening
    EXPECT_EQ(c.Count(RGB(0, 0, 0)), 0 + 2 + 4 + 6 + 8);
    EXPECT_EQ(c.At(19, 11), RGB(0, 0, 0));
    EXPECT_EQ(c.At(21, 11), White); // each line leaves out its end
    Canvas r(40, 40);
    CPlotAxis::DrawArrow(r.dc, 20, 20, 2, 5); // right: columns 15..19 narrowing toward x
    EXPECT_EQ(r.At(15, 15), RGB(0, 0, 0));
    EXPECT_EQ(r.At(20, 20), White);
}

TEST(AxisDraw, ValueMarkersAndRangeBandsInsideThePlot) {
    AxisDrawing a;
    CPlotAxis& y = a.plot.YAxisAt(0);
    y.pixelLength = 230;
    y.SetValueMarker(0, 5, RGB(200, 0, 0), PS_SOLID);
    y.SetValueMarker(1, 50, RGB(0, 200, 0), PS_SOLID); // outside: not drawn, still listed
    RangeBand band;
    band.from = 0;
    band.to = 2;
    band.colourA = RGB(0, 0, 200);
    band.colourB = RGB(0, 0, 200);
    y.rangeBands.push_back(band);
    y.Draw(&a.canvas.dc);
    const int row = y.PixelOfValue({0, 5}).y;
    EXPECT_EQ(a.canvas.At(300, row), RGB(200, 0, 0));
    EXPECT_EQ(a.canvas.Count(RGB(0, 200, 0)), 0);
    EXPECT_EQ(y.valueMarkers.size(), 2u);
    EXPECT_EQ(a.canvas.At(300, 245), RGB(0, 0, 200));
}

// Ticks far denser than pixels run to the end of the axis, and the picture is the one every
// tick drawn in order gives: only ticks wholly hidden under the next are left out.
TEST(AxisDraw, DenseTicksCoverTheAxisAndLookAsIfEveryOneWereDrawn) {
    const struct {
        double min, max, step;
        bool vertical;
        const char* format = "%5.1f";
    } cases[] = {{0, 1000, 0.1, false},
                 {-5, 5, 1e-4, false},
                 {0, 1000, 0.1, true},
                 {0, 1000, 0.1, false, "%g"},
                 {-5, 5, 1e-4, false, "%g"},
                 {0, 1000, 0.1, true, "%g"},
                 {-3, 7, 3e-4, true, "%g"},
                 {0.5, 2.5, 1e-3, true, "%.9g"},
                 {1e6, 1e6 + 3, 1e-4, false, "%g"}};
    for (const auto& c : cases) {
        std::vector<COLORREF> pictures[2];
        for (int every = 0; every < 2; ++every) {
            AxisDrawing a;
            CPlotAxis& axis = c.vertical ? a.plot.YAxisAt(0) : a.plot.XAxisAt(0);
            axis.viewMin = c.min;
            axis.viewMax = c.max;
            axis.tickStep = c.step;
            axis.showGrid = true;
            axis.everyTick = every == 1;
            axis.tickFormat = c.format;
            axis.Draw(&a.canvas.dc);
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 400; ++x)
                    pictures[every].push_back(a.canvas.At(x, y));
            if (every == 0) { // grid lines to the far end of the axis
                int far = c.vertical ? 300 : -1;
                for (int y = 0; y < 300; ++y)
                    for (int x = 0; x < 400; ++x)
                        if (a.canvas.At(x, y) == Grid)
                            far = c.vertical ? std::min(far, y) : std::max(far, x);
                if (c.vertical)
                    EXPECT_LE(far, 40) << c.step;
                else
                    EXPECT_GE(far, 330) << c.step;
            }
        }
        int differ = 0;
        for (std::size_t i = 0; i < pictures[0].size(); ++i)
            differ += pictures[0][i] != pictures[1][i];
        EXPECT_EQ(differ, 0) << c.min << ".." << c.max << " by " << c.step
                             << (c.vertical ? " upward" : " across") << " as " << c.format;
    }
}

// A loaded step far too small for its range: a pixel at a time, to the end, and quickly.
TEST(AxisDraw, AStepFarTooSmallIsWalkedAPixelAtATime) {
    AxisDrawing a;
    CPlotAxis& x = a.plot.XAxisAt(0);
    x.viewMin = 0;
    x.viewMax = 1;
    x.tickStep = 1e-15;
    x.showGrid = true;
    x.Draw(&a.canvas.dc);
    int far = -1, lines = 0;
    for (int px = 0; px < 400; ++px)
        if (a.canvas.At(px, 100) == Grid)
            far = px, ++lines;
    EXPECT_GE(far, 330);
    EXPECT_GE(lines, 250); // every pixel of the axis has its tick
    int visits = 0;
    WalkTicks(10.25, 1e-9, std::int64_t(1e12), 0, 1000,
              [&](std::int64_t, double, std::int64_t, double) { ++visits; });
    EXPECT_EQ(visits, 1000 - 10); // pixels 10 to 999: 1000 itself only begins past the end
    // Holding all the way to the end of the largest range: the gallop must not overflow.
    const std::int64_t end = std::int64_t(1) << 62;
    EXPECT_EQ(FirstFailing(0, end, [](std::int64_t) { return true; }), end);
    EXPECT_EQ(FirstFailing(0, end, [](std::int64_t k) { return k < 12345; }), 12345);
}

} // namespace
