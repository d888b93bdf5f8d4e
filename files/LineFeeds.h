#pragma once
// Finding line feeds many bytes at a time.

#include <cstddef>
#include <cstdint>

#include "files/DigitWords.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// One bit for each line feed among the 64 bytes at p, the first byte in bit 0.
inline std::uint64_t LineFeedBits(const char* p) {
    std::uint64_t bits = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        bits |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << (16 * i);
    }
#else
    for (int i = 0; i < 8; ++i) // each byte's high bit gathered into one byte
        bits |= (((BytesEqual(Load8(p + 8 * i), '\n') >> 7) * 0x0102040810204080u) >> 56)
                << (8 * i);
#endif
    return bits;
}

// How many line feeds there are among n bytes.
std::uint64_t CountLineFeeds(const char* p, std::size_t n);
