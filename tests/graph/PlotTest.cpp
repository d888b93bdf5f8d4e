#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/graph/GraphFixture.h"
#include "tests/support/ParentWindow.h"

namespace {

TEST(Plot, NothingBeforeData) {
    CPlot plot;
    EXPECT_EQ(plot.SeriesCount(), 0);
    EXPECT_EQ(plot.XAxisCount(), 0);
    EXPECT_EQ(plot.YAxisCount(), 0);
    EXPECT_EQ(plot.Objects().size(), 1u);
    EXPECT_EQ(plot.Objects().front(), &plot.readoutLabel);
    EXPECT_FALSE(plot.readoutLabel.visible);
    EXPECT_EQ(plot.readoutLabel.rectangle, CRect(100, 100, 200, 175));
    DataPoint p{0, 0};
    EXPECT_EQ(plot.SetSeriesData(nullptr, 5, 0, 0, 0, false), nullptr);
    EXPECT_EQ(plot.SetSeriesData(&p, 0, 0, 0, 0, false), nullptr);
    EXPECT_EQ(plot.SeriesCount(), 0);
    EXPECT_EQ(plot.cursorFlags, 7);
    EXPECT_EQ(plot.plotColour, RGB(240, 240, 240));
    EXPECT_EQ(plot.operationMode, ModeNone);
}

TEST(Plot, FirstDataMakesSeriesAndAxesAndFitsThem) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load(Samples({3, -2, 7}));
    EXPECT_EQ(g.plot.SeriesCount(), 1);
    EXPECT_EQ(g.plot.XAxisAt(0).orientation, CPlotAxis::Horizontal);
    EXPECT_EQ(g.plot.YAxisAt(0).orientation, CPlotAxis::Vertical);
    EXPECT_EQ(g.plot.XAxisAt(0).rangeMax, 2);
    EXPECT_EQ(g.plot.YAxisAt(0).rangeMin, -2);
    EXPECT_EQ(g.plot.YAxisAt(0).rangeMax, 7);
    EXPECT_EQ(s.colour, RGB(128, 0, 0));
    EXPECT_EQ(s.graph, &g.plot);
    EXPECT_EQ(g.plot.SeriesIndexOf(&s), 0);
    EXPECT_EQ(g.plot.AxisIndexOf(&g.plot.YAxisAt(0)), 0);
    CPlotAxis stranger;
    EXPECT_EQ(g.plot.AxisIndexOf(&stranger), -1);

    s.points[1].y = 42; // the series refers to the caller's buffer
    EXPECT_EQ(g.data[1].y, 42);
}

TEST(Plot, PaletteRepeatsAfterTwelveAndClearGraphStartsAfresh) {
    GraphFixture g;
    std::vector<DataPoint> points = Samples({1, 2});
    for (int i = 0; i < 13; ++i)
        g.plot.SetSeriesData(points.data(), 2, i, 0, 0, true);
    EXPECT_EQ(g.plot.SeriesAt(12).colour, g.plot.SeriesAt(0).colour);
    EXPECT_EQ(g.plot.SeriesAt(9).colour, RGB(0, 0, 255));
    g.plot.XAxisAt(0).title = "changed";
    g.plot.modified = true;
    g.plot.editMarker = true;
    g.plot.AddObject(std::make_unique<CPlotLabel>());
    g.plot.measurements.push_back({0, 0, 5, 1});
    g.plot.ClearGraph();
    EXPECT_EQ(g.plot.SeriesCount(), 0);
    EXPECT_EQ(g.plot.Objects().size(), 1u); // the readout label stays
    EXPECT_FALSE(g.plot.modified || g.plot.editMarker);
    g.Load(Samples({5, 6}));
    EXPECT_EQ(g.plot.SeriesAt(0).colour, RGB(128, 0, 0));
    EXPECT_EQ(g.plot.XAxisAt(0).title, " ");
    EXPECT_FALSE(g.plot.DeleteObject(&g.plot.readoutLabel));
}

TEST(Plot, ReplacingASeriesKeepsItsLookAndRefersToTheNewPoints) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load(Samples({1, 2, 3}));
    s.name = "kept";
    std::vector<DataPoint> other = Samples({9, 8});
    CPlotDataSeries* replaced = g.plot.SetSeriesData(other.data(), 2, 0, 0, 0, false);
    EXPECT_EQ(replaced->name, "kept");
    EXPECT_EQ(replaced->points, other.data());
    EXPECT_EQ(replaced->pointCount, 2);
    EXPECT_EQ(g.plot.SetSeriesData(other.data(), 2, 5, 0, 0, false), nullptr); // beyond the end
}

TEST(Plot, NotificationsArePostedToTheParent) {
    Parent parent;
    parent.Create("Parent", "", CRect(0, 0, 100, 100), nullptr, 1);
    CPlot plot;
    plot.Create(&parent);
    EXPECT_EQ(plot.GetDlgCtrlID(), 1001u);
    EXPECT_EQ(plot.GetClassName(), "TarvelinPlot");
    plot.Notify(PLN_ZOOM_CHANGED);
    EXPECT_TRUE(parent.received.empty()); // queued, never sent
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.received.size(), 1u);
    EXPECT_EQ(parent.received[0].message, WM_USER + 10);
    EXPECT_EQ(parent.received[0].lParam, LPARAM(&plot));
}

} // namespace
