#include <gtest/gtest.h>

#include "platform/RectTracker.h"
#include "platform/Wnd.h"

namespace {

constexpr UINT ObjectStyle = CRectTracker::hatchedBorder | CRectTracker::resizeOutside;

TEST(RectTracker, HandlesLieOutsideTheRectangle) {
    CRectTracker t(CRect(20, 20, 60, 50), ObjectStyle);
    EXPECT_EQ(ObjectStyle, 20u);
    CRect trueRect;
    t.GetTrueRect(&trueRect);
    EXPECT_EQ(trueRect, CRect(17, 17, 63, 53));
    CRect h;
    t.GetHandleRect(CRectTracker::hitTopLeft, &h);
    EXPECT_EQ(h, CRect(17, 17, 21, 21));
    t.GetHandleRect(CRectTracker::hitBottomRight, &h);
    EXPECT_EQ(h, CRect(59, 49, 63, 53));
    t.GetHandleRect(CRectTracker::hitRight, &h);
    EXPECT_EQ(h, CRect(59, 33, 63, 37));

    EXPECT_EQ(t.HitTest(CPoint(17, 17)), CRectTracker::hitTopLeft);
    EXPECT_EQ(t.HitTest(CPoint(62, 52)), CRectTracker::hitBottomRight);
    EXPECT_EQ(t.HitTest(CPoint(40, 18)), CRectTracker::hitTop);
    EXPECT_EQ(t.HitTest(CPoint(30, 18)), CRectTracker::hitMiddle); // hatched border moves
    EXPECT_EQ(t.HitTest(CPoint(40, 35)), CRectTracker::hitMiddle);
    EXPECT_EQ(t.HitTest(CPoint(16, 35)), CRectTracker::hitNothing);
    EXPECT_EQ(t.HitTest(CPoint(63, 35)), CRectTracker::hitNothing);

    EXPECT_EQ(t.CursorFor(CPoint(17, 17)), IDC_SIZENWSE);
    EXPECT_EQ(t.CursorFor(CPoint(62, 18)), IDC_SIZENESW);
    EXPECT_EQ(t.CursorFor(CPoint(40, 18)), IDC_SIZENS);
    EXPECT_EQ(t.CursorFor(CPoint(18, 35)), IDC_SIZEWE);
    EXPECT_EQ(t.CursorFor(CPoint(40, 35)), IDC_SIZEALL);
    EXPECT_EQ(t.CursorFor(CPoint(0, 0)), 0);
}

TEST(RectTracker, DragStepsMoveResizeAndKeepTheMinimum) {
    CRectTracker t(CRect(20, 20, 60, 50), ObjectStyle);
    ASSERT_TRUE(t.BeginTrack(CRectTracker::hitMiddle, CPoint(30, 30)));
    t.TrackTo(CPoint(35, 28));
    EXPECT_EQ(t.m_rect, CRect(25, 18, 65, 48));
    EXPECT_TRUE(t.EndTrack(false));

    t.BeginTrack(CRectTracker::hitBottomRight, CPoint(65, 48));
    t.TrackTo(CPoint(0, 0)); // past the opposite corner: stays 8 x 8
    EXPECT_EQ(t.m_rect, CRect(25, 18, 33, 26));
    EXPECT_FALSE(t.EndTrack(true)); // cancelled: back as it was
    EXPECT_EQ(t.m_rect, CRect(25, 18, 65, 48));

    t.BeginTrack(CRectTracker::hitLeft, CPoint(25, 30));
    t.TrackTo(CPoint(15, 99));
    EXPECT_EQ(t.m_rect, CRect(15, 18, 65, 48));
}

class Canvas : public CWnd {
public:
    Canvas() { Create("Canvas", "", CRect(0, 0, 120, 100), nullptr, 1); }
};

TEST(RectTracker, TrackRunsTheMouseLoopAndEscCancels) {
    Canvas w;
    CRectTracker t(CRect(20, 20, 60, 50), ObjectStyle);
    w.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(45, 40));
    w.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 45));
    w.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 45));
    EXPECT_TRUE(t.Track(&w, CPoint(40, 35)));
    EXPECT_EQ(t.m_rect, CRect(30, 30, 70, 60));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    // The drag feedback is gone from the window again.
    auto dc = w.GetDC();
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 120; x += 3)
            ASSERT_EQ(dc->GetPixel(x, y), RGB(255, 255, 255)) << x << "," << y;
    w.ReleaseDC(dc.get());

    w.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 90));
    w.PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(t.Track(&w, CPoint(40, 40)));
    EXPECT_EQ(t.m_rect, CRect(30, 30, 70, 60));

    w.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 40)); // released without moving
    EXPECT_FALSE(t.Track(&w, CPoint(40, 40)));
    EXPECT_FALSE(t.Track(&w, CPoint(0, 0))); // not on the tracker: no loop at all
}

TEST(RectTracker, DrawsHatchedBorderAndBlackHandles) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dc, 80, 80);
    dc.SelectObject(bmp);
    dc.FillSolidRect(CRect(0, 0, 80, 80), RGB(0, 200, 0));
    CRectTracker t(CRect(20, 20, 60, 50), ObjectStyle);
    t.Draw(&dc);
    EXPECT_EQ(dc.GetPixel(17, 17), RGB(0, 0, 0));   // handle
    EXPECT_EQ(dc.GetPixel(40, 35), RGB(0, 200, 0)); // inside untouched
    EXPECT_EQ(dc.GetPixel(16, 16), RGB(0, 200, 0)); // outside untouched
    int black = 0, white = 0;
    for (int x = 24; x < 32; ++x) {
        black += dc.GetPixel(x, 18) == RGB(0, 0, 0);
        white += dc.GetPixel(x, 18) == RGB(255, 255, 255);
    }
    EXPECT_EQ(black, 2); // one diagonal line in four
    EXPECT_EQ(white, 6);
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 200, 0)); // the context's state is restored
}

} // namespace
