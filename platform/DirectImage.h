#pragma once
// Platform-internal: pixels written straight into the picture under the painter, where that
// gives exactly what Qt would (a 32-bit picture, the copy raster operation, a rectangular
// clip), without Qt's per-call costs. Everything else goes through Qt.

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <emmintrin.h>

#include "platform/DC.h"
#include "platform/DCTarget.h"

class DirectImage {
public:
    // Null when the context draws on something else or with another raster operation.
    static DirectImage For(DCTarget& target, int rop) {
        DirectImage d;
        QImage* image = target.image;
        if (!image || rop != R2_COPYPEN || target.printer ||
            (image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32))
            return d;
        QRect bounds = image->rect();
        if (const std::optional<CRect>& clip = target.state.clip)
            bounds &= QRect(QPoint(std::clamp(clip->left, -1, image->width()),
                                   std::clamp(clip->top, -1, image->height())),
                            QPoint(std::clamp(clip->right, 0, image->width() + 1) - 1,
                                   std::clamp(clip->bottom, 0, image->height() + 1) - 1));
        d.bits = image->bits(); // the picture is not shared: no copy is made
        d.stride = image->bytesPerLine() / 4;
        d.bounds = bounds;
        d.memory = target.surfaceMemory.get();
        return d;
    }
    explicit operator bool() const { return bits != nullptr; }
    const QRect& Bounds() const { return bounds; }

    // Pixels x0..x1 of row y, all inside the bounds.
    void Fill(int x0, int x1, int y, QRgb c) const {
        MarkRow(x0, x1, y);
        Write(x0, x1, y, c);
    }
    // Pixels y0..y1 of column x, all inside the bounds.
    void Column(int x, int y0, int y1, QRgb c) const {
        MarkColumn(x, y0, y1);
        WriteColumn(x, y0, y1, c);
    }
    // Written without a look at what is there: each row of a column is a cache line of its
    // own, and after other work a read first waits for each in turn.
    void WriteColumn(int x, int y0, int y1, QRgb c) const {
        QRgb* p = Row(y0) + x;
        c |= 0xFF000000u;
        for (int n = y1 - y0 + 1; n > 0; --n, p += stride)
            *p = c;
    }
    // A rectangle cut to the bounds. Wide ones are written past the caches: a whole window of
    // pixels would only push out what the painting needs next, and reading each line before
    // writing it doubles the traffic.
    void FillRect(const CRect& r, QRgb c) const {
        const int l = std::max<int>(r.left, bounds.left()), t = std::max<int>(r.top, bounds.top());
        const int right = std::min<int>(r.right, bounds.right() + 1);
        const int bottom = std::min<int>(r.bottom, bounds.bottom() + 1);
        if (l >= right || t >= bottom)
            return;
        if (memory)
            memory->MarkRect(l, t, right, bottom);
        c |= 0xFF000000u;
        if (right - l < 256) {
            for (int y = t; y < bottom; ++y)
                std::fill_n(Row(y) + l, right - l, c);
            return;
        }
        const __m128i four = _mm_set1_epi32(int(c));
        for (int y = t; y < bottom; ++y) {
            QRgb* p = Row(y) + l;
            QRgb* const end = Row(y) + right;
            while (p < end && (reinterpret_cast<std::uintptr_t>(p) & 15))
                *p++ = c;
            for (; p + 4 <= end; p += 4)
                _mm_stream_si128(reinterpret_cast<__m128i*>(p), four);
            while (p < end)
                *p++ = c;
        }
        _mm_sfence();
    }

    // Marks what the unmarked writes below go over wholly.
    void MarkRow(int x0, int x1, int y) const {
        if (memory)
            memory->Mark(x0, x1, y);
    }
    void MarkColumn(int x, int y0, int y1) const {
        if (memory)
            memory->MarkColumn(x, y0, y1);
    }
    // Pixel `from` + k of row (or column) `at` for each bit k of `bits`.
    void MarkBits(bool row, int at, int from, std::uint64_t bits) const {
        if (memory)
            row ? memory->MarkRowBits(at, from, bits) : memory->MarkColumnBits(at, from, bits);
    }
    // Pixel `from` + k of row (or column) `at` for each bit k of `bits`, all inside the
    // bounds, written without being marked: a row's a run at a time.
    void WriteBits(bool row, int at, int from, std::uint64_t bits, QRgb c) const {
        c |= 0xFF000000u;
        if (!row) {
            QRgb* const p = Row(from) + at;
            for (; bits; bits &= bits - 1)
                p[std::ptrdiff_t(__builtin_ctzll(bits)) * stride] = c;
            return;
        }
        QRgb* const p = Row(at) + from;
        while (bits) {
            const int k = __builtin_ctzll(bits);
            const std::uint64_t rest = ~(bits >> k);
            const int length = rest ? __builtin_ctzll(rest) : 64 - k;
            std::fill_n(p + k, length, c);
            bits = length + k >= 64 ? 0 : bits & (~std::uint64_t(0) << (k + length));
        }
    }
    // Pixels x0..x1 of row y, all inside the bounds, written without being marked.
    void Write(int x0, int x1, int y, QRgb c) const {
        c |= 0xFF000000u;
        QRgb* p = Row(y) + x0;
        if (x0 == x1) {
            if (*p != c)
                *p = c;
            return;
        }
        std::fill_n(p, x1 - x0 + 1, c);
    }

private:
    QRgb* Row(int y) const { return reinterpret_cast<QRgb*>(bits) + std::ptrdiff_t(y) * stride; }
    uchar* bits = nullptr;
    std::ptrdiff_t stride = 0;
    QRect bounds;
    SurfaceMemory* memory = nullptr;
};
