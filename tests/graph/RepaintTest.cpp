// A repaint into a window that keeps its surface must give what a fresh paint gives, whatever
// was drawn there in between, by the paint or by anyone else.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <iomanip>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "graph/objects/PlotLabel.h"
#include "tests/graph/GraphFixture.h"
#include "tests/support/WindowPixels.h"

namespace {

std::vector<COLORREF> Fresh(CPlot& plot) {
    const CRect r = plot.GetClientRect();
    Canvas c(r.Width(), r.Height());
    c.dc.fewColours = false;
    c.dc.scaling = false;
    c.dc.SaveDC();
    plot.PaintGraph(c.dc, r);
    c.dc.RestoreDC(-1);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            pixels.push_back(c.At(x, y));
    return pixels;
}

std::string FirstDifference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b,
                            int width) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return std::to_string(i % std::size_t(width)) + "," +
                   std::to_string(i / std::size_t(width));
    return "";
}

TEST(Repaint, EachRepaintShowsWhatAFreshPaintShows) {
    GraphFixture g;
    std::vector<DataPoint> wave;
    for (int i = 0; i < 500; ++i)
        wave.push_back({double(i), std::sin(i * 0.05) * 100 + (i % 7) * 9});
    CPlotDataSeries& s = *g.plot.SetSeriesData(wave.data(), int(wave.size()), 0, 0, 0, false);
    CPlotAxis& x = g.plot.XAxisAt(0);
    CPlotAxis& y = g.plot.YAxisAt(0);
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"first paint", [] {}},
        {"same again", [] {}},
        {"zoomed in", [&] { x.autoScale = false, x.viewMin = 100, x.viewMax = 140; }},
        {"scrolled",
         [&] {
             x.viewMin = 117.5, x.viewMax = 160;
             y.autoScale = false, y.viewMin = -20, y.viewMax = 60;
         }},
        {"markers and a dashed curve", [&] { s.showMarkers = true, s.penStyle = PS_DASH; }},
        {"a wide pen drawn by Qt", [&] { s.showMarkers = false, s.lineWidth = 3; }},
        {"a label over the plot",
         [&] {
             CPlotLabel* label = g.plot.AddTextLabel("over the curve");
             label->rectangle = CRect(120, 100, 260, 140);
         }},
        {"the label moved", [&] { g.plot.Objects().back()->rectangle.OffsetRect(-40, 57); }},
        {"edit marker", [&] { g.plot.editMarker = true, g.plot.editMarkerIndex = 130; }},
        {"grid solid, then gone on Y", [&] { x.gridStyle = PS_SOLID, y.showGrid = false; }},
        {"another plot colour", [&] { g.plot.plotColour = RGB(250, 250, 200); }},
        {"the legend turned over",
         [&] { g.plot.legendVisible = !g.plot.legendVisible, g.plot.legendSide = 1; }},
        {"other colours around the plot",
         [&] {
             g.plot.innerColour = RGB(200, 230, 250);
             g.plot.backgroundColour = RGB(60, 60, 70);
         }},
        {"the legend turned back", [&] { g.plot.legendVisible = !g.plot.legendVisible; }},
        {"someone else drew over it",
         [&] {
             std::unique_ptr<CDC> dc = g.plot.GetDC();
             dc->SetROP2(R2_NOTXORPEN);
             dc->MoveTo(30, 20);
             dc->LineTo(350, 270);
             dc->SetROP2(R2_COPYPEN);
             dc->MoveTo(300, 10);
             dc->LineTo(300, 290);
             dc->TextOut(150, 150, "written outside a paint");
             dc->FillSolidRect(CRect(200, 60, 215, 75), RGB(9, 9, 9));
         }},
        {"margins moved the plot", [&] { g.plot.marginLeft = 23, g.plot.marginTop = 17; }},
        {"too narrow for its axes: the plot turned inside out",
         [&] { g.plot.marginLeft = 230, g.plot.marginRight = 200; }},
        {"room again", [&] { g.plot.marginLeft = 23, g.plot.marginRight = 5; }},
        {"nothing shown", [&] { g.plot.SetSeriesData(nullptr, 0, 0, 0, 0, false); }},
    };
    for (const auto& [name, change] : steps) {
        change();
        Fresh(g.plot); // a first paint settles automatic ranges
        g.Paint();
        const std::vector<COLORREF> shown = WindowPixels(g.plot), fresh = Fresh(g.plot);
        EXPECT_EQ(FirstDifference(shown, fresh, g.plot.GetClientRect().Width()), "") << name;
    }
}

// An embedder that redraws at once, for an animation or a live feed: the graph painted into
// the window's own context between paints, frame after frame.
TEST(Repaint, FramesPaintedOutsideAPaintLeaveNothingBehind) {
    GraphFixture g;
    std::vector<DataPoint> wave(300);
    g.plot.SetSeriesData(wave.data(), int(wave.size()), 0, 0, 0, false);
    CPlotAxis& y = g.plot.YAxisAt(0);
    y.autoScale = false, y.viewMin = -120, y.viewMax = 120;
    g.Paint();
    for (int frame = 0; frame < 5; ++frame) {
        for (std::size_t i = 0; i < wave.size(); ++i)
            wave[i] = {double(i), 100 * std::sin(double(i) * 0.04 + frame * 1.3)};
        std::unique_ptr<CDC> window = g.plot.GetDC();
        CGraphDC dc;
        dc.Attach(*window);
        dc.fewColours = false;
        dc.scaling = false;
        g.plot.PaintGraph(dc, g.plot.GetClientRect());
        dc.Detach();
        g.plot.ReleaseDC(window.get());
    }
    const std::vector<COLORREF> shown = WindowPixels(g.plot), fresh = Fresh(g.plot);
    EXPECT_EQ(FirstDifference(shown, fresh, g.plot.GetClientRect().Width()), "");
}

} // namespace

namespace {

struct View {
    double xMin, xMax, yMin, yMax;
    bool operator==(const View&) const = default;
    friend std::ostream& operator<<(std::ostream& o, const View& v) {
        return o << std::setprecision(17) << "x " << v.xMin << " .. " << v.xMax << ", y " << v.yMin
                 << " .. " << v.yMax;
    }
};

View ViewOf(CPlot& plot) {
    return {plot.XAxisAt(0).viewMin, plot.XAxisAt(0).viewMax, plot.YAxisAt(0).viewMin,
            plot.YAxisAt(0).viewMax};
}

// Automatic scaling settles at the first paint: painting again and again with nothing changed
// keeps the view, however the steps round (0.05 is no binary fraction).
TEST(Repaint, NothingChangedKeepsTheAutomaticView) {
    CPlot plot;
    plot.CWnd::Create("TarvelinPlot", "", CRect(0, 0, 426, 134), nullptr, 1001);
    std::vector<DataPoint> wave;
    for (int i = 0; i < 120; ++i)
        wave.push_back({-100 + 0.001 * i, std::sin(0.3 * i)});
    plot.SetSeriesData(wave.data(), int(wave.size()), 0, 0, 0, false);
    std::mt19937_64 rng(5);
    std::vector<DataPoint> two(2);
    for (int round = 0; round <= 1000; ++round) {
        if (round > 0) { // two points with three-decimal extents
            for (DataPoint& p : two)
                p = {double(std::int64_t(rng() % 20001) - 10000) / 1000,
                     double(std::int64_t(rng() % 20001) - 10000) / 1000};
            plot.SetSeriesData(two.data(), 2, 0, 0, 0, false);
            plot.XAxisAt(0).autoScale = plot.YAxisAt(0).autoScale = true;
        }
        Canvas c(426, 134);
        plot.PaintGraph(c.dc, CRect(0, 0, 426, 134));
        const View first = ViewOf(plot);
        for (int paint = 2; paint <= 10; ++paint) {
            plot.PaintGraph(c.dc, CRect(0, 0, 426, 134));
            ASSERT_EQ(ViewOf(plot), first) << "round " << round << ", paint " << paint;
        }
    }
}

// The largest doubles: the aligned view stays finite, and the curve and labels are painted.
TEST(Repaint, AChartAtTheLargestDoublePaints) {
    GraphFixture g;
    for (bool ramp : {false, true}) {
        std::vector<DataPoint> wave;
        for (int i = 0; i < 256; ++i)
            wave.push_back({double(i), ramp ? DBL_MAX / 255 * i : DBL_MAX});
        g.plot.SetSeriesData(wave.data(), int(wave.size()), 0, 0, 0, false);
        g.plot.XAxisAt(0).autoScale = g.plot.YAxisAt(0).autoScale = true;
        g.plot.legendVisible = false; // as the editor hands a waveform over
        g.plot.SendMessage(WM_COMMAND, ID_PLOT_PAN);
        g.Paint();
        g.Paint();
        const CPlotAxis& y = g.plot.YAxisAt(0);
        EXPECT_TRUE(std::isfinite(y.viewMin) && std::isfinite(y.viewMax) && y.viewMin < y.viewMax)
            << ramp << ": " << y.viewMin << " .. " << y.viewMax;
        EXPECT_TRUE(y.CanMap());
    }
}

} // namespace
