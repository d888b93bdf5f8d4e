// Point editing with the mouse: dragging, the edit marker, freehand strokes.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/graph/GraphFixture.h"
#include "tests/support/QtInput.h"

namespace {

struct Editing : GraphFixture {
    explicit Editing(int n = 31) {
        std::vector<DataPoint> points;
        for (int i = 0; i < n; ++i)
            points.push_back({double(i), 0.0});
        Load(points);
        plot.legendVisible = false;
        plot.YAxisAt(0).SetRange(-10, 10);
        PaintAndFreeze();
    }
    // Hovers over sample i on the curve, then drags it to the row of value y.
    void DragPoint(int i, double y) {
        const CPoint on = At(i, data[std::size_t(i)].y);
        const CPoint hover(on.x + plot.SeriesAt(0).markerSize / 2, on.y);
        input::Move(plot, hover);
        input::Press(plot, hover);
        input::Move(plot, CPoint(hover.x, At(i, y).y), Qt::LeftButton);
        input::Release(plot, CPoint(hover.x, At(i, y).y));
        Paint();
    }
};

TEST(PlotEdit, DraggingAPointWritesTheAxisValueOfTheMouseRow) {
    Editing e;
    e.plot.SendMessage(WM_COMMAND, ID_PLOT_EDIT);
    e.DragPoint(12, 5);
    EXPECT_NEAR(e.data[12].y, 5, 20.0 / e.plot.YAxisAt(0).pixelLength);
    EXPECT_EQ(e.data[12].y, e.plot.YAxisAt(0).ValueAtPixel(e.At(12, 5).y));
    EXPECT_EQ(e.data[11].y, 0);
    EXPECT_TRUE(e.plot.modified);
    EXPECT_EQ(e.plot.LastPointEdit().point, 12);
    EXPECT_EQ(e.plot.LastPointEdit().oldY, 0);
    EXPECT_EQ(e.plot.GrabbedSeries(), -1); // released with the button
}

// A series whose editable flag is clear: hit as it always was, unless the chart is told to
// leave such series alone, as the editor does for the neighbour frames of a bank.
TEST(PlotEdit, ASeriesThatIsNotEditableIsNeverGrabbedWhereTheChartSaysSo) {
    for (bool rule : {false, true}) {
        Editing e;
        e.plot.SeriesAt(0).editable = false;
        e.plot.hitEditableOnly = rule;
        e.plot.SendMessage(WM_COMMAND, ID_PLOT_EDIT);
        e.DragPoint(12, 5);
        EXPECT_EQ(e.data[12].y == 0, rule) << rule;
        EXPECT_EQ(e.plot.modified, !rule);
    }
}

TEST(PlotEdit, MarkerStraightensInEditAndMovesTheRangeInEditPlus) {
    Editing e;
    e.plot.SendMessage(WM_COMMAND, ID_PLOT_EDIT);
    input::DoubleClick(e.plot, e.At(10, 0));
    EXPECT_TRUE(e.plot.editMarker);
    EXPECT_EQ(e.plot.editMarkerIndex, 10);
    e.DragPoint(14, 4);
    const double top = e.data[14].y;
    for (int k = 11; k < 14; ++k)
        EXPECT_NEAR(e.data[std::size_t(k)].y, top * (k - 10) / 4, 1e-12) << k;
    EXPECT_EQ(e.data[15].y, 0);

    Editing plus;
    plus.plot.SetOperationMode(ModeEditPlus);
    input::DoubleClick(plus.plot, plus.At(20, 0));
    plus.DragPoint(15, 3);
    const double moved = plus.data[15].y;
    for (int k = 16; k <= 20; ++k)
        EXPECT_DOUBLE_EQ(plus.data[std::size_t(k)].y, moved) << k;
    EXPECT_EQ(plus.data[14].y, 0);
    EXPECT_EQ(plus.data[21].y, 0);

    input::DoubleClick(plus.plot, plus.At(20, moved)); // the same point again: marker gone
    EXPECT_FALSE(plus.plot.editMarker);
}

TEST(PlotEdit, FreehandStrokesEitherWayEditTheSameSamples) {
    Editing a, b;
    for (Editing* e : {&a, &b})
        e->plot.SetOperationMode(ModeFreehand);
    input::Drag(a.plot, a.At(5, 2), a.At(9, 6), 1);
    input::Drag(b.plot, b.At(9, 6), b.At(5, 2), 1);
    for (std::size_t i = 0; i < a.data.size(); ++i)
        EXPECT_EQ(a.data[i].y, b.data[i].y) << i;
    EXPECT_NE(a.data[7].y, 0);
    EXPECT_EQ(a.data[4].y, 0);
    EXPECT_EQ(a.data[10].y, 0);
    EXPECT_TRUE(a.plot.modified);

    Editing c;
    c.plot.SetOperationMode(ModeFreehand);
    const CPoint p = c.At(5, 0);
    c.plot.FreehandSegment(p, CPoint(p.x, p.y - 50)); // straight up: nothing at all
    EXPECT_FALSE(c.plot.modified);
}

} // namespace
