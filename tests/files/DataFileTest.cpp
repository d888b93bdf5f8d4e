// The waveform text file: what Save writes reads back, and what Open has always accepted.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/NumberScanner.h"
#include "files/SampleBuffer.h"
#include "tests/support/TestFile.h"

namespace {

namespace fs = std::filesystem;

class DataFileTest : public testing::Test {
protected:
    fs::path path = TestFilePath("tarvelin-data-", ".txt");
    void TearDown() override { fs::remove(path); }

    void Write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::vector<double> Read() {
        DataFile f = ReadDataFile(path.string());
        std::vector<double> ys;
        for (std::uint32_t i = 0; i < f.count; ++i) {
            EXPECT_EQ(f.points[i].x, double(i));
            ys.push_back(f.points[i].y);
        }
        EXPECT_EQ(f.points == nullptr, f.count == 0);
        return ys;
    }
};

std::string Written(const std::vector<DataPoint>& points) {
    std::string text;
    EXPECT_TRUE(WriteDataFile(
        [&](const char* p, std::size_t n) {
            text.append(p, n);
            return true;
        },
        points.data(), points.size()));
    return text;
}

using Ys = std::vector<double>;

TEST_F(DataFileTest, SaveReadsBackWithSixDecimals) {
    std::vector<DataPoint> points;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> value(-1000, 1000);
    for (int i = 0; i < 5000; ++i)
        points.push_back({double(i), value(rng)});
    points.push_back({0, 1e300});
    points.push_back({0, -1e250});
    points.push_back({0, DBL_MAX});
    const std::string text = Written(points);
    Write(text);
    Ys back = Read();
    ASSERT_EQ(back.size(), points.size());
    char six[400];
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::snprintf(six, sizeof six, "%f", points[i].y);
        EXPECT_EQ(back[i], std::strtod(six, nullptr)) << i;
    }
}

TEST_F(DataFileTest, NothingToReadGivesNoSamples) {
    Write("");
    EXPECT_TRUE(Read().empty());
    DataFile missing = ReadDataFile((fs::temp_directory_path() / "no-such-dir" / "x.txt").string());
    EXPECT_EQ(missing.count, 0u);
    EXPECT_EQ(missing.points, nullptr);
    EXPECT_THROW(ReadDataFile(fs::temp_directory_path().string()), DataFileReadError); // a folder
    Write(std::string("\0abc\n", 5));
    EXPECT_TRUE(Read().empty());
}

// Pipes and devices are refused before anything is read: they could block or never end.
TEST_F(DataFileTest, OnlyRegularFilesAreRead) {
    auto errorOf = [](const fs::path& p) {
        try {
            ReadDataFile(p.string());
        } catch (const DataFileReadError& e) {
            return e.error;
        }
        return 0;
    };
    EXPECT_EQ(errorOf(fs::temp_directory_path()), EISDIR);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); // no writer: opening must not wait for one
    EXPECT_EQ(errorOf(path), EBADF);
    fs::remove(path);
    fs::create_symlink("/dev/zero", path); // endless
    EXPECT_EQ(errorOf(path), EBADF);
}

TEST_F(DataFileTest, ASignWithoutDigitsReadsAsPlainZero) {
    Write("-\r\n-.\r\n-e5\r\n-x\r\n-0\r\n-0.000000\r\n");
    const Ys ys = Read();
    ASSERT_EQ(ys.size(), 6u);
    for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_EQ(std::signbit(ys[i]), i >= 4) << i;
}

TEST_F(DataFileTest, LinesAndTheirEnds) {
    Write("1\n2\n3");
    EXPECT_EQ(Read(), (Ys{1, 2, 3})); // the last line needs no line end
    Write("1\r\n\r\n3\r\n");
    EXPECT_EQ(Read(), (Ys{1, 0, 3})); // a blank line is 0.0 in its place
    Write("1\n\n3\n");
    EXPECT_EQ(Read(), (Ys{1, 0, 3}));
    Write("1\r2\r3\r");
    EXPECT_EQ(Read(), (Ys{1})); // carriage returns alone do not end lines
    Write(std::string("1\n\0 9\n3\n", 8));
    EXPECT_EQ(Read(), (Ys{1, 3})); // a NUL-first line gives nothing and shifts nothing
    Write("1.5e3\n1.5D3\n1,5\n2.5D1\n12 volts\n");
    EXPECT_EQ(Read(), (Ys{1500, 1500, 1, 25, 12}));
}

TEST_F(DataFileTest, LongLinesAreOneSampleEach) {
    Write(std::string(3000000, ' ') + "5\n" + std::string(600, '7') + "\n-" +
          std::string(500, '0') + "1.25\n");
    Ys ys = Read();
    ASSERT_EQ(ys.size(), 3u);
    EXPECT_EQ(ys[0], 5.0);
    EXPECT_EQ(ys[1], DBL_MAX);
    EXPECT_EQ(ys[2], -1.25);
}

TEST_F(DataFileTest, OverflowingValuesStayFinite) {
    Write("1e999\n-1e999\n1e-999\n");
    Ys ys = Read();
    EXPECT_EQ(ys, (Ys{DBL_MAX, -DBL_MAX, 0.0}));
}

TEST_F(DataFileTest, EveryLineReadsAsTheScannerReadsIt) {
    const std::vector<std::string> lines = {"-0.000000",
                                            "123456789012345.6",
                                            "12345678901234.5",
                                            "1.5e3",
                                            "  5",
                                            "5x",
                                            "5.",
                                            ".5",
                                            "-.5",
                                            "-",
                                            "7.25\r",
                                            "1.2.3",
                                            "000000000000000000000001.5",
                                            "9.999999999999999",
                                            "0.1234567890123456789",
                                            "42D2",
                                            "-3.5 volts",
                                            "+8",
                                            "1e-400",
                                            "\t-2.5"};
    std::mt19937 rng(5);
    std::uniform_int_distribution<std::size_t> pick(0, lines.size() - 1);
    std::string text;
    std::vector<std::string> chosen;
    for (int i = 0; i < 200000; ++i) { // long enough to cross chunk boundaries anywhere
        chosen.push_back(lines[pick(rng)]);
        text += chosen.back() + (i % 3 ? "\r\n" : "\n");
    }
    Write(text);
    Ys ys = Read();
    ASSERT_EQ(ys.size(), chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const std::string& line = chosen[i];
        const double expected = NumberScanner::Scan(line.data(), line.data() + line.size());
        ASSERT_EQ(std::memcmp(&ys[i], &expected, sizeof expected), 0) << i << ": " << line;
    }
}

TEST_F(DataFileTest, FileChangedBetweenThePasses) {
    Write("1\n2\n3\n");
    EXPECT_EQ(CountDataFileSamples(path.string()), 3u);
    DataFile shrunk = ReadDataFileSamples(path.string(), 10); // counted when it was longer
    ASSERT_EQ(shrunk.count, 3u);
    EXPECT_EQ(shrunk.points[2].y, 3.0);
    DataFile grown = ReadDataFileSamples(path.string(), 2); // counted when it was shorter
    ASSERT_EQ(grown.count, 2u);
    EXPECT_EQ(grown.points[1].y, 2.0);
    Write("");
    EXPECT_EQ(ReadDataFileSamples(path.string(), 5).points, nullptr);
}

TEST_F(DataFileTest, CountsBeyondThirtyTwoBitsAreOutOfMemory) {
    Write("1\n");
    EXPECT_THROW(ReadDataFileSamples(path.string(), std::uint64_t(1) << 32), std::bad_alloc);
    // A terabyte of samples: more than the machine can give, refused before allocating.
    EXPECT_THROW(AllocateSamples(std::size_t(1) << 36), std::bad_alloc);
}

TEST_F(DataFileTest, CorpusOfOddFilesReadsSafely) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(TARVELIN_TEST_DATA "/datafiles")) {
        ++files;
        DataFile f = ReadDataFile(entry.path().string());
        for (std::uint32_t i = 0; i < f.count; ++i)
            EXPECT_TRUE(std::isfinite(f.points[i].y)) << entry.path();
    }
    EXPECT_GT(files, 0);
}

TEST(DataFileWriter, MatchesPrintfForEveryKindOfDouble) {
    std::vector<double> values = {
        0.0,       -0.0,      1.0,      -2.5,    1234.5678901, 0.0000005,
        0.0000015, 0.0000025, 1e-7,     -1e-7,   2.5e-6,       1e300,
        -1e300,    DBL_MAX,   -DBL_MAX, DBL_MIN, 4.9e-324,     9007199254740993.0,
        0.1,       1e15 + 0.3};
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t b = bits(rng);
        double d;
        std::memcpy(&d, &b, sizeof d);
        if (std::isfinite(d))
            values.push_back(d);
    }
    std::uniform_real_distribution<double> near(-1000, 1000);
    for (int i = 0; i < 20000; ++i)
        values.push_back(near(rng));
    // Exact halves of the sixth decimal (j / 128 is j times 7812.5 millionths), the doubles
    // beside them, and values either side of 2^26, where the quick path ends.
    for (int j = -3000; j <= 3000; ++j) {
        const double v = j / 128.0 + (j % 7) * 1024.0;
        for (double w : {v, std::nextafter(v, 1e9), std::nextafter(v, -1e9)})
            values.push_back(w);
    }
    for (double edge : {0x1p26, -0x1p26})
        for (double w = edge, k = 0; k < 100; ++k, w = std::nextafter(w, 0))
            values.push_back(w), values.push_back(std::nextafter(edge, 1e300) + k);
    for (int i = 0; i < 20000; ++i) { // few fraction bits: many ties and near ties
        const double v = std::ldexp(double(std::int64_t(bits(rng) % (1u << 30)) - (1 << 29)),
                                    -int(bits(rng) % 12));
        values.push_back(v);
    }
    std::vector<DataPoint> points;
    std::string expected;
    char line[400];
    for (double v : values) {
        points.push_back({0, v});
        std::snprintf(line, sizeof line, "%f\r\n", v);
        expected += line;
    }
    EXPECT_EQ(Written(points), expected);
    EXPECT_EQ(Written({}), "");
}

TEST(DataFileWriter, ReportsAFailingSink) {
    std::vector<DataPoint> points(10, DataPoint{0, 1});
    EXPECT_FALSE(WriteDataFile([](const char*, std::size_t) { return false; }, points.data(),
                               points.size()));
}

} // namespace

namespace {

// A long file is read in two halves at once; a short one, or one read block by block in any
// block size, gives the very same samples, bit for bit.
// A line that holds a number and nothing more, or nothing at all: the number's grammar
// written out again.
bool JustANumber(std::string_view line) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, n = line.size(), digits = 0;
    while (i < n && blank(line[i]))
        ++i;
    if (i == n)
        return true;
    if (line[i] == '+' || line[i] == '-')
        ++i;
    for (; i < n && digit(line[i]); ++i)
        ++digits;
    if (i < n && line[i] == '.')
        for (++i; i < n && digit(line[i]); ++i)
            ++digits;
    if (digits == 0)
        return false;
    if (i < n && std::strchr("eEdD", line[i])) {
        if (++i < n && (line[i] == '+' || line[i] == '-'))
            ++i;
        std::size_t exponent = 0;
        for (; i < n && digit(line[i]); ++i)
            ++exponent;
        if (exponent == 0)
            return false;
    }
    while (i < n && blank(line[i]))
        ++i;
    return i == n;
}

// The lines of `text` that hold more than a number, as Open tells them.
OddLines OddLinesOf(const std::string& text, const DataFile& read) {
    OddLines odd;
    std::uint32_t sample = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + at, end - at);
        if (line.empty() || line[0] != '\0') {
            if (!JustANumber(line) && odd.count++ == 0) {
                odd.first = sample;
                odd.text = line.substr(0, 64);
                while (!odd.text.empty() && odd.text.back() == '\r')
                    odd.text.pop_back();
                odd.value = read.points[sample].y;
            }
            ++sample;
        }
        at = end + 1;
    }
    return odd;
}

void ExpectSameOddLines(const OddLines& got, const OddLines& want, const std::string& how) {
    EXPECT_EQ(got.count, want.count) << how;
    if (got.count && want.count) {
        EXPECT_EQ(got.first, want.first) << how;
        EXPECT_EQ(got.text, want.text) << how;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got.value), std::bit_cast<std::uint64_t>(want.value))
            << how;
    }
}

TEST_F(DataFileTest, LinesThatHoldMoreThanANumberAreCountedAndTheFirstIsShown) {
    Write("0.5\r\n1,5\r\n-0,25\r\n2 \r\n\t3\r\n-\r\n\r\n1e\r\n4 volts\r\n.5\r\n");
    const DataFile f = ReadDataFile(path.string());
    ASSERT_EQ(f.count, 10u);
    EXPECT_EQ(f.odd.count, 5u); // "1,5" "-0,25" "-" "1e" "4 volts"
    EXPECT_EQ(f.odd.first, 1u);
    EXPECT_EQ(f.odd.text, "1,5");
    EXPECT_EQ(f.odd.value, 1);
    EXPECT_EQ(f.points[2].y, 0.0);
    EXPECT_TRUE(std::signbit(f.points[2].y)) << "-0,25 is read as -0, as the file rule has it";
    Write("1\n2\n3.000000\r\n");
    EXPECT_EQ(ReadDataFile(path.string()).odd.count, 0u);
}

TEST_F(DataFileTest, PartsAndBlocksReadAsOneSequentialPassDoes) {
    const std::vector<std::string> odd = {"-12.345678",
                                          "1e5",
                                          "",
                                          "  7",
                                          std::string(1, '\0'),
                                          "x",
                                          "3.25\r",
                                          "\0"
                                          "5",
                                          "0.1234567890123456789",
                                          "-",
                                          std::string(3000, '9'),
                                          "42 trailing text"};
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::size_t> pick(0, odd.size() - 1);
    std::uniform_real_distribution<double> value(-1000, 1000);
    for (int file = 0; file < 4; ++file) {
        std::string text;
        const std::size_t lines = 90000 + std::size_t(file) * 37011;
        for (std::size_t i = 0; i < lines; ++i) {
            if (rng() % 7 == 0)
                text += odd[pick(rng)];
            else
                text += std::to_string(value(rng));
            text += rng() % 4 ? "\n" : "\r\n";
        }
        if (file % 2)
            text.pop_back(); // the last line without its line feed
        if (file == 3)       // a line longer than a part: the parts it spans begin past it
            text.insert(text.size() / 2 - 10, std::string(700000, '1'));
        Write(text);
        const std::uint64_t count = CountDataFileSamples(path.string());
        const DataFile halves = ReadDataFile(path.string());
        ASSERT_EQ(halves.count, count) << file;
        // Open for writing elsewhere, the file cannot be held still and is read into buffers.
        const int writer = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        const DataFile buffered = ReadDataFile(path.string());
        ::close(writer);
        ASSERT_EQ(buffered.count, count);
        ASSERT_EQ(
            std::memcmp(buffered.points.get(), halves.points.get(), count * sizeof(DataPoint)), 0);
        const OddLines odd = OddLinesOf(text, halves);
        EXPECT_GT(odd.count, 1000u);
        ExpectSameOddLines(halves.odd, odd, "in parts");
        ExpectSameOddLines(buffered.odd, odd, "buffered");
        for (std::size_t block : {std::size_t(4093), std::size_t(65536), ReadBlockSize}) {
            const DataFile one = ReadDataFileSamples(path.string(), count, nullptr, block);
            ASSERT_EQ(one.count, count);
            ASSERT_EQ(std::memcmp(one.points.get(), halves.points.get(), count * sizeof(DataPoint)),
                      0)
                << file << " " << block;
            ExpectSameOddLines(one.odd, odd, "in blocks of " + std::to_string(block));
        }
    }
    // No line begins past the middle: read as a whole.
    Write(std::string(3 << 20, '7'));
    const DataFile one = ReadDataFile(path.string());
    ASSERT_EQ(one.count, 1u);
    EXPECT_EQ(one.points[0].y, DBL_MAX); // held to the largest double
}

} // namespace
