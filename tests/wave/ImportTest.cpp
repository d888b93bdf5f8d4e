#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <vector>

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
    const ImportResult csv = ImportDelimited("time,volts\n0,1.5\n1,-2\n\n2, 3e1 \r\n", 2, ',', 1);
    ASSERT_TRUE(csv.error.empty()) << csv.error;
    EXPECT_EQ(csv.values, (std::vector<double>{1.5, -2, 30}));
    const ImportResult missing = ImportDelimited("1;2\n3\n", 2, ';', 0);
    EXPECT_EQ(missing.error, "Line 2 has no number in column 2.");
    EXPECT_EQ(ImportDelimited("a\n", 0, ',', 0).values.size(), 0u);

    const ImportResult pasted = ImportPasted("1 2,3;4\n5\t-6.5e-1 ,, +7");
    ASSERT_TRUE(pasted.error.empty()) << pasted.error;
    EXPECT_EQ(pasted.values, (std::vector<double>{1, 2, 3, 4, 5, -0.65, 7}));
    const ImportResult wrong = ImportPasted("1 2 x3 4");
    EXPECT_EQ(wrong.error, "Byte 5 begins \"x3\", which is not a number.");
    EXPECT_TRUE(wrong.values.empty());
    EXPECT_FALSE(ImportPasted("1 inf").error.empty());
}

} // namespace
