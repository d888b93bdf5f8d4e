#include <gtest/gtest.h>

#include "tests/graph/GraphFixture.h"
#include "tests/support/QtInput.h"

namespace {

struct CursorGraph : GraphFixture {
    std::vector<DataPoint> second;
    CursorGraph() {
        Load(Samples({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
        plot.legendVisible = false;
        PaintAndFreeze();
    }
};

TEST(PlotCursor, LockedCursorRidesOnTheCurveAndReadsOut) {
    CursorGraph g;
    g.plot.cursorFlags = 14;
    g.plot.cursorSeriesLock = 0;
    g.plot.XAxisAt(0).tickFormat = "%5.1f\r\n";
    g.plot.SendMessage(WM_COMMAND, ID_PLOT_CURSOR);
    EXPECT_EQ(g.plot.readoutLabel.rectangle,
              CRect(g.plot.plotRect.left + 1, g.plot.plotRect.top, g.plot.plotRect.left + 150,
                    g.plot.plotRect.top + 50));
    const CPoint over = g.At(4, 95); // far above the sample 4 (40)
    input::Move(g.plot, over);
    EXPECT_EQ(g.plot.cursorSeries, 0);
    EXPECT_EQ(g.plot.cursorY, 40);
    EXPECT_EQ(g.plot.mousePoint.y, g.At(4, 40).y);
    EXPECT_TRUE(g.plot.readoutLabel.visible);
    const std::string& text = g.plot.readoutLabel.text;
    EXPECT_EQ(text.rfind(" X[01] : ", 0), 0u) << text;
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1); // the format's line break is gone
    EXPECT_NE(text.find(" Y[01] : "), std::string::npos);
    EXPECT_NE(text.find(" [01] : "), std::string::npos);            // the series' name is one blank
    EXPECT_NE(text.find(",  40.0\r\n"), std::string::npos) << text; // "%5.1f" of the sample
}

TEST(PlotCursor, MovingLeavesNoTraceOfTheLastPosition) {
    CursorGraph g;
    g.plot.cursorFlags = 3; // both lines, no readout
    g.plot.SendMessage(WM_COMMAND, ID_PLOT_CURSOR);
    input::Move(g.plot, g.At(2, 50));
    input::Move(g.plot, g.At(7, 20));
    auto moved = g.plot.GetDC();
    std::vector<COLORREF> after;
    for (int y = g.plot.plotRect.top; y < g.plot.plotRect.bottom; y += 3)
        for (int x = g.plot.plotRect.left; x < g.plot.plotRect.right; x += 3)
            after.push_back(moved->GetPixel(x, y));
    g.plot.ReleaseDC(moved.get());
    g.Paint(); // a full repaint draws the cursor once, at the stored point
    auto fresh = g.plot.GetDC();
    std::size_t k = 0;
    for (int y = g.plot.plotRect.top; y < g.plot.plotRect.bottom; y += 3)
        for (int x = g.plot.plotRect.left; x < g.plot.plotRect.right; x += 3)
            ASSERT_EQ(fresh->GetPixel(x, y), after[k++]) << x << "," << y;
    g.plot.ReleaseDC(fresh.get());
}

TEST(PlotCursor, SnapsToTheFirstCurveCloserThanTheSnapDistance) {
    CursorGraph g;
    g.second = Samples({5, 15, 25, 35, 45, 55, 65, 75, 85, 95, 105});
    g.plot.SetSeriesData(g.second.data(), 11, 1, 0, 0, false);
    g.plot.XAxisAt(0).autoScale = g.plot.YAxisAt(0).autoScale = false;
    g.Paint();
    g.plot.cursorSeriesLock = -1;
    g.plot.cursorFlags = 2;
    g.plot.SendMessage(WM_COMMAND, ID_PLOT_CURSOR);
    const CPoint first = g.At(3, 30);
    input::Move(g.plot, CPoint(first.x, first.y - 3));
    EXPECT_EQ(g.plot.cursorSeries, 0);
    EXPECT_EQ(g.plot.mousePoint.y, first.y);
    input::Move(g.plot, CPoint(first.x, first.y - g.plot.snapDistance - 40));
    EXPECT_EQ(g.plot.cursorSeries, -1);
    g.plot.cursorSnap = false;
    input::Move(g.plot, first);
    EXPECT_EQ(g.plot.cursorSeries, -1);
}

} // namespace
