#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "platform/Wnd.h"
#include "platform/WndHost.h"

namespace {

class Recorder : public CWnd {
public:
    std::vector<MSG> seen;
    int paints = 0;
    bool eatDelete = false;

    BOOL PreTranslateMessage(MSG* msg) override {
        return eatDelete && msg->message == WM_KEYUP && msg->wParam == VK_DELETE;
    }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
        seen.push_back(MSG{this, m, w, l});
        return CWnd::WindowProc(m, w, l);
    }

protected:
    void OnPaint(CDC& dc) override {
        ++paints;
        dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(1, 2, 3));
    }
    void OnLButtonDown(UINT flags, CPoint p) override { down.push_back({flags, p}); }
    BOOL OnMouseWheel(UINT flags, short delta, CPoint) override {
        wheel.push_back({flags, delta});
        return TRUE;
    }

public:
    std::vector<std::pair<UINT, CPoint>> down;
    std::vector<std::pair<UINT, short>> wheel;
};

TEST(Wnd, MessagesReachTheirHandlersWithDecodedArguments) {
    Recorder w;
    ASSERT_TRUE(w.Create("TestClass", "", CRect(0, 0, 100, 50), nullptr, 7));
    EXPECT_EQ(w.GetClassName(), "TestClass");
    EXPECT_EQ(w.GetDlgCtrlID(), 7u);
    EXPECT_EQ(w.GetClientRect(), CRect(0, 0, 100, 50));
    w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-3, 40));
    ASSERT_EQ(w.down.size(), 1u);
    EXPECT_EQ(w.down[0].first, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(w.down[0].second, CPoint(-3, 40));
    w.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -15), MAKELPARAM(5, 5));
    ASSERT_EQ(w.wheel.size(), 1u);
    EXPECT_EQ(w.wheel[0].first, MK_SHIFT);
    EXPECT_EQ(w.wheel[0].second, -15);
}

TEST(Wnd, PostedMessagesArriveLaterInOrder) {
    Recorder w;
    w.Create("TestClass", "", CRect(0, 0, 10, 10), nullptr, 1);
    w.seen.clear();
    w.PostMessage(WM_USER + 1, 11, 0);
    w.PostMessage(WM_USER + 2, 22, 0);
    EXPECT_TRUE(w.seen.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(w.seen.size(), 2u);
    EXPECT_EQ(w.seen[0].message, WM_USER + 1);
    EXPECT_EQ(w.seen[1].wParam, 22u);
}

TEST(Wnd, InvalidateRepaintsTheSurfaceOnUpdate) {
    Recorder w;
    w.Create("TestClass", "", CRect(0, 0, 20, 20), nullptr, 1);
    w.Invalidate();
    w.UpdateWindow();
    EXPECT_EQ(w.paints, 1);
    w.UpdateWindow(); // nothing invalid
    EXPECT_EQ(w.paints, 1);
    auto dc = w.GetDC();
    EXPECT_EQ(dc->GetPixel(5, 5), RGB(1, 2, 3));
    EXPECT_EQ(dc->GetPixel(15, 15), RGB(255, 255, 255));
    w.ReleaseDC(dc.get());
}

// A held window shows its last picture, however often it is asked to paint or shown, and
// paints what was asked for once let go.
TEST(Wnd, AHeldPictureIsShownUntilLetGo) {
    Recorder w;
    w.Create("TestClass", "", CRect(0, 0, 20, 20), nullptr, 1);
    w.Invalidate();
    w.UpdateWindow();
    ASSERT_EQ(w.paints, 1);
    w.HoldPicture(true);
    w.Invalidate();
    w.UpdateWindow();
    w.Host()->repaint();
    EXPECT_EQ(w.paints, 1);
    w.HoldPicture(false);
    w.UpdateWindow();
    EXPECT_EQ(w.paints, 2);
}

TEST(Wnd, ModalLoopSeesMessagesUntilItsFilterEnds) {
    Recorder w;
    w.Create("TestClass", "", CRect(0, 0, 20, 20), nullptr, 1);
    w.seen.clear();
    w.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    w.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    w.PostMessage(WM_USER, 0, 0);
    std::vector<UINT> filtered;
    EXPECT_TRUE(w.RunModalLoop([&](const MSG& m) {
        filtered.push_back(m.message);
        return m.message != WM_LBUTTONUP;
    }));
    EXPECT_EQ(filtered, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP}));
    QCoreApplication::processEvents();
    ASSERT_EQ(w.seen.size(), 1u); // after the loop, messages reach the window again
    EXPECT_EQ(w.seen[0].message, WM_USER);
}

TEST(Wnd, DestroyedChildLeavesItsOwnerSafe) {
    Recorder parent;
    parent.Create("P", "", CRect(0, 0, 50, 50), nullptr, 1);
    Recorder child;
    child.Create("C", "", CRect(5, 5, 20, 20), &parent, 2);
    EXPECT_TRUE(child.IsWindow());
    parent.DestroyWindow();
    EXPECT_FALSE(child.IsWindow());
    EXPECT_FALSE(child.PostMessage(WM_USER));
    EXPECT_EQ(child.GetClientRect(), CRect());
}

} // namespace
