#include "platform/SurfaceMemory.h"

#include <algorithm>

namespace {

// Bits from..to (0..7, inclusive) of each byte: columns of a tile, in all its rows.
std::uint64_t Columns(int from, int to) {
    return ((0xFFu >> (7 - (to - from))) << from) * 0x0101010101010101u;
}

// Bytes from..to (0..7, inclusive): rows of a tile.
std::uint64_t Rows(int from, int to) {
    return (~0ull >> (8 * (7 - (to - from)))) << (8 * from);
}

} // namespace

void SurfaceMemory::SetSurface(QImage* picture) {
    surface = picture;
    valid = anyStale = false;
}

void SurfaceMemory::Remember(const CRect& r, QRgb colour) {
    valid = surface && !r.IsRectEmpty() && r.left >= 0 && r.top >= 0 &&
            r.right <= surface->width() && r.bottom <= surface->height();
    anyStale = false;
    if (!valid)
        return;
    rect = r;
    fill = colour | 0xFF000000u;
    tilesDown = (r.Height() + 7) / 8;
    // Assigning keeps the storage: a repaint of the same size allocates nothing.
    drawn.assign(std::size_t(tilesDown) * std::size_t((r.Width() + 7) / 8), 0);
    stale.assign(drawn.size(), 0);
    drawnLines.assign((drawn.size() + 511) / 512, 0);
    staleLines.assign(drawnLines.size(), 0);
}

void SurfaceMemory::FillAgain() {
    if (!valid)
        return;
    if (!anyStale) { // after a settled paint nothing is stale: the marks change places
        drawn.swap(stale);
        drawnLines.swap(staleLines);
    } else {
        for (std::size_t i = 0; i < drawn.size(); ++i)
            stale[i] |= drawn[i], drawn[i] = 0;
        for (std::size_t i = 0; i < drawnLines.size(); ++i)
            staleLines[i] |= drawnLines[i], drawnLines[i] = 0;
    }
    anyStale = true;
}

template <class F> void SurfaceMemory::Tiles(int c0, int c1, int r0, int r1, F f) {
    for (int tx = c0 >> 3; tx <= c1 >> 3; ++tx) {
        const std::uint64_t columns =
            Columns(tx == c0 >> 3 ? c0 & 7 : 0, tx == c1 >> 3 ? c1 & 7 : 7);
        const std::size_t column = std::size_t(tx) * std::size_t(tilesDown);
        for (int ty = r0 >> 3; ty <= r1 >> 3; ++ty)
            f(column + std::size_t(ty),
              columns & Rows(ty == r0 >> 3 ? r0 & 7 : 0, ty == r1 >> 3 ? r1 & 7 : 7));
    }
}

void SurfaceMemory::Mark(int x0, int x1, int y) {
    const std::pair<int, int> run(x0, x1);
    MarkRuns(y, &run, 1);
}

void SurfaceMemory::MarkColumn(int x, int y0, int y1) {
    const std::pair<int, int> run(y0, y1);
    MarkColumnRuns(x, &run, 1);
}

void SurfaceMemory::MarkRuns(int y, const std::pair<int, int>* runs, std::size_t count) {
    if (!valid || y < rect.top || y >= rect.bottom)
        return;
    const int row = y - rect.top, shift = 8 * (row & 7);
    std::uint64_t* const p = &drawn[std::size_t(row >> 3)];
    int tile = -1;
    std::uint64_t gathered = 0;
    auto flush = [&] {
        if (tile < 0)
            return;
        const std::size_t at = std::size_t(tile) * std::size_t(tilesDown);
        p[at] |= gathered << shift;
        Touch(std::size_t(row >> 3) + at);
    };
    for (std::size_t k = 0; k < count; ++k) {
        const int c0 = std::max(runs[k].first, rect.left) - rect.left;
        const int c1 = std::min(runs[k].second, rect.right - 1) - rect.left;
        for (int tx = c0 >> 3; c0 <= c1 && tx <= c1 >> 3; ++tx) {
            if (tx != tile) {
                flush();
                tile = tx, gathered = 0;
            }
            const int from = tx == c0 >> 3 ? c0 & 7 : 0, to = tx == c1 >> 3 ? c1 & 7 : 7;
            gathered |= (0xFFu >> (7 - (to - from))) << from;
        }
    }
    flush();
}

void SurfaceMemory::MarkColumnRuns(int x, const std::pair<int, int>* runs, std::size_t count) {
    if (!valid || x < rect.left || x >= rect.right)
        return;
    const int column = x - rect.left;
    const std::size_t first = std::size_t(column >> 3) * std::size_t(tilesDown);
    const std::uint64_t bit = 0x0101010101010101u << (column & 7);
    int tile = -1;
    std::uint64_t gathered = 0;
    auto flush = [&] {
        if (tile < 0)
            return;
        drawn[first + std::size_t(tile)] |= gathered;
        Touch(first + std::size_t(tile));
    };
    for (std::size_t k = 0; k < count; ++k) {
        const int y0 = std::max(runs[k].first, rect.top) - rect.top;
        const int y1 = std::min(runs[k].second, rect.bottom - 1) - rect.top;
        for (int ty = y0 >> 3; y0 <= y1 && ty <= y1 >> 3; ++ty) {
            if (ty != tile) {
                flush();
                tile = ty, gathered = 0;
            }
            gathered |= bit & Rows(ty == y0 >> 3 ? y0 & 7 : 0, ty == y1 >> 3 ? y1 & 7 : 7);
        }
    }
    flush();
}

bool SurfaceMemory::Cut(std::int64_t& l, std::int64_t& t, std::int64_t& r, std::int64_t& b) const {
    if (!valid)
        return false;
    l = std::max<std::int64_t>(l, rect.left), r = std::min<std::int64_t>(r, rect.right);
    t = std::max<std::int64_t>(t, rect.top), b = std::min<std::int64_t>(b, rect.bottom);
    return l < r && t < b;
}

void SurfaceMemory::MarkRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    if (!Cut(l, t, r, b))
        return;
    Tiles(int(l) - rect.left, int(r) - 1 - rect.left, int(t) - rect.top, int(b) - 1 - rect.top,
          [&](std::size_t w, std::uint64_t mask) {
              drawn[w] |= mask;
              Touch(w);
          });
}

void SurfaceMemory::ClearStale(std::uint64_t bits, std::size_t word) {
    if (!bits)
        return;
    uchar* const first = surface->bits(); // the surface is this window's own: no copy is made
    const qsizetype stride = surface->bytesPerLine();
    const int left = rect.left + int(word / std::size_t(tilesDown)) * 8;
    const int top = rect.top + int(word % std::size_t(tilesDown)) * 8;
    while (bits) {
        const int bit = __builtin_ctzll(bits);
        reinterpret_cast<QRgb*>(first + (top + (bit >> 3)) * stride)[left + (bit & 7)] = fill;
        bits &= bits - 1;
    }
}

void SurfaceMemory::Uncover(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    if (!Cut(l, t, r, b))
        return;
    Tiles(int(l) - rect.left, int(r) - 1 - rect.left, int(t) - rect.top, int(b) - 1 - rect.top,
          [&](std::size_t w, std::uint64_t mask) {
              if (anyStale) {
                  ClearStale(stale[w] & ~drawn[w] & mask, w);
                  stale[w] &= ~mask;
              }
              drawn[w] |= mask;
              Touch(w);
          });
}

void SurfaceMemory::Settle() {
    if (!valid || !anyStale)
        return;
    for (std::size_t k = 0; k < staleLines.size(); ++k) {
        for (std::uint64_t lines = staleLines[k]; lines; lines &= lines - 1) {
            const std::size_t first = (k * 64 + std::size_t(__builtin_ctzll(lines))) * 8;
            for (std::size_t w = first; w < std::min(first + 8, stale.size()); ++w) {
                if (!stale[w])
                    continue;
                if (const std::uint64_t bits = stale[w] & ~drawn[w])
                    ClearStale(bits, w);
                stale[w] = 0;
            }
        }
        staleLines[k] = 0;
    }
    anyStale = false;
}

long long SurfaceMemory::Pending() const {
    long long n = 0;
    if (valid && anyStale)
        for (std::size_t i = 0; i < stale.size(); ++i)
            n += __builtin_popcountll(stale[i] & ~drawn[i]);
    return n;
}
