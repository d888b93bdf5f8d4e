#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

#include "tests/support/Shell.h"
#include "wave/Oscillator.h"

namespace {

std::vector<float> Render(COscillator& o, std::size_t frames) {
    std::vector<float> out(frames);
    o.Render(out.data(), frames);
    return out;
}

template <class T> void Write(const std::filesystem::path& p, const std::vector<T>& v) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(v.data()), std::streamsize(v.size() * sizeof(T)));
}

} // namespace

// The stream against numpy's interpolation of the same table at the same phases.
TEST(Oscillator, PlaysTheTableAsNumpyInterpolatesIt) {
    const auto dir = std::filesystem::temp_directory_path() / "tarvelin-oscillator";
    std::filesystem::create_directories(dir);
    std::vector<float> table(257); // an odd length: the wrap is no power of two
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = float(std::sin(0.37 * double(i)) + 0.2 * std::cos(2.1 * double(i)));
    COscillator o;
    o.Publish(table);
    const double hertz = 261.6255653, rate = 48000;
    o.SetFrequency(hertz, rate);
    o.SetGain(1);
    o.Start();
    Render(o, COscillator::FadeFrames); // past the fade in, at full gain from here on
    const std::vector<float> out = Render(o, 20000);
    Write(dir / "table.f32", table);
    Write(dir / "out.f32", out);
    const std::uint64_t step = COscillator::Increment(hertz / rate, table.size());
    const std::string script =
        "import numpy as np, sys\n"
        "t = np.fromfile(sys.argv[1] + '/table.f32', np.float32).astype(np.float64)\n"
        "out = np.fromfile(sys.argv[1] + '/out.f32', np.float32)\n"
        "n, step, skip = len(t), int(sys.argv[2]), int(sys.argv[3])\n"
        "ks = np.arange(skip, skip + len(out), dtype=object)\n"
        "phase = np.array([(k * step) % (n << 32) for k in ks], dtype=np.float64) / 2.0**32\n"
        "want = np.interp(phase, np.arange(n + 1), np.append(t, t[0])).astype(np.float32)\n"
        "err = np.abs(out - want).max()\n"
        "print(err)\n"
        "sys.exit(0 if err <= 2e-7 else 1)\n";
    std::ofstream(dir / "check.py") << script;
    const ShellRun r =
        Shell("/usr/bin/python3 " + (dir / "check.py").string() + " " + dir.string() + " " +
              std::to_string(step) + " " + std::to_string(COscillator::FadeFrames));
    EXPECT_EQ(r.status, 0) << r.out;
    std::filesystem::remove_all(dir);
}

TEST(Oscillator, StartsAndStopsWithoutAClickAndKeepsItsPlaceInANewTable) {
    COscillator o;
    o.Publish(std::vector<float>(64, 1.0f)); // full scale: any jump in gain would show
    o.SetFrequency(1000, 48000);
    o.SetGain(0.5);
    EXPECT_EQ(Render(o, 16), std::vector<float>(16, 0.0f)); // not started: silence
    o.Start();
    const std::vector<float> in = Render(o, 2 * COscillator::FadeFrames);
    for (std::size_t i = 1; i < in.size(); ++i)
        ASSERT_LE(std::fabs(in[i] - in[i - 1]), 1.0f / COscillator::FadeFrames + 1e-6f) << i;
    EXPECT_FLOAT_EQ(in.back(), 0.5f);
    o.Stop();
    EXPECT_FALSE(o.Stopped());
    const std::vector<float> out = Render(o, COscillator::FadeFrames);
    EXPECT_LT(out.front(), 0.5f);
    EXPECT_FLOAT_EQ(out.back(), 0.0f);
    Render(o, 1);
    EXPECT_TRUE(o.Stopped());

    // A ramp table half way through its cycle: a table of another length goes on at its half.
    std::vector<float> ramp(100), longer(1000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = float(i) / 100;
    for (std::size_t i = 0; i < longer.size(); ++i)
        longer[i] = float(i) / 1000;
    COscillator p;
    p.Publish(ramp);
    p.SetFrequency(480, 48000); // 100 frames a cycle: one sample a frame
    p.SetGain(1);
    p.Start();
    Render(p, 550); // five cycles and a half
    p.Publish(longer);
    EXPECT_NEAR(Render(p, 1)[0], 0.5f, 0.011f);
}

TEST(Oscillator, TablesPublishedWhilePlayingAreTakenWithoutLocksAndFreed) {
    COscillator o;
    o.SetFrequency(440, 48000);
    o.SetGain(1);
    o.Start();
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> block(64);
        while (!done)
            o.Render(block.data(), block.size());
    });
    for (int i = 0; i < 2000; ++i)
        o.Publish(std::vector<float>(std::size_t(16 + i % 300), float(i % 7) / 7));
    done = true;
    audio.join(); // what is left is freed by the destructor (AddressSanitizer tells)
}

TEST(Oscillator, FrequenciesAreReadAsHertzOrNotes) {
    EXPECT_EQ(FrequencyOf("220"), 220.0);
    EXPECT_EQ(FrequencyOf(" 1.5 kHz"), 1500.0);
    EXPECT_EQ(FrequencyOf("440Hz"), 440.0);
    EXPECT_NEAR(*FrequencyOf("A4"), 440, 1e-9);
    EXPECT_NEAR(*FrequencyOf("a3"), 220, 1e-9);
    EXPECT_NEAR(*FrequencyOf("C4"), 261.6255653, 1e-6);
    EXPECT_NEAR(*FrequencyOf("C#4"), *FrequencyOf("Db4"), 1e-9);
    for (const char* wrong : {"", "0", "-5", "H4", "A", "A10", "Hz", "4 Hz Hz", "1e9"})
        EXPECT_FALSE(FrequencyOf(wrong)) << wrong;
    // Normalised tables fill -1..1 about their middle; a flat one is silence.
    const double ys[] = {2, 4, 3};
    EXPECT_EQ(Normalised(ys, 3), (std::vector<float>{-1, 1, 0}));
    const double flat[] = {5, 5};
    EXPECT_EQ(Normalised(flat, 2), (std::vector<float>{0, 0}));
}
