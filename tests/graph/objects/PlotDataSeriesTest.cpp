#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tests/graph/GraphFixture.h"
#include "tests/support/ArchiveBytes.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

// Draws series 0 clipped to the plot, as the graph's painting does.
void DrawClipped(GraphFixture& g, Canvas& c, bool fast = true) {
    c.dc.SaveDC();
    c.dc.IntersectClipRect(g.plot.plotRect);
    if (fast)
        g.plot.SeriesAt(0).Draw(&c.dc);
    else
        g.plot.SeriesAt(0).DrawEveryPoint(&c.dc);
    c.dc.RestoreDC(-1);
}

TEST(DataSeries, OnePointDrawsOneDotAndNoSegment) {
    GraphFixture g;
    g.Load({{5, 5}});
    g.Layout(CRect(0, 0, 100, 100), 0, 10, 0, 10);
    Canvas c(100, 100);
    DrawClipped(g, c);
    EXPECT_TRUE(g.plot.SeriesAt(0).drawnSegments.empty());
    EXPECT_EQ(c.Count(Black), 16);
    EXPECT_EQ(c.At(48, 48), Black);
    EXPECT_EQ(c.At(51, 51), Black);
    EXPECT_EQ(c.At(52, 52), White);
}

TEST(DataSeries, OnlyTheFirstPointOfEachColumnIsDrawn) {
    GraphFixture g;
    // Points 0, 0.2 and 0.4 share column 0; 1 starts column 10.
    g.Load({{0, 1}, {0.02, 9}, {0.04, 5}, {1, 1}, {1.01, 9}, {2, 1}});
    g.Layout(CRect(0, 0, 100, 100), 0, 10, 0, 10);
    Canvas c(100, 100);
    DrawClipped(g, c);
    const auto& segments = g.plot.SeriesAt(0).drawnSegments;
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0], (ScreenSegment{0, 90, 10, 90}));
    EXPECT_EQ(segments[1], (ScreenSegment{10, 90, 20, 90}));
    EXPECT_EQ(c.At(5, 10), White); // the 9 of point 1 is never drawn
}

TEST(DataSeries, SegmentsRecordedWhenEitherEndIsInThePlot) {
    GraphFixture g;
    g.Load({{-5, 5}, {-1, 5}, {5, 5}, {15, 5}, {20, 5}});
    g.Layout(CRect(0, 0, 100, 100), 0, 10, 0, 10);
    Canvas c(100, 100);
    DrawClipped(g, c);
    const auto& segments = g.plot.SeriesAt(0).drawnSegments;
    ASSERT_EQ(segments.size(), 2u); // -1 -> 5 and 5 -> 15; both ends outside are left out
    EXPECT_EQ(segments[0].x1, -10);
    EXPECT_EQ(segments[1].x2, 150);
}

TEST(DataSeries, ColoursSelectedMonochromeAndEditDots) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load({{0, 5}, {10, 5}});
    g.Layout(CRect(0, 0, 100, 100), 0, 10, 0, 10);
    s.colour = RGB(0, 100, 200);
    s.selected = true;
    Canvas c(100, 100);
    DrawClipped(g, c);
    EXPECT_EQ(c.At(50, 50), RGB(255, 155, 55));
    EXPECT_EQ(c.At(1, 49), Black); // dots stay black outside the edit modes

    Canvas mono(100, 100);
    mono.dc.fewColours = true;
    DrawClipped(g, mono);
    EXPECT_EQ(mono.At(50, 50), Black);

    g.plot.operationMode = ModeEdit;
    Canvas edit(100, 100);
    DrawClipped(g, edit);
    EXPECT_EQ(edit.At(1, 49), RGB(255, 0, 0));
    g.plot.editMarker = true;
    DrawClipped(g, edit);
    EXPECT_EQ(edit.At(1, 49), RGB(0, 0, 255));
}

TEST(DataSeries, FillClosesToThePlotBottomOrAPartner) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load({{0, 5}, {10, 5}});
    g.Layout(CRect(0, 0, 100, 100), 0, 10, 0, 10);
    s.filled = true;
    s.transparentFill = false;
    s.fillPartner = -1;
    s.fillColour = RGB(0, 200, 0);
    Canvas c(100, 100);
    DrawClipped(g, c);
    EXPECT_EQ(c.At(50, 80), RGB(0, 200, 0)); // under the curve
    EXPECT_EQ(c.At(50, 20), White);          // above it

    s.fillPartner = 7; // names no series: no fill, nothing read out of bounds
    Canvas none(100, 100);
    DrawClipped(g, none);
    EXPECT_EQ(none.Count(RGB(0, 200, 0)), 0);
}

TEST(DataSeries, TransparentHatchedFillLeavesTheGapsAsTheyWere) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load({{0, 5}, {10, 5}});
    g.Layout(CRect(0, 0, 100, 100), 0, 10, 0, 10);
    s.filled = true;
    s.transparentFill = true;
    s.fillColour = RGB(0, 0, 255);
    for (int hatch = HS_HORIZONTAL; hatch <= HS_DIAGCROSS; ++hatch) {
        s.fillStyle = hatch;
        Canvas c(100, 100);
        c.dc.CDC::FillSolidRect(CRect(0, 0, 100, 100), RGB(240, 240, 240));
        DrawClipped(g, c);
        const int kept = c.Count(RGB(240, 240, 240), CRect(10, 60, 90, 95));
        const int hatched = c.Count(RGB(0x0F, 0x0F, 0xF0), CRect(10, 60, 90, 95));
        EXPECT_EQ(kept + hatched, 80 * 35) << "hatch " << hatch;
        EXPECT_GT(kept, hatched) << "hatch " << hatch;
    }
}

TEST(DataSeries, CopiesOwnOrShareAsTheSourceDoes) {
    std::vector<DataPoint> points = Samples({1, 2, 3});
    CPlotDataSeries owner;
    owner.SetPoints(points.data(), 3, true);
    CPlotDataSeries copy = owner;
    copy.points[0].y = 99;
    EXPECT_EQ(owner.points[0].y, 1);
    EXPECT_NE(copy.points, owner.points);
    CPlotDataSeries referrer;
    referrer.SetPoints(points.data(), 3, false);
    CPlotDataSeries shared(referrer);
    EXPECT_EQ(shared.points, points.data());
    owner.rectangle = CRect(1, 1, 2, 2);
    owner.selected = true;
    CPlotDataSeries fresh(owner);
    EXPECT_EQ(fresh.rectangle, CRect());
    EXPECT_FALSE(fresh.selected);
}

TEST(DataSeries, ArchiveRoundTripAndBadCounts) {
    std::vector<DataPoint> points = Samples({1.5, -2, 1e300});
    CPlotDataSeries s;
    s.SetPoints(points.data(), 3, false);
    s.name = "volts";
    s.fillPartner = -1;
    s.markerMode = 2;
    s.colour = RGB(1, 2, 3);
    Bytes b = StoreRecord(s);
    EXPECT_EQ(b.size(), 48u + 4 + 48 + 44 + 12 + 2 + 4 + 6 + 4);
    EXPECT_EQ(Int32At(b, 48), 3);
    CPlotDataSeries back;
    LoadRecord(back, b);
    EXPECT_TRUE(back.ownsPoints);
    EXPECT_EQ(back.points[2].y, 1e300);
    EXPECT_EQ(back.name, "volts");
    EXPECT_EQ(StoreRecord(back), b);

    for (std::int32_t bad : {-1, 4, 0x7FFFFFFF}) {
        Bytes c = b;
        std::memcpy(&c[48], &bad, 4);
        CPlotDataSeries target;
        EXPECT_THROW(LoadRecord(target, c), CArchiveException) << bad;
    }
}

TEST(DataSeries, TrendsNeedTwoPoints) {
    std::vector<DataPoint> line = {{0, 3}, {2, 5}, {4, 7}}; // y = 1 + 2i for i = 1, 2, 3
    CPlotDataSeries s;
    s.SetPoints(line.data(), 3, false);
    auto linear = s.LinearTrendPoints(2);
    ASSERT_TRUE(linear);
    EXPECT_DOUBLE_EQ(linear[0].y, 3);
    EXPECT_DOUBLE_EQ(linear[4].y, 11);
    EXPECT_DOUBLE_EQ(linear[3].x, 6);
    EXPECT_DOUBLE_EQ(linear[4].x, 8);
    std::vector<DataPoint> cube = {{0, 1}, {1, 8}, {2, 27}}; // y = i^3
    s.SetPoints(cube.data(), 3, false);
    auto cubic = s.CubicTrendPoints(0);
    EXPECT_DOUBLE_EQ(cubic[2].y, 27);
    s.SetPoints(cube.data(), 1, false);
    EXPECT_FALSE(s.LinearTrendPoints(0));
    EXPECT_FALSE(s.CubicTrendPoints(0));
}

TEST(DataSeries, HitWithinTwoPixelsOfTheLine) {
    const ScreenSegment s{0, 0, 100, 0};
    EXPECT_TRUE(CPlotDataSeries::HitSegment(s, CPoint(50, 2)));
    EXPECT_TRUE(CPlotDataSeries::HitSegment(s, CPoint(50, -2)));
    EXPECT_FALSE(CPlotDataSeries::HitSegment(s, CPoint(50, 3)));
}

TEST(DataSeries, MarkersOfSizeZeroAreSkipped) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load(Samples({1, 2, 3}));
    g.Layout(CRect(0, 0, 100, 100), 0, 2, 0, 4);
    s.markerSize = 0;
    Canvas c(100, 100);
    s.DrawMarkers(&c.dc);
    EXPECT_EQ(c.Count(White), 100 * 100);
    s.markerSize = 8;
    s.markerMode = 1;
    s.markerSymbol = 0;
    s.DrawMarkers(&c.dc);
    EXPECT_GT(c.Count(s.colour), 0);
}

TEST(DataSeries, DirectlyWrittenPointsAreDrawnAsThePlainLoopDrawsThem) {
    GraphFixture g;
    CPlotDataSeries& s = g.Load(Samples({1, 2, 3, 4, 5}));
    g.Layout(CRect(0, 0, 200, 100), 0, 50, 0, 60);
    std::vector<DataPoint> longer;
    for (int i = 49; i >= 0; --i) // X descends: the column-skipping walk must not be used
        longer.push_back({double(i), double(i % 7) * 8});
    auto agree = [&](const char* what) {
        Canvas fast(200, 100), plain(200, 100);
        DrawClipped(g, fast, true);
        const std::vector<ScreenSegment> drawn = s.drawnSegments;
        DrawClipped(g, plain, false);
        EXPECT_EQ(drawn, s.drawnSegments) << what;
        EXPECT_EQ(drawn.size(), 49u) << what;
    };
    s.points = longer.data(); // a new buffer and count, written as the graph's tools may
    s.pointCount = 50;
    agree("new buffer");
    EXPECT_FALSE(s.XAscending());
    std::reverse(longer.begin(), longer.end()); // X changed in place: the documented call
    s.PointsChanged();
    EXPECT_TRUE(s.XAscending());
    agree("X changed in place");
}

// A new buffer written into a series that is then copied (the graph's array of series grows):
// the copy knows nothing yet of the new buffer's order and works it out, as the source would.
TEST(DataSeries, ACopyDoesNotTakeAnOrderWorkedOutForAnotherBuffer) {
    GraphFixture g;
    std::vector<DataPoint> ascending;
    for (int i = 0; i < 6600; ++i)
        ascending.push_back({double(i), double(i % 50)});
    g.Load(ascending);
    g.Paint();
    std::vector<DataPoint> unordered = ascending;
    unordered[3000].x = std::nan("");
    CPlotDataSeries& first = g.plot.SeriesAt(0);
    first.points = unordered.data();
    first.pointCount = int(unordered.size());
    std::vector<DataPoint> other = {{0, 1}, {1, 2}};
    g.plot.SetSeriesData(other.data(), 2, 1, 0, 0, false); // the series are copied
    EXPECT_FALSE(g.plot.SeriesAt(0).XAscending());
    CPlotDataSeries copied = g.plot.SeriesAt(0);
    EXPECT_FALSE(copied.XAscending());
}

// The fast drawing must light exactly the pixels of the plain loop inside the plot, and record
// exactly its segments, whatever the zoom and pan.
TEST(DataSeries, FastDrawingMatchesThePlainLoop) {
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 60; ++round) {
        GraphFixture g;
        std::vector<DataPoint> points;
        double x = unit(rng) * 100 - 50;
        const int n = 500 + int(unit(rng) * 4000);
        for (int i = 0; i < n; ++i) {
            points.push_back({x, unit(rng) * 200 - 100});
            x += unit(rng) < 0.1 ? 0 : unit(rng) * unit(rng) * 3; // some repeated X
        }
        CPlotDataSeries& s = g.Load(points);
        s.pointStyle = round % 5 == 4 ? 1 : round % 7 == 6 ? 2 : 0;
        s.lineWidth = 1 + round % 3;
        s.penStyle = round % 4 == 3 ? PS_DOT : PS_SOLID;
        const double span = std::pow(10.0, unit(rng) * 4 - 1); // from a few points to all
        const double start =
            points.front().x + (points.back().x - points.front().x) * unit(rng) - span / 2;
        g.Layout(CRect(20, 10, 220, 150), start, start + span, -120 + unit(rng) * 50,
                 60 + unit(rng) * 80);
        Canvas fast(240, 160), plain(240, 160);
        DrawClipped(g, fast, true);
        const std::vector<ScreenSegment> fastSegments = s.drawnSegments;
        DrawClipped(g, plain, false);
        ASSERT_EQ(fastSegments, s.drawnSegments) << round;
        for (int py = 10; py < 150; ++py)
            for (int px = 20; px < 220; ++px)
                ASSERT_EQ(fast.At(px, py), plain.At(px, py)) << round << ": " << px << "," << py;
    }
}

// X rewritten in place without telling the series: the order it was promised no longer holds,
// and the fast walk, which checks every point it reads, must give the plain loop's picture.
TEST(DataSeries, XRewrittenInPlaceCostsTimeNotPixels) {
    auto agree = [](GraphFixture& g, const char* what) {
        Canvas fast(240, 160), plain(240, 160);
        DrawClipped(g, fast, true);
        const std::vector<ScreenSegment> fastSegments = g.plot.SeriesAt(0).drawnSegments;
        DrawClipped(g, plain, false);
        EXPECT_TRUE(fastSegments == g.plot.SeriesAt(0).drawnSegments) << what;
        int differ = 0;
        for (int py = 10; py < 150; ++py)
            for (int px = 20; px < 220; ++px)
                differ += fast.At(px, py) != plain.At(px, py);
        EXPECT_EQ(differ, 0) << what;
    };
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int perColumn : {1, 20}) {
        GraphFixture g;
        std::vector<DataPoint> points;
        for (int i = 0; i < 200 * perColumn; ++i)
            points.push_back({i / double(perColumn), unit(rng) * 100});
        CPlotDataSeries& s = g.Load(points);
        g.Layout(CRect(20, 10, 220, 150), 10, 190, -10, 110);
        ASSERT_TRUE(s.XAscending());
        agree(g, "ascending");

        for (int i = 0, n = s.pointCount; i < n / 2; ++i)
            std::swap(s.points[i].x, s.points[n - 1 - i].x);
        agree(g, "X reversed in place");

        std::reverse(s.points, s.points + s.pointCount);
        s.PointsChanged();
        for (int i = 37; i < s.pointCount; i += 301)
            s.points[i].x = std::nan("");
        agree(g, "NaN written in place");

        std::vector<DataPoint> swapped(points.size()); // freed and taken again at one address
        for (std::size_t i = 0; i < swapped.size(); ++i)
            swapped[i] = {190 * unit(rng), unit(rng) * 100};
        s.PointsChanged();
        std::copy(swapped.begin(), swapped.end(), s.points);
        agree(g, "another buffer at the same address");
    }
}

// Stems stand for the points inside the X range whatever their order: points beyond the
// view's end that the plot still has room for are not drawn, in order or not.
TEST(DataSeries, StemsFollowOneRuleWhateverTheOrder) {
    GraphFixture g;
    std::vector<DataPoint> points;
    for (int i = 0; i < 100; ++i)
        points.push_back({double(i), double(i % 9 + 1)});
    auto picture = [&](const std::vector<DataPoint>& shown) {
        CPlotDataSeries& s =
            *g.plot.SetSeriesData(const_cast<DataPoint*>(shown.data()), 100, 0, 0, 0, false);
        s.stems = true;
        CPlotAxis& x = g.plot.XAxisAt(0);
        CPlotAxis& y = g.plot.YAxisAt(0);
        x.autoScale = y.autoScale = false;
        x.SetViewRange(0, 50, 10);
        y.SetViewRange(0, 10, 1);
        Canvas c(400, 300);
        g.plot.PaintGraph(c.dc, CRect(0, 0, 400, 300));
        std::vector<COLORREF> pixels;
        for (int py = 0; py < 300; ++py)
            for (int px = 0; px < 400; ++px)
                pixels.push_back(c.At(px, py));
        return std::pair(pixels, g.plot.SeriesAt(0).drawnSegments.size());
    };
    const auto ascending = picture(points);
    std::reverse(points.begin(), points.end());
    const auto descending = picture(points);
    EXPECT_EQ(ascending.second, 51u);
    EXPECT_EQ(descending.second, ascending.second);
    EXPECT_TRUE(descending.first == ascending.first);
}

} // namespace
