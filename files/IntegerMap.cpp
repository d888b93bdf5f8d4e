#include "files/IntegerMap.h"

#include "files/ExactProducts.h"

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
