#include <gtest/gtest.h>

#include "graph/objects/PlotBitmap.h"
#include "graph/objects/PlotDataNotation.h"
#include "tests/graph/GraphFixture.h"
#include "tests/support/ArchiveBytes.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

TEST(Notation, FlagAbovethePointWithDotAndLine) {
    GraphFixture g;
    g.Load(Samples({0, 5, 10}));
    g.Layout(CRect(0, 0, 200, 100), 0, 2, 0, 10);
    CPlotDataNotation n;
    n.graph = &g.plot;
    n.series = 0;
    n.point = {1, 5}; // pixel (100, 50)
    n.text = "peak";
    Canvas c(200, 100);
    c.dc.CDC::FillSolidRect(CRect(0, 0, 200, 100), RGB(0, 100, 0));
    n.Draw(&c.dc);
    EXPECT_TRUE(n.boxMeasured);
    EXPECT_EQ(n.rectangle.left, 100);
    EXPECT_EQ(n.rectangle.top, 30);
    EXPECT_EQ(c.At(99, 29), Black);  // the frame
    EXPECT_EQ(c.At(100, 50), Black); // the dot
    EXPECT_EQ(c.At(99, 51), Black);
    const CSize box = n.rectangle.Size();
    n.text = "a much longer text than before";
    n.Draw(&c.dc);
    EXPECT_EQ(n.rectangle.Size(), box); // measured once, for good

    n.series = 3; // no such series: nothing drawn
    Canvas none(200, 100);
    n.Draw(&none.dc);
    EXPECT_EQ(none.Count(White), 200 * 100);

    Bytes b = StoreRecord(n);
    EXPECT_EQ(b.size(), 48u + 16 + 8 + 1 + n.text.size());
    CPlotDataNotation back;
    LoadRecord(back, b);
    EXPECT_EQ(back.text, n.text);
    EXPECT_EQ(back.point.y, 5);
    EXPECT_FALSE(back.boxMeasured);
    EXPECT_FALSE(back.movable || back.sizable || back.editable);
}

TEST(Notation, ABoxFirstMeasuredOnAPrinterHasTheScreensSize) {
    GraphFixture g;
    g.Load(Samples({0, 5, 10}));
    g.Layout(CRect(0, 0, 200, 100), 0, 2, 0, 10);
    CPlotDataNotation screen, printed;
    for (CPlotDataNotation* n : {&screen, &printed}) {
        n->graph = &g.plot;
        n->point = {1, 5};
        n->text = "peak value";
    }
    Canvas c(200, 100);
    screen.Draw(&c.dc);
    Canvas paper(800, 400, Caps(384, 384)); // four times the screen's resolution
    paper.dc.scaling = true;
    printed.Draw(&paper.dc);
    EXPECT_EQ(printed.rectangle, screen.rectangle);
    printed.Draw(&c.dc); // and on the screen afterwards it is the screen's box
    EXPECT_EQ(printed.rectangle, screen.rectangle);
}

TEST(BitmapObject, StretchedInsideItsFrameAndKeptInTheRecord) {
    CBitmapEx picture; // the owner keeps it
    const std::uint32_t pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    picture.CreateBitmap(2, 2, 1, 32, pixels);
    auto b = std::make_unique<CPlotBitmap>();
    EXPECT_FALSE(b->ownsImage);
    b->image = &picture;
    b->rectangle = CRect(10, 10, 30, 30);
    Canvas c(40, 40);
    b->Draw(&c.dc);
    EXPECT_EQ(c.At(10, 10), Black);          // the frame
    EXPECT_EQ(c.At(11, 11), RGB(255, 0, 0)); // the picture one unit inside
    EXPECT_EQ(c.At(28, 28), RGB(255, 255, 255));
    b->border = false;
    Canvas bare(40, 40);
    b->Draw(&bare.dc);
    EXPECT_EQ(bare.At(10, 10), RGB(255, 0, 0)); // fills the rectangle exactly
    EXPECT_EQ(bare.At(29, 10), RGB(0, 255, 0));

    Bytes record = StoreRecord(*b);
    EXPECT_EQ(record.size(), 48u + 4 + 20 + 16);
    CPlotBitmap back;
    LoadRecord(back, record);
    ASSERT_TRUE(back.image);
    EXPECT_TRUE(back.ownsImage); // loading made it
    EXPECT_EQ(back.image->GetPixel(1, 0), RGB(0, 255, 0));
    EXPECT_FALSE(back.border);
    EXPECT_TRUE(back.movable && back.sizable);
    b.reset(); // did not delete the owner's picture
    EXPECT_EQ(picture.GetPixel(1, 0), RGB(0, 255, 0));
    CPlotBitmap empty;
    EXPECT_EQ(StoreRecord(empty).size(), 48u + 4 + 20); // no image: a record of zeros
}

} // namespace
