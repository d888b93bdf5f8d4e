// The word forms for FPGAs and ROMs, each read back by a tool that never saw our code:
// Icarus Verilog runs $readmemh and $readmemb, srec_cat turns Intel HEX and MIF images into
// bytes, and COE is parsed by the grammar of Xilinx's documentation. Expected words come from
// the mapping worked out here in long double.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sndfile.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/support/Shell.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> BytesOf(const fs::path& p) {
    const std::string text = ReadAll(p);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

struct WordForms : testing::Test {
    fs::path dir = fs::temp_directory_path() /
                   ("tarvelin-words-" +
                    std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::vector<double> samples;
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // A sine of n samples, written as the editor writes it.
    fs::path Sine(std::size_t n) {
        samples.clear();
        std::ofstream out(dir / "sine.txt", std::ios::binary);
        for (std::size_t i = 0; i < n; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "%f\r\n", std::sin(2 * M_PI * double(i) / double(n)));
            out << line;
            samples.push_back(std::strtod(line, nullptr));
        }
        return dir / "sine.txt";
    }
    // -1..1 onto the width's full range, rounded half away from zero: the words' bits.
    std::vector<std::uint64_t> Expected(int width, bool isSigned, bool guard = false) const {
        const long double lo = isSigned ? -std::ldexp(1.0L, width - 1) : 0;
        const long double hi =
            isSigned ? std::ldexp(1.0L, width - 1) - 1 : std::ldexp(1.0L, width) - 1;
        std::vector<std::uint64_t> words;
        for (std::size_t i = 0; i < samples.size() + (guard ? 1 : 0); ++i) {
            const long double y = samples[i < samples.size() ? i : 0];
            const long double v = std::round(lo + (y + 1) / 2 * (hi - lo));
            words.push_back(std::uint64_t(std::int64_t(v)) & ((std::uint64_t(1) << width) - 1));
        }
        return words;
    }
    ShellRun Export(const std::string& args, const fs::path& input, const fs::path& output) {
        return Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --scale -1:1 " + args + " " +
                     input.string() + " -o " + output.string());
    }
};

std::vector<std::uint8_t> Bytes(const std::vector<std::uint64_t>& words, int width, bool big) {
    const int bytes = (width + 7) / 8;
    std::vector<std::uint8_t> out;
    for (std::uint64_t w : words)
        for (int b = 0; b < bytes; ++b)
            out.push_back(std::uint8_t(w >> (8 * (big ? bytes - 1 - b : b))));
    return out;
}

TEST_F(WordForms, ReadmemhAndReadmembReadEveryWordAtEveryWidth) {
    const fs::path input = Sine(1024);
    for (int width : {1, 8, 12, 16, 31, 32})
        for (bool isSigned : {false, true})
            for (const char* format : {"mem", "memb"}) {
                const std::string what = std::string(format) + " " + std::to_string(width) +
                                         (isSigned ? " signed" : " unsigned");
                const fs::path mem = dir / "table.mem";
                ASSERT_EQ(Export(std::string("--format ") + format + " --width " +
                                     std::to_string(width) + (isSigned ? " --signed" : "") +
                                     " --guard-point",
                                 input, mem)
                              .status,
                          0)
                    << what;
                const std::size_t n = samples.size() + 1;
                std::ofstream(dir / "read.v")
                    << "module read;\n  reg [" << width - 1 << ":0] m [0:" << n - 1
                    << "];\n  integer i;\n  initial begin\n    $readmem"
                    << (std::string(format) == "mem" ? "h" : "b") << "(\"" << mem.string()
                    << "\", m);\n    for (i = 0; i < " << n
                    << "; i = i + 1) $display(\"%0d\", m[i]);\n    $finish;\n  end\nendmodule\n";
                const ShellRun compiled = Shell("iverilog -o " + (dir / "read.vvp").string() + " " +
                                                (dir / "read.v").string());
                ASSERT_EQ(compiled.status, 0) << compiled.out;
                const ShellRun run = Shell("vvp -n " + (dir / "read.vvp").string());
                ASSERT_EQ(run.status, 0) << run.out;
                std::istringstream lines(run.out);
                std::vector<std::uint64_t> read;
                for (std::string line; std::getline(lines, line);)
                    if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
                        read.push_back(std::stoull(line));
                EXPECT_EQ(read, Expected(width, isSigned, true)) << what;
            }
}

TEST_F(WordForms, IntelHexAndMifBecomeTheExpectedBytesThroughSrecCat) {
    for (std::size_t n : {std::size_t(1), std::size_t(65537)}) {
        const fs::path input = Sine(n);
        for (int width : {8, 12, 16, 32})
            for (bool big : {false, true})
                for (const char* base : {"0", "0x1FFF8"}) {
                    const std::string what = std::to_string(n) + " words of " +
                                             std::to_string(width) + (big ? " big" : " little") +
                                             " at " + base;
                    const fs::path hex = dir / "image.hex", bin = dir / "image.bin";
                    ASSERT_EQ(Export("--format ihex --width " + std::to_string(width) + " --base " +
                                         base + " --endian " + (big ? "big" : "little") +
                                         (width == 32 ? " --record-bytes 32" : ""),
                                     input, hex)
                                  .status,
                              0)
                        << what;
                    const ShellRun back = Shell("srec_cat " + hex.string() + " -intel -offset -" +
                                                base + " -o " + bin.string() + " -binary");
                    ASSERT_EQ(back.status, 0) << back.out;
                    const std::vector<std::uint8_t> bytes = BytesOf(bin);
                    EXPECT_TRUE(bytes == Bytes(Expected(width, false), width, big)) << what;
                    // The raw image holds the same bytes.
                    ASSERT_EQ(Export("--format bin --width " + std::to_string(width) +
                                         " --endian " + (big ? "big" : "little"),
                                     input, bin)
                                  .status,
                              0);
                    EXPECT_TRUE(BytesOf(bin) == bytes) << what;
                }
        if (n > 1) { // 64 KiB crossed: extended linear address records
            const std::string text = ReadAll(dir / "image.hex");
            EXPECT_NE(text.find(":02000004"), std::string::npos);
        }
    }
    const fs::path input = Sine(1024);
    for (const char* radix : {"16", "10", "2"}) {
        const fs::path mif = dir / "table.mif", bin = dir / "mif.bin";
        ASSERT_EQ(
            Export(std::string("--format mif --width 12 --radix ") + radix, input, mif).status, 0);
        const ShellRun back =
            Shell("srec_cat " + mif.string() + " -mif -o " + bin.string() + " -binary");
        ASSERT_EQ(back.status, 0) << radix << ": " << back.out;
        EXPECT_TRUE(BytesOf(bin) == Bytes(Expected(12, false), 12, false)) << "mif radix " << radix;
    }
}

// COE by the grammar of the vendor's documentation: comments after ';', then
// memory_initialization_radix=R; and memory_initialization_vector= with the values separated
// by commas or blanks, the last ended by ';'.
TEST_F(WordForms, CoeFollowsItsGrammarAtEveryRadix) {
    const fs::path input = Sine(100);
    for (int radix : {2, 10, 16})
        for (bool isSigned : {false, true}) {
            const fs::path coe = dir / "table.coe";
            ASSERT_EQ(Export("--format coe --width 14 --radix " + std::to_string(radix) +
                                 (isSigned ? " --signed" : ""),
                             input, coe)
                          .status,
                      0);
            std::string text = ReadAll(coe);
            std::string body;
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);)
                if (line.empty() || line[0] != ';')
                    body += line + "\n";
            const std::regex grammar(
                R"(^\s*memory_initialization_radix\s*=\s*(\d+)\s*;\s*memory_initialization_vector\s*=\s*([0-9A-Fa-f,\s]*);\s*$)");
            std::smatch m;
            ASSERT_TRUE(std::regex_match(body, m, grammar)) << body.substr(0, 300);
            EXPECT_EQ(std::stoi(m[1]), radix);
            std::vector<std::uint64_t> values;
            std::istringstream vector(std::regex_replace(std::string(m[2]), std::regex(","), " "));
            for (std::string v; vector >> v;)
                values.push_back(std::stoull(v, nullptr, radix));
            EXPECT_EQ(values, Expected(14, isSigned)) << radix;
        }
}

} // namespace

namespace {

std::vector<std::string> LastWords(const std::string& output) {
    std::vector<std::string> words;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t space = line.find_last_of(' ');
        words.push_back(space == std::string::npos ? line : line.substr(space + 1));
    }
    return words;
}

// A test bench that reports `shown` for every element of the package's constant.
std::string TestBench(const std::string& shown) {
    return "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n"
           "use work.Table_pkg.all;\nentity tb is\nend entity;\narchitecture run of tb is\n"
           "begin\n  process\n  begin\n    for i in Table'range loop\n      report " +
           shown + ";\n    end loop;\n    wait;\n  end process;\nend architecture;\n";
}

// GHDL analyses the package and a test bench reports every word of the constant.
TEST_F(WordForms, GhdlReadsTheVhdlPackage) {
    const fs::path input = Sine(300);
    for (int width : {1, 8, 12, 16, 31, 32})
        for (bool isSigned : {false, true}) {
            const fs::path pkg = dir / "table_pkg.vhd";
            ASSERT_EQ(Export("--format vhdl --per-line 5 --width " + std::to_string(width) +
                                 (isSigned ? " --signed" : ""),
                             input, pkg)
                          .status,
                      0);
            std::ofstream(dir / "tb.vhd") << TestBench("to_hstring(Table(i))");
            const std::string ghdl = "cd " + dir.string() + " && ghdl ";
            const ShellRun analysed =
                Shell(ghdl + "-a --std=08 table_pkg.vhd tb.vhd && " + ghdl + "-e --std=08 tb");
            ASSERT_EQ(analysed.status, 0) << analysed.out;
            const ShellRun run = Shell(ghdl + "-r --std=08 tb");
            ASSERT_EQ(run.status, 0) << run.out;
            std::vector<std::uint64_t> read;
            for (const std::string& w : LastWords(run.out))
                if (!w.empty())
                    read.push_back(std::stoull(w, nullptr, 16));
            EXPECT_EQ(read, Expected(width, isSigned)) << width << (isSigned ? " signed" : "");
        }
    // Elements of numeric_std's signed and unsigned, and integers of the words' range.
    const struct {
        const char* type;
        bool isSigned;
        const char* shown;
    } kinds[] = {{"signed", true, "to_hstring(Table(i))"},
                 {"unsigned", false, "to_hstring(Table(i))"},
                 {"integer", true, "integer'image(Table(i))"},
                 {"integer", false, "integer'image(Table(i))"}};
    for (const auto& k : kinds) {
        const std::string what = std::string(k.type) + (k.isSigned ? " signed" : " unsigned");
        ASSERT_EQ(Export(std::string("--format vhdl --width 12 --vhdl-type ") + k.type +
                             (k.isSigned ? " --signed" : ""),
                         input, dir / "table_pkg.vhd")
                      .status,
                  0);
        std::ofstream(dir / "tb.vhd") << TestBench(k.shown);
        const std::string ghdl = "cd " + dir.string() + " && ghdl ";
        const ShellRun analysed =
            Shell(ghdl + "-a --std=08 table_pkg.vhd tb.vhd && " + ghdl + "-e --std=08 tb");
        ASSERT_EQ(analysed.status, 0) << what << "\n" << analysed.out;
        const ShellRun run = Shell(ghdl + "-r --std=08 tb");
        std::vector<std::uint64_t> read;
        for (const std::string& w : LastWords(run.out))
            if (!w.empty())
                read.push_back(std::string(k.type) == "integer"
                                   ? std::uint64_t(std::stoll(w)) & 0xFFF
                                   : std::stoull(w, nullptr, 16));
        EXPECT_EQ(read, Expected(12, k.isSigned)) << what;
    }
}

// rustc compiles the static and g++ the constexpr array into programs that print them: the
// numbers they hold are the C table's, and floating values the very bits.
TEST_F(WordForms, RustcAndGppCompileTheirTables) {
    const fs::path input = Sine(100);
    for (const char* type :
         {"int8", "uint8", "int16", "uint16", "int32", "uint32", "q15", "q31", "float", "double"})
        for (bool hex : {false, true}) {
            const bool floating = std::string(type) == "float" || std::string(type) == "double";
            if (hex && floating)
                continue;
            const std::string options = std::string("--type ") + type + (hex ? " --hex" : "") +
                                        (floating || type[0] == 'q' ? "" : " --scale -1:1");
            const std::string what = options;
            // The C table's values, as the compiled header test has proven them.
            const fs::path c = dir / "table.h";
            ASSERT_EQ(Shell(std::string(TARVELIN_TABLE_COMMAND) + " export " + options + " " +
                            input.string() + " -o " + c.string())
                          .status,
                      0);
            std::ofstream(dir / "c.c")
                << "#include <stdio.h>\n#include \"table.h\"\nint main(void) "
                   "{ for (unsigned i = 0; i < sizeof Table / sizeof *Table; "
                   "++i) printf(\""
                << (floating ? "%a" : "%lld") << "\\n\", (" << (floating ? "double" : "long long")
                << ")Table[i]); return 0; }\n";
            ASSERT_EQ(Shell("gcc -o " + (dir / "c").string() + " " + (dir / "c.c").string()).status,
                      0);
            const std::vector<std::string> want = LastWords(Shell((dir / "c").string()).out);

            const fs::path rs = dir / "table.rs";
            ASSERT_EQ(Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --format rust " +
                            options + " " + input.string() + " -o " + rs.string())
                          .status,
                      0);
            std::ofstream(dir / "main.rs")
                << "include!(\"table.rs\");\nfn main() {\n    for v in Table.iter() {\n"
                << (floating ? "        println!(\"{:e}\", *v as f64);\n"
                             : "        println!(\"{}\", v);\n")
                << "    }\n}\n";
            const ShellRun rust =
                Shell("rustc -o " + (dir / "rs").string() + " " + (dir / "main.rs").string());
            ASSERT_EQ(rust.status, 0) << what << "\n" << rust.out;
            std::vector<std::string> fromRust = LastWords(Shell((dir / "rs").string()).out);

            const fs::path hpp = dir / "table.hpp";
            ASSERT_EQ(Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --format cpp " +
                            options + " " + input.string() + " -o " + hpp.string())
                          .status,
                      0);
            std::ofstream(dir / "main.cpp")
                << "#include <cstdio>\n#include \"table.hpp\"\nint main() {\n"
                   "    static_assert(Table.size() == "
                << samples.size() << ");\n    for (auto v : Table) std::printf(\""
                << (floating ? "%a" : "%lld") << "\\n\", (" << (floating ? "double" : "long long")
                << ")v);\n}\n";
            const ShellRun cpp = Shell("g++ -std=c++17 -Wall -Wextra -pedantic -Werror -o " +
                                       (dir / "cpp").string() + " " + (dir / "main.cpp").string());
            ASSERT_EQ(cpp.status, 0) << what << "\n" << cpp.out;
            EXPECT_EQ(LastWords(Shell((dir / "cpp").string()).out), want) << what;
            if (floating) { // Rust prints decimals: compare the values they read as
                ASSERT_EQ(fromRust.size(), want.size());
                for (std::size_t i = 0; i < want.size(); ++i)
                    EXPECT_EQ(std::strtod(fromRust[i].c_str(), nullptr),
                              std::strtod(want[i].c_str(), nullptr))
                        << what << " " << i;
            } else {
                EXPECT_EQ(fromRust, want) << what;
            }
        }
}

} // namespace

namespace {

// libsndfile reads the WAV back: its samples, the smpl loop over exactly the table, and the
// clm chunk of a 2048-sample wavetable.
TEST_F(WordForms, LibsndfileReadsTheLoopingCycle) {
    for (std::size_t n : {std::size_t(1024), std::size_t(2048)})
        for (const char* format : {"pcm8", "pcm16", "pcm24", "pcm32", "float"}) {
            const fs::path input = Sine(n);
            const fs::path wav = dir / "cycle.wav";
            const std::string what = std::to_string(n) + " " + format;
            const std::string options =
                std::string("--format wav --rate 44100 --sample-format ") + format;
            const bool floating = std::string(format) == "float"; // takes no --scale
            ASSERT_EQ((floating ? Shell(std::string(TARVELIN_TABLE_COMMAND) + " export " + options +
                                        " " + input.string() + " -o " + wav.string())
                                : Export(options, input, wav))
                          .status,
                      0)
                << what;
            SF_INFO info{};
            SNDFILE* f = sf_open(wav.c_str(), SFM_READ, &info);
            ASSERT_NE(f, nullptr) << what << ": " << sf_strerror(nullptr);
            EXPECT_EQ(info.frames, sf_count_t(n)) << what;
            EXPECT_EQ(info.samplerate, 44100);
            EXPECT_EQ(info.channels, 1);
            const int bits = std::string(format) == "float" ? 0 : std::stoi(format + 3);
            if (bits) {
                std::vector<int> read(n);
                ASSERT_EQ(sf_read_int(f, read.data(), sf_count_t(n)), sf_count_t(n));
                const std::vector<std::uint64_t> want = Expected(bits, true);
                for (std::size_t i = 0; i < n; ++i) {
                    const std::int64_t w = std::int64_t(want[i] << (64 - bits)) >> (64 - bits);
                    ASSERT_EQ(read[i] >> (32 - bits), w) << what << " " << i;
                }
            } else {
                std::vector<float> read(n);
                ASSERT_EQ(sf_read_float(f, read.data(), sf_count_t(n)), sf_count_t(n));
                for (std::size_t i = 0; i < n; ++i)
                    ASSERT_EQ(read[i], float(samples[i])) << what << " " << i;
            }
            SF_INSTRUMENT instrument{};
            ASSERT_EQ(sf_command(f, SFC_GET_INSTRUMENT, &instrument, sizeof instrument), SF_TRUE)
                << what;
            EXPECT_EQ(instrument.loop_count, 1);
            EXPECT_EQ(instrument.loops[0].mode, SF_LOOP_FORWARD);
            EXPECT_EQ(instrument.loops[0].start, 0u);
            EXPECT_EQ(instrument.loops[0].end, n) << "the loop ends after the last sample";
            SF_CHUNK_INFO clm{};
            std::strcpy(clm.id, "clm ");
            clm.id_size = 4;
            SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(f, &clm);
            if (n == 2048) {
                ASSERT_NE(it, nullptr) << what;
                ASSERT_EQ(sf_get_chunk_size(it, &clm), SF_ERR_NO_ERROR);
                std::string data(clm.datalen, '\0');
                clm.data = data.data();
                ASSERT_EQ(sf_get_chunk_data(it, &clm), SF_ERR_NO_ERROR);
                EXPECT_EQ(data.rfind("<!>2048 ", 0), 0u) << data;
            } else {
                EXPECT_EQ(it, nullptr) << what;
            }
            sf_close(f);
        }
    // Asked for, a table of another length becomes one 2048-sample wavetable frame.
    const fs::path input = Sine(1000);
    ASSERT_EQ(Export("--format wav --wavetable", input, dir / "frame.wav").status, 0);
    SF_INFO frame{};
    SNDFILE* f = sf_open((dir / "frame.wav").c_str(), SFM_READ, &frame);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(frame.frames, 2048);
    std::vector<double> ys(2048);
    sf_read_double(f, ys.data(), 2048);
    sf_close(f);
    for (std::size_t i = 0; i < 2048; i += 97) // the same sine, band-limited, at 16 bits
        EXPECT_NEAR(ys[i], std::sin(2 * M_PI * double(i) / 2048), 2e-3) << i;
    EXPECT_NE(ReadAll(dir / "frame.wav").find("clm "), std::string::npos);
    // The file's own bytes hold the loop's last sample, as the RIFF smpl chunk counts it.
    const std::string bytes = ReadAll(dir / "cycle.wav");
    const std::size_t smpl = bytes.find("smpl");
    ASSERT_NE(smpl, std::string::npos);
    std::uint32_t end = 0;
    std::memcpy(&end, bytes.data() + smpl + 8 + 36 + 12, 4);
    EXPECT_EQ(end, 2047u);
}

} // namespace

namespace {

// A quarter-wave table holds the first N/4 + 1 words, offered only where the rule written in
// its comment gives back every word of the whole table: the quarter mirrored in time, the
// second half C minus the first, C the first entry plus the middle one.
TEST_F(WordForms, AQuarterWaveTableRebuildsTheWholeExactly) {
    auto word = [](const std::vector<std::uint8_t>& b, std::size_t i) {
        return int(b[2 * i]) | int(b[2 * i + 1]) << 8;
    };
    int offered = 0;
    for (std::size_t n : {std::size_t(16), std::size_t(64), std::size_t(1024), std::size_t(1028)})
        for (const char* scale :
             {"-1:1", "-1:1:0:4094", "-1:1:1:4095", "-1:1:0:4095", "-1.5:1.5:100:900"}) {
            const fs::path input = Sine(n);
            const std::string what = std::to_string(n) + " " + scale;
            const std::string words = std::string(" --format bin --width 16 --scale ") + scale;
            const fs::path quarter = dir / "quarter.bin", whole = dir / "whole.bin";
            const ShellRun full = Shell(std::string(TARVELIN_TABLE_COMMAND) + " export" + words +
                                        " " + input.string() + " -o " + whole.string());
            ASSERT_EQ(full.status, 0) << what;
            const ShellRun q =
                Shell(std::string(TARVELIN_TABLE_COMMAND) + " export" + words + " --quarter-wave " +
                      input.string() + " -o " + quarter.string());
            const std::vector<std::uint8_t> w = BytesOf(whole);
            // The reference: does the rebuild give back the whole export?
            const int c = word(w, 0) + word(w, n / 2);
            bool exact = true;
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t k = i % (n / 2) <= n / 4 ? i % (n / 2) : n / 2 - i % (n / 2);
                exact = exact && word(w, i) == (i < n / 2 ? word(w, k) : c - word(w, k));
            }
            ASSERT_EQ(q.status == 0, exact) << what << ": " << q.out;
            if (!exact)
                continue;
            ++offered;
            const std::vector<std::uint8_t> qb = BytesOf(quarter);
            ASSERT_EQ(qb.size(), 2 * (n / 4 + 1));
            EXPECT_TRUE(std::equal(qb.begin(), qb.end(), w.begin())) << what;
            // The rule is in the comment of the text forms, with C.
            ASSERT_EQ(Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --format mem" +
                            words.substr(words.find(" --width")) + " --quarter-wave " +
                            input.string() + " -o " + (dir / "q.mem").string())
                          .status,
                      0);
            EXPECT_NE(ReadAll(dir / "q.mem").find(" = " + std::to_string(c) + " - t[i]"),
                      std::string::npos)
                << ReadAll(dir / "q.mem").substr(0, 300);
        }
    EXPECT_GE(offered, 4) << "a symmetric table about its own centre is offered";
    // A symmetric DAC-unit table 2047 +- 2047, the values as they are.
    {
        std::ofstream out(dir / "dac.txt");
        for (int i = 0; i < 64; ++i)
            out << 2047 + (i % 32 == 0 ? 0
                                       : (i < 32 ? 1 : -1) *
                                             (1 + (i % 32 <= 16 ? i % 32 : 32 - i % 32) * 127))
                << "\n";
    }
    EXPECT_EQ(Shell(std::string(TARVELIN_TABLE_COMMAND) +
                    " export --format bin --width 12 --quarter-wave " + (dir / "dac.txt").string() +
                    " -o " + (dir / "dac.bin").string())
                  .status,
              0);
    // Not offered where the waveform is not symmetric, nor with a guard point, nor for WAV.
    std::ofstream(dir / "ramp.txt") << "0\n1\n2\n3\n";
    const ShellRun ramp = Export("--format mem --quarter-wave", dir / "ramp.txt", dir / "r.mem");
    EXPECT_EQ(ramp.status, 2);
    EXPECT_NE(ramp.out.find("largest deviation is"), std::string::npos) << ramp.out;
    const fs::path input = Sine(64);
    EXPECT_EQ(Export("--quarter-wave --guard-point", input, dir / "g.h").status, 2);
    EXPECT_EQ(Export("--format wav --quarter-wave", input, dir / "q.wav").status, 2);
    EXPECT_EQ(Export("--format wav --guard-point", input, dir / "g.wav").status, 2);
}

// By default a WAV file holds the samples as Import reads them back (-1..1 at full scale for
// PCM, the values themselves as float), and a table that would take only a few levels of its
// words as they are is warned of.
TEST_F(WordForms, AWavFileHoldsWhatImportReadsBack) {
    const fs::path input = Sine(256);
    for (const char* format : {"pcm8", "pcm16", "pcm24", "pcm32", "float"}) {
        const ShellRun run =
            Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --format wav --sample-format " +
                  format + " " + input.string() + " -o " + (dir / "a.wav").string());
        ASSERT_EQ(run.status, 0) << format << run.out;
        EXPECT_EQ(run.out.find("levels"), std::string::npos) << run.out;
        SF_INFO info{};
        SNDFILE* f = sf_open((dir / "a.wav").c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr);
        std::vector<double> back(256);
        ASSERT_EQ(sf_read_double(f, back.data(), 256), 256);
        sf_close(f);
        const int bits = std::string(format) == "float" ? 24 : std::stoi(format + 3);
        for (std::size_t i = 0; i < 256; ++i)
            ASSERT_NEAR(back[i], samples[i], std::ldexp(1.0, 1 - bits)) << format << " " << i;
    }
    const ShellRun few =
        Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --format bin --width 16 " +
              input.string() + " -o " + (dir / "few.bin").string());
    EXPECT_EQ(few.status, 0);
    EXPECT_NE(few.out.find("take only 2 of the 65536 levels of 16-bit words"), std::string::npos)
        << few.out;
}

// The same input and options give the same bytes, run after run, in every form.
TEST_F(WordForms, EveryFormIsTheSameBytesEveryRun) {
    const fs::path input = Sine(2048);
    const char* forms[] = {"c",   "cpp",  "rust", "mem",  "memb", "coe",
                           "mif", "ihex", "bin",  "vhdl", "wav"};
    auto run = [&](const std::string& suffix) {
        for (const char* form : forms)
            ASSERT_EQ(
                Export(std::string("--format ") + form, input, dir / (std::string(form) + suffix))
                    .status,
                0)
                << form;
    };
    run(".1");
    sleep(1); // a timestamp would change meanwhile
    run(".2");
    for (const char* form : forms)
        EXPECT_EQ(ReadAll(dir / (std::string(form) + ".1")),
                  ReadAll(dir / (std::string(form) + ".2")))
            << form;
    EXPECT_EQ(ReadAll(dir / "wav.1").find("PEAK"), std::string::npos);
}

} // namespace

namespace {

// verify reads each form back with this program's own reader: a table as written passes, a
// changed entry or other options are named, and a file of another form cannot be read.
TEST_F(WordForms, VerifyNamesTheFirstEntryThatDiffers) {
    const fs::path input = Sine(300);
    const std::string command = std::string(TARVELIN_TABLE_COMMAND);
    const char* forms[][2] = {{"c", "--type int16 --hex"},
                              {"cpp", "--type uint8 --scale auto"},
                              {"rust", "--type float"},
                              {"mem", "--width 12 --scale auto"},
                              {"memb", "--width 5 --signed --scale auto"},
                              {"coe", "--width 14 --radix 10 --scale auto"},
                              {"mif", "--width 12 --signed --radix 10 --scale auto"},
                              {"ihex", "--width 32 --base 0xFFF0 --endian big --scale auto"},
                              {"bin", "--width 9 --scale auto"},
                              {"vhdl", "--width 10 --scale auto"},
                              {"wav", "--sample-format pcm24 --scale auto"},
                              {"c", "--type double --guard-point"}};
    for (const auto& [format, options] : forms) {
        const std::string args = std::string(" --format ") + format + " " + options + " ";
        const fs::path out = dir / (std::string("table.") + format);
        ASSERT_EQ(Shell(command + " export" + args + input.string() + " -o " + out.string()).status,
                  0)
            << args;
        const ShellRun same = Shell(command + " verify " + out.string() + args + input.string());
        EXPECT_EQ(same.status, 0) << args << same.out;
        EXPECT_NE(same.out.find("every one of the"), std::string::npos) << same.out;
    }
    // One word changed by hand in the .mem file: the first that differs is named.
    std::string mem = ReadAll(dir / "table.mem");
    const std::size_t line = mem.find('\n') + 1;              // past the comment
    mem[line + 4 * 3] = mem[line + 4 * 3] == '0' ? '1' : '0'; // the fourth word
    std::ofstream(dir / "table.mem", std::ios::binary) << mem;
    const ShellRun changed = Shell(command + " verify " + (dir / "table.mem").string() +
                                   " --format mem --width 12 --scale auto " + input.string());
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.out.find("entry 3 is"), std::string::npos) << changed.out;
    const ShellRun other = Shell(command + " verify " + (dir / "table.bin").string() +
                                 " --format bin --width 10 --scale auto " + input.string());
    EXPECT_EQ(other.status, 1) << other.out;
    const ShellRun wrong = Shell(command + " verify " + (dir / "table.vhdl").string() +
                                 " --format ihex --width 10 " + input.string());
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.out.find("cannot be read as ihex"), std::string::npos) << wrong.out;
    EXPECT_EQ(Shell(command + " verify " + input.string()).status, 2); // one file only
}

} // namespace

namespace {

// verify reads each form by its grammar: the tables under tests/data/verify that a form's own
// tools reject (a prefix, a sign or a digit too many in a word, letters after a number, no
// end record, the content twice, text after the table) are refused, naming the fault with
// any odd byte escaped; a folder is refused without a crash.
TEST_F(WordForms, VerifyRefusesWhatTheFormsOwnToolsReject) {
    const fs::path data = fs::path(TARVELIN_TEST_DATA) / "verify";
    const std::map<std::string, std::string> options = {
        {"mem", "--format mem --width 12 --scale auto"},
        {"mif", "--format mif --width 12 --radix 10 --signed --scale auto"},
        {"ihex", "--format ihex --width 16 --scale auto"},
        {"coe", "--format coe --width 12 --scale auto"},
        {"c", "--type int16 --scale auto"}};
    const std::map<std::string, std::string> good = {{"mem", "good.mem"},
                                                     {"mif", "good.mif"},
                                                     {"ihex", "good.hex"},
                                                     {"coe", "good.coe"},
                                                     {"c", "good.h"}};
    auto verify = [&](const fs::path& table, const std::string& form) {
        return Shell(std::string(TARVELIN_TABLE_COMMAND) + " verify " + table.string() + " " +
                     options.at(form) + " " + (data / "sine16.txt").string());
    };
    for (const auto& [form, name] : good)
        EXPECT_EQ(verify(data / name, form).status, 0) << name;
    int refused = 0;
    for (const auto& entry : fs::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        const std::size_t dash = name.find('-');
        if (dash == std::string::npos || !options.count(name.substr(0, dash)))
            continue;
        const ShellRun run = verify(entry.path(), name.substr(0, dash));
        EXPECT_EQ(run.status, 1) << name << ": " << run.out;
        EXPECT_NE(run.out.find("cannot be read as"), std::string::npos) << name << ": " << run.out;
        EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << name << ": raw bytes in " << run.out;
        ++refused;
    }
    EXPECT_GE(refused, 14);
    const ShellRun folder = verify(dir, "c");
    EXPECT_EQ(folder.status, 1) << folder.out;
    EXPECT_NE(folder.out.find("Is a directory"), std::string::npos) << folder.out;

    // A pipe nobody writes and a device that never ends, as the table or as the waveform:
    // refused at once, never waited on or read without end.
    const fs::path pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string table = std::string("timeout 20 ") + TARVELIN_TABLE_COMMAND;
    for (const std::string& odd : {pipe.string(), std::string("/dev/zero")}) {
        for (const ShellRun& run :
             {Shell(table + " verify " + odd + " " + options.at("c") + " " +
                    (data / "sine16.txt").string()),
              Shell(table + " verify " + (data / "good.h").string() + " " + options.at("c") + " " +
                    odd),
              Shell(table + " export " + odd + " -o " + (dir / "out.h").string())}) {
            EXPECT_EQ(run.status, 1) << odd << ": " << run.out;
            EXPECT_NE(run.out.find("not a regular file"), std::string::npos) << run.out;
        }
    }
    // A character device is written to, as compilers and converters write to it.
    const ShellRun discarded = Shell(table + " export " + options.at("c") + " " +
                                     (data / "sine16.txt").string() + " -o /dev/null");
    EXPECT_EQ(discarded.status, 0) << discarded.out;
}

} // namespace

namespace {

// Names the compilers would reject are refused (exit 2); names that are taken compile with
// gcc, g++ and GHDL.
TEST_F(WordForms, NamesThatDoNotCompileAreRefused) {
    const fs::path input = Sine(8);
    const std::string table = TARVELIN_TABLE_COMMAND;
    auto exported = [&](const std::string& form, const std::string& name, const fs::path& out) {
        return Shell(table + " export --format " + form + " --name " + name + " --scale auto " +
                     input.string() + " -o " + out.string())
            .status;
    };
    for (const char* name : {"int_least16_t", "uint_fast32_t", "INT_FAST8_MAX", "INT_LEAST16_MIN",
                             "WCHAR_MAX", "SIG_ATOMIC_MAX", "INT8_WIDTH", "main"})
        for (const char* form : {"c", "cpp"})
            EXPECT_EQ(exported(form, name, dir / "t.h"), 2) << form << " " << name;
    EXPECT_EQ(exported("cpp", "std", dir / "t.hpp"), 2);
    for (const char* name : {"force", "release", "context", "parameter", "property", "sequence",
                             "vunit", "assume", "cover"})
        EXPECT_EQ(exported("vhdl", name, dir / "t.vhd"), 2) << name;
    // Near misses are taken, and compile.
    for (const char* name : {"int_least", "Main", "std_", "INT_FAST8", "mainTable", "forced",
                             "sequence_1", "WCHAR_MAXIMUM"}) {
        // Exported as `form` into `header`, included by `source` and compiled by `compiler`.
        auto compiles = [&](const char* form, const char* header, const char* source,
                            const std::string& cast, const std::string& compiler) {
            ASSERT_EQ(exported(form, name, dir / header), 0) << form << " " << name;
            std::ofstream(dir / source) << "#include \"" << header << "\"\nint main() { return "
                                        << cast << name << "[0]; }\n";
            EXPECT_EQ(Shell(compiler + " -Wall -Werror -c -o " + (dir / "t.o").string() + " " +
                            (dir / source).string())
                          .status,
                      0)
                << form << " " << name;
        };
        compiles("c", "t.h", "t.c", "(int)", "gcc -std=c11");
        compiles("cpp", "t.hpp", "t.cpp", "", "g++ -std=c++17");
        if (std::string(name).back() == '_' || std::string(name).find("__") != std::string::npos)
            continue; // VHDL refuses these itself
        ASSERT_EQ(exported("vhdl", name, dir / "t.vhd"), 0) << name;
        EXPECT_EQ(Shell("cd " + dir.string() + " && ghdl -a --std=08 t.vhd").status, 0) << name;
    }
}

} // namespace

namespace {

// Options that contradict each other, or a target a word cannot hold, are a wrong command
// line (exit 2) and write nothing; an empty input names the form it cannot make.
TEST_F(WordForms, ContradictionsAreAWrongCommandLine) {
    const fs::path input = Sine(16);
    const std::string table = TARVELIN_TABLE_COMMAND;
    for (const char* options :
         {"--format wav --sample-format float --scale auto", "--type float --no-stdint",
          "--type double --no-stdint", "--format vhdl --vhdl-type signed --width 12",
          "--format vhdl --vhdl-type unsigned --signed --width 12",
          "--format mem --width 12 --scale auto:0.4:0.6", "--type uint16 --scale auto:0:4095.5"}) {
        const ShellRun run = Shell(table + " export " + options + " " + input.string() + " -o " +
                                   (dir / "out").string());
        EXPECT_EQ(run.status, 2) << options << ": " << run.out;
        EXPECT_FALSE(fs::exists(dir / "out")) << options;
    }
    EXPECT_EQ(Shell(table + " export --format vhdl --vhdl-type signed --signed --width 12 " +
                    input.string() + " -o " + (dir / "ok.vhd").string())
                  .status,
              0);
    std::ofstream(dir / "empty.txt").flush();
    const ShellRun empty = Shell(table + " export --format mem " + (dir / "empty.txt").string() +
                                 " -o " + (dir / "e.mem").string());
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.out.find("a mem table needs at least one entry"), std::string::npos)
        << empty.out;
}

} // namespace
