#pragma once
// The drawing context all graph painting goes through: it can scale coordinates from screen
// pixels to a device of another resolution, and tells whether that device has few colours.

#include <string>

#include "platform/DC.h"

class CGraphDC : public CDC {
public:
    CGraphDC() = default;

    // Reads the screen's and the target's resolutions: both factors come out at least 1.
    void ComputeScaleFactors(const CDC& targetDC);
    void ComputeScaleFactors() { ComputeScaleFactors(*this); }

    // The font as printing draws it: one unit smaller, then scaled; the font itself on screen.
    CFont PrintFont(const CFont& font) const;

    CPoint ScalePoint(CPoint p);
    CRect ScaleRect(const CRect& r);
    int ScaleX(int x);
    int ScaleY(int y);

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(CPoint p) { return LineTo(p.x, p.y); }
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    BOOL Ellipse(int l, int t, int r, int b);
    BOOL Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
    BOOL Polygon(const CPoint* points, int count);
    void FillRect(const CRect& r, const CBrush& brush);
    void DrawFocusRect(const CRect& r);
    void FillSolidRect(const CRect& r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
    void RefillSolidRects(std::vector<CFillPart> parts);
    // With DT_CALCRECT the caller's rectangle is scaled in place and comes back in device units.
    int DrawText(const std::string& text, CRect* r, UINT format);

    bool scaleKnown = false;
    bool fewColours = false;
    bool scaling = false;
    float horizontalScale = 1.0f;
    float verticalScale = 1.0f;

private:
    void EnsureScale();
};
