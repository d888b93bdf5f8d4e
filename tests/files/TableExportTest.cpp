#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/TableExport.h"

namespace {

std::vector<DataPoint> Points(std::initializer_list<double> ys) {
    std::vector<DataPoint> p;
    for (double y : ys)
        p.push_back({double(p.size()), y});
    return p;
}

std::string Written(const std::vector<DataPoint>& points, const TableOptions& o) {
    std::string text;
    EXPECT_TRUE(WriteTable(StringSink(text), points.data(), points.size(), o));
    return text;
}

TEST(TableExport, ScaledHexForADacWithPROGMEMAndAGuard) {
    TableOptions o;
    o.type = TableType::UInt16;
    o.scaled = true;
    o.targetMin = 0;
    o.targetMax = 4095;
    o.hex = true;
    o.perLine = 2;
    o.name = "Sine";
    o.before = "static const";
    o.after = "PROGMEM";
    o.guard = "SINE_H";
    EXPECT_EQ(Written(Points({-1, 0, 0.5, 1}), o), "#ifndef SINE_H\n#define SINE_H\n\n"
                                                   "#include <stdint.h>\n\n"
                                                   "static const uint16_t Sine[4] PROGMEM = {\n"
                                                   "    0x0000, 0x0800,\n"
                                                   "    0x0BFF, 0x0FFF\n"
                                                   "};\n\n#endif /* SINE_H */\n");
    o.lengthMacro = "SINE_LENGTH";
    o.guard.clear();
    o.includeStdint = false;
    o.crlf = true;
    o.perLine = 3;
    EXPECT_EQ(Written(Points({-1, 0, 0.5, 1}), o),
              "#define SINE_LENGTH 4\r\n\r\nstatic const uint16_t Sine[SINE_LENGTH] PROGMEM = {\r\n"
              "    0x0000, 0x0800, 0x0BFF,\r\n    0x0FFF\r\n};\r\n");
}

TEST(TableExport, IntegersRoundHalfAwayAndSaturateAtTheTypesLimits) {
    TableOptions o;
    o.type = TableType::Int8;
    o.perLine = 6;
    const auto samples = Points({127.5, -128.5, 300, -1e9, 2.5, -2.5, -0.4});
    EXPECT_EQ(Written(samples, o), "#include <stdint.h>\n\nconst int8_t Table[7] = {\n"
                                   "    127, -128, 127, -128, 3, -3,\n    0\n};\n");
    EXPECT_EQ(PlanTable(samples.data(), samples.size(), o).saturated, 4u);
    o.hex = true;
    o.includeStdint = false;
    EXPECT_EQ(Written(samples, o), "const int8_t Table[7] = {\n"
                                   "    0x7F, -0x80, 0x7F, -0x80, 0x03, -0x03,\n    0x00\n};\n");
    o.type = TableType::UInt32;
    o.perLine = 8;
    EXPECT_EQ(
        Written(Points({4294967295.4, -0.4, 4294967296, 1}), o),
        "const uint32_t Table[4] = {\n    0xFFFFFFFF, 0x00000000, 0xFFFFFFFF, 0x00000001\n};\n");
    o.hex = false;
    o.type = TableType::Int32;
    EXPECT_EQ(Written(Points({-2147483648.0, 2147483647.0, 1e12}), o),
              "const int32_t Table[3] = {\n    -2147483648, 2147483647, 2147483647\n};\n");
}

TEST(TableExport, Q15AndQ31MapMinusOneToOne) {
    TableOptions o;
    o.type = TableType::Q15;
    o.includeStdint = false;
    const auto samples = Points({-1, 1, 0.5, -0.25, 2});
    EXPECT_EQ(Written(samples, o),
              "const int16_t Table[5] = {\n    -32768, 32767, 16384, -8192, 32767\n};\n");
    EXPECT_EQ(PlanTable(samples.data(), samples.size(), o).saturated, 2u);
    o.type = TableType::Q31;
    o.hex = true;
    o.scaled = true; // no effect: Q formats have their own mapping
    EXPECT_EQ(Written(Points({-1, 0.5}), o),
              "const int32_t Table[2] = {\n    (-0x7FFFFFFF - 1), 0x40000000\n};\n");
}

TEST(TableExport, FloatsAndDoublesReadBackBitExact) {
    TableOptions o;
    o.type = TableType::Float;
    o.perLine = 4;
    const auto samples = Points({1, 0.1, -2.5e-10, 1e300});
    EXPECT_EQ(Written(samples, o),
              "const float Table[4] = {\n"
              "    1.0f, 0.100000001f, -2.49999993e-10f, 3.40282347e+38f\n};\n");
    EXPECT_EQ(PlanTable(samples.data(), samples.size(), o).saturated, 1u);
    o.type = TableType::Double;
    EXPECT_EQ(Written(Points({1, 0.1}), o),
              "const double Table[2] = {\n    1.0, 0.10000000000000001\n};\n");

    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> v(-1e6, 1e6);
    std::vector<DataPoint> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back({double(i), v(rng) * std::pow(10.0, double(i % 40) - 20)});
    for (TableType type : {TableType::Float, TableType::Double}) {
        o.type = type;
        o.perLine = 1;
        std::istringstream in(Written(many, o));
        std::string line;
        std::getline(in, line); // the declaration
        for (const DataPoint& p : many) {
            std::getline(in, line);
            const char* text = line.c_str() + 4;
            if (type == TableType::Float)
                EXPECT_EQ(std::strtof(text, nullptr), float(p.y)) << line;
            else
                EXPECT_EQ(std::strtod(text, nullptr), p.y) << line;
        }
    }
}

TEST(TableExport, ScaledMappingsHitTheEndsAndKeepTheOrder) {
    std::mt19937_64 rng(6);
    std::uniform_real_distribution<double> v(-3, 7);
    std::vector<DataPoint> points;
    for (int i = 0; i < 1000; ++i)
        points.push_back({double(i), v(rng)});
    TableOptions o;
    o.type = TableType::UInt16;
    o.scaled = true;
    o.targetMin = 0;
    o.targetMax = 4095;
    o.perLine = 1;
    o.includeStdint = false;
    std::istringstream in(Written(points, o));
    std::string line;
    std::getline(in, line);
    std::vector<std::pair<double, long>> mapped;
    for (const DataPoint& p : points) {
        std::getline(in, line);
        mapped.push_back({p.y, std::strtol(line.c_str(), nullptr, 10)});
    }
    std::sort(mapped.begin(), mapped.end());
    EXPECT_EQ(mapped.front().second, 0);
    EXPECT_EQ(mapped.back().second, 4095);
    for (std::size_t i = 1; i < mapped.size(); ++i)
        EXPECT_LE(mapped[i - 1].second, mapped[i].second);

    o.sourceMin = 0; // typed source range: what lies beyond is held at the target's ends
    o.sourceMax = 1;
    o.perLine = 8;
    const auto beyond = Points({-1, 0, 1, 2});
    EXPECT_EQ(Written(beyond, o), "const uint16_t Table[4] = {\n    0, 0, 4095, 4095\n};\n");
    EXPECT_EQ(PlanTable(beyond.data(), 4, o).saturated, 2u); // the two beyond are counted
    o.sourceMin.reset();
    o.sourceMax.reset();
    EXPECT_EQ(Written(Points({3, 3}), o), "const uint16_t Table[2] = {\n    0, 0\n};\n");
}

TEST(TableExport, EmptyAndSingleTablesAndRefusedOptions) {
    TableOptions o;
    o.includeStdint = false;
    EXPECT_NE(PlanTable(nullptr, 0, o).error.find("no samples"), std::string::npos);
    EXPECT_EQ(Written(Points({5}), o), "const int16_t Table[1] = {\n    5\n};\n");
    o.perLine = 2; // dividing the count: no empty line
    EXPECT_EQ(Written(Points({1, 2, 3, 4}), o),
              "const int16_t Table[4] = {\n    1, 2,\n    3, 4\n};\n");

    const auto samples = Points({1});
    auto refused = [&](TableOptions bad) {
        std::string text;
        const bool ok = WriteTable(StringSink(text), samples.data(), samples.size(), bad);
        return !ok && text.empty() && !PlanTable(samples.data(), 1, bad).error.empty();
    };
    TableOptions bad = o;
    bad.name = "1st";
    EXPECT_TRUE(refused(bad));
    bad = o;
    bad.guard = "A-B";
    EXPECT_TRUE(refused(bad));
    bad = o;
    bad.scaled = true;
    bad.targetMax = 70000; // beyond int16_t
    EXPECT_TRUE(refused(bad));
    bad = o;
    bad.perLine = 0;
    EXPECT_TRUE(refused(bad));
    bad = o;
    bad.after = "PROGMEM\n";
    EXPECT_TRUE(refused(bad));
    // Headers that would not compile: keywords, and macros that replace the array's name.
    for (const char* word : {"int", "while", "const", "_Bool", "class", "new", "int16_t"}) {
        bad = o;
        bad.name = word;
        EXPECT_TRUE(refused(bad)) << word;
        bad = o;
        bad.guard = word;
        EXPECT_TRUE(refused(bad)) << word;
    }
    bad = o;
    bad.guard = "Table";
    EXPECT_EQ(PlanTable(samples.data(), 1, bad).error,
              "The header guard \"Table\" is the array's name: the macro would replace it.");
    bad = o;
    bad.lengthMacro = "Table";
    EXPECT_TRUE(refused(bad));
    bad = o;
    bad.guard = bad.lengthMacro = "T_H";
    EXPECT_TRUE(refused(bad));
    EXPECT_TRUE(IsCIdentifier("_a9"));
    EXPECT_FALSE(IsCIdentifier(""));
    EXPECT_EQ(TableTypeFromOption("q15"), TableType::Q15);
    EXPECT_FALSE(TableTypeFromOption("int64"));
}

TEST(TableExport, APreviewShowsTheFirstLinesAndTheLast) {
    std::vector<DataPoint> ramp;
    for (int i = 0; i < 20; ++i)
        ramp.push_back({double(i), double(i)});
    TableOptions o;
    o.includeStdint = false;
    o.perLine = 4;
    EXPECT_EQ(TablePreview(ramp.data(), ramp.size(), o, 2),
              "const int16_t Table[20] = {\n    0, 1, 2, 3,\n    4, 5, 6, 7,\n    ...\n"
              "    16, 17, 18, 19\n};\n");
    EXPECT_EQ(TablePreview(ramp.data(), 9, o, 2),
              "const int16_t Table[9] = {\n    0, 1, 2, 3,\n    4, 5, 6, 7,\n    8\n};\n");
}

// The first sample once more at the end, for readers that interpolate past the last entry.
TEST(TableExport, AGuardPointRepeatsTheFirstSample) {
    TableOptions o;
    o.includeStdint = false;
    o.guardPoint = true;
    EXPECT_EQ(Written(Points({1, 2, 3}), o), "const int16_t Table[4] = {\n    1, 2, 3, 1\n};\n");
    o.format = TableFormat::Mem;
    o.width = 4;
    o.scaled = true;
    EXPECT_EQ(Written(Points({1, 2, 3}), o),
              "// Table: 4 words of 4 bits, unsigned, scaled, the first again at the end\n"
              "0 8 F 0\n");
    const auto p = Points({1, 2, 3});
    EXPECT_EQ(PlanTable(p.data(), 3, o).tableBytes, 4u);
}

} // namespace
