#include "draw/GraphDC.h"

#include <cmath>
#include <vector>

namespace {

float Factor(int screen, int target) {
    float f = screen > target ? float(screen) / float(target) : float(target) / float(screen);
    // A device that reports no resolution would give 0, infinity or NaN.
    return f >= 1e-10f && std::isfinite(f) ? f : 1.0f;
}

// Truncates toward zero, saturating at the ends of the integer range.
int Truncate(float v) {
    if (!(v > -2147483648.0f))
        return std::isnan(v) ? 0 : INT32_MIN;
    if (v >= 2147483648.0f)
        return INT32_MAX;
    return int(v);
}

} // namespace

void CGraphDC::ComputeScaleFactors(const CDC& targetDC) {
    const DeviceCaps screen = ScreenDeviceCaps();
    horizontalScale = Factor(screen.logPixelsX, targetDC.GetDeviceCaps(LOGPIXELSX));
    verticalScale = Factor(screen.logPixelsY, targetDC.GetDeviceCaps(LOGPIXELSY));
    const int colours = targetDC.GetDeviceCaps(NUMCOLORS);
    fewColours = colours >= 0 && colours <= 255;
    scaleKnown = true;
}

void CGraphDC::EnsureScale() {
    if (!scaleKnown)
        ComputeScaleFactors();
}

CFont CGraphDC::PrintFont(const CFont& font) const {
    if (!scaling)
        return font;
    LOGFONTA lf = font.LogFont();
    lf.lfHeight = Truncate(float(std::int64_t(lf.lfHeight) - 1) * verticalScale);
    lf.lfWidth = Truncate(float(lf.lfWidth) * horizontalScale);
    CFont scaled;
    scaled.CreateFontIndirectA(&lf);
    return scaled;
}

int CGraphDC::ScaleX(int x) {
    EnsureScale();
    return Truncate(float(x) * horizontalScale);
}

int CGraphDC::ScaleY(int y) {
    EnsureScale();
    return Truncate(float(y) * verticalScale);
}

CPoint CGraphDC::ScalePoint(CPoint p) {
    return CPoint(ScaleX(p.x), ScaleY(p.y));
}

CRect CGraphDC::ScaleRect(const CRect& r) {
    return CRect(ScaleX(r.left), ScaleY(r.top), ScaleX(r.right), ScaleY(r.bottom));
}

CPoint CGraphDC::MoveTo(int x, int y) {
    CPoint p = scaling ? ScalePoint(CPoint(x, y)) : CPoint(x, y);
    return CDC::MoveTo(p);
}

BOOL CGraphDC::LineTo(int x, int y) {
    CPoint p = scaling ? ScalePoint(CPoint(x, y)) : CPoint(x, y);
    return CDC::LineTo(p);
}

BOOL CGraphDC::Rectangle(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    return CDC::Rectangle(scaling ? ScaleRect(box) : box);
}

BOOL CGraphDC::Ellipse(int l, int t, int r, int b) {
    CRect box(l, t, r, b);
    return CDC::Ellipse(scaling ? ScaleRect(box) : box);
}

BOOL CGraphDC::Polygon(const CPoint* points, int count) {
    if (!scaling || !points || count <= 0)
        return CDC::Polygon(points, count);
    std::vector<CPoint> scaled(points, points + count);
    for (CPoint& p : scaled)
        p = ScalePoint(p);
    return CDC::Polygon(scaled.data(), count);
}

void CGraphDC::FillRect(const CRect& r, const CBrush& brush) {
    CDC::FillRect(scaling ? ScaleRect(r) : r, brush);
}

void CGraphDC::DrawFocusRect(const CRect& r) {
    CDC::DrawFocusRect(scaling ? ScaleRect(r) : r);
}

void CGraphDC::FillSolidRect(const CRect& r, COLORREF c) {
    CDC::FillSolidRect(scaling ? ScaleRect(r) : r, c);
}

void CGraphDC::RefillSolidRects(std::vector<CFillPart> parts) {
    if (scaling)
        for (CFillPart& part : parts)
            part.rect = ScaleRect(part.rect);
    CDC::RefillSolidRects(parts);
}

void CGraphDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    if (scaling) {
        CPoint p = ScalePoint(CPoint(x, y));
        CDC::FillSolidRect(p.x, p.y, ScaleX(cx), ScaleY(cy), c);
    } else {
        CDC::FillSolidRect(x, y, cx, cy, c);
    }
}

int CGraphDC::DrawText(const std::string& text, CRect* r, UINT format) {
    if (!scaling || !r)
        return CDC::DrawText(text, r, format);
    if (format & DT_CALCRECT) {
        *r = ScaleRect(*r);
        return CDC::DrawText(text, r, format);
    }
    CRect scaled = ScaleRect(*r);
    return CDC::DrawText(text, &scaled, format);
}
