#include "platform/SurfaceMemory.h"

#include <algorithm>

void SurfaceMemory::Remember(const CRect& r, QRgb colour) {
    valid = !r.IsRectEmpty() && r.left >= 0;
    if (!valid)
        return;
    rect = r;
    fill = colour;
    firstCell = r.left >> CellShift;
    cells = ((r.right - 1) >> CellShift) - firstCell + 1;
    words = (cells + 63) >> 6;
    // Assigning keeps the storage: a repaint of the same size allocates nothing.
    bits.assign(std::size_t(words) * std::size_t(r.Height()), 0);
}

void SurfaceMemory::MarkCells(int y, int x0, int x1) {
    x0 = std::max<int>(x0, rect.left);
    x1 = std::min<int>(x1, rect.right - 1);
    if (x0 > x1)
        return;
    std::uint64_t* row = &bits[std::size_t(y - rect.top) * std::size_t(words)];
    const int c0 = (x0 >> CellShift) - firstCell, c1 = (x1 >> CellShift) - firstCell;
    for (int c = c0; c <= c1;) {
        const int w = c >> 6, from = c & 63, to = std::min(63, from + (c1 - c));
        const std::uint64_t ones = to - from == 63 ? ~0ull : ((1ull << (to - from + 1)) - 1);
        row[w] |= ones << from;
        c += to - from + 1;
    }
}

void SurfaceMemory::MarkColumn(int x, int y0, int y1) {
    if (!valid || x < rect.left || x >= rect.right)
        return;
    y0 = std::max<int>(y0, rect.top);
    y1 = std::min<int>(y1, rect.bottom - 1);
    const int c = (x >> CellShift) - firstCell;
    const std::uint64_t bit = 1ull << (c & 63);
    std::uint64_t* p = &bits[std::size_t(y0 - rect.top) * std::size_t(words) + std::size_t(c >> 6)];
    for (int y = y0; y <= y1; ++y, p += words)
        *p |= bit;
}

void SurfaceMemory::MarkRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    if (!valid)
        return;
    const int y0 = int(std::max<std::int64_t>(t, rect.top));
    const int y1 = int(std::min<std::int64_t>(b, rect.bottom));
    const std::int64_t x0 = std::max<std::int64_t>(l, rect.left);
    const std::int64_t x1 = std::min<std::int64_t>(r, rect.right) - 1;
    if (x0 > x1)
        return;
    for (int y = y0; y < y1; ++y)
        MarkCells(y, int(x0), int(x1));
}
