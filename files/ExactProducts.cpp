#include "files/ExactProducts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// A signed whole number, magnitude in 32-bit limbs, least significant first.
struct Big {
    bool negative = false;
    std::vector<std::uint32_t> limbs;

    void Trim() {
        while (!limbs.empty() && limbs.back() == 0)
            limbs.pop_back();
        if (limbs.empty())
            negative = false;
    }
};

// x * 2^1074 as a whole number.
Big Units(double x) {
    Big b;
    if (x == 0)
        return b;
    b.negative = x < 0;
    int e;
    const double m = std::frexp(std::fabs(x), &e); // |x| = m * 2^e, 0.5 <= m < 1
    std::uint64_t mantissa = std::uint64_t(std::ldexp(m, 53));
    int shift = e - 53 + 1074; // |x| = mantissa * 2^(e - 53)
    if (shift < 0) {           // a subnormal's low bits are zero
        mantissa >>= -shift;
        shift = 0;
    }
    b.limbs.assign(std::size_t(shift / 32) + 3, 0);
    const int bit = shift % 32;
    const std::size_t at = std::size_t(shift / 32);
    const unsigned __int128 wide = (unsigned __int128)mantissa << bit;
    b.limbs[at] = std::uint32_t(wide);
    b.limbs[at + 1] = std::uint32_t(wide >> 32);
    b.limbs[at + 2] = std::uint32_t(wide >> 64);
    b.Trim();
    return b;
}

int CompareMagnitudes(const Big& a, const Big& b) {
    if (a.limbs.size() != b.limbs.size())
        return a.limbs.size() < b.limbs.size() ? -1 : 1;
    for (std::size_t i = a.limbs.size(); i-- > 0;)
        if (a.limbs[i] != b.limbs[i])
            return a.limbs[i] < b.limbs[i] ? -1 : 1;
    return 0;
}

// |a| + |b| or |a| - |b| (with |a| >= |b|) into the magnitude of a new number.
std::vector<std::uint32_t> AddMagnitudes(const Big& a, const Big& b) {
    std::vector<std::uint32_t> out(std::max(a.limbs.size(), b.limbs.size()) + 1, 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint64_t s =
            carry + (i < a.limbs.size() ? a.limbs[i] : 0) + (i < b.limbs.size() ? b.limbs[i] : 0);
        out[i] = std::uint32_t(s);
        carry = s >> 32;
    }
    return out;
}

std::vector<std::uint32_t> SubtractMagnitudes(const Big& a, const Big& b) {
    std::vector<std::uint32_t> out(a.limbs.size(), 0);
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::int64_t d = std::int64_t(a.limbs[i]) - borrow - (i < b.limbs.size() ? b.limbs[i] : 0);
        borrow = d < 0;
        out[i] = std::uint32_t(d + (borrow << 32));
    }
    return out;
}

Big Difference(const Big& a, Big b) {
    b.negative = !b.negative && !b.limbs.empty();
    Big r;
    if (a.negative == b.negative) {
        r.negative = a.negative;
        r.limbs = AddMagnitudes(a, b);
    } else if (CompareMagnitudes(a, b) >= 0) {
        r.negative = a.negative;
        r.limbs = SubtractMagnitudes(a, b);
    } else {
        r.negative = b.negative;
        r.limbs = SubtractMagnitudes(b, a);
    }
    r.Trim();
    return r;
}

Big Product(const Big& a, const Big& b) {
    Big r;
    if (a.limbs.empty() || b.limbs.empty())
        return r;
    r.negative = a.negative != b.negative;
    r.limbs.assign(a.limbs.size() + b.limbs.size(), 0);
    for (std::size_t i = 0; i < a.limbs.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.limbs.size(); ++j) {
            const std::uint64_t t = std::uint64_t(a.limbs[i]) * b.limbs[j] + r.limbs[i + j] + carry;
            r.limbs[i + j] = std::uint32_t(t);
            carry = t >> 32;
        }
        r.limbs[i + b.limbs.size()] = std::uint32_t(carry);
    }
    r.Trim();
    return r;
}

int Sign(const Big& a) {
    return a.limbs.empty() ? 0 : a.negative ? -1 : 1;
}

} // namespace

int CompareProducts(double a, double b, double c, double d, double e, double f, double g,
                    double h) {
    const Big left = Product(Difference(Units(a), Units(b)), Difference(Units(c), Units(d)));
    const Big right = Product(Difference(Units(e), Units(f)), Difference(Units(g), Units(h)));
    return Sign(Difference(left, right));
}
