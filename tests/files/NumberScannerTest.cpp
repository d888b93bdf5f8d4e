#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "files/NumberScanner.h"

namespace {

double Scan(const std::string& s) {
    return NumberScanner::Scan(s.data(), s.data() + s.size());
}

TEST(NumberScanner, ReadsTheLongestNumberAtTheStart) {
    EXPECT_EQ(Scan("1.5e3"), 1500.0);
    EXPECT_EQ(Scan("1.5D3"), 1500.0);
    EXPECT_EQ(Scan("2.5D1"), 25.0);
    EXPECT_EQ(Scan("2.5d-1"), 0.25);
    EXPECT_EQ(Scan("1,5"), 1.0);
    EXPECT_EQ(Scan("12 volts"), 12.0);
    EXPECT_EQ(Scan(" \t\v\f\r+7.25\r\n"), 7.25);
    EXPECT_EQ(Scan("-2.500000\r\n"), -2.5);
    EXPECT_EQ(Scan("5."), 5.0);
    EXPECT_EQ(Scan(".5"), 0.5);
    EXPECT_EQ(Scan("1e"), 1.0);   // an exponent needs a digit
    EXPECT_EQ(Scan("1e+x"), 1.0); // likewise after its sign
    EXPECT_EQ(Scan("1.2.3"), 1.2);
    EXPECT_EQ(Scan("007"), 7.0);
    EXPECT_EQ(Scan("0.000123e2"), 0.0123);
}

TEST(NumberScanner, WhatIsNoNumberReadsZero) {
    // Plain +0.0: a sign without digits has no sign to keep (Save would write "-0.000000").
    for (const char* text : {"", "\r\n", "   ", "abc", "+", "-", ".", "-.", "-.e5", "-e5", "-x",
                             "e5", "inf", "-inf", "nan", "infinity", "0x1p3"}) {
        double v = Scan(text);
        EXPECT_EQ(v, 0.0) << text;
        EXPECT_FALSE(std::signbit(v)) << text;
    }
    for (const char* text : {"-0", "-0.", "-.0", "-000e5", "-0.000000"}) // digits, all zero
        EXPECT_TRUE(std::signbit(Scan(text))) << text;
    EXPECT_EQ(Scan("0x10"), 0.0); // the 0 before the x
}

TEST(NumberScanner, StopsAtTheLineFeed) {
    EXPECT_EQ(Scan("   \n5"), 0.0);
    EXPECT_EQ(Scan("3\n5"), 3.0);
    NumberScanner s;
    std::string text = "  \n";
    EXPECT_EQ(s.Feed(text.data(), text.data() + text.size()), text.data() + 2);
}

TEST(NumberScanner, OverflowHoldsAtTheLargestFiniteValue) {
    EXPECT_EQ(Scan("1e999"), DBL_MAX);
    EXPECT_EQ(Scan("-1e999"), -DBL_MAX);
    EXPECT_EQ(Scan("1e9999999999999999999999"), DBL_MAX);
    EXPECT_EQ(Scan("1.8e308"), DBL_MAX);
    EXPECT_EQ(Scan("1.7976931348623157e308"), DBL_MAX);
    EXPECT_EQ(Scan("1e-999"), 0.0);
    EXPECT_TRUE(std::signbit(Scan("-1e-999")));
    EXPECT_EQ(Scan("4e-324"), std::nextafter(0.0, 1.0)); // the smallest subnormal
    EXPECT_EQ(Scan("1e-310"), 1e-310);
}

TEST(NumberScanner, LongNumbersRoundCorrectly) {
    // 1 followed by 400 zeros and then more digits: beyond a double's range.
    EXPECT_EQ(Scan("1" + std::string(400, '0')), DBL_MAX);
    // 0.1 written with a thousand digits of zeros after it is still 0.1.
    EXPECT_EQ(Scan("0.1" + std::string(1000, '0')), 0.1);
    EXPECT_EQ(Scan(std::string(5000, '0') + "42"), 42.0);
    // Halfway between two doubles, decided by a digit far beyond the kept ones.
    const std::string half = "9007199254740993"; // 2^53 + 1
    EXPECT_EQ(Scan(half), 9007199254740992.0);
    EXPECT_EQ(Scan(half + "." + std::string(900, '0') + "1"), 9007199254740994.0);
}

TEST(NumberScanner, FeedsInPiecesLikeAWhole) {
    const std::string text = "  -123.4567e-2 tail";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        NumberScanner s;
        s.Feed(text.data(), text.data() + cut);
        s.Feed(text.data() + cut, text.data() + text.size());
        EXPECT_EQ(s.Value(), -1.234567) << cut;
    }
}

TEST(NumberScanner, AgreesWithStrtodOnRandomDoubles) {
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::uint64_t> bits;
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t b = bits(rng);
        double d;
        std::memcpy(&d, &b, sizeof d);
        if (!std::isfinite(d))
            continue;
        std::snprintf(text, sizeof text, i % 2 ? "%.17g" : "%.6e", d);
        EXPECT_EQ(Scan(text), std::strtod(text, nullptr)) << text;
    }
}

} // namespace
