#pragma once
// Platform-internal: what a window surface still holds of a rectangle once filled with one
// colour. Every context on the surface marks the cells it writes over it, so the next fill of
// the same rectangle rewrites only those cells instead of the whole rectangle: most of a
// repaint's memory traffic in a large window.

#include <QRgb>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Types.h"

class SurfaceMemory {
public:
    // A cell is 16 pixels of one row: one cache line of a 32-bit picture.
    static constexpr int CellShift = 4;

    // The surface may have changed anywhere.
    void Forget() { valid = false; }
    bool Remembers(const CRect& r, QRgb colour) const {
        return valid && r == rect && colour == fill;
    }
    // `r` now holds only `colour`.
    void Remember(const CRect& r, QRgb colour);

    // Pixels x0..x1 of row y were written.
    void Mark(int x0, int x1, int y) {
        if (valid && y >= rect.top && y < rect.bottom)
            MarkCells(y, x0, x1);
    }
    // Pixels y0..y1 of column x were written.
    void MarkColumn(int x, int y0, int y1);
    // Anything within l..r-1, t..b-1 may have been written; far corners are fine.
    void MarkRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);

    // Calls f(x0, x1, y) for each run of written cells, pixels x0..x1 cut to the rectangle.
    template <class F> void ForEachRun(F f) const {
        for (int y = rect.top; y < rect.bottom; ++y) {
            const std::uint64_t* row = &bits[std::size_t(y - rect.top) * std::size_t(words)];
            int cell = 0;
            while (cell < cells) {
                const int w = cell >> 6;
                const std::uint64_t rest = row[w] >> (cell & 63);
                if (rest == 0) {
                    cell = (w + 1) << 6;
                    continue;
                }
                cell += __builtin_ctzll(rest);
                int end = cell;
                while (end < cells && (row[end >> 6] >> (end & 63)) & 1)
                    ++end;
                const int x0 = std::max<int>(rect.left, (firstCell + cell) << CellShift);
                const int x1 = std::min<int>(rect.right, (firstCell + end) << CellShift) - 1;
                f(x0, x1, y);
                cell = end;
            }
        }
    }

private:
    void MarkCells(int y, int x0, int x1);

    bool valid = false;
    CRect rect;
    QRgb fill = 0;
    int firstCell = 0; // cells are aligned to the picture's x = 0
    int cells = 0;
    int words = 0;
    std::vector<std::uint64_t> bits;
};
