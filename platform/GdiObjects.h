#pragma once
// Pens, brushes and fonts: small descriptions that a device context selects.
// Like the framework's handles, copies describe the same object.

#include "platform/Types.h"

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;

constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL DeleteObject();
    bool IsNull() const { return !created; }

    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = RGB(0, 0, 0);

private:
    bool created = false;
};

class CBrush {
public:
    enum Kind { Solid, Hatched, Hollow, Pattern };
    CBrush() = default;
    explicit CBrush(COLORREF c) { CreateSolidBrush(c); }
    CBrush(int hatch, COLORREF c) { CreateHatchBrush(hatch, c); }
    BOOL CreateSolidBrush(COLORREF c);
    BOOL CreateHatchBrush(int hatch, COLORREF c);
    BOOL CreateHollowBrush();
    // An 8 x 8 pattern, first row first, most significant bit leftmost: set bits take
    // `colour`, clear ones the background colour.
    BOOL CreatePatternBrush(const BYTE bits[8], COLORREF colour);
    BOOL DeleteObject();
    bool IsNull() const { return !created; }

    Kind kind = Solid;
    int hatch = HS_HORIZONTAL;
    COLORREF colour = RGB(255, 255, 255);
    BYTE pattern[8] = {};

private:
    bool created = false;
};

class CFont {
public:
    CFont() = default;
    BOOL CreateFontA(int height, int width, int escapement, int orientation, int weight,
                     BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                     BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* faceName);
    BOOL CreateFontIndirectA(const LOGFONTA* lf);
    int GetLogFont(LOGFONTA* lf) const;
    BOOL DeleteObject();
    bool IsNull() const { return !created; }
    const LOGFONTA& LogFont() const { return logFont; }

private:
    LOGFONTA logFont{};
    bool created = false;
};

// The font a device context starts with: 16 units from top of cell to bottom.
LOGFONTA DefaultLogFont();
