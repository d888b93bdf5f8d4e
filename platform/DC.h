#pragma once
// The device context: drawing with the framework's pixel rules on an image or a printer.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/GdiObjects.h"
#include "platform/Types.h"

class QFont;

constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_COPYPEN = 13;
constexpr int R2_NOTXORPEN = 10;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCPAINT = 0x00EE0086;

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int NUMCOLORS = 24;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
COLORREF GetSysColor(int index);

// What a device reports about itself.
struct DeviceCaps {
    int logPixelsX = 96;
    int logPixelsY = 96;
    int numColors = -1; // -1: more than 256 colours
    int horzRes = 0;
    int vertRes = 0;
    int bitsPixel = 32;
};

// The screen's capabilities, as the main window's device context reports them.
DeviceCaps ScreenDeviceCaps();

struct DCTarget;

// One rectangle of a refill and its colour.
struct CFillPart {
    CRect rect;
    COLORREF colour;
};

// A text's advance and its font's ascent and descent, in device pixels.
struct TextMeasure {
    int width = 0;
    int ascent = 0;
    int descent = 0;
};

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context with the screen's capabilities; draws into the selected bitmap.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    bool IsValid() const;
    // Draws on a picture kept in memory (a window's surface or a selected bitmap), which the
    // screen shows only once painting is done.
    bool DrawsOnPicture() const;
    // Shares another context's device and state, as two handles of one device context do.
    void Attach(const CDC& other);
    void Detach();

    // Lets a memory context stand for another device (a printer, a monochrome device).
    void SetDeviceCaps(const DeviceCaps& caps);
    int GetDeviceCaps(int index) const;

    CPen SelectObject(const CPen& pen);
    CBrush SelectObject(const CBrush& brush);
    CFont SelectObject(const CFont& font);
    CBitmap SelectObject(const CBitmap& bitmap);
    CPen GetCurrentPen() const;
    CBrush GetCurrentBrush() const;
    CFont GetCurrentFont() const;
    CBitmap GetCurrentBitmap() const;

    int SetROP2(int rop);
    int GetROP2() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const;
    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const;

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const;
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    BOOL Ellipse(int l, int t, int r, int b);
    BOOL Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
    BOOL Polygon(const CPoint* points, int count);
    BOOL Polyline(const CPoint* points, int count);
    void FillRect(const CRect& r, const CBrush& brush);
    void FillSolidRect(const CRect& r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
    // FillSolidRect for a rectangle filled on every paint: on a window's surface only what was
    // drawn over it since the last such fill is written again.
    void RefillSolidRect(const CRect& r, COLORREF c);
    // The same for several rectangles filled in turn, remembered together.
    void RefillSolidRects(const std::vector<CFillPart>& parts);
    void DrawFocusRect(const CRect& r);
    COLORREF SetPixel(int x, int y, COLORREF c);
    COLORREF GetPixel(int x, int y) const;

    BOOL TextOut(int x, int y, const std::string& text);
    // Returns the height of the text; with DT_CALCRECT measures into `r` instead of drawing.
    int DrawText(const std::string& text, CRect* r, UINT format);
    CSize GetTextExtent(const std::string& text) const;
    struct TextMetrics {
        int height, ascent, descent, internalLeading, aveCharWidth;
    };
    TextMetrics GetTextMetrics() const;

    int IntersectClipRect(const CRect& r);
    int SelectClipRect(const CRect* r); // null removes the clip
    CRect GetClipBox() const;

    int SaveDC();
    BOOL RestoreDC(int saved); // negative: relative to the newest

    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                    DWORD rop);

    int StartDoc(const std::string& docName);
    int StartPage();
    int EndPage();
    int EndDoc();

    // Platform-internal: a context drawing straight onto a target the platform made.
    explicit CDC(std::shared_ptr<DCTarget> target);
    DCTarget* Target() const { return target.get(); }
    struct State;

private:
    State& S() const;
    // The selected font's measure of `text`, kept for the next time.
    TextMeasure Measured(std::string_view text) const;
    const QFont& QtFont() const;
    LOGFONTA LogFontSelected() const;
    void Flush() const;
    std::shared_ptr<DCTarget> target;
};

// Selects an object for a scope and puts the previous one back, also when an exception passes.
template <class T> class CSelectGuard {
public:
    CSelectGuard(CDC& d, const T& obj) : dc(d), previous(d.SelectObject(obj)) {}
    ~CSelectGuard() { dc.SelectObject(previous); }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;

private:
    CDC& dc;
    T previous;
};
