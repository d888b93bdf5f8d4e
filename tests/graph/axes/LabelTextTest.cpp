#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "graph/axes/OleDate.h"
#include "graph/axes/TickFormat.h"

namespace {

std::string Printf(const char* format, double v) {
    char text[2048];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

TEST(TickFormat, WellFormedFormatsAreWhatPrintfGives) {
    EXPECT_EQ(FormatTickValue("%5.1f", 2.5), "  2.5");
    EXPECT_EQ(FormatTickValue("%5.2e", 1e6), "1.00e+06");
    const char* formats[] = {"%5.1f", "%5.2e", "%g", "%.3f V", "x=%+08.2f", "%-10.4e|", "%#.0f",
                             "% f",   "%G",    "%a", "%A",     "%E",        "%F",       "%12.5g s"};
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> value(-1e7, 1e7);
    for (const char* f : formats)
        for (int i = 0; i < 50; ++i) {
            const double v =
                i < 3 ? std::vector<double>{0.0, -0.0, 1e300}[std::size_t(i)] : value(rng);
            EXPECT_EQ(FormatTickValue(f, v), Printf(f, v)) << f << " " << v;
        }
    EXPECT_EQ(FormatTickValue("%lf", 1.5), "1.500000");
    EXPECT_EQ(FormatTickValue("%5.1f%%", 50), " 50.0%");
}

TEST(TickFormat, AnythingElseIsPlainText) {
    EXPECT_EQ(FormatTickValue("%s", 1.0), "%s");
    EXPECT_EQ(FormatTickValue("%n%f", 1.0), "%n1.000000");
    EXPECT_EQ(FormatTickValue("%d", 1.0), "%d");
    EXPECT_EQ(FormatTickValue("%f and %f", 1.0), "1.000000 and %f");
    EXPECT_EQ(FormatTickValue("%*f", 1.0), "%*f");
    EXPECT_EQ(FormatTickValue("%Lf", 1.0), "%Lf");
    EXPECT_EQ(FormatTickValue("%100000f", 1.0), "%100000f");
    EXPECT_EQ(FormatTickValue("abc", 1.0), "abc");
    EXPECT_EQ(FormatTickValue("", 1.0), "");
    EXPECT_EQ(FormatTickValue("100%", 1.0), "100%");
    EXPECT_EQ(FormatTickValue(std::string("%\0f", 3), 1.0), std::string("%\0f", 3));
    EXPECT_EQ(FormatTickValue("%999.999f", 1.0).size(), 1001u);
}

TEST(TickFormat, DecimalPointWhateverTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(FormatTickValue("%5.1f", 2.5), "  2.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TickFormat, FuzzedFormatsNeverMisbehave) {
    std::mt19937_64 rng(9);
    const std::string alphabet = "%%%%fFeEgGaAsndlLxXp.0123456789-+ #*\\ abc";
    std::uniform_int_distribution<std::size_t> ch(0, alphabet.size() - 1), len(0, 12);
    const double values[] = {0,
                             1,
                             -1,
                             1e308,
                             -1e-308,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < 20000; ++i) {
        std::string f;
        for (std::size_t n = len(rng); n > 0; --n)
            f += alphabet[ch(rng)];
        for (double v : values)
            EXPECT_LT(FormatTickValue(f, v).size(), 4000u) << f;
    }
}

TEST(OleDate, FractionIsTheTimeOfDayOnBothSidesOfTheEpoch) {
    EXPECT_EQ(FormatDate(0, "%Y-%m-%d %H:%M:%S"), "1899-12-30 00:00:00");
    EXPECT_EQ(FormatDate(-1.25, "%Y-%m-%d %H:%M"), "1899-12-29 06:00");
    EXPECT_EQ(FormatDate(1.75, "%Y-%m-%d %H:%M"), "1899-12-31 18:00");
    EXPECT_EQ(FormatDate(25569.5, "%Y-%m-%d %H:%M %a"), "1970-01-01 12:00 Thu");
    EXPECT_EQ(FormatDate(MakeDate(2024, 2, 29, 23, 59, 59), "%d.%m.%Y %H:%M:%S %j"),
              "29.02.2024 23:59:59 060");
    EXPECT_EQ(FormatDate(MakeDate(1850, 3, 1, 6), "%Y-%m-%d %H"), "1850-03-01 06");
    EXPECT_DOUBLE_EQ(MakeDate(1899, 12, 29, 6), -1.25);
    EXPECT_EQ(FormatDate(1.0 - 1e-9, "%Y-%m-%d %H:%M:%S"), "1899-12-31 00:00:00"); // rounds
    EXPECT_EQ(FormatDate(3e6, "%Y"), "");  // beyond year 9999
    EXPECT_EQ(FormatDate(-7e5, "%Y"), ""); // before year 100
    EXPECT_EQ(FormatDate(std::numeric_limits<double>::quiet_NaN(), "%Y"), "");
    EXPECT_EQ(FormatDate(1, ""), "");
}

} // namespace
