#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>

#include "draw/Measure.h"
#include "graph/axes/OleDate.h"
#include "graph/axes/PlotAxis.h"
#include "tests/graph/axes/StandInOwner.h"
#include "tests/support/ArchiveBytes.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct AxisTest : testing::Test {
    StandInOwner owner;
    CPlotAxis axis;
    void SetUp() override {
        axis.owner = &owner;
        axis.orientation = CPlotAxis::Vertical;
    }
};

TEST_F(AxisTest, NewAxisDefaults) {
    CPlotAxis a;
    EXPECT_EQ(a.rangeMin, DBL_MAX);
    EXPECT_EQ(a.rangeMax, -DBL_MAX);
    EXPECT_EQ(a.viewMin, DBL_MAX);
    EXPECT_EQ(a.tickStep, 0.1);
    EXPECT_EQ(a.title, " ");
    EXPECT_EQ(a.tickFormat, "%5.1f");
    EXPECT_EQ(a.gridColor, RGB(150, 150, 150));
    EXPECT_EQ(a.gridStyle, PS_DOT);
    EXPECT_EQ(a.labelSide, 2);
    EXPECT_TRUE(a.visible && a.autoScale && a.showGrid && a.showSeriesBadges);
    EXPECT_EQ(a.tickFont.LogFont().lfHeight, 13);
    EXPECT_EQ(a.titleFont.LogFont().lfWeight, 700);
    EXPECT_STREQ(a.titleFont.LogFont().lfFaceName, "Arial");
    EXPECT_EQ(a.tickFont.LogFont().lfClipPrecision, 1);
    EXPECT_EQ(a.tickFont.LogFont().lfQuality, 4);
}

TEST_F(AxisTest, SetRangeWidensEqualEndsAndRefusesBadOnes) {
    EXPECT_TRUE(axis.SetRange(5, 5));
    EXPECT_EQ(axis.rangeMin, 4);
    EXPECT_EQ(axis.rangeMax, 6);
    EXPECT_EQ(axis.viewMin, 4);
    EXPECT_EQ(axis.viewMax, 6);
    for (auto [lo, hi] : {std::pair(6.0, 5.0), std::pair(NaN, 1.0), std::pair(0.0, Inf),
                          std::pair(-Inf, 0.0), std::pair(NaN, NaN)}) {
        EXPECT_FALSE(axis.SetRange(lo, hi));
        EXPECT_FALSE(axis.SetViewRange(lo, hi, 0));
    }
    EXPECT_EQ(axis.rangeMin, 4);
    EXPECT_EQ(axis.viewMax, 6);
    EXPECT_TRUE(axis.SetRange(1e300, 1e300)); // one unit would vanish there
    EXPECT_LT(axis.rangeMin, axis.rangeMax);
    for (double v : {1e12, -1e13, 4e15, 0.5}) { // exactly one either way while that still counts
        ASSERT_TRUE(axis.SetRange(v, v));
        EXPECT_EQ(axis.rangeMin, v - 1) << v;
        EXPECT_EQ(axis.rangeMax, v + 1) << v;
    }
    const double big = 9007199254740992.0; // 2^53: adding 1 no longer moves it upward
    ASSERT_TRUE(axis.SetRange(big, big));
    EXPECT_EQ(axis.rangeMin, big - 1); // but downward it still does
    EXPECT_GT(axis.rangeMax, big);
    ASSERT_TRUE(axis.SetRange(-big, -big));
    EXPECT_LT(axis.rangeMin, -big);
    EXPECT_EQ(axis.rangeMax, -big + 1);
    ASSERT_TRUE(axis.SetRange(DBL_MAX, DBL_MAX)); // no room above: widened downward only
    EXPECT_LT(axis.rangeMin, DBL_MAX);
    EXPECT_EQ(axis.rangeMax, DBL_MAX);
    ASSERT_TRUE(axis.SetRange(-DBL_MAX, -DBL_MAX));
    EXPECT_EQ(axis.rangeMin, -DBL_MAX);
    EXPECT_GT(axis.rangeMax, -DBL_MAX);
}

TEST_F(AxisTest, LargeValuesSwitchToExponentsForGood) {
    axis.SetRange(0, 2000000);
    EXPECT_EQ(axis.tickFormat, "%5.2e");
    axis.SetRange(0, 1);
    EXPECT_EQ(axis.tickFormat, "%5.2e");
    CPlotAxis dates;
    dates.dateTime = true;
    dates.tickFormat = "%H:%M";
    dates.SetRange(0, 2000000);
    dates.SetViewRange(-3e6, 0, 0);
    EXPECT_EQ(dates.tickFormat, "%H:%M");
}

TEST_F(AxisTest, StepFromTheRangeOrFromTheLabels) {
    axis.SetRange(0, 50); // hidden window: a tenth of the range
    EXPECT_EQ(axis.tickStep, 5);
    EXPECT_TRUE(axis.SetViewRange(10, 20, 2.5));
    EXPECT_EQ(axis.tickStep, 2.5);
    EXPECT_EQ(axis.rangeMax, 50); // the data extent stays
    axis.SetViewRange(10, 20, 0);
    EXPECT_EQ(axis.tickStep, 1);
    axis.ResetRange();
    EXPECT_EQ(axis.viewMin, 0);
    EXPECT_EQ(axis.viewMax, 50);
    EXPECT_EQ(axis.tickStep, 5);

    owner.shown = true; // shown: the smallest step at which one label fits
    axis.SetRange(0, 300);
    auto dc = owner.MeasureDC();
    const int height = axis.TickLabelHeight(*dc);
    EXPECT_DOUBLE_EQ(axis.tickStep, 300.0 / 300 * height);

    owner.plot = CRect(0, 0, 0, 0); // no room: counted as one pixel
    axis.EstimateTickStep();
    EXPECT_DOUBLE_EQ(axis.tickStep, 300.0 * height);
}

TEST_F(AxisTest, ResetBeforeDataChangesNothing) {
    CPlotAxis a;
    a.ResetRange();
    EXPECT_EQ(a.viewMin, DBL_MAX);
    EXPECT_EQ(a.tickStep, 0.1);
}

TEST_F(AxisTest, AutoScaleRoundsAndAlignsWhenThereIsARange) {
    axis.SetRange(3, 97);
    auto dc = owner.MeasureDC();
    axis.AutoScale(*dc);
    EXPECT_EQ(axis.endMargin, 10);
    EXPECT_GT(axis.tickStep, 0);
    EXPECT_EQ(std::fmod(axis.viewMin, axis.tickStep), 0);
    EXPECT_LE(axis.viewMin, 3);
    EXPECT_GE(axis.viewMax, 97);

    CPlotAxis flat = axis;
    flat.viewMin = flat.viewMax = 7;
    const double step = flat.tickStep;
    flat.AutoScale(*dc); // an empty range keeps step and range
    EXPECT_EQ(flat.tickStep, step);
    EXPECT_EQ(flat.viewMin, 7);

    CPlotAxis horizontal;
    horizontal.owner = &owner;
    horizontal.SetRange(0, 1000);
    horizontal.AutoScale(*dc);
    EXPECT_EQ(horizontal.endMargin, 20);

    CPlotAxis dates;
    dates.owner = &owner;
    dates.dateTime = true;
    dates.tickFormat = "%H:%M";
    dates.SetRange(MakeDate(2024, 1, 1, 10, 17), MakeDate(2024, 1, 1, 11, 43));
    dates.AutoScale(*dc);
    EXPECT_NEAR(dates.tickStep * 86400, std::round(dates.tickStep * 86400), 1e-6);
    EXPECT_LE(dates.viewMin, MakeDate(2024, 1, 1, 10, 17));
}

TEST_F(AxisTest, PixelsAndValuesBothWays) {
    owner.plot = CRect(50, 20, 450, 320);
    axis.SetRange(-10, 30);
    axis.pixelLength = 300;
    EXPECT_EQ(axis.PixelOfValue({0, -10}).y, 320); // viewMin at the bottom
    EXPECT_EQ(axis.PixelOfValue({0, 30}).y, 20);
    for (double v : {-10.0, -3.3, 0.0, 12.7, 29.9}) {
        const int y = axis.PixelOfValue({0, v}).y;
        EXPECT_NEAR(axis.ValueAtPixel(y), v, 40.0 / 300);
    }
    CPlotAxis x;
    x.owner = &owner;
    x.SetRange(0, 100);
    x.pixelLength = 400;
    EXPECT_EQ(x.PixelOfValue({0, 0}).x, 50); // viewMin at the left
    EXPECT_EQ(x.PixelOfValue({25, 0}).x, 150);
    EXPECT_DOUBLE_EQ(x.ValueAtPixel(150), 25);
    EXPECT_TRUE(x.CanMap());
    x.pixelLength = 0;
    EXPECT_FALSE(x.CanMap());
    x.pixelLength = 400;
    EXPECT_EQ(x.PixelOfValue({1e300, 0}).x, std::numeric_limits<int>::max()); // saturates
    EXPECT_EQ(x.PixelOfValue({NaN, 0}).x, 0);
}

TEST(NearestPointIndex, EndsTiesAndEmpty) {
    std::vector<DataPoint> p = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    auto at = [&](double x) { return *NearestPointIndex(p.data(), p.size(), x); };
    EXPECT_EQ(at(-5), 0);
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(3), 3);
    EXPECT_EQ(at(99), 3);
    EXPECT_EQ(at(1.5), 2); // a tie keeps the upper index
    EXPECT_EQ(at(2.4), 2);
    EXPECT_EQ(at(0.6), 1);
    EXPECT_EQ(at(0.5), 1);
    std::vector<DataPoint> uneven = {{0, 0}, {1, 0}, {10, 0}, {11, 0}};
    EXPECT_EQ(*NearestPointIndex(uneven.data(), 4, 4.0), 1); // the estimate lands too high
    EXPECT_EQ(*NearestPointIndex(uneven.data(), 4, 6.0), 2);
    std::vector<DataPoint> same = {{5, 0}, {5, 0}, {7, 0}};
    EXPECT_EQ(*NearestPointIndex(same.data(), 3, 6.5), 2);
    EXPECT_EQ(*NearestPointIndex(p.data(), 1, 9), 0);
    EXPECT_FALSE(NearestPointIndex(p.data(), 0, 1));
    EXPECT_FALSE(NearestPointIndex(nullptr, 0, 1));
    EXPECT_EQ(*NearestPointIndex(p.data(), p.size(), NaN), 3);
}

TEST_F(AxisTest, NearestPointIndexOfTheOwnersSeries) {
    owner.series = {{}, {{0, 0}, {2, 0}, {4, 0}}};
    EXPECT_FALSE(axis.NearestPointIndex(1, 0)); // no points
    EXPECT_FALSE(axis.NearestPointIndex(1, 5)); // no such series
    EXPECT_EQ(*axis.NearestPointIndex(2.9, 1), 1);
}

TEST_F(AxisTest, ValueMarkersAppendReplaceRemove) {
    axis.SetValueMarker(0, 1.5, RGB(1, 2, 3), PS_DASH);
    axis.SetValueMarker(1, 2.5, 0, 0);
    axis.SetValueMarker(0, 9.0, RGB(4, 5, 6), PS_SOLID);
    axis.SetValueMarker(5, 1.0, 0, 0); // past the end: nothing
    ASSERT_EQ(axis.valueMarkers.size(), 2u);
    EXPECT_EQ(axis.valueMarkers[0].value, 9.0);
    EXPECT_EQ(axis.valueMarkers[0].colour, RGB(4, 5, 6));
    EXPECT_TRUE(axis.valueMarkers[0].flag && axis.valueMarkers[0].showValue);
    EXPECT_EQ(axis.valueMarkers[0].lineWidth, 1);
    EXPECT_EQ(axis.valueMarkers[0].font.lfEscapement, 0);
    EXPECT_EQ(owner.invalidated, 3);
    axis.RemoveValueMarker(2);
    EXPECT_EQ(axis.valueMarkers.size(), 2u);
    axis.RemoveValueMarker(0);
    ASSERT_EQ(axis.valueMarkers.size(), 1u);
    EXPECT_EQ(axis.valueMarkers[0].value, 2.5);

    CPlotAxis x;
    x.SetValueMarker(0, 1, 0, 0); // upright text beside a vertical line
    EXPECT_EQ(x.valueMarkers[0].font.lfEscapement, 900);
    EXPECT_EQ(x.valueMarkers[0].font.lfOrientation, 900);
    EXPECT_EQ(x.valueMarkers[0].font.lfClipPrecision, CLIP_LH_ANGLES);
}

TEST_F(AxisTest, LabelMeasurements) {
    auto dc = owner.MeasureDC();
    axis.SetRange(-1000, 10);
    CSelectGuard<CFont> font(*dc, axis.tickFont);
    const int minus = dc->GetTextExtent("-1000.0").cx;
    EXPECT_EQ(axis.TickLabelWidth(*dc), minus + 5);
    EXPECT_EQ(axis.TickLabelHeight(*dc), dc->GetTextExtent("-1000.0").cy + 5);
    EXPECT_EQ(axis.LabelText(2.5), "  2.5");
    axis.title = "";
    EXPECT_EQ(axis.TitleExtent(*dc), CSize());
    axis.title = "Volts\nper metre";
    CSelectGuard<CFont> title(*dc, axis.titleFont);
    EXPECT_EQ(axis.TitleExtent(*dc), TextExtent(*dc, "Volts\nper metre"));
}

TEST_F(AxisTest, CopyOwnsItsFontsAndLists) {
    axis.SetRange(0, 10);
    axis.SetValueMarker(0, 3, 0, 0);
    axis.zoomHistory.push_back({1, 2});
    axis.areaRect = CRect(1, 2, 3, 4);
    axis.rectangle = CRect(5, 6, 7, 8);
    axis.selected = true;
    auto copy = std::make_unique<CPlotAxis>(axis);
    EXPECT_EQ(copy->valueMarkers.size(), 1u);
    EXPECT_EQ(copy->zoomHistory.size(), 1u);
    EXPECT_EQ(copy->areaRect, CRect());
    EXPECT_EQ(copy->rectangle, CRect());
    EXPECT_FALSE(copy->selected);
    EXPECT_EQ(copy->owner, &owner);
    {
        CPlotAxis gone = *copy;
        copy->SetTickFont("Courier New", 20, 700);
        EXPECT_STREQ(gone.tickFont.LogFont().lfFaceName, "Arial");
    }
    EXPECT_STREQ(copy->tickFont.LogFont().lfFaceName, "Courier New");
    CPlotAxis target;
    target.rectangle = CRect(9, 9, 9, 9);
    target = *copy;
    EXPECT_EQ(target.rectangle, CRect(9, 9, 9, 9)); // keeps its own
    EXPECT_EQ(target.viewMax, 10);
}

TEST(AxisRecord, DefaultAxisHasTheExactLayout) {
    CPlotAxis a;
    Bytes b = StoreRecord(a);
    // 3 flags, "%5.1f" and " ", 5 doubles, 5 ints, 2 colours, 1 int, 1 double, 1 flag,
    // 2 doubles, 3 ints, 1 flag, 2 counts, 2 fonts.
    ASSERT_EQ(b.size(), 12u + 6 + 2 + 40 + 20 + 8 + 4 + 8 + 4 + 16 + 12 + 4 + 8 + 120);
    EXPECT_EQ(Int32At(b, 0), 1); // autoScale
    EXPECT_EQ(Int32At(b, 4), 1); // visible
    EXPECT_EQ(Int32At(b, 8), 1); // showGrid
    EXPECT_EQ(b[12], 5);
    EXPECT_EQ(std::string(b.begin() + 13, b.begin() + 18), "%5.1f");
    EXPECT_EQ(b[18], 1);
    EXPECT_EQ(b[19], ' ');
    double rangeMax;
    std::memcpy(&rangeMax, &b[20], 8);
    EXPECT_EQ(rangeMax, -DBL_MAX);
    const std::size_t ints = 20 + 40;
    EXPECT_EQ(Int32At(b, ints + 12), 5); // arrowSize
    EXPECT_EQ(Int32At(b, ints + 16), 5); // labelGap
    EXPECT_EQ(std::uint32_t(Int32At(b, ints + 24)), RGB(150, 150, 150));
    EXPECT_EQ(Int32At(b, ints + 28), PS_DOT);
    const std::size_t afterBadges = ints + 32 + 8 + 4 + 16 + 4 + 4 + 4 + 4;
    EXPECT_EQ(Int32At(b, afterBadges - 8), 2);  // labelSide
    EXPECT_EQ(Int32At(b, afterBadges), 0);      // range bands
    EXPECT_EQ(Int32At(b, afterBadges + 4), 0);  // value markers
    EXPECT_EQ(Int32At(b, afterBadges + 8), 13); // tickFont height
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[afterBadges + 8 + 28])), "Arial");
}

TEST(AxisRecord, RoundTripsByteForByteWithMarkersAndBands) {
    CPlotAxis a;
    a.orientation = CPlotAxis::Horizontal;
    a.SetRange(-3, 1e7);
    a.title = std::string(300, 't');
    a.SetValueMarker(0, 2.5, RGB(9, 8, 7), PS_DASH);
    a.valueMarkers[0].text = "kept in memory only";
    RangeBand band;
    band.from = 1;
    band.to = 2;
    band.fillStyle = 3;
    std::strcpy(band.text, "band");
    a.rangeBands.push_back(band);
    a.dateTime = true;
    Bytes b = StoreRecord(a);
    const std::size_t markers = b.size() - 120 - 88;
    EXPECT_EQ(Int32At(b, markers - 4), 1);
    EXPECT_EQ(Int32At(b, markers - 4 - 288 - 4), 1);
    EXPECT_EQ(b[markers + 12], 1); // flag
    EXPECT_EQ(b[markers + 13], 1); // show value
    EXPECT_EQ(Int32At(b, markers + 16), PS_DASH);
    EXPECT_EQ(b[markers + 20], 1);                // line width
    EXPECT_EQ(Int32At(b, markers + 24 + 8), 900); // the marker font's escapement
    EXPECT_EQ(Int32At(b, markers + 84), 0);       // the text slot

    CPlotAxis back;
    LoadRecord(back, b);
    EXPECT_EQ(StoreRecord(back), b);
    EXPECT_EQ(back.title, a.title);
    EXPECT_STREQ(back.rangeBands[0].text, "band");
    EXPECT_EQ(back.valueMarkers[0].text, ""); // texts do not travel
    EXPECT_TRUE(back.dateTime);
}

TEST(AxisRecord, CountsTheInputCannotHoldAreErrors) {
    CPlotAxis a;
    Bytes b = StoreRecord(a);
    const std::size_t bands = b.size() - 120 - 8;
    for (std::int32_t bad : {-1, 1000000, 0x7FFFFFFF}) {
        Bytes c = b;
        std::memcpy(&c[bands], &bad, 4);
        CPlotAxis target;
        EXPECT_THROW(LoadRecord(target, c), CArchiveException) << bad;
        std::memcpy(&c[bands], "\0\0\0\0", 4);
        std::memcpy(&c[bands + 4], &bad, 4);
        EXPECT_THROW(LoadRecord(target, c), CArchiveException) << bad;
    }
    Bytes cut(b.begin(), b.end() - 1);
    CPlotAxis target;
    EXPECT_THROW(LoadRecord(target, cut), CArchiveException);
}

} // namespace
