// Values, zooms and loaded records that put pixels far outside the window: painting stays
// quick, draws only what lies on the window, and keeps the records as they were read.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

#include "graph/objects/PlotDataNotation.h"
#include "graph/objects/SegmentClip.h"
#include "tests/graph/GraphFixture.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/Timing.h"

namespace {

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
    EXPECT_LT(SecondsOf([&] { g.Paint(); }), HangGuard(0.025));
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
    EXPECT_LT(SecondsOf([&] { g.Paint(); }), HangGuard(0.05));
    CPlotAxis back;
    LoadRecord(back, before);
    EXPECT_EQ(back.arrowSize, INT_MAX);
    EXPECT_EQ(back.labelGap, INT_MAX);
    EXPECT_EQ(back.badgeSize, INT_MAX);
    EXPECT_EQ(StoreRecord(back), before) << "a record reads and writes back byte for byte";
}

// Zoomed again and again onto the middle of one segment: once the samples' pixels pass the
// int range, the segment must still run through the centre of the view with its own slope,
// and nothing may be drawn where it does not run.
TEST(FarCoordinates, ZoomingDeepOntoASegmentKeepsItsTrueLine) {
    const COLORREF curve = RGB(255, 0, 0);
    struct Case {
        const char* name;
        std::vector<DataPoint> points;
        int segment; // from this point to the next
    };
    std::vector<DataPoint> sine;
    for (int i = 0; i < 256; ++i)
        sine.push_back({double(i), std::sin(2 * M_PI * i / 256)});
    const Case cases[] = {{"a sine", sine, 100},
                          {"zeros beside 1e300", {{0, 0}, {1, 0}, {2, 1e300}, {3, 0}}, 0}};
    for (const Case& c : cases) {
        GraphFixture g;
        CPlotDataSeries& s = g.Load(c.points);
        s.colour = curve;
        s.pointStyle = 0; // the line, and black dots on the points
        g.plot.legendVisible = false;
        for (CPlotAxis* a : {&g.plot.XAxisAt(0), &g.plot.YAxisAt(0)})
            a->showGrid = a->showSeriesBadges = false;
        g.PaintAndFreeze();
        const DataPoint a = c.points[std::size_t(c.segment)],
                        b = c.points[std::size_t(c.segment) + 1];
        const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
        CPlotAxis& x = g.plot.XAxisAt(0);
        CPlotAxis& y = g.plot.YAxisAt(0);
        double xs = x.viewMax - x.viewMin, ys = y.viewMax - y.viewMin;
        for (int zoom = 1; zoom <= 14; ++zoom) {
            xs /= 8, ys /= 8;
            if (c.segment == 0) // a flat segment: keep Y's view around it
                ys = std::max(ys, 1e-3);
            x.SetViewRange(mx - xs / 2, mx + xs / 2, xs / 4);
            y.SetViewRange(my - ys / 2, my + ys / 2, ys / 4);
            g.Paint();
            // The true curve in pixels, from the unrounded mapping of the points.
            const CPlotAxis::ScaleMap xm = x.Map(), ym = y.Map();
            const long double cx = xm.Exact(mx), cy = ym.Exact(my);
            auto distance = [&](int px, int py) {
                long double nearest = 1e30L;
                for (std::size_t i = 0; i + 1 < c.points.size(); ++i) {
                    const long double ax = xm.Exact(c.points[i].x), ay = ym.Exact(c.points[i].y),
                                      bx = xm.Exact(c.points[i + 1].x),
                                      by = ym.Exact(c.points[i + 1].y);
                    const long double dx = bx - ax, dy = by - ay, qx = px + 0.5L - ax,
                                      qy = py + 0.5L - ay, length = dx * dx + dy * dy;
                    const long double t =
                        length > 0 ? std::clamp((qx * dx + qy * dy) / length, 0.0L, 1.0L) : 0;
                    nearest = std::min(nearest, std::hypot(qx - t * dx, qy - t * dy));
                }
                return nearest;
            };
            std::unique_ptr<CDC> dc = g.plot.GetDC();
            const CRect plot = g.plot.plotRect;
            int onLine = 0, nearCentre = 0;
            for (int py = plot.top + 1; py < plot.bottom - 1; ++py)
                for (int px = plot.left + 1; px < plot.right - 1; ++px) {
                    if (dc->GetPixel(px, py) != curve)
                        continue;
                    ++onLine;
                    EXPECT_LE(distance(px, py), 1.5L)
                        << c.name << ", zoom " << zoom << ": " << px << "," << py;
                    nearCentre +=
                        std::fabs(px + 0.5L - cx) <= 1.5L && std::fabs(py + 0.5L - cy) <= 1.5L;
                }
            EXPECT_GT(onLine, 20) << c.name << ", zoom " << zoom;
            EXPECT_GT(nearCentre, 0) << c.name << ", zoom " << zoom;
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

} // namespace

namespace {

// A segment across thousands of orders of magnitude: where the arithmetic keeps no digit of
// the band, the cut ends are still held to it (a fuzzer's find).
TEST(FarCoordinates, ClippedEndsStayInTheBand) {
    const CRect band(-100, -100, 500, 400);
    const auto cut = ClipSegment(-8.5e289L, 10, 1e4000L, 20, band);
    ASSERT_TRUE(cut);
    for (CPoint p : {cut->a, cut->b}) {
        EXPECT_GE(p.x, band.left);
        EXPECT_LE(p.x, band.right);
        EXPECT_GE(p.y, band.top);
        EXPECT_LE(p.y, band.bottom);
    }
    EXPECT_FALSE(ClipSegment(-1e30L, 1e30L, -1e29L, 1e30L, band)); // misses the band
}

} // namespace
