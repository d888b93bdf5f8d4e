// Mouse, wheel and keys sent as real Qt events through the control's host widget.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cmath>

#include "tests/graph/GraphFixture.h"
#include "tests/support/ParentWindow.h"
#include "tests/support/QtInput.h"

namespace {

// A painted graph of 101 samples inside a parent window.
struct Interactive {
    Parent parent;
    CPlot plot;
    std::vector<DataPoint> data;
    Interactive() {
        parent.Create("Parent", "", CRect(0, 0, 400, 300), nullptr, 1);
        plot.Create(&parent);
        plot.MoveWindow(CRect(0, 0, 400, 300));
        for (int i = 0; i <= 100; ++i)
            data.push_back({double(i), 50 + 40 * std::sin(i / 10.0)});
        plot.SetSeriesData(data.data(), int(data.size()), 0, 0, 0, false);
        plot.legendVisible = false;
        Paint();
        plot.SetOperationMode(ModeNone);
        plot.XAxisAt(0).autoScale = plot.YAxisAt(0).autoScale = false;
        Paint();
        parent.Messages();
    }
    void Paint() {
        plot.Invalidate();
        plot.UpdateWindow();
    }
    CPlotAxis& X() { return plot.XAxisAt(0); }
    CPlotAxis& Y() { return plot.YAxisAt(0); }
    CPoint Center() const { return plot.plotRect.CenterPoint(); }
    CPoint OnCurve(int i) {
        return CPoint(X().PixelOfValue(data[std::size_t(i)]).x,
                      Y().PixelOfValue(data[std::size_t(i)]).y);
    }
};

TEST(PlotInput, FirstPanMoveNeverMovesTheView) {
    Interactive t;
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_PAN);
    EXPECT_EQ(t.plot.operationMode, ModePan);
    const double min = t.X().viewMin;
    const CPoint c = t.Center();
    input::Press(t.plot, c);
    input::Move(t.plot, CPoint(c.x + 10, c.y), Qt::LeftButton);
    EXPECT_EQ(t.X().viewMin, min);
    input::Move(t.plot, CPoint(c.x + 30, c.y), Qt::LeftButton);
    EXPECT_LT(t.X().viewMin, min);
    input::Release(t.plot, CPoint(c.x + 30, c.y));
    EXPECT_EQ(t.plot.previousPanPoint, CPoint(0, 0));
}

TEST(PlotInput, ZoomEitherWayEqualTooSmallIgnoredZoomBackRestores) {
    Interactive a, b;
    for (Interactive* t : {&a, &b})
        t->plot.SendMessage(WM_COMMAND, ID_PLOT_ZOOM);
    const CPoint tl(a.Center().x - 40, a.Center().y - 30), br(a.Center().x + 40, a.Center().y + 30);
    const double xMin = a.X().viewMin, xMax = a.X().viewMax, yMax = a.Y().viewMax;
    input::Drag(a.plot, tl, br);
    input::Drag(b.plot, br, tl);
    EXPECT_EQ(a.X().viewMin, b.X().viewMin);
    EXPECT_EQ(a.X().viewMax, b.X().viewMax);
    EXPECT_EQ(a.Y().viewMin, b.Y().viewMin);
    EXPECT_GT(a.X().viewMin, xMin);
    EXPECT_EQ(a.parent.Messages(), (std::vector<UINT>{PLN_ZOOM_CHANGED}));

    const double zoomedMin = a.X().viewMin;
    input::Drag(a.plot, tl, CPoint(tl.x + 14, tl.y + 40)); // 14 pixels wide
    EXPECT_EQ(a.X().viewMin, zoomedMin);
    EXPECT_TRUE(a.parent.Messages().empty());

    a.plot.SendMessage(WM_COMMAND, ID_PLOT_ZOOM_BACK);
    EXPECT_EQ(a.X().viewMin, xMin);
    EXPECT_EQ(a.X().viewMax, xMax);
    EXPECT_EQ(a.Y().viewMax, yMax);
    EXPECT_EQ(a.parent.Messages(), (std::vector<UINT>{PLN_ZOOM_CHANGED}));
}

TEST(PlotInput, WheelMovesTenPercentWhateverTheDelta) {
    Interactive t;
    for (int delta : {120, 15, 1000}) {
        const double min = t.X().viewMin, span = t.X().viewMax - t.X().viewMin;
        input::Wheel(t.plot, t.Center(), delta);
        EXPECT_DOUBLE_EQ(t.X().viewMin, min + 0.1 * span) << delta;
        EXPECT_FALSE(t.X().autoScale);
    }
    const double yMin = t.Y().viewMin, ySpan = t.Y().viewMax - t.Y().viewMin;
    input::Wheel(t.plot, t.Center(), -7, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(t.Y().viewMin, yMin - 0.1 * ySpan);
}

TEST(PlotInput, KeysScrollExceptArrowsInCursorMode) {
    Interactive t;
    t.Paint();
    const double min = t.X().viewMin, span = t.X().viewSpan;
    input::Key(t.plot, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(t.X().viewMin, min + 0.1 * span);
    input::Key(t.plot, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_LT(t.X().viewMax - t.X().viewMin, span);
    const double zoomed = t.X().viewMax - t.X().viewMin;
    input::Key(t.plot, Qt::Key_Minus); // the main keyboard's minus zooms out too
    EXPECT_GT(t.X().viewMax - t.X().viewMin, zoomed);
    input::Key(t.plot, Qt::Key_Home);
    EXPECT_EQ(t.X().viewMin, t.X().rangeMin);

    t.plot.SendMessage(WM_COMMAND, ID_PLOT_CURSOR);
    EXPECT_EQ(t.plot.operationMode, ModeCursor);
    t.plot.mousePoint = CPoint(100, 100);
    const double before = t.X().viewMin;
    input::Key(t.plot, Qt::Key_Left);
    input::Key(t.plot, Qt::Key_Down);
    EXPECT_EQ(t.X().viewMin, before);
    EXPECT_EQ(t.plot.mousePoint, CPoint(99, 101));
}

TEST(PlotInput, DeleteRemovesATrackingLabelButNeverTheReadout) {
    Interactive t;
    CPlotLabel* label = t.plot.AddTextLabel("note");
    t.Paint();
    const CPoint inside = label->rectangle.CenterPoint();
    input::Press(t.plot, inside); // selects it; the release's hit-test shows its tracker
    input::Release(t.plot, inside);
    EXPECT_TRUE(label->tracking);
    EXPECT_EQ(t.plot.selectedObject, label);
    input::Key(t.plot, Qt::Key_Delete);
    EXPECT_EQ(t.plot.Objects().size(), 1u);

    t.plot.readoutLabel.visible = true;
    t.plot.readoutLabel.rectangle = CRect(50, 50, 150, 100);
    input::Press(t.plot, CPoint(100, 75));
    input::Release(t.plot, CPoint(100, 75));
    EXPECT_TRUE(t.plot.readoutLabel.tracking);
    input::Key(t.plot, Qt::Key_Delete);
    EXPECT_EQ(t.plot.Objects().size(), 1u);
    EXPECT_EQ(t.plot.Objects().front(), &t.plot.readoutLabel);
}

TEST(PlotInput, ClicksNotifyWithNumbersAndIndexes) {
    Interactive t;
    const CPoint onCurve = t.OnCurve(30);
    input::Press(t.plot, onCurve);
    input::Release(t.plot, onCurve);
    QCoreApplication::processEvents();
    ASSERT_FALSE(t.parent.received.empty());
    EXPECT_EQ(t.parent.received.back().message, UINT(WM_USER + 3));
    EXPECT_EQ(t.parent.received.back().wParam, 0u);
    EXPECT_EQ(t.parent.received.back().lParam, LPARAM(&t.plot));
    EXPECT_TRUE(t.plot.SeriesAt(0).selected);
    t.parent.received.clear();

    const CPoint axis(t.Y().rectangle.left + 2, t.Y().rectangle.top + 10); // away from the curve
    input::Press(t.plot, axis);
    input::Release(t.plot, axis);
    EXPECT_EQ(t.parent.Messages(), (std::vector<UINT>{PLN_YAXIS_CLICK}));
    EXPECT_TRUE(t.Y().selected);

    input::Press(t.plot, t.Center(), Qt::RightButton);
    input::Release(t.plot, t.Center(), Qt::RightButton);
    EXPECT_EQ(t.parent.Messages(), (std::vector<UINT>{PLN_RBUTTON_UP}));
}

TEST(PlotInput, ValueMarkersAddedDraggedAndDeleted) {
    Interactive t;
    const CPoint axis(t.Y().rectangle.left + 2, t.Y().rectangle.top + 10);
    input::Press(t.plot, axis);
    input::Release(t.plot, axis); // selects the axis
    const CPoint at(t.Center().x, t.Center().y);
    input::Press(t.plot, at);
    input::Release(t.plot, at); // outside it: a marker at the value under the mouse
    ASSERT_EQ(t.Y().valueMarkers.size(), 1u);
    EXPECT_NEAR(t.Y().valueMarkers[0].value, t.Y().ValueAtPixel(at.y), 1e-9);
    t.Paint();
    input::Drag(t.plot, CPoint(at.x, at.y + 3), CPoint(at.x, at.y + 40), 20); // small steps
    EXPECT_NEAR(t.Y().valueMarkers[0].value, t.Y().ValueAtPixel(at.y + 40), 1e-9);
    const CPoint moved(at.x, t.Y().PixelOfValue({0, t.Y().valueMarkers[0].value}).y);
    input::Press(t.plot, moved, Qt::RightButton);
    input::Release(t.plot, moved, Qt::RightButton);
    EXPECT_TRUE(t.Y().valueMarkers.empty());
}

TEST(PlotInput, TooSmallToMapChangesNothing) {
    Interactive t;
    t.plot.MoveWindow(CRect(0, 0, 3, 3));
    t.Paint();
    const double min = t.X().viewMin, max = t.X().viewMax, yMin = t.Y().viewMin;
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_PAN);
    input::Drag(t.plot, CPoint(1, 1), CPoint(2, 2));
    input::Wheel(t.plot, CPoint(1, 1), 120);
    input::Key(t.plot, Qt::Key_Left);
    input::Key(t.plot, Qt::Key_Up);
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_ZOOM);
    input::Drag(t.plot, CPoint(0, 0), CPoint(2, 2));
    EXPECT_EQ(t.X().viewMin, min);
    EXPECT_EQ(t.X().viewMax, max);
    EXPECT_EQ(t.Y().viewMin, yMin);
    EXPECT_TRUE(std::isfinite(t.X().viewMin));
}

TEST(PlotInput, PanThatWouldOverflowLeavesTheAxis) {
    Interactive t;
    t.X().SetViewRange(-1e308, 1e308, 0);
    t.Paint();
    const double min = t.X().viewMin;
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_PAN);
    input::Press(t.plot, t.Center());
    input::Move(t.plot, CPoint(t.Center().x + 5, t.Center().y), Qt::LeftButton);
    input::Move(t.plot, CPoint(t.Center().x + 150, t.Center().y), Qt::LeftButton);
    input::Release(t.plot, CPoint(t.Center().x + 150, t.Center().y));
    EXPECT_TRUE(std::isfinite(t.X().viewMin) && std::isfinite(t.X().viewMax));
    EXPECT_EQ(t.X().viewMin, min);
}

TEST(PlotInput, CursorShapesFollowTheMode) {
    Interactive t;
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_ZOOM);
    input::Move(t.plot, t.Center());
    EXPECT_EQ(t.plot.Host()->cursor().shape(), Qt::CrossCursor);
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_PAN);
    input::Move(t.plot, t.Center());
    EXPECT_EQ(t.plot.Host()->cursor().shape(), Qt::SizeAllCursor);
    t.plot.SendMessage(WM_COMMAND, ID_PLOT_EDIT);
    t.Paint();
    input::Move(t.plot, t.OnCurve(40));
    input::Move(t.plot, t.OnCurve(40));
    EXPECT_EQ(t.plot.seriesUnderMouse, 0);
    EXPECT_EQ(t.plot.Host()->cursor().shape(), Qt::SizeVerCursor);
}

} // namespace
