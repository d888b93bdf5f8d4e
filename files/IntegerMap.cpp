#include "files/IntegerMap.h"

#include "files/ExactProducts.h"

#include <bit>
#include <cfloat>

namespace {

// `v`, at most `epsilon` times the magnitudes involved from the true value, rounded.
template <class Real> double Rounded(const IntegerMap& m, double y, Real v, Real epsilon) {
    if (!std::isfinite(v))
        return double(v);
    const Real error = epsilon * (std::fabs(m.tmin) + std::fabs(m.tmax) + std::fabs(v) + 1);
    const Real below = std::floor(v), fraction = v - below;
    if (std::fabs(below) >= Real(0x1p52) || std::fabs(fraction - Real(0.5)) > error)
        return double(std::round(v));
    const double half = double(below) + 0.5;
    // The sign of v - half, with smax - smin > 0.
    const int side = CompareProducts(y, m.smin, m.tmax, m.tmin, half, m.tmin, m.smax, m.smin);
    return side > 0 || (side == 0 && half > 0) ? double(below) + 1 : double(below);
}

} // namespace

void IntegerMap::Prepare() {
    flat = !(smin < smax);
    if (flat || tmin == tmax)
        return;
    const double span = smax - smin, slopeNow = (tmax - tmin) / span;
    slope = std::isfinite(span) && std::isfinite(slopeNow) && std::fabs(slopeNow) >= DBL_MIN
                ? slopeNow
                : 0;
    wideSpan = (long double)smax - smin;
    wideTarget = (long double)tmax - tmin;
}

double IntegerMap::Scaled(double y) const {
    if (flat || tmin == tmax)
        return std::round(tmin);
    if (slope != 0) // in doubles: the common case, and the quick one
        return Rounded(*this, y, tmin + (y - smin) * slope, 8 * DBL_EPSILON);
    return Rounded(*this, y, tmin + ((long double)y - smin) / wideSpan * wideTarget,
                   8 * LDBL_EPSILON);
}

void IntegerMap::Entries(const DataPoint* points, std::size_t count, std::int64_t* out) const {
    // Below 2^51 the doubles round and convert in plain instructions (see below).
    constexpr double Plain = 0x1p51;
    const bool linear = (fractional || !scaled || !(flat || tmin == tmax || slope == 0)) &&
                        std::fabs(lo) < Plain && std::fabs(hi) < Plain;
    bool held;
    if (!linear) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = (*this)(points[i].y, held);
        return;
    }
    // v = t0 + (y - s0) · a is what operator() computes in each case: y · scale, y, or the
    // slope's line, each exactly as it does.
    const bool line = scaled && !fractional;
    const double a = fractional ? scale
                     : line     ? slope
                                : 1,
                 s0 = line ? smin : 0, t0 = line ? tmin : 0;
    // How near a half v may lie and still round as the exact value does: not at all for exact
    // values, where only a tie is in doubt (it goes away from zero, not to even).
    const double margin = line ? 8 * DBL_EPSILON : 0,
                 ends = line ? std::fabs(tmin) + std::fabs(tmax) + 1 : 0;
    // Added and taken away, `magic` rounds to the nearest whole number below 2^51; the
    // difference of the sum's bits and its own is then that number. Entries in doubt are
    // marked 2^51, which no entry held to [lo, hi] can be, and worked out again one by one.
    const double magic = 0x1.8p52;
    const std::int64_t magicBits = std::bit_cast<std::int64_t>(magic);
    constexpr std::int64_t Doubt = std::int64_t(1) << 51;
    constexpr std::size_t Block = 512;
    for (std::size_t from = 0; from < count; from += Block) {
        const std::size_t n = std::min(Block, count - from);
        std::int64_t* to = out + from;
        const DataPoint* p = points + from;
        for (std::size_t i = 0; i < n; ++i) {
            const double v = t0 + (p[i].y - s0) * a;
            const double r = (v + magic) - magic;
            const double size = std::fabs(v), offHalf = std::fabs(std::fabs(v - r) - 0.5);
            double entry = r < lo ? lo : r;
            entry = entry > hi ? hi : entry;
            entry = offHalf <= margin * (ends + size) ? Plain : entry;
            entry = size < Plain ? entry : Plain; // not finite, or beyond
            to[i] = std::bit_cast<std::int64_t>(entry + magic) - magicBits;
        }
        for (std::size_t i = 0; i < n; ++i) // in the cache still
            if (to[i] == Doubt)
                to[i] = (*this)(p[i].y, held);
    }
}
