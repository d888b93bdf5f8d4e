#include <gtest/gtest.h>

#include "tests/graph/GraphFixture.h"
#include "tests/support/ArchiveBytes.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

TEST(Label, DefaultsAndRecord) {
    CPlotLabel l;
    EXPECT_TRUE(l.movable && l.sizable && l.visible && l.editable && l.border);
    EXPECT_EQ(l.text, " ");
    EXPECT_EQ(l.attachedSeries, -1);
    EXPECT_EQ(l.font.LogFont().lfHeight, 14);
    l.text = "two\r\nlines";
    l.textFormat = DT_CENTER;
    l.transparent = true;
    Bytes b = StoreRecord(l);
    EXPECT_EQ(b.size(), 48u + 1 + 10 + 60 + 4 + 4 + 4 + 4 + 4 + 4);
    CPlotLabel back;
    LoadRecord(back, b);
    EXPECT_EQ(back.text, "two\r\nlines");
    EXPECT_TRUE(back.transparent);
    EXPECT_EQ(StoreRecord(back), b);
}

TEST(Label, DrawsBoxBorderAndText) {
    GraphFixture g;
    CPlotLabel l;
    l.graph = &g.plot;
    l.rectangle = CRect(10, 10, 110, 60);
    l.backgroundColour = RGB(255, 255, 200);
    l.textColour = RGB(200, 0, 0);
    l.text = "Hello";
    Canvas c(200, 100);
    c.dc.CDC::FillSolidRect(CRect(0, 0, 200, 100), RGB(0, 100, 0));
    l.Draw(&c.dc);
    EXPECT_EQ(c.At(10, 10), Black); // border
    EXPECT_EQ(c.At(109, 59), Black);
    EXPECT_EQ(c.At(100, 50), RGB(255, 255, 200));
    EXPECT_GT(c.Count(RGB(200, 0, 0), CRect(11, 11, 109, 59)), 0);

    Canvas mono(200, 100);
    mono.dc.fewColours = true;
    mono.dc.CDC::FillSolidRect(CRect(0, 0, 200, 100), RGB(0, 100, 0));
    l.Draw(&mono.dc);
    EXPECT_EQ(mono.At(100, 50), White);
    EXPECT_EQ(mono.Count(RGB(200, 0, 0)), 0);
    EXPECT_GT(mono.Count(Black, CRect(11, 11, 109, 59)), 0);
}

TEST(Label, TransparentWithoutBorderDrawsOnlyText) {
    CPlotLabel l;
    l.rectangle = CRect(10, 10, 110, 60);
    l.transparent = true;
    l.border = false;
    l.text = "Hi";
    Canvas c(200, 100);
    c.dc.CDC::FillSolidRect(CRect(0, 0, 200, 100), RGB(0, 100, 0));
    l.Draw(&c.dc);
    EXPECT_EQ(c.At(10, 10), RGB(0, 100, 0));
    EXPECT_EQ(c.At(100, 50), RGB(0, 100, 0));
    EXPECT_GT(c.Count(Black), 0);
    l.visible = false;
    Canvas hidden(200, 100);
    l.Draw(&hidden.dc);
    EXPECT_EQ(hidden.Count(White), 200 * 100);
}

TEST(Label, LeaderLineToTheMiddlePoint) {
    GraphFixture g;
    g.Load(Samples({5, 5, 5}));
    g.Layout(CRect(0, 0, 200, 100), 0, 2, 0, 10);
    CPlotLabel l;
    l.graph = &g.plot;
    l.rectangle = CRect(150, 10, 190, 30);
    l.attachedSeries = 0;
    Canvas c(200, 100);
    l.Draw(&c.dc);
    EXPECT_EQ(c.At(100, 50), Black); // the line starts at the middle point (1, 5)
    l.attachedSeries = 4;            // no such series: no line
    Canvas none(200, 100);
    l.Draw(&none.dc);
    EXPECT_EQ(none.At(100, 50), White);
}

TEST(Label, EditInPlaceKeepsWhatWasTyped) {
    GraphFixture g;
    CPlotLabel l;
    l.graph = &g.plot;
    l.rectangle = CRect(10, 10, 110, 60);
    l.text = "old";
    l.textFormat = DT_CENTER;
    l.tracking = true;
    l.Edit();
    ASSERT_NE(l.Editor(), nullptr);
    EXPECT_TRUE(l.editing);
    EXPECT_FALSE(l.tracking);
    EXPECT_EQ(l.Editor()->GetDlgCtrlID(), 65534u);
    EXPECT_EQ(l.Editor()->GetWindowRect(), CRect(11, 11, 109, 59));
    EXPECT_TRUE(l.Editor()->GetStyle() & ES_CENTER);
    EXPECT_EQ(l.Editor()->GetSelectedText(), "old"); // all selected
    l.Editor()->TypeText("first\r\nsecond");
    l.EndEdit();
    EXPECT_EQ(l.text, "first\r\nsecond");
    EXPECT_FALSE(l.editing);
    EXPECT_EQ(l.Editor(), nullptr);

    l.editable = false;
    l.Edit();
    EXPECT_EQ(l.Editor(), nullptr);
    EXPECT_FALSE(l.editing);
}

} // namespace
