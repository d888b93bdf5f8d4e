// Bank files as bytes: the WAV header a synth reads, text that reads back exactly, the chunks
// that give a frame size, and [F][N] tables through the real compilers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "files/TableExport.h"
#include "files/bank/BankWav.h"
#include "files/bank/CsvBank.h"
#include "files/bank/FrameSizeChunks.h"
#include "files/bank/WtFile.h"
#include "tests/support/Shell.h"

namespace {

namespace fs = std::filesystem;

BankValues Bank(std::uint32_t frames, std::uint32_t n, std::vector<double> values) {
    return {n, frames, std::move(values)};
}

std::string Written(const BankValues& bank, const BankWavLayout& layout) {
    std::string bytes;
    EXPECT_TRUE(WriteBankWav(StringSink(bytes), bank, layout));
    return bytes;
}

TEST(BankWav, FloatHeaderHoldsTheFrameSizeChunksBeforeTheData) {
    const std::string bytes = Written(Bank(2, 4, {0, 0.5, -1, 1, 0, 0, 0, 0.25}), {});
    using namespace std::string_literals;
    const std::string head = "RIFF\x90\0\0\0WAVE"s
                             "fmt \x12\0\0\0\x03\0\x01\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x20\0\0\0"s
                             "fact\x04\0\0\0\x08\0\0\0"s
                             "clm \x26\0\0\0<!>0004 10000000 wavetable (Tarvelin)\0"s
                             "srge\x08\0\0\0\x01\0\0\0\x04\0\0\0"s
                             "data\x20\0\0\0"s;
    ASSERT_EQ(bytes.size(), head.size() + 32);
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(head.size() + 4, 4), "\0\0\0\x3F"s);   // 0.5f
    EXPECT_EQ(bytes.substr(head.size() + 8, 4), "\0\0\x80\xBF"s); // -1.0f
}

TEST(BankWav, Pcm16WithoutChunksIsTheCanonical44ByteHeaderAndRoundsHalfAway) {
    BankWavLayout layout;
    layout.format = BankSampleFormat::Pcm16;
    layout.frameSizeChunks = false;
    const std::string bytes =
        Written(Bank(1, 6, {1.0, -1.0, -1.5, 0.5 / 32768, -0.5 / 32768, 0.25}), layout);
    ASSERT_EQ(bytes.size(), 44u + 12);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    const auto sample = [&](int i) {
        return std::int16_t(std::uint8_t(bytes[44 + 2 * i]) | std::uint8_t(bytes[45 + 2 * i]) << 8);
    };
    EXPECT_EQ(sample(0), 32767); // held
    EXPECT_EQ(sample(1), -32768);
    EXPECT_EQ(sample(2), -32768);
    EXPECT_EQ(sample(3), 1);
    EXPECT_EQ(sample(4), -1);
    EXPECT_EQ(sample(5), 8192);
}

TEST(CsvBank, ReadsBackExactlyAndNamesTheLineThatIsNoFrame) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> any(-1e3, 1e3);
    BankValues bank = Bank(5, 33, {});
    for (int i = 0; i < 5 * 33; ++i)
        bank.values.push_back(i % 7 ? any(random) : std::ldexp(any(random), -900));
    std::string text;
    ASSERT_TRUE(WriteCsvBank(StringSink(text), bank));
    const CsvBankRead read = ReadCsvBank(text);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.bank.frames, 5u);
    EXPECT_EQ(read.bank.frameSize, 33u);
    EXPECT_EQ(read.bank.values, bank.values);

    const CsvBankRead mixed = ReadCsvBank("# two frames\r\n1; 2\t3\r\n\r\n  4 5 6e0\n");
    ASSERT_EQ(mixed.error, "");
    EXPECT_EQ(mixed.bank.values, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ReadCsvBank("1,2\n3,,4\n").error, "Line 2 holds \",4\" where a number should be.");
    EXPECT_EQ(ReadCsvBank("1,2\n3,4,5\n").error,
              "Line 2 holds 3 values, and the first frame 2: every frame holds as many.");
    EXPECT_EQ(ReadCsvBank("1\n2\n").error, "A frame holds 2 to 65536 samples, not 1.");
    EXPECT_EQ(ReadCsvBank("1,nan\n").error, "Line 1 holds \"nan\" where a number should be.");
}

TEST(FrameSizeChunks, ClmGivesOneToFourDigitsAndItsInterpolationFlag) {
    EXPECT_EQ(ClmHint("<!>2048 01000000 wavetable (www.xferrecords.com)").frameSize, 2048u);
    EXPECT_EQ(ClmHint("<!>2048 01000000 wavetable").interpolation, 0);
    EXPECT_EQ(ClmHint("<!>256 20000000").interpolation, 2);
    EXPECT_EQ(ClmHint("<!>64").frameSize, 64u);
    EXPECT_EQ(ClmHint("<!>64").interpolation, -1);
    EXPECT_EQ(ClmHint("something else").frameSize, 0u); // another tool's text says nothing
    EXPECT_EQ(ClmHint("something else").error, "");
    EXPECT_NE(ClmHint("<!>x").error, "");
    EXPECT_NE(ClmHint("<!>1").error, ""); // one sample is no frame
    EXPECT_NE(ClmHint("<!>12345").error, "");
    EXPECT_EQ(LoopHint(0, 0, 0).frameSize, 2048u);
    EXPECT_EQ(LoopHint(1, 100, 612).frameSize, 512u);
    EXPECT_EQ(LoopHint(2, 0, 512).frameSize, 0u); // two loops: none to go by
    EXPECT_EQ(RegularCueDistance({512, 0, 1024, 1536}), 512u);
    EXPECT_EQ(RegularCueDistance({0, 512, 1000}), 0u);
    EXPECT_EQ(RegularCueDistance({256, 512}), 0u);
}

TEST(WtFile, RoundTripsAndRefusesWhatSurgeWouldNotRead) {
    const BankValues bank = Bank(2, 4, {0, 0.5, -0.5, 0.999, -1, 0.25, 0.125, 0});
    for (bool int16 : {false, true}) {
        std::string bytes;
        ASSERT_TRUE(WriteWt(StringSink(bytes), bank, int16));
        ASSERT_EQ(bytes.size(), 12u + 8 * (int16 ? 2 : 4));
        const WtRead read = ReadWt(bytes);
        ASSERT_EQ(read.error, "");
        for (std::size_t i = 0; i < bank.values.size(); ++i)
            EXPECT_NEAR(read.bank.values[i], int16 ? bank.values[i] : float(bank.values[i]),
                        int16 ? 0.5 / 32768 : 0)
                << i;
    }
    std::string refused;
    EXPECT_FALSE(WriteWt(StringSink(refused), Bank(1, 6, {0, 0, 0, 0, 0, 0}), false));
}

// The bank as rows, compiled by g++ (std::array of std::array) and rustc ([[T; N]; F]).
TEST(BankTable, RowsCompileInCppAndRustAndHoldTheFlatValues) {
    const fs::path dir = fs::temp_directory_path() / "tarvelin-bank-rows";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<DataPoint> points;
    for (int i = 0; i < 15; ++i)
        points.push_back({double(i % 5), i * 1000.0 - 7000});
    TableOptions o;
    o.bankFrames = 3;
    o.perLine = 2;
    std::string expected;
    for (const DataPoint& p : points)
        expected += std::to_string(int(p.y)) + "\n";
    for (TableFormat f : {TableFormat::C, TableFormat::Cpp, TableFormat::Rust}) {
        o.format = f;
        std::string text;
        ASSERT_TRUE(WriteTable(StringSink(text), points.data(), points.size(), o));
        std::ofstream(dir / (f == TableFormat::Rust ? "table.rs" : "table.h")) << text;
        std::string build;
        if (f == TableFormat::Rust) {
            std::ofstream(dir / "main.rs")
                << "mod table;\nfn main() { for f in table::Table.iter() "
                   "{ for v in f.iter() { println!(\"{}\", v); } } }\n";
            build =
                "rustc -D warnings -o " + (dir / "t").string() + " " + (dir / "main.rs").string();
        } else {
            std::ofstream(dir / "main.cpp")
                << "#include <cstdio>\n#include \"table.h\"\nint main() { for (const auto& f : "
                   "Table) for (auto v : f) std::printf(\"%d\\n\", int(v)); }\n";
            build = "g++ -std=c++17 -Wall -Wextra -Werror -o " + (dir / "t").string() + " " +
                    (dir / "main.cpp").string();
        }
        const ShellRun built = Shell(build);
        ASSERT_EQ(built.status, 0) << TableFormatOption(f) << ":\n" << text << built.out;
        EXPECT_EQ(Shell((dir / "t").string()).out, expected) << TableFormatOption(f);
    }
    fs::remove_all(dir);
}

} // namespace
