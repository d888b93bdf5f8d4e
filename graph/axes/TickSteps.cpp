#include "graph/axes/TickSteps.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

const double DateStepTable[35] = {
    1,        2,        5,        10,        15,        20,        30,         60,      120,
    300,      600,      900,      1800,      3600,      7200,      14400,      28800,   36000,
    43200,    86400,    172800,   345600,    604800,    1209600,   2419200,    4838400, 7257600,
    15724800, 31449600, 62899200, 157248000, 314496000, 628992000, 1572480000, -1};

namespace {

constexpr double SecondsPerDay = 86400.0;
constexpr double HalfSecond = 5.787037037037037e-06; // half a second in days, as a nudge
constexpr double UnixEpoch = 25569.0;                // 1970-01-01 as a date value

} // namespace

bool StepMoves(double value, double step) {
    return std::isfinite(value) && std::isfinite(step) && step > 0 && value + step != value;
}

std::optional<double> NiceTickStep(int count, double min, double max) {
    if (count <= 0)
        return std::nullopt;
    const double raw = (max - min) / count;
    if (!(raw > 0) || !std::isfinite(raw))
        return std::nullopt;
    double m = raw;
    int e = 0;
    if (m >= 1) {
        while (m >= 1) {
            m *= 0.1;
            ++e;
        }
        m *= 10;
        --e;
    } else {
        do {
            m *= 10;
            --e;
        } while (m < 1);
    }
    // A raw step a rounding above a nice one is that one: a range aligned to its step, whose
    // span comes out a rounding wider than the steps it holds, keeps the step it was given.
    const double within = 1 + 1e-12;
    const double nice = m <= within ? 1 : m <= 2 * within ? 2 : m <= 5 * within ? 5 : 10;
    double step = std::pow(10.0, e) * nice;
    if (step == 0)
        step = 0.1;
    if (!std::isfinite(step) || !StepMoves(min, step) || !StepMoves(max, step))
        return std::nullopt;
    return step;
}

double DateTickStep(int count, double min, double max) {
    const double span = (max - min) * SecondsPerDay + HalfSecond;
    if (!std::isfinite(span) || count <= 0 || span < 1)
        return 0;
    const double seconds = std::trunc(span);
    const double raw = seconds / count;
    double step = raw;
    double previous = 0;
    for (const double* t = DateStepTable; *t > 0; previous = *t++)
        if (previous < raw && raw <= *t) {
            step = *t;
            break;
        }
    return step * 1.1574074074074073e-05;
}

void AlignRangeToStep(double& min, double& max, double step) {
    if (!StepMoves(min, step) || !StepMoves(max, step))
        return;
    // An end that lies on a multiple but for the rounding of the step (0.05 is not a binary
    // fraction) stays, so aligning an aligned range changes nothing; an end that would leave
    // the finite doubles stays too.
    auto onMultiple = [step](double v) {
        const double q = v / step;
        return std::fabs(q - std::nearbyint(q)) <= 8 * DBL_EPSILON * std::max(1.0, std::fabs(q));
    };
    if (!onMultiple(min)) {
        const double r = std::fmod(min - step, step);
        const double aligned = min - (r + step);
        if (r != 0 && std::isfinite(aligned))
            min = aligned;
    }
    if (!onMultiple(max)) {
        const double r = std::fmod(max + step, step);
        const double aligned = max - (r - step);
        if (r != 0 && std::isfinite(aligned))
            max = aligned;
    }
}

void AlignDateRangeToStep(double& min, double& max, double step) {
    // The same nudge as for the instants: 60 s as days and back is 59.99999999999999.
    const double s = std::trunc(step * SecondsPerDay + HalfSecond);
    if (!std::isfinite(s) || s < 1 || s > std::numeric_limits<std::int32_t>::max())
        return;
    auto secs = [](double v, std::int64_t& out) {
        const double t = std::trunc((v - UnixEpoch) * SecondsPerDay + HalfSecond);
        if (!(t >= std::numeric_limits<std::int32_t>::min() &&
              t <= std::numeric_limits<std::int32_t>::max()))
            return false;
        out = std::int64_t(t);
        return true;
    };
    std::int64_t lo, hi;
    if (!secs(min, lo) || !secs(max, hi))
        return;
    const std::int64_t whole = std::int64_t(s);
    auto floorDiv = [](std::int64_t a, std::int64_t b) {
        std::int64_t q = a / b;
        return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
    };
    if (lo % whole != 0)
        min = UnixEpoch + double(floorDiv(lo, whole) * whole) / SecondsPerDay;
    if (hi % whole != 0)
        max = UnixEpoch + double((floorDiv(hi, whole) + 1) * whole) / SecondsPerDay;
}
