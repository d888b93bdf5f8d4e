#include "files/SignificantDigits.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using U128 = unsigned __int128;

// 10^q as a 128-bit mantissa cut off below (top bit set) and a power of two:
// 10^q = (mantissa + d) * 2^exp2 with 0 <= d < 1.
struct Power {
    U128 mantissa;
    int exp2;
};

constexpr int QMin = -310, QMax = 345; // all that 1 to 17 digits of any double need

// Just enough arbitrary precision to make the table once: little-endian 32-bit words.
using Big = std::vector<std::uint32_t>;

int BitLength(const Big& b) {
    for (int i = int(b.size()) - 1; i >= 0; --i)
        if (b[std::size_t(i)])
            return i * 32 + 32 - __builtin_clz(b[std::size_t(i)]);
    return 0;
}

bool Bit(const Big& b, int i) {
    return i >= 0 && std::size_t(i / 32) < b.size() && (b[std::size_t(i / 32)] >> (i % 32)) & 1;
}

void TimesTen(Big& b) {
    std::uint64_t carry = 0;
    for (std::uint32_t& w : b) {
        const std::uint64_t v = std::uint64_t(w) * 10 + carry;
        w = std::uint32_t(v);
        carry = v >> 32;
    }
    if (carry)
        b.push_back(std::uint32_t(carry));
}

// r = 2r + bit; then r - d if that is not negative; returns whether it was taken.
bool ShiftSubtract(Big& r, const Big& d, bool bit) {
    std::uint32_t carry = bit;
    for (std::uint32_t& w : r) {
        const std::uint32_t next = w >> 31;
        w = (w << 1) | carry;
        carry = next;
    }
    if (carry)
        r.push_back(carry);
    r.resize(std::max(r.size(), d.size()), 0);
    for (int i = int(r.size()) - 1; i >= 0; --i) { // r >= d?
        const std::uint32_t dw = std::size_t(i) < d.size() ? d[std::size_t(i)] : 0;
        if (r[std::size_t(i)] != dw) {
            if (r[std::size_t(i)] < dw)
                return false;
            break;
        }
    }
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        std::int64_t v = std::int64_t(r[i]) - (i < d.size() ? d[i] : 0) - borrow;
        borrow = v < 0;
        r[i] = std::uint32_t(v + (borrow << 32));
    }
    return true;
}

const std::array<Power, QMax - QMin + 1>& Powers() {
    static const std::array<Power, QMax - QMin + 1> table = [] {
        std::array<Power, QMax - QMin + 1> t{};
        Big ten{1};
        for (int q = 0; q <= std::max(QMax, -QMin); ++q) {
            const int length = BitLength(ten);
            if (q <= QMax) { // the top 128 bits
                U128 m = 0;
                for (int i = length - 1; i >= length - 128; --i)
                    m = (m << 1) | U128(Bit(ten, i));
                t[std::size_t(q - QMin)] = {m, length - 128};
            }
            if (q > 0 && -q >= QMin) { // floor(2^s / 10^q), s = length + 127: 128 bits
                const int s = length + 127;
                Big r;
                U128 m = 0;
                for (int i = s; i >= 0; --i)
                    m = (m << 1) | U128(ShiftSubtract(r, ten, i == s));
                t[std::size_t(-q - QMin)] = {m, -s};
            }
            TimesTen(ten);
        }
        return t;
    }();
    return table;
}

struct U192 {
    std::uint64_t w[3]; // w[0] lowest
    // Bits from `s` up (s < 192), as far as they fit in 64 bits.
    std::uint64_t ShiftedDown(int s) const {
        const int word = s / 64, bit = s % 64;
        std::uint64_t v = w[word] >> bit;
        if (bit && word + 1 < 3)
            v |= w[word + 1] << (64 - bit);
        return v;
    }
    bool BitAt(int i) const { return (w[i / 64] >> (i % 64)) & 1; }
    // Whether any bit below `s` is set.
    bool AnyBelow(int s) const {
        for (int i = 0; i < 3; ++i) {
            const int from = i * 64;
            if (from >= s)
                break;
            const std::uint64_t mask = s - from >= 64 ? ~0ull : (1ull << (s - from)) - 1;
            if (w[i] & mask)
                return true;
        }
        return false;
    }
    // The bits from `s` up differ once m is added?
    bool AddCrosses(std::uint64_t m, int s) const {
        U192 sum = *this;
        U128 carry = U128(sum.w[0]) + m;
        sum.w[0] = std::uint64_t(carry);
        for (int i = 1; i < 3 && (carry >> 64); ++i) {
            carry = U128(sum.w[i]) + 1;
            sum.w[i] = std::uint64_t(carry);
        }
        for (int i = s; i < 192; i += 64) // compare the upper bits in 64-bit pieces
            if (sum.ShiftedDown(i) != ShiftedDown(i))
                return true;
        return false;
    }
};

constexpr std::uint64_t Pow10[] = {1ull,
                                   10ull,
                                   100ull,
                                   1000ull,
                                   10000ull,
                                   100000ull,
                                   1000000ull,
                                   10000000ull,
                                   100000000ull,
                                   1000000000ull,
                                   10000000000ull,
                                   100000000000ull,
                                   1000000000000ull,
                                   10000000000000ull,
                                   100000000000000ull,
                                   1000000000000000ull,
                                   10000000000000000ull,
                                   100000000000000000ull,
                                   1000000000000000000ull};

// The `digits` significant digits of a positive finite v, correctly rounded, and the decimal
// exponent of the first; false when the product cannot decide.
bool Digits(double v, int digits, std::uint64_t& n, int& k) {
    // v = m * 2^e2 with m of 53 bits, subnormals normalised.
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const int biased = int(bits >> 52) & 0x7FF;
    std::uint64_t m = bits & ((1ull << 52) - 1);
    int e2;
    if (biased) {
        m |= 1ull << 52;
        e2 = biased - 1075;
    } else {
        const int lift = __builtin_clzll(m) - 11;
        m <<= lift;
        e2 = -1074 - lift;
    }
    // log10(v) lies between (e2 + 52) log10(2) and that plus log10(2): the estimate may be one
    // too small, which the first product shows.
    k = int(std::floor((e2 + 52) * 0.30102999566398114));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int q = digits - 1 - k;
        if (q < QMin || q > QMax)
            return false;
        const Power& p = Powers()[std::size_t(q - QMin)];
        const std::uint64_t hi = std::uint64_t(p.mantissa >> 64), lo = std::uint64_t(p.mantissa);
        const U128 a = U128(m) * lo, b = U128(m) * hi;
        const U128 middle = (a >> 64) + std::uint64_t(b);
        const U192 product{{std::uint64_t(a), std::uint64_t(middle),
                            std::uint64_t(b >> 64) + std::uint64_t(middle >> 64)}};
        const int shift = -(e2 + p.exp2); // v * 10^q = product * 2^-shift
        if (shift <= 64 || shift >= 192)
            return false;
        const std::uint64_t whole = product.ShiftedDown(shift);
        if (whole >= Pow10[digits]) { // k was one too small
            ++k;
            continue;
        }
        if (whole < Pow10[digits - 1]) { // one too large
            --k;
            continue;
        }
        // The true product lies in [product, product + m): the cut-off part of the power.
        const bool up = product.BitAt(shift - 1);
        if (up ? !product.AnyBelow(shift - 1) : product.AddCrosses(m, shift - 1))
            return false; // next to a halfway point: let the general formatter decide
        n = whole + up;
        if (n == Pow10[digits]) { // 99..9.5 rounds to the next power of ten
            n = Pow10[digits - 1];
            ++k;
        }
        return true;
    }
    return false;
}

} // namespace

char* WriteSignificant(char* out, double v, int digits) {
    std::uint64_t n = 0;
    int k = 0;
    if (!std::isfinite(v) || v == 0 || digits < 1 || digits > 17 ||
        !Digits(std::fabs(v), digits, n, k))
        return std::to_chars(out, out + 32, v, std::chars_format::general, digits).ptr;
    if (std::signbit(v))
        *out++ = '-';
    char d[20];
    std::to_chars(d, d + 20, n);
    int used = digits; // without trailing zeros
    while (used > 1 && d[used - 1] == '0')
        --used;
    if (k < -4 || k >= digits) { // d.ddde+XX
        *out++ = d[0];
        if (used > 1) {
            *out++ = '.';
            out = std::copy(d + 1, d + used, out);
        }
        *out++ = 'e';
        *out++ = k < 0 ? '-' : '+';
        const int e = k < 0 ? -k : k;
        if (e < 10)
            *out++ = '0';
        return std::to_chars(out, out + 4, e).ptr;
    }
    if (k >= 0) {
        out = std::copy(d, d + k + 1, out);
        if (used > k + 1) {
            *out++ = '.';
            out = std::copy(d + k + 1, d + used, out);
        }
        return out;
    }
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -k - 1, '0');
    return std::copy(d, d + used, out);
}
