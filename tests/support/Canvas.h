#pragma once
// A memory drawing context on a white bitmap, standing for a device of chosen capabilities.

#include "draw/GraphDC.h"

struct Canvas {
    CGraphDC dc;
    CBitmap bitmap;
    int width, height;

    explicit Canvas(int w = 40, int h = 40, DeviceCaps caps = DeviceCaps()) : width(w), height(h) {
        dc.CreateCompatibleDC(nullptr);
        dc.SetDeviceCaps(caps);
        bitmap.CreateCompatibleBitmap(&dc, w, h);
        dc.SelectObject(bitmap);
        dc.CDC::FillSolidRect(CRect(0, 0, w, h), RGB(255, 255, 255));
    }
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
    int Count(COLORREF c, CRect area) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += At(x, y) == c;
        return n;
    }
    int Count(COLORREF c) const { return Count(c, CRect(0, 0, width, height)); }
};

inline DeviceCaps Caps(int dpiX, int dpiY, int colours = -1) {
    DeviceCaps caps;
    caps.logPixelsX = dpiX;
    caps.logPixelsY = dpiY;
    caps.numColors = colours;
    return caps;
}
