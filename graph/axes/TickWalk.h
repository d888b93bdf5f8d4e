#pragma once
// Which ticks an axis draws. Tick k (0 <= k < count) lies `step` pixels after tick k - 1 (step
// may be negative: upward), from `origin`. Of the ticks that fall on one pixel the last is
// drawn whole: it draws the same line; the others are told, for the labels that the last one
// would not cover. Ticks outside [lo, hi] are not drawn. Up to StepByStep ticks the positions
// are summed tick by tick, as they always were; beyond, each is origin + k * step and the walk
// goes a pixel at a time, so the work follows the pixels the axis covers, not its ticks.

#include <cstdint>

#include "graph/axes/Truncate.h"

// The first k in [from, to) for which `holds(k)` is false, where `holds` is true up to some
// index and false from there on; `to` when it holds throughout.
template <class Holds> std::int64_t FirstFailing(std::int64_t from, std::int64_t to, Holds holds) {
    // Gallop from `from`, then halve: cheap when the answer is near.
    std::int64_t lo = from, hi = from, gap = 1; // holds(k) for k < lo
    while (hi < to && holds(hi)) {
        lo = hi + 1;
        hi = gap < to - hi ? hi + gap : to;
        if (gap < to - from) // no further than the range: no overflow
            gap *= 2;
    }
    while (lo < hi) { // holds before lo, fails at hi (or hi == to)
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (holds(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

constexpr std::int64_t StepByStep = std::int64_t(1) << 20;

// Calls visit(k, position, first, firstPosition) for each tick drawn, in order: ticks first
// to k share the pixel, the first of them at firstPosition (the positions between follow by
// adding the step, as they were summed). Beyond StepByStep ticks only k is told (first is k).
template <class Visit>
void WalkTicks(double origin, double step, std::int64_t count, double lo, double hi, Visit visit) {
    if (count <= StepByStep) {
        double p = origin, runPosition = origin;
        std::int64_t run = 0;
        for (std::int64_t k = 0; k < count; ++k) {
            const double next = p + step;
            const bool shared = k + 1 < count && TruncInt(next) == TruncInt(p);
            if (!shared) {
                if (p >= lo && p <= hi)
                    visit(k, p, run, runPosition);
                run = k + 1;
                runPosition = next;
            }
            p = next;
        }
        return;
    }
    auto position = [&](std::int64_t k) { return origin + double(k) * step; };
    // Positions move one way only: skip those not yet within [lo, hi].
    std::int64_t k = FirstFailing(0, count, [&](std::int64_t i) {
        const double p = position(i);
        return step >= 0 ? p < lo : p > hi;
    });
    while (k < count) {
        const double p = position(k);
        if (!(p >= lo && p <= hi))
            return; // beyond the far end
        const int at = TruncInt(p);
        const std::int64_t last =
            FirstFailing(k + 1, count,
                         [&](std::int64_t i) { return TruncInt(position(i)) == at; }) -
            1;
        visit(last, position(last), last, position(last));
        k = last + 1;
    }
}
