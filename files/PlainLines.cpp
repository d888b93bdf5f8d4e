#include "files/PlainLines.h"

#include <bit>

#include "files/DigitWords.h"
#include "files/LineFeeds.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TARVELIN_LINE_VECTOR 1
#endif

namespace {

constexpr double Powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// At most 15 digits and 10^15 are exact doubles: one division rounds as the scanner does.
// The sign is a bit: a branch on it would be a coin toss for random data.
[[gnu::always_inline]] inline double Quotient(std::uint64_t digits, unsigned fraction,
                                              bool negative) {
    const double v = double(digits) / Powers[fraction];
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) | (std::uint64_t(negative) << 63));
}

// Up to 8 digits before the point and 8 after, eight bytes at a time.
[[gnu::always_inline]] inline bool PlainLineByWords(const char* s, std::uint64_t n, double& value) {
    static constexpr std::uint64_t scale[] = {1,      10,      100,      1000,     10000,
                                              100000, 1000000, 10000000, 100000000};
    const std::uint64_t zeros = 0x3030303030303030u;
    const bool negative = s[0] == '-';
    const char* b = s + negative;
    const std::uint64_t rest = n - negative;
    const std::uint64_t head = Load8(b);
    const std::uint64_t points = BytesEqual(head, '.');
    const std::uint64_t at = unsigned(std::countr_zero(points)) / 8; // 8 for none
    const bool point = points && at < rest;
    const std::uint64_t whole = point ? at : rest;
    const std::uint64_t fraction = rest - whole - point;
    if (whole - 1 >= 8 || fraction > 8)
        return false;
    // Each part's digits, less '0', moved up so that zeros lead; the bytes moved out are
    // the point and what follows the line. Any other byte stays and fails the test.
    const std::uint64_t w = (head - zeros) << (8 * (8 - whole));
    const std::uint64_t tail = Load8(b + whole + 1) - zeros;
    const std::uint64_t f = fraction ? tail << ((8 * (8 - fraction)) & 63) : 0;
    if (AnyAboveNine(w) || AnyAboveNine(f))
        return false;
    value =
        Quotient(EightDigits(w) * scale[fraction] + EightDigits(f), unsigned(fraction), negative);
    return true;
}

template <bool (*Line)(const char*, std::uint64_t, double&)>
[[gnu::always_inline]] inline const char* Lines(const char* p, const char* end, DataPoint* points,
                                                std::uint32_t& stored, std::uint32_t count) {
    std::uint32_t i = stored;
    const char* s = p; // the open line's start
    // Every line found in a window ends 16 bytes or more before `end`: its loads fit.
    for (const char* window = p; i < count && end - window >= 80; window += 64) {
        for (std::uint64_t bits = LineFeedBits(window); bits; bits &= bits - 1) {
            const char* e = window + std::countr_zero(bits);
            double value;
            if (!Line(s, std::uint64_t(e - s) - (e > s && e[-1] == '\r'), value)) {
                stored = i;
                return s;
            }
            points[i] = DataPoint{double(i), value};
            s = e + 1;
            if (++i == count)
                break;
        }
    }
    stored = i;
    return s;
}

#if TARVELIN_LINE_VECTOR
// For a line of n bytes with its point at `at` (n for none): which byte each of 16 lanes
// takes so that the digits end up right-aligned, the point left out; 0x80 takes nothing.
struct Gathers {
    alignas(16) std::uint8_t lanes[17][17][16];
    constexpr Gathers() : lanes() {
        for (int n = 1; n <= 16; ++n)
            for (int at = 0; at <= n; ++at)
                for (int j = 0; j < 16; ++j) {
                    const int right = j + n - 16; // the byte if nothing were left out
                    const int from = at < n && right <= at ? right - 1 : right;
                    lanes[n][at][j] = std::uint8_t(from >= 0 ? from : 0x80);
                }
    }
};
constexpr Gathers Gather;

// All 16 bytes at once: the digits gathered right-aligned by one shuffle (the sign taken as
// a leading zero), checked, and summed in pairs, fours and eights.
[[gnu::target("sse4.1"), gnu::always_inline]] inline bool
PlainLineByVector(const char* s, std::uint64_t n, double& value) {
    if (n - 1 >= 16)
        return false;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const unsigned points =
        unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('.')))) & ((1u << n) - 1);
    const bool point = points != 0;
    const unsigned at = point ? unsigned(std::countr_zero(points)) : unsigned(n);
    const bool negative = s[0] == '-';
    const unsigned digits = unsigned(n) - negative - point;
    if (digits - 1 >= 15)
        return false;
    // Less '0'; a leading '-' becomes 0.
    const __m128i d =
        _mm_sub_epi8(v, _mm_setr_epi8(char('0' - 3 * negative), '0', '0', '0', '0', '0', '0', '0',
                                      '0', '0', '0', '0', '0', '0', '0', '0'));
    const __m128i t =
        _mm_shuffle_epi8(d, _mm_load_si128(reinterpret_cast<const __m128i*>(Gather.lanes[n][at])));
    const __m128i nine = _mm_set1_epi8(9);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(t, nine), nine)) != 0xFFFF)
        return false;
    const __m128i pairs =
        _mm_maddubs_epi16(t, _mm_setr_epi8(10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
    const __m128i eights = _mm_madd_epi16(_mm_packus_epi32(fours, fours),
                                          _mm_setr_epi16(10000, 1, 10000, 1, 10000, 1, 10000, 1));
    const std::uint64_t both = std::uint64_t(_mm_cvtsi128_si64(eights));
    value = Quotient((both & 0xFFFFFFFFu) * 100000000u + (both >> 32),
                     point ? unsigned(n) - at - 1 : 0, negative);
    return true;
}

[[gnu::target("sse4.1")]] bool ReadPlainLineSse41(const char* s, std::uint64_t n, double& value) {
    return PlainLineByVector(s, n, value);
}

[[gnu::target("sse4.1")]] const char* ReadPlainLinesSse41(const char* p, const char* end,
                                                          DataPoint* points, std::uint32_t& stored,
                                                          std::uint32_t count) {
    return Lines<ReadPlainLineSse41>(p, end, points, stored, count);
}
#endif

} // namespace

bool ReadPlainLine(const char* s, std::uint64_t n, double& value) {
    return PlainLineByWords(s, n, value);
}

bool HasPlainLineVector() {
#if TARVELIN_LINE_VECTOR
    return __builtin_cpu_supports("sse4.1");
#else
    return false;
#endif
}

bool ReadPlainLineVector(const char* s, std::uint64_t n, double& value) {
#if TARVELIN_LINE_VECTOR
    if (HasPlainLineVector())
        return ReadPlainLineSse41(s, n, value);
#endif
    return ReadPlainLine(s, n, value);
}

const char* ReadPlainLines(const char* p, const char* end, DataPoint* points, std::uint32_t& stored,
                           std::uint32_t count) {
#if TARVELIN_LINE_VECTOR
    if (HasPlainLineVector())
        return ReadPlainLinesSse41(p, end, points, stored, count);
#endif
    return Lines<ReadPlainLine>(p, end, points, stored, count);
}
