#include <gtest/gtest.h>

#include <cmath>

#include "draw/GraphDC.h"
#include "draw/Measure.h"
#include "tests/support/Canvas.h"

namespace {

Canvas Device(int dpiX, int dpiY, int colours = -1) {
    return Canvas(200, 100, Caps(dpiX, dpiY, colours));
}

class GraphDCTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ScreenDeviceCaps().logPixelsX, 96); }
};

TEST_F(GraphDCTest, PrinterResolutionGivesFactorsAboveOneEitherWay) {
    Canvas printer = Device(600, 600);
    printer.dc.ComputeScaleFactors();
    EXPECT_FLOAT_EQ(printer.dc.horizontalScale, 6.25f);
    EXPECT_FLOAT_EQ(printer.dc.verticalScale, 6.25f);
    EXPECT_EQ(printer.dc.ScalePoint(CPoint(10, 3)), CPoint(62, 18));
    EXPECT_EQ(printer.dc.ScalePoint(CPoint(-10, -3)), CPoint(-62, -18)); // toward zero
    EXPECT_FALSE(printer.dc.fewColours);

    Canvas coarse = Device(48, 192);
    coarse.dc.ComputeScaleFactors();
    EXPECT_FLOAT_EQ(coarse.dc.horizontalScale, 2.0f);
    EXPECT_FLOAT_EQ(coarse.dc.verticalScale, 2.0f);
}

TEST_F(GraphDCTest, DeviceWithoutResolutionKeepsFactorOne) {
    Canvas none = Device(0, -5);
    none.dc.ComputeScaleFactors();
    EXPECT_FLOAT_EQ(none.dc.horizontalScale, 1.0f);
    EXPECT_FLOAT_EQ(none.dc.verticalScale, 1.0f);
    EXPECT_TRUE(none.dc.scaleKnown);
}

TEST_F(GraphDCTest, FewColoursBelow256) {
    for (int colours : {0, 2, 255}) {
        Canvas d = Device(96, 96, colours);
        d.dc.ComputeScaleFactors();
        EXPECT_TRUE(d.dc.fewColours) << colours;
    }
    for (int colours : {-1, 256}) {
        Canvas d = Device(96, 96, colours);
        d.dc.ComputeScaleFactors();
        EXPECT_FALSE(d.dc.fewColours) << colours;
    }
}

TEST_F(GraphDCTest, ScalingOffPassesCoordinatesUnchangedAndComputesNothing) {
    Canvas d = Device(600, 600);
    d.dc.SelectObject(CPen(PS_SOLID, 1, RGB(0, 0, 0)));
    d.dc.MoveTo(10, 3);
    d.dc.LineTo(20, 3);
    EXPECT_EQ(d.dc.GetCurrentPosition(), CPoint(20, 3));
    CRect r(1, 2, 1, 2);
    d.dc.DrawText("x", &r, DT_CALCRECT);
    EXPECT_EQ(r.TopLeft(), CPoint(1, 2));
    EXPECT_FALSE(d.dc.scaleKnown);
}

TEST_F(GraphDCTest, ScalingOnScalesOperationsAndCalcRectInPlace) {
    Canvas d = Device(192, 192);
    d.dc.scaling = true;
    d.dc.MoveTo(10, 3);
    EXPECT_EQ(d.dc.GetCurrentPosition(), CPoint(20, 6));
    d.dc.FillSolidRect(5, 5, 10, 4, RGB(255, 0, 0));
    EXPECT_EQ(d.dc.GetPixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(d.dc.GetPixel(29, 17), RGB(255, 0, 0));
    EXPECT_EQ(d.dc.GetPixel(30, 17), RGB(255, 255, 255));
    EXPECT_EQ(d.dc.GetPixel(29, 18), RGB(255, 255, 255));

    CRect r(7, 9, 7, 9);
    int h = d.dc.DrawText("ab\ncd", &r, DT_CALCRECT);
    EXPECT_EQ(r.TopLeft(), CPoint(14, 18));
    EXPECT_EQ(r.Height(), h);
}

TEST_F(GraphDCTest, TextExtentSingleAndMultiLine) {
    Canvas d = Device(96, 96);
    CFont font;
    font.CreateFontA(-13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    d.dc.SelectObject(font);
    CSize single = TextExtent(d.dc, "Voltage [mV]");
    EXPECT_EQ(single, d.dc.GetTextExtent("Voltage [mV]"));
    EXPECT_GT(single.cx, 50);
    CSize multi = TextExtent(d.dc, "Voltage\n[mV]");
    EXPECT_EQ(multi.cy, 2 * single.cy);
    EXPECT_EQ(multi.cx, d.dc.GetTextExtent("Voltage").cx);
    EXPECT_EQ(TextExtent(d.dc, "").cx, 0);
}

TEST(Measure, DistanceToTheInfiniteLine) {
    EXPECT_DOUBLE_EQ(DistanceToLine({0, 0}, {10, 0}, {5, 3}), 3.0);
    EXPECT_DOUBLE_EQ(DistanceToLine({0, 0}, {10, 0}, {25, -2}), 2.0); // beyond the segment
    EXPECT_DOUBLE_EQ(DistanceToLine({0, 0}, {4, 4}, {0, 4}), std::sqrt(8.0));
    EXPECT_DOUBLE_EQ(DistanceToLine({3, 3}, {3, 3}, {6, 7}), 5.0); // coincident points
    EXPECT_DOUBLE_EQ(DistanceToLine({3, 3}, {3, 3}, {3, 3}), 0.0);
    double far = DistanceToLine({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MAX, 0});
    EXPECT_TRUE(std::isfinite(far));
}

} // namespace
