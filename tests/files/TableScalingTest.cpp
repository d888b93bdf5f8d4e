// Scaled integer tables against an exact rational reference (GMP): each value must be the
// true value rounded half away from zero, for ordinary and huge magnitudes and next to halves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <gmp.h>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "files/ExactProducts.h"
#include "files/TableExport.h"

namespace {

// The reference: tmin + (y - smin) (tmax - tmin) / (smax - smin), rounded half away from zero
// and held to the target's ends (a flat source maps onto tmin), as an integer.
long long Reference(double y, double smin, double smax, double tmin, double tmax) {
    mpq_t v, a, b;
    mpq_inits(v, a, b, nullptr);
    if (smin == smax) {
        mpq_set_d(v, tmin);
    } else {
        mpq_set_d(a, y);
        mpq_set_d(b, smin);
        mpq_sub(v, a, b); // y - smin
        mpq_set_d(a, tmax);
        mpq_set_d(b, tmin);
        mpq_sub(a, a, b); // tmax - tmin
        mpq_mul(v, v, a);
        mpq_set_d(a, smax);
        mpq_set_d(b, smin);
        mpq_sub(a, a, b); // smax - smin
        mpq_div(v, v, a);
        mpq_set_d(b, tmin);
        mpq_add(v, v, b);
    }
    const bool negative = mpq_sgn(v) < 0;
    mpq_abs(v, v);
    mpz_t twice, rounded;
    mpz_inits(twice, rounded, nullptr);
    mpz_mul_2exp(twice, mpq_numref(v), 1);
    mpz_add(twice, twice, mpq_denref(v));    // 2n + d
    mpz_mul_2exp(rounded, mpq_denref(v), 1); // 2d
    mpz_fdiv_q(rounded, twice, rounded);     // floor(|v| + 1/2)
    const double lo = std::min(tmin, tmax), hi = std::max(tmin, tmax);
    double r = mpz_get_d(rounded); // exact below 2^53, else beyond any range
    if (mpz_sizeinbase(rounded, 2) > 60)
        r = 1e300;
    r = negative ? -r : r;
    mpz_clears(twice, rounded, nullptr);
    mpq_clears(v, a, b, nullptr);
    return (long long)std::clamp(r, lo, hi);
}

std::vector<long long> Exported(const std::vector<double>& ys, const TableOptions& o) {
    std::vector<DataPoint> points;
    for (double y : ys)
        points.push_back({double(points.size()), y});
    std::string text;
    EXPECT_TRUE(WriteTable(StringSink(text), points.data(), points.size(), o));
    std::vector<long long> values;
    for (std::size_t at = text.find('{') + 1; at < text.size();) {
        const std::size_t next = text.find_first_of("-0123456789}", at);
        if (next == std::string::npos || text[next] == '}')
            break;
        std::size_t used;
        values.push_back(std::stoll(text.substr(next), &used));
        at = next + used;
    }
    return values;
}

TEST(TableScaling, HugeMagnitudesAndFlatWaveforms) {
    TableOptions o;
    o.type = TableType::UInt32;
    o.scaled = true;
    EXPECT_EQ(Exported({0, 1e300, 2e300}, o), (std::vector<long long>{0, 2147483648, 4294967295}));
    std::vector<DataPoint> p = {{0, 0}, {1, 1e300}, {2, 2e300}};
    EXPECT_EQ(PlanTable(p.data(), 3, o).saturated, 0u);
    EXPECT_EQ(Exported({-DBL_MAX, 0, DBL_MAX}, o),
              (std::vector<long long>{0, 2147483648, 4294967295}));
    for (double flat : {0.5, 9007199254740992.0, 1e300, -1e300})
        EXPECT_EQ(Exported({flat, flat}, o), (std::vector<long long>{0, 0})) << flat;
    o.targetMin = 4095;
    o.targetMax = 0;
    EXPECT_EQ(Exported({7, 7}, o), (std::vector<long long>{4095, 4095}));
}

TEST(TableScaling, EveryValueIsTheExactlyRoundedOne) {
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> unit(0, 1);
    auto magnitude = [&] { // from tiny to huge
        return std::ldexp(unit(rng) + 0.5, int(rng() % 2000) - 1000);
    };
    const TableType types[] = {TableType::Int8,   TableType::UInt8, TableType::Int16,
                               TableType::UInt16, TableType::Int32, TableType::UInt32};
    const double typeMin[] = {-128, 0, -32768, 0, -2147483648.0, 0};
    const double typeMax[] = {127, 255, 32767, 65535, 2147483647, 4294967295};
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        const int t = int(rng() % 6);
        TableOptions o;
        o.type = types[t];
        o.scaled = true;
        o.perLine = 1;
        double smin, smax;
        std::vector<double> ys;
        if (round % 3 == 0) { // halves: (2k + 1) / 2 of the target's steps, rounded as doubles
            smin = 0;
            smax = std::ldexp(1.0, int(rng() % 200) - 100) * (round % 2 ? 3 : 1);
            o.targetMin = typeMin[t];
            o.targetMax = typeMax[t];
            const double steps = typeMax[t] - typeMin[t];
            for (int i = 0; i < 40; ++i) {
                const double k = std::floor(unit(rng) * steps);
                ys.push_back(smin + (k + 0.5) / steps * (smax - smin));
            }
        } else {
            smin = (rng() % 2 ? -1 : 1) * magnitude();
            smax = smin + magnitude();
            if (!(smax > smin) || !std::isfinite(smax))
                continue;
            const double a = typeMin[t] + std::floor(unit(rng) * (typeMax[t] - typeMin[t])),
                         b = typeMin[t] + std::floor(unit(rng) * (typeMax[t] - typeMin[t]));
            o.targetMin = a; // whole ends: the entries are whole numbers
            o.targetMax = b;
            if (round % 5 == 0) { // a fractional end is refused, and writes nothing
                TableOptions fractional = o;
                fractional.targetMin = a + 0.25;
                std::string text;
                std::vector<DataPoint> none(1);
                ASSERT_FALSE(WriteTable(StringSink(text), none.data(), 1, fractional));
                ASSERT_EQ(text, "");
            }
            for (int i = 0; i < 40; ++i) {
                const double f = unit(rng) * 1.2 - 0.1; // a little beyond the source too
                ys.push_back(smin + f * smax - f * smin);
            }
        }
        if (round % 4 == 0) { // the source from the waveform itself
            smin = *std::min_element(ys.begin(), ys.end());
            smax = *std::max_element(ys.begin(), ys.end());
        } else {
            o.sourceMin = smin;
            o.sourceMax = smax;
        }
        const std::vector<long long> got = Exported(ys, o);
        ASSERT_EQ(got.size(), ys.size());
        for (std::size_t i = 0; i < ys.size(); ++i, ++checked)
            ASSERT_EQ(got[i], Reference(ys[i], smin, smax, *o.targetMin, *o.targetMax))
                << "y " << ys[i] << " from " << smin << ".." << smax << " onto " << *o.targetMin
                << ".." << *o.targetMax;
    }
    EXPECT_GT(checked, 60000);
}

TEST(TableScaling, ProductsAreComparedExactly) {
    EXPECT_EQ(CompareProducts(3, 1, 5, 2, 2, 0, 3, 0), 0); // 2 * 3 = 2 * 3
    EXPECT_EQ(CompareProducts(1e300, -1e300, 1e-300, 0, 1, 0, 2, 0), 1);
    EXPECT_EQ(CompareProducts(0x1p-1074, 0, 1, 0, 0x1p-1074, 0, 1, 0), 0);
    EXPECT_EQ(CompareProducts(1 + 0x1p-52, 1, 0x1p1023, 0, 0x1p-52, 0, 0x1p1023, 0), 0);
    EXPECT_EQ(CompareProducts(DBL_MAX, -DBL_MAX, DBL_MAX, -DBL_MAX, DBL_MAX, 0, DBL_MAX, 0), 1);
    EXPECT_EQ(CompareProducts(0, 1, 1, 0, 0, 0, 0, 0), -1);
}

} // namespace

// The samples as they are, and as fractions of full scale: exact ties go away from zero, and
// what lies beyond the type is held, whichever run of the writer's blocks a value falls in.
TEST(TableScaling, AsTheSamplesAreTiesGoAwayFromZeroAndTheRestIsHeld) {
    std::mt19937_64 rng(9);
    std::vector<double> ys;
    const double odd[] = {0.5,
                          -0.5,
                          2.5,
                          -2.5,
                          32766.5,
                          -32767.5,
                          1e300,
                          -INFINITY,
                          NAN,
                          0.49999999999999994,
                          -0.49999999999999994,
                          4503599627370497.0};
    for (int i = 0; i < 3000; ++i)
        ys.push_back(i % 7 == 0 ? odd[std::size_t(i / 7) % std::size(odd)]
                                : double(int(rng() % 80000) - 40000) / 4);
    TableOptions as;
    as.type = TableType::Int16;
    as.perLine = 1;
    const std::vector<long long> got = Exported(ys, as);
    ASSERT_EQ(got.size(), ys.size());
    for (std::size_t i = 0; i < ys.size(); ++i) {
        const double want =
            std::isnan(ys[i]) ? -32768 : std::clamp(std::round(ys[i]), -32768.0, 32767.0);
        ASSERT_EQ(got[i], (long long)want) << i << ": " << ys[i];
    }
    TableOptions q15;
    q15.type = TableType::Q15;
    q15.perLine = 1;
    std::vector<double> fractions;
    for (double y : ys)
        fractions.push_back(y / 32768);
    const std::vector<long long> q = Exported(fractions, q15);
    for (std::size_t i = 0; i < ys.size(); ++i) {
        if (!std::isnan(ys[i])) {
            ASSERT_EQ(q[i], got[i]) << i << ": " << ys[i];
        }
    }
}
