// Paints that fill a rectangle again and draw over it with every kind of operation, in a
// window that remembers the fill, against the same paints on a fresh picture.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "platform/Wnd.h"
#include "tests/support/Canvas.h"

namespace {

constexpr COLORREF Paper = RGB(240, 240, 200);
const CRect Area(7, 5, 190, 140);

// One paint: the area filled, then a few random operations over and around it.
struct Scene {
    unsigned seed = 0;
    void Paint(CDC& dc, bool remembered) const {
        std::mt19937 random(seed);
        auto v = [&](int lo, int hi) { return lo + int(random() % unsigned(hi - lo + 1)); };
        const COLORREF around = RGB(90, 90, 90);
        dc.FillSolidRect(CRect(0, 0, 200, Area.top), around);
        dc.FillSolidRect(CRect(0, Area.bottom, 200, 150), around);
        dc.FillSolidRect(CRect(0, Area.top, Area.left, Area.bottom), around);
        dc.FillSolidRect(CRect(Area.right, Area.top, 200, Area.bottom), around);
        if (remembered)
            dc.RefillSolidRect(Area, Paper);
        else
            dc.FillSolidRect(Area, Paper);
        const int ops = v(0, 14);
        const int styles[] = {PS_SOLID, PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT};
        for (int k = 0; k < ops; ++k) {
            const COLORREF c = RGB(v(0, 255), v(0, 255), v(0, 255));
            const int x = v(-30, 220), y = v(-30, 170), w = v(0, 120), h = v(0, 90);
            dc.SetBkMode(v(0, 1) ? OPAQUE : TRANSPARENT);
            dc.SetBkColor(RGB(v(0, 255), 0, 0));
            dc.SetROP2(v(0, 5) == 0 ? R2_NOTXORPEN : R2_COPYPEN);
            switch (v(0, 7)) {
            case 0: // straight and slanted lines, thin or wide, any style
            case 1: {
                CSelectGuard<CPen> pen(dc, CPen(styles[v(0, 4)], v(0, 3) == 0 ? 3 : 1, c));
                dc.MoveTo(x, y);
                const int shape = v(0, 2);
                dc.LineTo(shape == 0   ? x + w
                          : shape == 1 ? x
                                       : x + w - 60,
                          shape == 1   ? y + h
                          : shape == 0 ? y
                                       : y + h - 40);
                break;
            }
            case 2:
                dc.FillSolidRect(CRect(x, y, x + w / 3, y + h / 3), c);
                break;
            case 3: {
                CBrush brush(v(0, 5), c); // a hatch: its gaps show what is underneath
                dc.FillRect(CRect(x, y, x + w / 2, y + h / 2), brush);
                break;
            }
            case 4: {
                CSelectGuard<CBrush> brush(dc, CBrush(c));
                if (v(0, 1))
                    dc.Ellipse(x, y, x + w / 3, y + h / 3);
                else
                    dc.Rectangle(x, y, x + w / 3, y + h / 3);
                break;
            }
            case 5:
                dc.SetTextColor(c);
                dc.TextOut(x, y, "Tarvelin 1.7");
                break;
            case 6: {
                CRect r(x, y, x + w, y + 20);
                dc.DrawText("drawn text", &r, DT_CENTER);
                break;
            }
            default:
                dc.DrawFocusRect(CRect(x, y, x + w / 2, y + h / 2));
            }
        }
        dc.SetROP2(R2_COPYPEN);
    }
};

// Whether the window shows, pixel for pixel, what a fresh picture of the same paint shows.
testing::AssertionResult ShowsWhat(CWnd& w, const Canvas& fresh) {
    std::unique_ptr<CDC> shown = w.GetDC();
    for (int y = 0; y < fresh.height; ++y)
        for (int x = 0; x < fresh.width; ++x)
            if (shown->GetPixel(x, y) != fresh.At(x, y))
                return testing::AssertionFailure() << "differs at " << x << "," << y;
    return testing::AssertionSuccess();
}

class Painted : public CWnd {
public:
    Scene scene;
    void OnPaint(CDC& dc) override { scene.Paint(dc, true); }
};

TEST(RepaintOverMemory, EachPaintShowsWhatAFreshPictureShows) {
    Painted w;
    ASSERT_TRUE(w.Create("Painted", "", CRect(0, 0, 200, 150), nullptr, 1));
    for (unsigned paint = 0; paint < 300; ++paint) {
        // Each scene twice: painted over another, then over itself, where every pixel it
        // draws was drawn before and must be marked as drawn again.
        w.scene.seed = paint / 2 * 7919u + 1;
        w.Invalidate();
        w.UpdateWindow();
        Canvas fresh(200, 150);
        w.scene.Paint(fresh.dc, false);
        ASSERT_TRUE(ShowsWhat(w, fresh)) << "paint " << paint;
    }
}

// Labels in opaque boxes of their own height, as the chart's tick labels are drawn: copied
// from what an earlier paint left, they must show what drawing them afresh shows, whatever
// their colours, clipping and neighbours.
class Labelled : public CWnd {
public:
    int paint = 0;
    void Labels(CDC& dc) const {
        dc.FillSolidRect(CRect(0, 0, 200, 150), RGB(250, 250, 250));
        const int height = dc.GetTextExtent("0").cy;
        const char* const texts[] = {"-0.25", "1e+06", "42", "0.125"};
        for (int k = 0; k < 12; ++k) {
            const int x = -20 + 19 * k + (paint % 3), y = 10 * k - 5;
            dc.SetBkMode(OPAQUE);
            dc.SetBkColor(k % 4 == 0 && paint % 2 ? RGB(200, 220, 255) : RGB(250, 250, 250));
            dc.SetTextColor(paint % 4 == 3 ? RGB(160, 0, 0) : RGB(0, 0, 0));
            CRect r(x, y, x + (k % 3 ? 60 : 20), y + height);
            dc.DrawText(texts[(k + paint / 4) % 4], &r,
                        DT_SINGLELINE | DT_VCENTER | (k % 2 ? DT_CENTER : DT_RIGHT));
            CSelectGuard<CPen> pen(dc, CPen(PS_SOLID, 1, RGB(0, 0, 255)));
            dc.MoveTo(x, y + height); // a tick beside the label
            dc.LineTo(x, y + height + 4);
        }
    }
    void OnPaint(CDC& dc) override { Labels(dc); }
};

TEST(RepaintOverMemory, LabelsCopiedFromAnEarlierPaintAreTheLabelsDrawn) {
    Labelled w;
    ASSERT_TRUE(w.Create("Labelled", "", CRect(0, 0, 200, 150), nullptr, 1));
    for (w.paint = 0; w.paint < 16; ++w.paint) {
        w.Invalidate();
        w.UpdateWindow();
        Canvas fresh(200, 150);
        w.Labels(fresh.dc);
        ASSERT_TRUE(ShowsWhat(w, fresh)) << "paint " << w.paint;
    }
}

// Lines across a tall window, each in one paint only: every pixel they drew, however far
// along them, is cleared by the next paint that leaves them out.
class Crossed : public CWnd {
public:
    int paint = 0;
    BOOL OnEraseBkgnd(CDC&) override { return TRUE; } // the paint fills it all
    void OnPaint(CDC& dc) override {
        dc.RefillSolidRect(CRect(0, 0, 64, 700), Paper);
        CSelectGuard<CPen> pen(dc, CPen(paint % 2 ? PS_SOLID : PS_DOT, 1, RGB(0, 0, 160)));
        dc.SetBkMode(TRANSPARENT);
        const int at = 3 + paint / 2 * 7;
        dc.MoveTo(at, -5); // down a column, then along a row
        dc.LineTo(at, 705);
        dc.MoveTo(70, at * 9);
        dc.LineTo(-6, at * 9);
    }
};

TEST(RepaintOverMemory, LongLinesDrawnOnceAreClearedByThePaintAfter) {
    Crossed w;
    ASSERT_TRUE(w.Create("Crossed", "", CRect(0, 0, 64, 700), nullptr, 1));
    for (w.paint = 0; w.paint < 8; ++w.paint) {
        w.Invalidate();
        w.UpdateWindow();
        Canvas fresh(64, 700);
        fresh.dc.FillSolidRect(CRect(0, 0, 64, 700), Paper);
        w.OnPaint(fresh.dc);
        ASSERT_TRUE(ShowsWhat(w, fresh)) << "paint " << w.paint;
    }
}

} // namespace
