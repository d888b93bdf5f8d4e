#pragma once
// How a sample becomes an integer entry of a table: as it is, scaled from a source range onto a
// target range, or a fraction of the type's full scale; rounded half away from zero, exactly,
// and held to the type's limits.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "files/DataPoint.h"

struct IntegerMap {
    double smin = 0, smax = 0, tmin = 0, tmax = 0;
    double lo = 0, hi = 0;
    bool scaled = false, fractional = false;
    double scale = 1;
    bool flat = false; // an empty source: everything goes to the target's start
    // (tmax - tmin) / (smax - smin) where doubles carry it without overflow; else 0 and the
    // wider long double is used.
    double slope = 0;
    long double wideSpan = 0, wideTarget = 0;

    // Works out the slope once the ranges are set.
    void Prepare();

    // The scaled value of y rounded half away from zero, exactly: where the arithmetic cannot
    // tell on which side of a half the true value lies, the products are compared exactly.
    double Scaled(double y) const;

    // The value, and whether it had to be held.
    std::int64_t operator()(double y, bool& held) const {
        double v;
        if (fractional)
            v = std::round(y * scale); // a power of two: exact
        else if (scaled)
            v = Scaled(y);
        else
            v = std::round(y); // halves away from zero
        held = !(v >= lo && v <= hi);
        if (std::isnan(v))
            return std::int64_t(lo);
        return std::int64_t(std::clamp(v, lo, hi));
    }

    // The values of `count` samples, as operator() gives them: in one pass that vectorises,
    // the few whose rounding is in doubt (within a few ulps of a half) again one by one.
    void Entries(const DataPoint* points, std::size_t count, std::int64_t* out) const;
};
