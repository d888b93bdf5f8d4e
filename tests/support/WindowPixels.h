#pragma once
// Every pixel of a window's surface, row by row.

#include <memory>
#include <vector>

#include "platform/Wnd.h"

inline std::vector<COLORREF> WindowPixels(CWnd& window) {
    std::unique_ptr<CDC> dc = window.GetDC();
    const CRect r = window.GetClientRect();
    std::vector<COLORREF> pixels;
    pixels.reserve(std::size_t(r.Width()) * std::size_t(r.Height()));
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            pixels.push_back(dc->GetPixel(x, y));
    return pixels;
}
