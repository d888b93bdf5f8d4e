#include "platform/SurfaceMemory.h"

#include <algorithm>

namespace {

// Bits from..to (inclusive) of one word.
std::uint64_t Span(int from, int to) {
    return (to - from == 63 ? ~0ull : ((1ull << (to - from + 1)) - 1)) << from;
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
    blocks = (r.Height() + 63) / 64;
    // Assigning keeps the storage: a repaint of the same size allocates nothing.
    drawn.assign(std::size_t(blocks) * std::size_t(r.Width()), 0);
    stale.assign(drawn.size(), 0);
}

void SurfaceMemory::FillAgain() {
    if (!valid)
        return;
    if (!anyStale) // after a settled paint nothing is stale: the marks change places
        drawn.swap(stale);
    else
        for (std::size_t i = 0; i < drawn.size(); ++i)
            stale[i] |= drawn[i], drawn[i] = 0;
    anyStale = true;
}

template <class F> void SurfaceMemory::Blocks(int i, int t, int b, F f) {
    const std::size_t column = std::size_t(i) * std::size_t(blocks);
    for (int k = t >> 6; k <= (b - 1) >> 6; ++k)
        f(column + std::size_t(k),
          Span(k == t >> 6 ? t & 63 : 0, k == (b - 1) >> 6 ? (b - 1) & 63 : 63), k);
}

void SurfaceMemory::Mark(int x0, int x1, int y) {
    if (!valid || y < rect.top || y >= rect.bottom)
        return;
    const int i0 = std::max(x0, rect.left) - rect.left;
    const int i1 = std::min(x1, rect.right - 1) - rect.left;
    const int row = y - rect.top;
    const std::uint64_t bit = 1ull << (row & 63);
    std::uint64_t* p = &drawn[std::size_t(row >> 6)];
    for (int i = i0; i <= i1; ++i)
        p[std::size_t(i) * std::size_t(blocks)] |= bit;
}

void SurfaceMemory::MarkColumn(int x, int y0, int y1) {
    if (!valid || x < rect.left || x >= rect.right)
        return;
    y0 = std::max(y0, rect.top);
    y1 = std::min(y1, rect.bottom - 1);
    if (y0 > y1)
        return;
    Blocks(x - rect.left, y0 - rect.top, y1 + 1 - rect.top,
           [&](std::size_t w, std::uint64_t mask, int) { drawn[w] |= mask; });
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
    for (int i = int(l) - rect.left; i < int(r) - rect.left; ++i)
        Blocks(i, int(t) - rect.top, int(b) - rect.top,
               [&](std::size_t w, std::uint64_t mask, int) { drawn[w] |= mask; });
}

void SurfaceMemory::ClearStale(std::uint64_t bits, int i, int block) {
    if (!bits)
        return;
    uchar* const first = surface->bits(); // the surface is this window's own: no copy is made
    const qsizetype stride = surface->bytesPerLine();
    const int x = rect.left + i;
    while (bits) {
        const int y = rect.top + block * 64 + __builtin_ctzll(bits);
        reinterpret_cast<QRgb*>(first + y * stride)[x] = fill;
        bits &= bits - 1;
    }
}

void SurfaceMemory::Uncover(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    if (!Cut(l, t, r, b))
        return;
    for (int i = int(l) - rect.left; i < int(r) - rect.left; ++i)
        Blocks(i, int(t) - rect.top, int(b) - rect.top,
               [&](std::size_t w, std::uint64_t mask, int block) {
                   if (anyStale) {
                       ClearStale(stale[w] & ~drawn[w] & mask, i, block);
                       stale[w] &= ~mask;
                   }
                   drawn[w] |= mask;
               });
}

void SurfaceMemory::Settle() {
    if (!valid || !anyStale)
        return;
    for (std::size_t w = 0; w < stale.size(); ++w) {
        if (!stale[w])
            continue;
        if (const std::uint64_t bits = stale[w] & ~drawn[w])
            ClearStale(bits, int(w / std::size_t(blocks)), int(w % std::size_t(blocks)));
        stale[w] = 0;
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
