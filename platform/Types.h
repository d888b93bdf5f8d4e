#pragma once
// Value types of the windowing framework the chart code was drawn for.

#include <cstdint>

#include "platform/Saturate.h"

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using COLORREF = std::uint32_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(BYTE(r)) | (COLORREF(BYTE(g)) << 8) | (COLORREF(BYTE(b)) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return BYTE(c);
}
constexpr BYTE GetGValue(COLORREF c) {
    return BYTE(c >> 8);
}
constexpr BYTE GetBValue(COLORREF c) {
    return BYTE(c >> 16);
}

struct CSize {
    LONG cx = 0;
    LONG cy = 0;
    constexpr CSize() = default;
    constexpr CSize(LONG x, LONG y) : cx(x), cy(y) {}
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

struct CPoint {
    LONG x = 0;
    LONG y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(LONG px, LONG py) : x(px), y(py) {}
    // Far coordinates saturate instead of wrapping around.
    constexpr void Offset(LONG dx, LONG dy) {
        x = SatSum(x, dx);
        y = SatSum(y, dy);
    }
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
    friend constexpr CPoint operator+(CPoint a, CSize s) {
        return {SatSum(a.x, s.cx), SatSum(a.y, s.cy)};
    }
    friend constexpr CPoint operator-(CPoint a, CSize s) {
        return {SatSum(a.x, -std::int64_t(s.cx)), SatSum(a.y, -std::int64_t(s.cy))};
    }
    friend constexpr CSize operator-(CPoint a, CPoint b) {
        return {SatSum(a.x, -std::int64_t(b.x)), SatSum(a.y, -std::int64_t(b.y))};
    }
};

// Right and bottom edges lie outside the rectangle.
struct CRect {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(LONG l, LONG t, LONG r, LONG b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint topLeft, CPoint bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {}

    // Saturated: a rectangle reaching far outside the window may span more than an int.
    constexpr LONG Width() const { return SatSum(right, -std::int64_t(left)); }
    constexpr LONG Height() const { return SatSum(bottom, -std::int64_t(top)); }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const {
        return {LONG((std::int64_t(left) + right) / 2), LONG((std::int64_t(top) + bottom) / 2)};
    }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr bool PtInRect(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr void SetRect(LONG l, LONG t, LONG r, LONG b) { *this = CRect(l, t, r, b); }
    constexpr void SetRectEmpty() { *this = CRect(); }
    constexpr void NormalizeRect() {
        if (left > right) {
            LONG t = left;
            left = right;
            right = t;
        }
        if (top > bottom) {
            LONG t = top;
            top = bottom;
            bottom = t;
        }
    }
    constexpr void InflateRect(LONG dx, LONG dy) {
        left = SatSum(left, -std::int64_t(dx));
        top = SatSum(top, -std::int64_t(dy));
        right = SatSum(right, dx);
        bottom = SatSum(bottom, dy);
    }
    constexpr void DeflateRect(LONG dx, LONG dy) {
        InflateRect(LONG(-std::max<std::int64_t>(dx, -INT32_MAX)),
                    LONG(-std::max<std::int64_t>(dy, -INT32_MAX)));
    }
    constexpr void OffsetRect(LONG dx, LONG dy) {
        left = SatSum(left, dx);
        right = SatSum(right, dx);
        top = SatSum(top, dy);
        bottom = SatSum(bottom, dy);
    }
    // Intersection; an empty result is the null rectangle, as the framework gives it.
    constexpr bool IntersectRect(const CRect& a, const CRect& b) {
        CRect r(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
        *this = r.IsRectEmpty() ? CRect() : r;
        return !IsRectEmpty();
    }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};

// The framework's 60-byte font description, field for field.
struct LOGFONTA {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};
static_assert(sizeof(LOGFONTA) == 60);

constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_LH_ANGLES = 16;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
