#include <gtest/gtest.h>

#include "graph/objects/PlotObject.h"
#include "tests/support/ArchiveBytes.h"

namespace {

TEST(PlotObject, DefaultRecordIsFortyEightBytes) {
    CPlotObject o;
    o.colour = RGB(1, 2, 3);
    Bytes b = StoreRecord(o);
    ASSERT_EQ(b.size(), 48u);
    const std::int32_t flags[7] = {0, 0, 0, 0, 0, 1, 1};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Int32At(b, 4 * i), flags[i]) << i;
    for (int i = 7; i < 11; ++i)
        EXPECT_EQ(Int32At(b, 4 * i), 0);
    EXPECT_EQ(std::uint32_t(Int32At(b, 44)), RGB(1, 2, 3));
}

TEST(PlotObject, RecordRoundTripsAndReadsNonZeroAsSet) {
    CPlotObject o;
    o.selected = o.sizable = o.editing = true;
    o.visible = false;
    o.rectangle = CRect(-5, 6, 700, 80000);
    o.colour = RGB(200, 100, 0);
    Bytes b = StoreRecord(o);
    EXPECT_EQ(Int32At(b, 0), 1);  // selected
    EXPECT_EQ(Int32At(b, 8), 1);  // sizable
    EXPECT_EQ(Int32At(b, 16), 1); // editing, written after tracking
    EXPECT_EQ(Int32At(b, 28), -5);
    b[4] = 7; // movable stored as 7 still reads as set

    CPlotObject back;
    CMemFile file(b);
    CArchive ar(&file, CArchive::load);
    back.Serialize(ar);
    EXPECT_TRUE(back.selected && back.movable && back.sizable && back.editing);
    EXPECT_FALSE(back.tracking || back.visible);
    EXPECT_TRUE(back.editable);
    EXPECT_EQ(back.rectangle, o.rectangle);
    EXPECT_EQ(back.colour, o.colour);

    Bytes cut(b.begin(), b.begin() + 40);
    CMemFile shortFile(cut);
    CArchive shortAr(&shortFile, CArchive::load);
    CPlotObject partial;
    EXPECT_THROW(partial.Serialize(shortAr), CArchiveException);
}

TEST(PlotObject, CreatedByClassNameFromAnArchive) {
    CPlotObject o;
    o.rectangle = CRect(1, 2, 3, 4);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteObject(&o);
    }
    EXPECT_EQ(file.Bytes().size(), 2u + 2 + 2 + 11 + 48);
    CMemFile in(file.Bytes());
    CArchive ar(&in, CArchive::load);
    auto back = ar.ReadObject(RUNTIME_CLASS(CPlotObject));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(static_cast<CPlotObject*>(back.get())->rectangle, CRect(1, 2, 3, 4));
}

TEST(PlotObject, NewObjectIsVisibleEditableButNotMovable) {
    CPlotObject o;
    EXPECT_TRUE(o.visible && o.editable);
    EXPECT_FALSE(o.movable || o.sizable || o.selected || o.tracking || o.editing);
    EXPECT_EQ(o.graph, nullptr);
}

TEST(PlotObject, BeginSizeShowsTheTrackerOnTheRectangleAndEndSizeLeavesIt) {
    CPlotObject o;
    o.rectangle = CRect(10, 20, 110, 120);
    o.BeginSize();
    EXPECT_TRUE(o.tracking);
    EXPECT_EQ(o.tracker.m_nStyle, 20u);
    EXPECT_EQ(o.tracker.m_rect, o.rectangle);
    EXPECT_EQ(o.tracker.HitTest(CPoint(60, 70)), CRectTracker::hitMiddle);
    o.EndSize();
    EXPECT_FALSE(o.tracking);
    EXPECT_EQ(o.rectangle, CRect(10, 20, 110, 120));
}

} // namespace
