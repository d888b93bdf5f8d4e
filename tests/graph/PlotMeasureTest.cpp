#include <gtest/gtest.h>

#include "tests/graph/GraphFixture.h"
#include "tests/support/QtInput.h"

namespace {

TEST(PlotTrend, LinearAndCubicTrendsBecomeNewSeries) {
    GraphFixture g;
    g.Load(Samples({0, 1, 2, 3}));
    CPlotDataSeries* linear = g.plot.AddLinearTrend(0);
    ASSERT_NE(linear, nullptr);
    EXPECT_EQ(linear->name, "  linear trend");
    EXPECT_TRUE(linear->ownsPoints);
    for (int j = 0; j < 4; ++j)
        EXPECT_DOUBLE_EQ(linear->points[j].y, j);
    EXPECT_EQ(linear->colour, CPlot::Palette[1]);

    std::vector<DataPoint> cube = Samples({1, 8, 27});
    g.plot.SetSeriesData(cube.data(), 3, 2, 0, 0, false);
    CPlotDataSeries* cubic = g.plot.AddCubicTrend(2);
    ASSERT_NE(cubic, nullptr);
    EXPECT_DOUBLE_EQ(cubic->points[2].y, 27);
    EXPECT_EQ(g.plot.SeriesCount(), 4);

    std::vector<DataPoint> one = Samples({5});
    g.plot.SetSeriesData(one.data(), 1, 4, 0, 0, false);
    EXPECT_EQ(g.plot.AddLinearTrend(4), nullptr);
    EXPECT_EQ(g.plot.AddCubicTrend(99), nullptr);
    g.plot.seriesUnderMouse = -1;
    g.plot.SendMessage(WM_COMMAND, ID_PLOT_LINEAR_TREND); // nothing under the mouse: nothing
    EXPECT_EQ(g.plot.SeriesCount(), 5);
}

TEST(PlotMeasure, EndsSnapToTheNearestCurveAndAreKept) {
    GraphFixture g;
    g.Load(Samples({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    std::vector<DataPoint> flat = Samples({50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50});
    g.plot.SetSeriesData(flat.data(), 11, 1, 0, 0, false);
    g.plot.legendVisible = false;
    g.PaintAndFreeze();
    auto at = [&](double vx, double vy) { return g.At(vx, vy); };
    g.plot.SendMessage(WM_COMMAND, ID_PLOT_MEASURE);
    EXPECT_EQ(g.plot.operationMode, ModeMeasure);
    input::Drag(g.plot, CPoint(at(2, 22).x, at(2, 22).y), CPoint(at(8, 52).x, at(8, 52).y));
    ASSERT_EQ(g.plot.measurements.size(), 1u);
    const Measurement m = g.plot.measurements[0];
    EXPECT_EQ(m.series1, 0); // 20 is nearer than 50 at x = 2
    EXPECT_EQ(m.point1, 2);
    EXPECT_EQ(m.series2, 1); // 50 is nearer than 80 at x = 8
    EXPECT_EQ(m.point2, 8);
    EXPECT_EQ(g.plot.mouseDownPoint.y, at(2, 20).y);

    g.plot.ClearGraph(); // the record stays, but names series that are gone
    g.Paint();
    EXPECT_EQ(g.plot.measurements.size(), 1u);
}

TEST(PlotMeasure, TextsAreDrawnWithoutABoxAndADragWithoutCurvesRecordsNothing) {
    GraphFixture g;
    g.Load(Samples({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    g.plot.legendVisible = false;
    g.plot.YAxisAt(0).title = "V";
    g.PaintAndFreeze();
    g.plot.SendMessage(WM_COMMAND, ID_PLOT_MEASURE);
    const CPoint from = g.At(1, 10), to = g.At(9, 90);
    input::Drag(g.plot, from, to);
    ASSERT_EQ(g.plot.measurements.size(), 1u);
    g.Paint();
    std::unique_ptr<CDC> dc = g.plot.GetDC();
    auto black = [&](CRect area) {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += dc->GetPixel(x, y) == RGB(0, 0, 0);
        return n;
    };
    // dX below the horizontal leg, dY left of the vertical one: bold glyphs, not solid boxes.
    const int midY = (from.y + to.y) / 2;
    for (CRect text : {CRect(from.x + 10, from.y + 1, to.x - 10, from.y + 14),
                       CRect(to.x - 60, midY - 7, to.x - 2, midY + 7)}) {
        EXPECT_LT(black(text), 120) << "a text sits on a solid box";
        EXPECT_GT(black(text), 5) << "the text is there";
    }

    g.plot.ClearGraph(); // nothing to snap to: the drag records nothing
    input::Drag(g.plot, from, to);
    EXPECT_EQ(g.plot.measurements.size(), 1u);
}

} // namespace
