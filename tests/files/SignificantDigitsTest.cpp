#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "files/SignificantDigits.h"

namespace {

std::string Ours(double v, int digits) {
    char text[40];
    return std::string(text, WriteSignificant(text, v, digits));
}

std::string General(double v, int digits) {
    char text[400];
    return std::string(
        text, std::to_chars(text, text + sizeof text, v, std::chars_format::general, digits).ptr);
}

TEST(SignificantDigits, WhatPrintfWritesForEveryKindOfDouble) {
    const double special[] = {0.0,
                              -0.0,
                              1.0,
                              0.1,
                              0.5,
                              1e23,
                              9.5,
                              99999999999999999.0,
                              0.00001234,
                              123456789012345678.0,
                              DBL_MAX,
                              -DBL_MAX,
                              DBL_MIN,
                              std::numeric_limits<double>::denorm_min(),
                              double(FLT_MAX),
                              1e-5,
                              1e-4,
                              1e16,
                              1e17,
                              std::nextafter(1.0, 2.0),
                              std::nextafter(1.0, 0.0),
                              std::numeric_limits<double>::infinity(),
                              std::nan("")};
    for (double v : special)
        for (int digits = 1; digits <= 17; ++digits)
            EXPECT_EQ(Ours(v, digits), General(v, digits)) << v << " " << digits;

    std::mt19937_64 rng(8);
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uniform_real_distribution<double> unit(-1000, 1000);
    for (int i = 0; i < 200000; ++i) {
        double v;
        if (i % 2) {
            const std::uint64_t b = bits(rng);
            std::memcpy(&v, &b, sizeof v);
            if (!std::isfinite(v))
                continue;
        } else {
            v = unit(rng);
        }
        for (int digits : {9, 17, 1 + i % 17})
            ASSERT_EQ(Ours(v, digits), General(v, digits)) << v << " " << digits;
        const float f = float(v);
        if (std::isfinite(f)) {
            ASSERT_EQ(Ours(f, 9), General(f, 9)) << f;
        }
    }
}

} // namespace
