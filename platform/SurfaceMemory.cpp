#include "platform/SurfaceMemory.h"

#include <algorithm>
#include <array>

namespace {

// Bits from..to (0..7, inclusive) of each byte: columns of a tile, in all its rows.
std::uint64_t Columns(int from, int to) {
    return ((0xFFu >> (7 - (to - from))) << from) * 0x0101010101010101u;
}

// Bytes from..to (0..7, inclusive): rows of a tile.
std::uint64_t Rows(int from, int to) {
    return (~0ull >> (8 * (7 - (to - from)))) << (8 * from);
}

// Bit k of a byte moved to bit 8k: a column's eight rows as they lie in a tile.
constexpr std::array<std::uint64_t, 256> SpreadTable() {
    std::array<std::uint64_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int k = 0; k < 8; ++k)
            if (b >> k & 1)
                t[std::size_t(b)] |= std::uint64_t(1) << (8 * k);
    return t;
}
constexpr std::array<std::uint64_t, 256> Spread = SpreadTable();

} // namespace

void SurfaceMemory::SetSurface(QImage* picture) {
    surface = picture;
    valid = anyStale = false;
}

void SurfaceMemory::Remember(const std::vector<Part>& filled) {
    CRect r = filled.empty() ? CRect() : filled.front().rect;
    for (const Part& p : filled)
        r = CRect(std::min(r.left, p.rect.left), std::min(r.top, p.rect.top),
                  std::max(r.right, p.rect.right), std::max(r.bottom, p.rect.bottom));
    valid = surface && !r.IsRectEmpty() && r.left >= 0 && r.top >= 0 &&
            r.right <= surface->width() && r.bottom <= surface->height();
    anyStale = false;
    if (!valid)
        return;
    rect = r;
    parts = filled; // keeps the storage, as the marks below do
    for (Part& p : parts)
        p.colour |= 0xFF000000u;
    tilesDown = (r.Height() + 7) / 8;
    // Assigning keeps the storage: a repaint of the same size allocates nothing. Whole cache
    // lines of marks, so that the end of a paint takes them eight words at a time.
    const std::size_t tiles = std::size_t(tilesDown) * std::size_t((r.Width() + 7) / 8);
    drawn.assign((tiles + 7) / 8 * 8, 0);
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
        // Already clear, but written once in order: a paint marks all over the window, and
        // whatever ran since the last one has pushed these marks out of the caches.
        std::fill(drawn.begin(), drawn.end(), 0);
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
        for (int ty = r0 >> 3; ty <= r1 >> 3; ++ty)
            f(Word(tx, ty), columns & Rows(ty == r0 >> 3 ? r0 & 7 : 0, ty == r1 >> 3 ? r1 & 7 : 7));
    }
}

void SurfaceMemory::Mark(int x0, int x1, int y) {
    if (!valid || y < rect.top || y >= rect.bottom)
        return;
    const int c0 = std::max(x0, rect.left) - rect.left;
    const int c1 = std::min(x1, rect.right - 1) - rect.left;
    const int row = y - rect.top;
    for (int tx = c0 >> 3; c0 <= c1 && tx <= c1 >> 3; ++tx) {
        const int from = tx == c0 >> 3 ? c0 & 7 : 0, to = tx == c1 >> 3 ? c1 & 7 : 7;
        Set(Word(tx, row >> 3), std::uint64_t((0xFFu >> (7 - (to - from))) << from)
                                    << (8 * (row & 7)));
    }
}

// A column's tiles lie side by side: the run is a few words in a row.
void SurfaceMemory::MarkColumn(int x, int y0, int y1) {
    if (!valid || x < rect.left || x >= rect.right)
        return;
    const int r0 = std::max(y0, rect.top) - rect.top;
    const int r1 = std::min(y1, rect.bottom - 1) - rect.top;
    if (r0 > r1)
        return;
    const std::uint64_t bit = 0x0101010101010101u << ((x - rect.left) & 7);
    const std::size_t first = Word((x - rect.left) >> 3, r0 >> 3);
    const std::size_t last = first + std::size_t((r1 >> 3) - (r0 >> 3));
    if (first == last) {
        Set(first, bit & Rows(r0 & 7, r1 & 7));
        return;
    }
    Set(first, bit & Rows(r0 & 7, 7));
    for (std::size_t w = first + 1; w < last; ++w)
        drawn[w] |= bit;
    for (std::size_t w = (first + 8) & ~std::size_t(7); w < last; w += 8)
        Touch(w); // the lines between the ends
    Set(last, bit & Rows(0, r1 & 7));
}

std::uint64_t SurfaceMemory::CutBits(int& at, int size, std::uint64_t bits) {
    if (at < 0) {
        if (at <= -64)
            return 0;
        bits >>= -at;
        at = 0;
    }
    const int room = size - at;
    if (room <= 0)
        return 0;
    return room < 64 ? bits & ((std::uint64_t(1) << room) - 1) : bits;
}

void SurfaceMemory::MarkRowBits(int y, int x, std::uint64_t bits) {
    if (!valid || y < rect.top || y >= rect.bottom)
        return;
    int c = x - rect.left;
    bits = CutBits(c, rect.Width(), bits);
    const int row = y - rect.top, shift = 8 * (row & 7);
    // Eight columns to a tile: a byte of the bits, moved to where the tiles start.
    const int skew = c & 7;
    std::size_t w = Word(c >> 3, row >> 3);
    if (const std::uint64_t first = (bits << skew) & 0xFF)
        Set(w, first << shift);
    for (bits >>= 8 - skew; bits; bits >>= 8)
        if (w += std::size_t(tilesDown), bits & 0xFF)
            Set(w, (bits & 0xFF) << shift);
}

void SurfaceMemory::MarkColumnBits(int x, int y, std::uint64_t bits) {
    if (!valid || x < rect.left || x >= rect.right)
        return;
    int r = y - rect.top;
    bits = CutBits(r, rect.Height(), bits);
    const int column = x - rect.left, skew = r & 7;
    // Eight rows to a tile, one after the other in the marks.
    std::size_t w = Word(column >> 3, r >> 3);
    if (const std::uint64_t first = (bits << skew) & 0xFF)
        Set(w, Spread[first] << (column & 7));
    for (bits >>= 8 - skew; bits; bits >>= 8)
        if (++w, bits & 0xFF)
            Set(w, Spread[bits & 0xFF] << (column & 7));
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
          [&](std::size_t w, std::uint64_t mask) { Set(w, mask); });
}

void SurfaceMemory::ClearStale(std::uint64_t bits, std::size_t word) {
    if (!bits)
        return;
    uchar* const first = surface->bits(); // the surface is this window's own: no copy is made
    const qsizetype stride = surface->bytesPerLine();
    const int left = rect.left + int(word / std::size_t(tilesDown)) * 8;
    const int top = rect.top + int(word % std::size_t(tilesDown)) * 8;
    for (auto p = parts.rbegin(); bits && p != parts.rend(); ++p) {
        const int c0 = std::max(p->rect.left - left, 0), c1 = std::min(p->rect.right - left, 8) - 1;
        const int r0 = std::max(p->rect.top - top, 0), r1 = std::min(p->rect.bottom - top, 8) - 1;
        if (c0 > c1 || r0 > r1)
            continue;
        std::uint64_t here = bits & Columns(c0, c1) & Rows(r0, r1);
        bits &= ~here;
        for (; here; here &= here - 1) {
            const int bit = __builtin_ctzll(here);
            reinterpret_cast<QRgb*>(first + (top + (bit >> 3)) * stride)[left + (bit & 7)] =
                p->colour;
        }
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
              Set(w, mask);
          });
}

void SurfaceMemory::Settle() {
    if (!valid || !anyStale)
        return;
    for (std::size_t k = 0; k < staleLines.size(); ++k) {
        for (std::uint64_t lines = staleLines[k]; lines; lines &= lines - 1) {
            const std::size_t first = (k * 64 + std::size_t(__builtin_ctzll(lines))) * 8;
            // A picture painted again leaves nothing here: one test for the line.
            std::uint64_t* const s = &stale[first];
            const std::uint64_t* const d = &drawn[first];
            std::uint64_t left = 0;
            for (int i = 0; i < 8; ++i)
                left |= s[i] & ~d[i];
            for (int i = 0; left && i < 8; ++i)
                ClearStale(s[i] & ~d[i], first + std::size_t(i));
            std::fill_n(s, 8, 0);
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
