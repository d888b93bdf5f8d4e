// The fast reading of plain decimal lines: whatever it takes, it reads as the scanner does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "files/LineFeeds.h"
#include "files/NumberScanner.h"
#include "files/PlainLines.h"

namespace {

// A line of one of the shapes files hold, plain or nearly so.
std::string RandomLine(std::mt19937& rng) {
    static const char odd[] = ".-+eE \t\r0x:/\0\x80";
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    std::string line;
    if (pick(3) == 0)
        line += '-';
    for (int i = pick(18); i > 0; --i)
        line += char('0' + pick(10));
    if (pick(4) != 0)
        line += '.';
    for (int i = pick(18); i > 0; --i)
        line += char('0' + pick(10));
    if (pick(6) == 0) // one byte anywhere replaced by one that is not a digit
        if (!line.empty())
            line[std::size_t(pick(int(line.size())))] = odd[pick(sizeof odd - 1)];
    return line;
}

// The line at the very end of its own allocation, with the bytes the readers may read (16 from
// its start, 9 past its end): a longer read shows under the address sanitizer.
struct Placed {
    std::unique_ptr<char[]> bytes;
    const char* line;
    explicit Placed(const std::string& text) {
        const std::size_t size = std::max<std::size_t>(16, text.size() + 9);
        bytes = std::make_unique<char[]>(size);
        std::memset(bytes.get(), 'Z', size);
        std::memcpy(bytes.get(), text.data(), text.size());
        line = bytes.get();
    }
};

TEST(PlainLines, EachLineIsReadAsTheScannerReadsItOrLeftToIt) {
    std::mt19937 rng(11);
    int taken[2] = {0, 0};
    for (int i = 0; i < 400000; ++i) {
        const std::string text = RandomLine(rng);
        const Placed placed(text);
        const double expected = NumberScanner::Scan(text.data(), text.data() + text.size());
        double byWords = 0, byVector = 0;
        if (ReadPlainLine(placed.line, text.size(), byWords)) {
            ++taken[0];
            ASSERT_EQ(std::memcmp(&byWords, &expected, 8), 0) << text;
        }
        if (ReadPlainLineVector(placed.line, text.size(), byVector)) {
            ++taken[1];
            ASSERT_EQ(std::memcmp(&byVector, &expected, 8), 0) << text;
        }
    }
    // Most of these lines are plain: the fast ways must not quietly take none.
    EXPECT_GT(taken[0], 40000);
    EXPECT_GT(taken[1], taken[0]);
}

TEST(PlainLines, TheUsualShapesAreTakenAndOthersLeft) {
    for (const char* text :
         {"-303.217482", "0.5", "7", "-0.000000", "1234567.12345678", "5.", "-12345678"}) {
        const Placed placed(text);
        double words = 0, vector = 0;
        EXPECT_TRUE(ReadPlainLine(placed.line, std::strlen(text), words)) << text;
        EXPECT_TRUE(ReadPlainLineVector(placed.line, std::strlen(text), vector)) << text;
        EXPECT_EQ(words, vector) << text;
    }
    if (HasPlainLineVector()) // 15 digits in any split, which eight-byte words cannot hold
        for (const char* text : {"123456789012345", "1.23456789012345", "-1234567890123.5"}) {
            const Placed placed(text);
            double value = 0;
            EXPECT_TRUE(ReadPlainLineVector(placed.line, std::strlen(text), value)) << text;
            EXPECT_EQ(value, NumberScanner::Scan(text, text + std::strlen(text))) << text;
        }
    for (const char* text : {"", "-", ".", "-.", "1e5", " 5", "+5", "1.2.3", "1234567890123456",
                             "0.1234567890123456", "5 6", "--5"}) {
        const Placed placed(text);
        double value = 0;
        EXPECT_FALSE(ReadPlainLine(placed.line, std::strlen(text), value)) << text;
        EXPECT_FALSE(ReadPlainLineVector(placed.line, std::strlen(text), value)) << text;
    }
}

TEST(PlainLines, ManyLinesStopAtTheFirstOtherLineOrNearTheEnd) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::to_string(i) + ".25" + (i % 2 ? "\r\n" : "\n");
    const std::size_t other = text.size();
    text += "1e3\n";
    for (int i = 0; i < 20; ++i)
        text += "2.5\n";
    std::vector<DataPoint> points(200);
    std::uint32_t stored = 0;
    const char* stop = ReadPlainLines(text.data(), text.data() + text.size(), points.data(), stored,
                                      std::uint32_t(points.size()));
    EXPECT_EQ(stored, 100u);
    EXPECT_EQ(stop, text.data() + other);
    EXPECT_EQ(points[99].x, 99.0);
    EXPECT_EQ(points[99].y, 99.25);

    // Past the other line, the lines ending in the last 16 bytes are left to the caller.
    stop = ReadPlainLines(text.data() + other + 4, text.data() + text.size(), points.data(), stored,
                          200);
    EXPECT_EQ(stored, 116u);
    EXPECT_EQ(text.data() + text.size() - stop, 16);

    // No more than asked for.
    stored = 0;
    stop = ReadPlainLines(text.data(), text.data() + text.size(), points.data(), stored, 7);
    EXPECT_EQ(stored, 7u);
    EXPECT_EQ(std::string(stop, 4), "7.25");
}

TEST(PlainLines, LineFeedsAreCountedAtEveryLengthAndPlace) {
    std::mt19937 rng(3);
    std::vector<char> bytes(70000);
    for (char& c : bytes)
        c = rng() % 4 == 0 ? '\n' : char(rng());
    for (std::size_t from : {0, 1, 7, 15}) {
        for (std::size_t n = 0; n < 300; ++n)
            ASSERT_EQ(CountLineFeeds(bytes.data() + from, n),
                      std::uint64_t(std::count(bytes.data() + from, bytes.data() + from + n, '\n')))
                << from << " " << n;
        const std::size_t n = bytes.size() - from; // past the lanes' 255 rounds
        EXPECT_EQ(CountLineFeeds(bytes.data() + from, n),
                  std::uint64_t(std::count(bytes.data() + from, bytes.data() + from + n, '\n')));
    }
}

} // namespace
