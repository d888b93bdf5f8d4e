// tarvelin-table as a Makefile runs it: options, output, messages and exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "cli/TableArguments.h"
#include "files/CSourceExport.h"
#include "files/DataFileReader.h"
#include "files/TableExport.h"
#include "tests/support/Shell.h"

namespace {

namespace fs = std::filesystem;

// Runs the command with the arguments (quoted for the shell), standard error discarded.
ShellRun Command(const std::string& args) {
    return Shell(std::string(TARVELIN_TABLE_COMMAND) + " " + args, " 2>/dev/null");
}

struct TableCommand : testing::Test {
    fs::path dir = fs::temp_directory_path() /
                   ("tarvelin-table-" +
                    std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::path input = dir / "wave.txt";
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(input, std::ios::binary)
            << "1.000000\r\n0.000000\r\n-1.000000\r\n0.500000\r\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Expected(const TableOptions& o) {
        DataFile f = ReadDataFile(input.string());
        std::string text;
        WriteTable(StringSink(text), f.points.get(), f.count, o);
        return text;
    }
};

TEST_F(TableCommand, WritesWhatTheSharedWriterWrites) {
    const ShellRun r =
        Command("export --type uint16 --scale auto:0:4095 --hex --per-line 8 --name Sine "
                "--before 'static const' --after PROGMEM --guard SINE_H --eol lf " +
                input.string());
    EXPECT_EQ(r.status, 0);
    TableOptions o;
    o.type = TableType::UInt16;
    o.scaled = true;
    o.targetMin = 0;
    o.targetMax = 4095;
    o.hex = true;
    o.name = "Sine";
    o.before = "static const";
    o.after = "PROGMEM";
    o.guard = "SINE_H";
    EXPECT_EQ(r.out, Expected(o));
    EXPECT_NE(r.out.find("static const uint16_t Sine[4] PROGMEM = {\n    0x0FFF, 0x0800, 0x0000"),
              std::string::npos);

    EXPECT_EQ(
        Command("export --type q15 --eol crlf -o " + (dir / "q.h").string() + " " + input.string())
            .status,
        0);
    TableOptions q;
    q.type = TableType::Q15;
    q.crlf = true;
    EXPECT_EQ(ReadAll(dir / "q.h"), Expected(q));
}

TEST_F(TableCommand, TheEditorsTwoFormsUnchanged) {
    DataFile f = ReadDataFile(input.string());
    for (auto [form, option] :
         {std::pair(ExportForm::Integer, "int"), std::pair(ExportForm::Float, "float")}) {
        std::string expected;
        ExportCSource(StringSink(expected), f.points.get(), f.count, form);
        EXPECT_EQ(Command(std::string("export --form ") + option + " " + input.string()).out,
                  expected);
    }
}

TEST_F(TableCommand, MistakesGetMessagesAndExitCodesAndLeaveNothingBehind) {
    EXPECT_EQ(Command("--help").status, 0);
    EXPECT_NE(Command("--help").out.find("Usage: tarvelin-table export"), std::string::npos);
    EXPECT_EQ(Command("--version").out, "tarvelin-table 1.7\n");
    EXPECT_EQ(Command("").status, 2);
    EXPECT_EQ(Command("export --type int64 " + input.string()).status, 2);
    EXPECT_EQ(Command("export --per-line 0 " + input.string()).status, 2);
    EXPECT_EQ(Command("export --name 9lives " + input.string()).status, 2);
    EXPECT_EQ(Command("export --scale auto:0:70000 --type int16 " + input.string()).status, 2);
    EXPECT_EQ(Command("export --bogus " + input.string()).status, 2);
    // Options that would do nothing are refused, whatever their order.
    for (const char* useless :
         {"--type float --hex", "--hex --type double", "--scale auto --type q15",
          "--type float --scale -1:1:0:1", "--form int --hex"}) {
        const auto r = Command(std::string("export ") + useless + " " + input.string());
        EXPECT_EQ(r.status, 2) << useless;
    }
    EXPECT_EQ(Command("export --hex --type q15 " + input.string()).status, 0);
    const ShellRun where = Shell(std::string(TARVELIN_TABLE_COMMAND) +
                                 " export --format c --base 16 " + input.string());
    EXPECT_NE(where.out.find("--base does not apply to --format c; it applies to ihex"),
              std::string::npos)
        << where.out;
    for (const char* wrong : {"--format mem --hex",
                              "--format mem --type int8",
                              "--format bin --radix 2",
                              "--format coe --endian big",
                              "--format mif --base 16",
                              "--format bin --per-line 4",
                              "--format bin --eol crlf",
                              "--width 12",
                              "--format ihex --record-bytes 24",
                              "--format mem --width 33",
                              "--format nope",
                              "--radix 8 --format coe",
                              "--format ihex --base 0x100000000",
                              "--rate 8000",
                              "--format cpp --sample-format pcm8",
                              "--format rust --wavetable",
                              "--format bin --name T",
                              "--format wav --name T",
                              "--format mem --vhdl-type signed",
                              "--form int --rate 8000"}) {
        const auto r = Command(std::string("export ") + wrong + " " + input.string());
        EXPECT_EQ(r.status, 2) << wrong;
    }
    for (const char* right : {"--format mem --width 12 --per-line 4", "--format memb --signed",
                              "--format coe --radix 2", "--format mif --radix 10 --signed",
                              "--format ihex --base 0xFFFF0 --endian big --record-bytes 32",
                              "--format bin --guard-point --scale auto", "--guard-point"})
        EXPECT_EQ(Command(std::string("export ") + right + " " + input.string()).status, 0)
            << right;
    std::ofstream(dir / "empty.txt").flush();
    EXPECT_EQ(Command("export " + (dir / "empty.txt").string()).status, 1);
    EXPECT_EQ(Command("export --form int " + (dir / "empty.txt").string()).out,
              "\r\nconst int Waveform[0] = {\r\n\t};\r\n"); // its bytes are fixed
    EXPECT_EQ(Command("export " + (dir / "missing.txt").string()).status, 1);
    EXPECT_EQ(Command("export -o " + (dir / "no" / "x.h").string() + " " + input.string()).status,
              1);
    std::ofstream(dir / "kept.h") << "old";
    EXPECT_EQ(
        Command("export --name 9 -o " + (dir / "kept.h").string() + " " + input.string()).status,
        2);
    EXPECT_EQ(ReadAll(dir / "kept.h"), "old");
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().rfind(".tarvelin-", 0), std::string::npos);
}

TEST(TableArguments, ScaleForms) {
    TableOptions o;
    EXPECT_TRUE(ParseScale("auto:0:4095", o));
    EXPECT_FALSE(o.sourceMin);
    EXPECT_EQ(o.targetMax, 4095);
    EXPECT_TRUE(ParseScale("-1:1:full", o));
    EXPECT_EQ(o.sourceMin, -1);
    EXPECT_FALSE(o.targetMin);
    EXPECT_TRUE(ParseScale("-2.5:2.5:-100:100", o));
    EXPECT_EQ(o.targetMin, -100);
    EXPECT_TRUE(ParseScale("auto", o));
    EXPECT_TRUE(ParseScale("0:4095", o)); // a source range onto the whole type
    for (const char* bad : {"", "auto:1", "a:b:c:d", "1:2:3", "auto:0:inf"})
        EXPECT_FALSE(ParseScale(bad, o)) << bad;
}

} // namespace

TEST_F(TableCommand, AnalyseTakesAMappingAndNothingElse) {
    const ShellRun plain = Command("analyse " + input.string());
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out.rfind("dc: 0.125\nfundamental: ", 0), 0u) << plain.out;
    EXPECT_EQ(plain.out.find("enob"), std::string::npos); // no mapping, no stored figures
    const ShellRun mapped = Command("analyse --width 4 --signed --scale auto " + input.string());
    EXPECT_NE(mapped.out.find("\nerror_max_lsb: "), std::string::npos) << mapped.out;
    EXPECT_EQ(Command("analyse --json --type q15 " + input.string()).out.back(), '\n');
    for (const char* wrong : {"analyse --hex", "analyse --type uint8 --width 8",
                              "analyse --format mem", "analyse --type float --scale auto",
                              "export --json", "verify --spectrum s.csv x.h", "analyse x.txt"})
        EXPECT_EQ(Command(std::string(wrong) + " " + input.string()).status, 2) << wrong;
    EXPECT_EQ(Command("analyse " + (dir / "missing.txt").string()).status, 1);
    std::ofstream(dir / "empty.txt");
    EXPECT_EQ(Command("analyse " + (dir / "empty.txt").string()).status, 1);
    EXPECT_EQ(Command("analyse --spectrum /nonexistent/s.csv " + input.string()).status, 1);
}

namespace {

// Lines with more than a number are read by the file's rule, and said once on stderr; the
// exit code and the output are what they always were.
TEST_F(TableCommand, LinesWithMoreThanANumberAreToldOnStandardError) {
    std::ofstream(input, std::ios::binary) << "0.5\r\n1,5\r\n-0,25\r\n";
    const ShellRun run = Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --type float " +
                               input.string() + " -o " + (dir / "t.h").string());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("2 lines hold more than a number; line 2 reads \"1,5\" as 1."),
              std::string::npos)
        << run.out;
    std::ofstream(dir / "plain.txt", std::ios::binary) << "1\r\n-2.5\r\n";
    const ShellRun plain = Shell(std::string(TARVELIN_TABLE_COMMAND) + " export --type float " +
                                 (dir / "plain.txt").string() + " -o " + (dir / "u.h").string());
    EXPECT_EQ(plain.out.find("more than a number"), std::string::npos) << plain.out;
}

} // namespace
