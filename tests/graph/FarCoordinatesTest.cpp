// Values, zooms and loaded records that put pixels far outside the window: painting stays
// quick, draws only what lies on the window, and keeps the records as they were read.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>

#include "graph/objects/PlotDataNotation.h"
#include "tests/graph/GraphFixture.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/Timing.h"

namespace {

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int CountIn(CPlot& plot, COLORREF colour, CRect area) {
    std::unique_ptr<CDC> dc = plot.GetDC();
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += dc->GetPixel(x, y) == colour;
    return n;
}

TEST(FarCoordinates, AFarPointsMarkerDrawsNoBandAcrossThePlot) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load({{-1e12, 5}, {1, 5}, {2, 6}, {10, 5}});
    s.showMarkers = true;
    s.markerMode = 1;
    s.markerSymbol = 0;
    s.colour = RGB(0, 0, 255);
    g.plot.legendVisible = false;
    g.Paint();
    g.plot.XAxisAt(0).SetViewRange(0, 10, 0);
    g.plot.XAxisAt(0).autoScale = false;
    g.Paint();
    // Three markers of 10 x 10 at most, and the curve: far from a band of the plot's height.
    EXPECT_LT(CountIn(g.plot, RGB(0, 0, 255), g.plot.plotRect), 600);
}

TEST(FarCoordinates, DotsAndNotationsAtTheEdgesOfInt) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load({{0, 0}, {1, 1e15}, {2, -1e15}, {3, 0}});
    s.pointStyle = 0;
    g.plot.legendVisible = false;
    g.Paint();
    auto notation = std::make_unique<CPlotDataNotation>();
    notation->point = {1, 1e15};
    notation->text = "far";
    g.plot.AddObject(std::move(notation));
    CPlotAxis& y = g.plot.YAxisAt(0);
    y.autoScale = false;
    y.SetViewRange(-1, 1, 0); // 1e15 is some 1e17 pixels up: saturates at the edge of int
    EXPECT_LT(Seconds([&] { g.Paint(); }), 0.5 * TimeScale);
    EXPECT_EQ(CountIn(g.plot, RGB(255, 255, 255), g.plot.plotRect), 0) << "no white box";
}

TEST(FarCoordinates, HugeLoadedSizesPaintQuicklyAndRoundTrip) {
    GraphFixture g;
    g.Load(Samples({1, 3, 2, 5}));
    g.plot.legendVisible = false;
    g.Paint();
    CPlotAxis& x = g.plot.XAxisAt(0);
    x.arrowSize = INT_MAX;
    x.labelGap = INT_MAX;
    x.badgeSize = INT_MAX;
    x.showSeriesBadges = true;
    CPlotAxis& y = g.plot.YAxisAt(0);
    y.arrowSize = INT_MIN;
    y.labelGap = -INT_MAX;
    y.originX = INT_MAX;
    y.badgeSize = 100000;
    y.showSeriesBadges = true;
    g.plot.SeriesAt(0).markerSize = INT_MAX;
    g.plot.SeriesAt(0).showMarkers = true;
    g.plot.SeriesAt(0).lineWidth = INT_MAX;
    const Bytes before = StoreRecord(x);
    EXPECT_LT(Seconds([&] { g.Paint(); }), 1.0 * TimeScale);
    CPlotAxis back;
    LoadRecord(back, before);
    EXPECT_EQ(back.arrowSize, INT_MAX);
    EXPECT_EQ(back.labelGap, INT_MAX);
    EXPECT_EQ(back.badgeSize, INT_MAX);
    EXPECT_EQ(StoreRecord(back), before) << "a record reads and writes back byte for byte";
}

} // namespace
