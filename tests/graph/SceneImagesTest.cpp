// Whole paintings of typical scenes, compared pixel for pixel with pictures recorded when they
// were last known right. Speed work on the painting must not move a single pixel.
// TARVELIN_RECORD_SCENES=1 writes the pictures anew (after a deliberate change, checked by eye).
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <functional>

#include "graph/axes/PlotLogAxis.h"
#include "tests/graph/GraphFixture.h"
#include "tests/graph/axes/StandInOwner.h"
#include "tests/support/ScenePicture.h"

namespace {

QImage Picture(std::function<COLORREF(int, int)> pixel, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixel(x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    return image;
}

void Compare(const std::string& name, const QImage& painted) {
    CompareScene(name, painted);
}

// A graph of 640 x 400 with a few curves of different shapes.
struct Scene : GraphFixture {
    std::vector<std::vector<DataPoint>> curves;
    Scene() { plot.MoveWindow(CRect(0, 0, 640, 400)); }
    CPlotDataSeries& Curve(int n, double phase, double scale = 1) {
        std::vector<DataPoint> c;
        for (int i = 0; i < n; ++i)
            c.push_back({double(i), scale * std::sin(i * 0.15 + phase) * (1 + 0.01 * i)});
        curves.push_back(std::move(c));
        return *plot.SetSeriesData(curves.back().data(), n, plot.SeriesCount(), 0, 0, false);
    }
    QImage Shot() {
        Paint();
        std::unique_ptr<CDC> dc = plot.GetDC();
        return Picture([&](int x, int y) { return dc->GetPixel(x, y); }, 640, 400);
    }
};

TEST(SceneImages, PenStylesAndWidthsWithTheLegendRight) {
    Scene s;
    s.curves.reserve(8);
    const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
    for (int k = 0; k < 5; ++k) {
        CPlotDataSeries& c = s.Curve(80, k * 0.6, 1 + k * 0.3);
        c.penStyle = styles[k];
        c.name = "style " + std::to_string(k);
    }
    s.Curve(80, 3.5, 0.5).lineWidth = 3;
    s.plot.XAxisAt(0).showGrid = true;
    s.plot.YAxisAt(0).title = "Volts";
    Compare("pens", s.Shot());
}

TEST(SceneImages, HatchedFillsOpaqueAndTransparentWithTheLegendLeft) {
    Scene s;
    s.curves.reserve(8);
    for (int k = 0; k < 6; ++k) {
        CPlotDataSeries& c = s.Curve(60, k * 0.9, 1 + k);
        c.filled = true;
        c.fillPartner = -1;
        c.fillStyle = k;
        c.transparentFill = k % 2 == 0;
        c.fillColour = CPlot::Palette[(k * 5) % 12];
    }
    s.plot.legendSide = 0;
    s.plot.plotColour = RGB(240, 240, 240);
    Compare("hatches", s.Shot());
}

TEST(SceneImages, EverySymbolAsMarkersAndNumberedBadges) {
    Scene s;
    s.curves.reserve(10);
    for (int k = 0; k < 8; ++k) {
        CPlotDataSeries& c = s.Curve(30, k * 0.4, 1 + k * 0.5);
        c.showMarkers = true;
        c.markerMode = 1;
        c.markerSymbol = k;
        c.markerSize = 6 + k * 2;
    }
    CPlotDataSeries& badges = s.Curve(30, 5, 6);
    badges.showMarkers = true;
    badges.markerMode = 0;
    s.plot.YAxisAt(0).showGrid = true;
    s.plot.YAxisAt(0).gridStyle = PS_DOT;
    Compare("symbols", s.Shot());
}

TEST(SceneImages, LabelsSelectionMarkersAndBands) {
    Scene s;
    s.curves.reserve(4);
    s.Curve(100, 0, 10).selected = true;
    s.Curve(100, 2, 5).name = "second";
    s.Paint();
    CPlotLabel* label = s.plot.AddTextLabel("A label\r\nof two lines");
    label->selected = true;
    CPlotAxis& y = s.plot.YAxisAt(0);
    y.selected = true;
    y.SetValueMarker(0, 4.5, RGB(0, 128, 255), PS_DASH);
    y.SetValueMarker(1, -3, RGB(200, 0, 0), PS_SOLID);
    RangeBand band;
    band.from = -2;
    band.to = 2;
    band.colourA = RGB(255, 230, 200);
    band.colourB = RGB(200, 230, 255);
    s.plot.XAxisAt(0).rangeBands.push_back(band);
    Compare("labels", s.Shot());
}

TEST(SceneImages, DateAxisWithTicksOnWholeHours) {
    Scene s;
    std::vector<DataPoint> day;
    for (int i = 0; i <= 96; ++i)
        day.push_back({45000 + i / 96.0, std::cos(i * 0.1) * 20});
    s.curves.push_back(day);
    s.plot.SetSeriesData(s.curves.back().data(), int(day.size()), 0, 0, 0, false);
    CPlotAxis& x = s.plot.XAxisAt(0);
    x.dateTime = true;
    x.tickFormat = "%H:%M";
    x.showGrid = true;
    s.plot.legendVisible = false;
    Compare("dates", s.Shot());
}

TEST(SceneImages, EditMarkerEditedValueAndMeasurement) {
    Scene s;
    s.curves.reserve(4);
    s.Curve(40, 0, 10);
    s.Curve(40, 1, 5);
    s.plot.legendVisible = false;
    s.PaintAndFreeze();
    s.plot.SetOperationMode(ModeEdit);
    s.plot.editMarker = true;
    s.plot.editMarkerIndex = 12;
    s.plot.showEditedValue = true;
    s.plot.editedValue = -0.5;
    s.plot.mousePoint = s.At(20, 4);
    s.plot.measurements.push_back({0, 5, 1, 30});
    Compare("edit", s.Shot());
}

TEST(SceneImages, ZoomBandOverTheCurve) {
    Scene s;
    s.Curve(200, 0, 3);
    s.plot.legendVisible = false;
    s.PaintAndFreeze();
    s.plot.SetOperationMode(ModeZoom);
    s.plot.zoomRect = CRect(s.At(40, 2), s.At(120, -2));
    s.plot.zoomRect.NormalizeRect();
    Compare("zoom", s.Shot());
}

TEST(SceneImages, PrintingScaleOnADeviceOfTwiceTheResolution) {
    Scene s;
    s.curves.reserve(4);
    s.Curve(60, 0, 2).showMarkers = true;
    s.Curve(60, 1, 1).penStyle = PS_DASH;
    s.plot.YAxisAt(0).title = "Y";
    Canvas paper(1000, 700, Caps(192, 192));
    paper.dc.scaling = true;
    s.plot.PaintGraph(paper.dc, CRect(0, 0, 500, 350));
    Compare("print", Picture([&](int x, int y) { return paper.At(x, y); }, 1000, 700));
}

TEST(SceneImages, LogarithmicAxis) {
    StandInOwner owner;
    owner.plot = CRect(61, 20, 380, 250);
    CPlotLogAxis axis;
    axis.owner = &owner;
    axis.orientation = CPlotAxis::Vertical;
    axis.labelSide = 0;
    axis.originX = 60;
    axis.originY = 250;
    axis.areaRect = CRect(5, 5, 395, 295);
    axis.title = "dB";
    axis.showGrid = true;
    axis.gridStyle = PS_DOT;
    axis.showSeriesBadges = false;
    axis.autoScale = true;
    axis.viewMin = 0.35;
    axis.viewMax = 470;
    Canvas c(400, 300);
    axis.Draw(&c.dc);
    Compare("logaxis", Picture([&](int x, int y) { return c.At(x, y); }, 400, 300));
}

} // namespace
