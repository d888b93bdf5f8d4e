#include <gtest/gtest.h>

#include "graph/axes/PlotLogAxis.h"
#include "tests/graph/axes/StandInOwner.h"
#include "tests/support/ArchiveBytes.h"

namespace {

constexpr COLORREF Grid = RGB(150, 150, 150);

struct LogAxis : testing::Test {
    StandInOwner owner;
    CPlotLogAxis axis;
    Canvas canvas{400, 300};
    void SetUp() override {
        owner.plot = CRect(61, 20, 380, 250);
        axis.owner = &owner;
        axis.orientation = CPlotAxis::Vertical;
        axis.labelSide = 0;
        axis.originX = 60;
        axis.originY = 250;
        axis.areaRect = CRect(5, 5, 395, 295);
        axis.title = "";
        axis.showGrid = false;
        axis.gridStyle = PS_SOLID;
        axis.showSeriesBadges = false;
    }
    int TickRows() {
        int rows = 0;
        for (int y = 0; y < 300; ++y)
            rows += canvas.At(57, y) == Grid;
        return rows;
    }
};

TEST_F(LogAxis, AutoScaleRoundsToOneSignificantDigit) {
    auto round = [&](double lo, double hi) {
        axis.viewMin = lo;
        axis.viewMax = hi;
        axis.LogAutoScale(canvas.dc);
        return std::pair(axis.viewMin, axis.viewMax);
    };
    auto [lo, hi] = round(0.35, 470);
    EXPECT_NEAR(lo, 0.3, 1e-12);
    EXPECT_NEAR(hi, 500, 1e-9);
    std::tie(lo, hi) = round(2700, 2700);
    EXPECT_NEAR(lo, 2000, 1e-9);
    EXPECT_NEAR(hi, 3000, 1e-9);
    std::tie(lo, hi) = round(9.5, 9.5);
    EXPECT_EQ(lo, 9.5);
    EXPECT_EQ(hi, 9.5);
    std::tie(lo, hi) = round(1e-17, -5); // nothing to round there
    EXPECT_EQ(lo, 1e-17);
    EXPECT_EQ(hi, -5);
}

TEST_F(LogAxis, TicksAtMultiplesLabelsAtDecades) {
    axis.autoScale = false;
    axis.viewMin = 2;
    axis.viewMax = 8;
    axis.Draw(&canvas.dc);
    EXPECT_EQ(TickRows(), 7); // 2 .. 8, no decade inside: no label
    axis.viewMin = 1;
    axis.viewMax = 100;
    Canvas wide(400, 300);
    canvas.dc.CDC::FillSolidRect(CRect(0, 0, 400, 300), RGB(255, 255, 255));
    axis.Draw(&canvas.dc);
    EXPECT_EQ(TickRows(), 18); // 1..9 and 10..90: the walk ends below the decade of viewMax
    EXPECT_EQ(axis.LogPixelOfValue({0, 1}).y, 250);
    EXPECT_EQ(axis.LogPixelOfValue({0, 100}).y, 250 - axis.pixelLength);
    EXPECT_EQ(axis.LogPixelOfValue({0, 10}).y, 250 - axis.pixelLength / 2);
}

TEST_F(LogAxis, DottedGridGapsTakeTheInnerColour) {
    owner.inner = RGB(40, 50, 60);
    canvas.dc.CDC::FillSolidRect(CRect(0, 0, 400, 300), RGB(70, 80, 90)); // the plot's colour
    axis.autoScale = false;
    axis.viewMin = 2;
    axis.viewMax = 8;
    axis.showGrid = true;
    axis.gridStyle = PS_DOT;
    axis.Draw(&canvas.dc);
    const int row = axis.LogPixelOfValue({0, 4}).y;
    int gaps = 0, plotColoured = 0;
    for (int x = 100; x < 300; ++x) {
        gaps += canvas.At(x, row) == RGB(40, 50, 60);
        plotColoured += canvas.At(x, row) == RGB(70, 80, 90);
    }
    EXPECT_GT(gaps, 50);
    EXPECT_EQ(plotColoured, 0);
}

TEST_F(LogAxis, RangesWithoutALogarithmDrawNoTicks) {
    axis.autoScale = false;
    for (auto [lo, hi] : {std::pair(0.0, 10.0), std::pair(-5.0, 5.0), std::pair(-3.0, -1.0)}) {
        axis.viewMin = lo;
        axis.viewMax = hi;
        Canvas c(400, 300);
        axis.Draw(&c.dc);
        EXPECT_EQ(c.Count(Grid), 0) << lo;
    }
}

TEST_F(LogAxis, LinearFallbackAndHiddenAxisAndRecord) {
    axis.autoScale = false;
    axis.viewMin = 1;
    axis.viewMax = 100;
    axis.visible = false;
    axis.Draw(&canvas.dc);
    EXPECT_EQ(canvas.Count(RGB(255, 255, 255)), 400 * 300);
    EXPECT_EQ(axis.rectangle, CRect(55, 5, 65, 250));
    axis.linearFallback = 1;
    EXPECT_EQ(axis.LogPixelOfValue({0, 50}), axis.PixelOfValue({0, 50}));
    CPlotAxis plain;
    plain.title = "log";
    axis.title = "log";
    EXPECT_EQ(StoreRecord(axis).size(), StoreRecord(plain).size()); // the axis record unchanged
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(&axis);
    }
    CMemFile in(file.Bytes());
    CArchive ar(&in, CArchive::load);
    auto back = ar.ReadObject(RUNTIME_CLASS(CPlotAxis));
    ASSERT_TRUE(back->IsKindOf(RUNTIME_CLASS(CPlotLogAxis)));
    EXPECT_EQ(static_cast<CPlotLogAxis*>(back.get())->linearFallback, 0); // always logarithmic
}

} // namespace
