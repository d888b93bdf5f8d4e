#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sndfile.h>
#include <vector>

#include "files/NumberScanner.h"
#include "wave/Import.h"

namespace {

namespace fs = std::filesystem;

// A WAV file of `frames` frames; channel c of frame i holds (i - 2) / 4 * (c ? -1 : 1).
fs::path WriteWav(int format, int channels, int frames) {
    const fs::path path = fs::temp_directory_path() / ("tarvelin-import-" + std::to_string(format) +
                                                       "-" + std::to_string(channels) + ".wav");
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<double> data;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data.push_back((i - 2) / 4.0 * (c ? -1 : 1));
    sf_writef_double(f, data.data(), frames);
    sf_close(f);
    return path;
}

TEST(Import, WavOfEverySampleFormatMonoAndStereo) {
    for (int format : {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32,
                       SF_FORMAT_FLOAT, SF_FORMAT_DOUBLE})
        for (int channels : {1, 2}) {
            const fs::path path = WriteWav(format, channels, 5);
            const ImportResult first = ImportWav(path.string(), false);
            ASSERT_TRUE(first.error.empty()) << first.error;
            ASSERT_EQ(first.values.size(), 5u);
            const double tolerance = format == SF_FORMAT_PCM_U8 ? 1.0 / 64 : 1e-4;
            for (int i = 0; i < 5; ++i)
                EXPECT_NEAR(first.values[std::size_t(i)], (i - 2) / 4.0, tolerance)
                    << format << " " << channels;
            const ImportResult mix = ImportWav(path.string(), true);
            for (int i = 0; i < 5; ++i)
                EXPECT_NEAR(mix.values[std::size_t(i)], channels == 2 ? 0 : (i - 2) / 4.0,
                            tolerance);
            fs::remove(path);
        }
    const fs::path junk = fs::temp_directory_path() / "tarvelin-import-junk.wav";
    std::ofstream(junk, std::ios::binary) << "RIFF....WAVEjunk";
    const ImportResult bad = ImportWav(junk.string(), false);
    EXPECT_FALSE(bad.error.empty());
    EXPECT_TRUE(bad.values.empty());
    fs::remove(junk);
}

TEST(Import, DelimitedColumnsAndPastedNumbers) {
    const ImportResult csv = ImportDelimited("time,volts\n0,1.5\n1,-2\n\n2, 3e1 \r\n", {2, ',', 1});
    ASSERT_TRUE(csv.error.empty()) << csv.error;
    EXPECT_EQ(csv.values, (std::vector<double>{1.5, -2, 30}));
    const ImportResult missing = ImportDelimited("1;2\n3\n", {2, ';', 0});
    EXPECT_EQ(missing.error, "Line 2 has no number in column 2.");
    EXPECT_EQ(ImportDelimited("a\n", {0, ',', 0}).values.size(), 0u);

    const ImportResult pasted = ImportPasted("1 2,3;4\n5\t-6.5e-1 ,, +7");
    ASSERT_TRUE(pasted.error.empty()) << pasted.error;
    EXPECT_EQ(pasted.values, (std::vector<double>{1, 2, 3, 4, 5, -0.65, 7}));
    const ImportResult wrong = ImportPasted("1 2 x3 4");
    EXPECT_EQ(wrong.error, "Byte 5 begins \"x3\", which is not a number.");
    EXPECT_TRUE(wrong.values.empty());
    EXPECT_FALSE(ImportPasted("1 inf").error.empty());
}

// Commas that may be decimal points are told apart from commas that can only separate.
TEST(Import, PastedDecimalCommas) {
    for (const char* maybe : {"1,5 2,25 -3,75", "1,5\n2,25", "\"0,5\";\"1,25\"", "0,1"})
        EXPECT_TRUE(ReadsAsDecimalCommas(maybe)) << maybe;
    for (const char* list : {"1, 2, 3", "1,2,3", "1 2", "1,,2", ",5", "5,", "1.5,2.5 3,x"})
        EXPECT_FALSE(ReadsAsDecimalCommas(list)) << list;
    EXPECT_EQ(ImportPasted("1,5 2,25 -3,75", true).values, (std::vector<double>{1.5, 2.25, -3.75}));
    EXPECT_EQ(ImportPasted("1,5 2,25 -3,75").values, (std::vector<double>{1, 5, 2, 25, -3, 75}));
    EXPECT_EQ(ImportPasted("\"0,5\";-1,5e1\r\n", true).values, (std::vector<double>{0.5, -15}));
    EXPECT_FALSE(ImportPasted("1,5,5", true).error.empty());
}

} // namespace

namespace {

// What spreadsheets and instruments write: a byte-order mark, quoted fields, decimal commas
// and columns lined up with blanks. Malformed lines still name the line.
TEST(Import, TextAsSpreadsheetsWriteIt) {
    auto column = [](const std::string& text, DelimitedFormat f) {
        const ImportResult r = ImportDelimited(text, f);
        EXPECT_TRUE(r.error.empty()) << r.error;
        return r.values;
    };
    EXPECT_EQ(column("\xEF\xBB\xBF"
                     "t,v\n0,\"1.5\"\n1,\" -2 \"\n",
                     {2, ',', 1}),
              (std::vector<double>{1.5, -2}));
    EXPECT_EQ(column("\"a,b\",3\n\"say \"\"hi\"\"\",4\n", {2, ',', 0}),
              (std::vector<double>{3, 4}));
    DelimitedFormat comma{2, ';', 0, true};
    EXPECT_EQ(column("1,5;2,5\n0;-0,25\r\n", comma), (std::vector<double>{2.5, -0.25}));
    EXPECT_EQ(column("  0    1.5\n\t1 \t -2\n2 3   \n", {2, ' ', 0}),
              (std::vector<double>{1.5, -2, 3}));
    EXPECT_EQ(column("7 \"8\"\n", {2, ' ', 0}), (std::vector<double>{8}));

    EXPECT_EQ(ImportDelimited("1;2\n3;\"4\n", {2, ';', 0}).error,
              "Line 2 has no number in column 2."); // a quote never closed
    EXPECT_EQ(ImportDelimited("1,5;2,5\n", {2, ';', 0}).error,
              "Line 1 has no number in column 2."); // a decimal comma not asked for
    EXPECT_EQ(ImportDelimited("1 2\n3\n", {2, ' ', 0}).error, "Line 2 has no number in column 2.");

    const ImportResult pasted = ImportPasted("\xEF\xBB\xBF\"1.5\"\n2");
    EXPECT_TRUE(pasted.error.empty()) << pasted.error;
    EXPECT_EQ(pasted.values, (std::vector<double>{1.5, 2}));
}

// Import and paste read a number as the data file does, where the two forms overlap.
TEST(Import, NumbersAreReadAsTheDataFileReadsThem) {
    for (const char* text : {"+-5", "-+5", "--5", "1.2.3", "e5", ".", "-", "0x10", "inf", "nan"})
        EXPECT_FALSE(ImportPasted(text).error.empty()) << text;
    EXPECT_EQ(ImportPasted("1e-400 -1e-400 1d3 .5 5. +7").values,
              (std::vector<double>{0, -0.0, 1000, 0.5, 5, 7}));
    EXPECT_EQ(ImportPasted("1e400").values, (std::vector<double>{1.7976931348623157e308}));
}

TEST(Import, SoundIsToldByTheNameThenByTheFirstBytes) {
    const fs::path dir = fs::temp_directory_path() / "tarvelin-import-kind";
    fs::create_directories(dir);
    std::ofstream(dir / "riff.bin", std::ios::binary) << "RIFF\x24\0\0\0WAVE";
    std::ofstream(dir / "text.bin", std::ios::binary) << "1,2\n";
    std::ofstream(dir / "named.WAV", std::ios::binary) << "1,2\n";
    std::ofstream(dir / "riff.csv", std::ios::binary) << "RIFF";
    EXPECT_TRUE(IsSoundFile((dir / "riff.bin").string()));
    EXPECT_FALSE(IsSoundFile((dir / "text.bin").string()));
    EXPECT_TRUE(IsSoundFile((dir / "named.WAV").string()));
    EXPECT_FALSE(IsSoundFile((dir / "riff.csv").string()));
    EXPECT_FALSE(IsSoundFile((dir / "missing").string()));
    fs::remove_all(dir);
}

} // namespace

namespace {

// Side by side with the data file's scanner on random tokens of number characters: a token
// the scanner reads whole is imported as the same bits, any other is refused.
TEST(Import, PastedTokensAgreeWithTheScannerBitForBit) {
    std::mt19937_64 rng(21);
    const std::string alphabet = "0123456789+-.eEdD";
    int agreed = 0, refused = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string token;
        const std::size_t length = 1 + rng() % 12;
        for (std::size_t k = 0; k < length; ++k)
            token += alphabet[rng() % (k % 3 ? 10 : alphabet.size())];
        const ImportResult r = ImportPasted(token);
        NumberScanner scanner;
        const char* stop = scanner.Feed(token.data(), token.data() + token.size());
        if (stop == token.data() + token.size() && scanner.HasDigits()) {
            ASSERT_TRUE(r.error.empty()) << token;
            const double want = scanner.Value();
            ASSERT_EQ(std::memcmp(&r.values[0], &want, sizeof want), 0) << token;
            ++agreed;
        } else {
            ASSERT_FALSE(r.error.empty()) << token;
            ++refused;
        }
    }
    EXPECT_GT(agreed, 1000);
    EXPECT_GT(refused, 1000);
}

} // namespace
