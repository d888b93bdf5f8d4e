#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "draw/Measure.h"
#include "platform/Printer.h"
#include "tests/graph/GraphFixture.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

// Paints the whole control into its window surface and reads it back.
struct Painted {
    std::unique_ptr<CDC> dc;
    explicit Painted(CPlot& plot) {
        plot.Invalidate();
        plot.UpdateWindow();
        dc = plot.GetDC();
    }
    COLORREF At(int x, int y) const { return dc->GetPixel(x, y); }
};

TEST(PlotPaint, EmptyGraphPaintsTheFillsAndAnEmptyLegend) {
    CPlot plot;
    plot.CWnd::Create("TarvelinPlot", "", CRect(0, 0, 400, 300), nullptr, 1001);
    plot.backgroundColour = RGB(10, 20, 30);
    plot.innerColour = RGB(40, 50, 60);
    plot.plotColour = RGB(70, 80, 90);
    Painted p(plot);
    EXPECT_EQ(p.At(2, 2), RGB(10, 20, 30));
    // Legend: W = 0, so the frame is (395 - 16 - 10, 15, 385, 17), two units high.
    EXPECT_EQ(p.At(370, 15), Black);
    EXPECT_EQ(p.At(370, 16), Black);
    EXPECT_NE(p.At(370, 17), Black);
    EXPECT_EQ(plot.plotRect, CRect(6, 5, 395 - 36, 295));
    EXPECT_EQ(p.At(100, 100), RGB(70, 80, 90));
    EXPECT_EQ(p.At(5, 100), RGB(40, 50, 60)); // inside the margins, left of the plot
    EXPECT_EQ(p.At(plot.plotRect.right + 2, 100), RGB(10, 20, 30)); // the legend's room
}

TEST(PlotPaint, RightLegendTakesItsWidthPlusThirtySix) {
    GraphFixture g;
    g.Load(Samples({1, 2, 3}));
    g.plot.SeriesAt(0).name = "volts";
    g.plot.legendVisible = false;
    Painted without(g.plot);
    const int right = g.plot.plotRect.right;
    g.plot.legendVisible = true;
    Painted with(g.plot);
    Canvas measure;
    CFont font;
    font.CreateFontA(13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    measure.dc.SelectObject(font);
    const int w = TextExtent(measure.dc, "01 volts").cx;
    EXPECT_EQ(right - g.plot.plotRect.right, w + 16 + 20); // W = 30 gives 66
    ASSERT_EQ(g.plot.legendEntries.size(), 1u);
    EXPECT_EQ(g.plot.legendEntries[0].series, 0);
}

TEST(PlotPaint, AxesStackAndAutomaticSidesAlternate) {
    GraphFixture g;
    std::vector<DataPoint> p = Samples({1, 2});
    g.Load(p);
    g.plot.SetSeriesData(p.data(), 2, 1, 0, 1, false);
    g.plot.SetSeriesData(p.data(), 2, 2, 0, 2, false);
    g.plot.legendVisible = false;
    g.plot.YAxisAt(1).visible = false;
    Painted painted(g.plot);
    EXPECT_EQ(g.plot.YAxisAt(0).labelSide, 0);
    EXPECT_EQ(g.plot.YAxisAt(1).labelSide, 1);
    EXPECT_EQ(g.plot.YAxisAt(2).labelSide, 0);
    // The hidden right axis takes no room yet gets its position at the right edge.
    EXPECT_EQ(g.plot.YAxisAt(1).originX, 395);
    EXPECT_EQ(g.plot.plotRect.right, 395);
    EXPECT_GT(g.plot.YAxisAt(2).originX, g.plot.YAxisAt(0).originX);
    EXPECT_EQ(g.plot.plotRect.left, g.plot.YAxisAt(2).originX + 1);
    EXPECT_EQ(g.plot.XAxisAt(0).originY, g.plot.plotRect.bottom);
}

TEST(PlotPaint, CurveAxisAndEditedValueShowWhereTheArithmeticPutsThem) {
    GraphFixture g;
    g.Load(Samples({0, 10, 0}));
    g.plot.legendVisible = false;
    g.plot.XAxisAt(0).showGrid = g.plot.YAxisAt(0).showGrid = false;
    g.plot.showEditedValue = true;
    g.plot.editedValue = -0.5;
    g.plot.mousePoint = CPoint(150, 150);
    Painted p(g.plot);
    CPlotAxis& y = g.plot.YAxisAt(0);
    CPlotAxis& x = g.plot.XAxisAt(0);
    const CPoint top(x.PixelOfValue({1, 0}).x, y.PixelOfValue({0, 10}).y);
    EXPECT_EQ(p.At(top.x + 1, top.y - 2), RGB(0, 0, 0)); // the dot of the middle sample
    EXPECT_EQ(p.At(y.originX, (y.originY + y.rectangle.top) / 2), Black); // the Y axis line
    // The edited value: "-0.50" in 13-unit Arial at (mouse x + 10, mouse y).
    Canvas expected(400, 300);
    expected.dc.CDC::FillSolidRect(CRect(0, 0, 400, 300), g.plot.plotColour);
    CFont font;
    font.CreateFontA(13, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 1, 4, 0, "Arial");
    expected.dc.SelectObject(font);
    expected.dc.SetBkMode(TRANSPARENT);
    expected.dc.TextOut(160, 150, "-0.50");
    const CSize size = expected.dc.GetTextExtent("-0.50");
    int ink = 0;
    for (int py = 150; py < 150 + size.cy; ++py)
        for (int px = 160; px < 160 + size.cx; ++px)
            if (expected.At(px, py) != g.plot.plotColour) {
                ++ink;
                EXPECT_EQ(p.At(px, py), expected.At(px, py)) << px << "," << py;
            }
    EXPECT_GT(ink, 10);
}

class PdfDialogs : public CDialogs {
public:
    std::string path;
    bool cancel = false;
    std::unique_ptr<CDC> PrintDialog(CWnd*) override {
        if (cancel)
            return nullptr;
        return std::make_unique<CPrinterDC>(path, 600);
    }
};

TEST(PlotPaint, PrintingGivesOnePageLaidOutLikeTheScreen) {
    GraphFixture g;
    g.Load(Samples({1, 5, 2, 8}));
    PdfDialogs dialogs;
    dialogs.path = (std::filesystem::temp_directory_path() / "tarvelin-print-test.pdf").string();
    g.plot.dialogs = &dialogs;
    dialogs.cancel = true;
    EXPECT_FALSE(g.plot.PrintGraph());
    dialogs.cancel = false;
    EXPECT_TRUE(g.plot.PrintGraph());
    EXPECT_EQ(g.plot.printDC, nullptr);
    CPrinterDC probe(dialogs.path + ".probe", 600);
    EXPECT_EQ(g.plot.printRect.right, LONG(probe.GetDeviceCaps(HORZRES) / 6.25f));
    std::ifstream in(dialogs.path, std::ios::binary);
    std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
    std::filesystem::remove(dialogs.path);
    std::filesystem::remove(dialogs.path + ".probe");
}

} // namespace
