// Every form of the table header compiled by the real compilers, gcc as C11 and g++ as C++17,
// with every warning an error, and the values the compiled program holds read back: the
// hexadecimal tables must hold what the decimal ones hold, floats and doubles the very bits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/TableExport.h"
#include "tests/support/Shell.h"

namespace {

namespace fs = std::filesystem;

const std::vector<double> Samples = {
    0,        -1,      1,          127.5,         -128.5,        255.5,        32767,
    -32768.6, 65535.4, 2147483647, -2147483648.0, -2147483649.0, 4294967295.0, 1e10,
    -0.0,     0.1,     -0.5,       1e-45,         3.4028235e38,  1e300,        -1e300,
    5e-324};

struct Case {
    std::string name; // the array's name
    TableOptions options;
};

std::vector<Case> Cases() {
    const TableType types[] = {
        TableType::Int8,   TableType::UInt8, TableType::Int16,  TableType::UInt16, TableType::Int32,
        TableType::UInt32, TableType::Float, TableType::Double, TableType::Q15,    TableType::Q31};
    std::vector<Case> cases;
    for (TableType t : types) {
        const bool integer = t != TableType::Float && t != TableType::Double;
        const bool fractional = t == TableType::Q15 || t == TableType::Q31;
        for (bool hex : {false, true}) {
            if (hex && !integer)
                continue;
            for (bool dressed : {false, true}) {
                Case c;
                c.name = std::string("T_") + TableTypeOption(t) + (hex ? "_hex" : "_dec") +
                         (dressed ? "_dressed" : "");
                TableOptions& o = c.options;
                o.type = t;
                o.hex = hex;
                o.name = c.name;
                if (dressed) { // everything that changes the text
                    o.scaled = integer && !fractional;
                    o.before = "static const";
                    o.after = "PROGMEM";
                    o.guard = c.name + "_H";
                    o.lengthMacro = c.name + "_LENGTH";
                    o.includeStdint = false;
                    o.perLine = 3;
                    o.crlf = true;
                }
                cases.push_back(c);
            }
        }
    }
    return cases;
}

TEST(HeaderCompile, EveryFormCompilesCleanlyAsCAndCppAndHoldsItsValues) {
    const fs::path dir = fs::temp_directory_path() / "tarvelin-header-compile";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<DataPoint> points;
    for (double y : Samples)
        points.push_back({double(points.size()), y});
    const std::vector<Case> cases = Cases();
    std::ostringstream program;
    program << "#include <stdint.h>\n#include <stdio.h>\n#define PROGMEM\n";
    for (const Case& c : cases) {
        std::string text;
        ASSERT_TRUE(WriteTable(StringSink(text), points.data(), points.size(), c.options))
            << PlanTable(points.data(), points.size(), c.options).error;
        std::ofstream(dir / (c.name + ".h"), std::ios::binary) << text;
        program << "#include \"" << c.name << ".h\"\n";
        if (!c.options.guard.empty()) // a guard makes a second inclusion harmless
            program << "#include \"" << c.name << ".h\"\n";
    }
    program << "int main(void) {\n    unsigned i;\n";
    for (const Case& c : cases) {
        const bool floating =
            c.options.type == TableType::Float || c.options.type == TableType::Double;
        program << "    for (i = 0; i < sizeof " << c.name << " / sizeof " << c.name
                << "[0]; ++i)\n        printf(\"" << c.name << " %" << (floating ? "a" : "lld")
                << "\\n\", (" << (floating ? "double" : "long long") << ")" << c.name << "[i]);\n";
    }
    program << "    return 0;\n}\n";
    std::ofstream(dir / "main.c") << program.str();

    std::map<std::string, std::vector<std::string>> held[2];
    const std::string flags = " -Wall -Wextra -pedantic -Werror -I" + dir.string() + " ";
    const std::string builds[2] = {"gcc -std=c11 -x c", "g++ -std=c++17 -x c++"};
    for (int b = 0; b < 2; ++b) {
        const fs::path exe = dir / ("table-" + std::to_string(b));
        const ShellRun compiled =
            Shell(builds[b] + flags + (dir / "main.c").string() + " -o " + exe.string());
        ASSERT_EQ(compiled.status, 0) << builds[b] << ":\n" << compiled.out;
        std::istringstream lines(Shell(exe.string()).out);
        std::string name, value;
        while (lines >> name >> value)
            held[b][name].push_back(value);
    }
    EXPECT_EQ(held[0], held[1]) << "C and C++ read the tables alike";
    for (const Case& c : cases) {
        const std::vector<std::string>& values = held[0][c.name];
        ASSERT_EQ(values.size(), Samples.size()) << c.name;
        if (c.options.hex) { // the same numbers as the decimal table of the same options
            std::string decimal = c.name;
            decimal.replace(decimal.find("_hex"), 4, "_dec");
            EXPECT_EQ(values, held[0][decimal]) << c.name;
        }
        for (std::size_t i = 0; i < Samples.size(); ++i) {
            char want[64];
            if (c.options.type == TableType::Double)
                std::snprintf(want, sizeof want, "%a", Samples[i]);
            else if (c.options.type == TableType::Float)
                std::snprintf(
                    want, sizeof want, "%a",
                    double(float(std::clamp(Samples[i], -double(FLT_MAX), double(FLT_MAX)))));
            else
                continue;
            EXPECT_EQ(values[i], want) << c.name << " " << i;
        }
    }
    const std::vector<std::string>& int32 = held[0]["T_int32_hex"];
    EXPECT_EQ(int32[10], "-2147483648");
    EXPECT_EQ(int32[1], "-1");
    fs::remove_all(dir);
}

} // namespace
