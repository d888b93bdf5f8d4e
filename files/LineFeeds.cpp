#include "files/LineFeeds.h"

#include <algorithm>

std::uint64_t CountLineFeeds(const char* p, std::size_t n) {
    std::uint64_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Each match is -1 in its byte lane; 255 rounds at most before the lanes are summed.
    const __m128i lf = _mm_set1_epi8('\n');
    while (n - i >= 16) {
        __m128i lanes = _mm_setzero_si128();
        for (const std::size_t stop = i + std::min<std::size_t>(255, (n - i) / 16) * 16; i < stop;
             i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, lf));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += std::uint64_t(_mm_cvtsi128_si64(sums)) +
                 std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#else
    for (; n - i >= 8; i += 8)
        count += ((BytesEqual(Load8(p + i), '\n') >> 7) * 0x0101010101010101u) >> 56;
#endif
    for (; i < n; ++i)
        count += p[i] == '\n';
    return count;
}
