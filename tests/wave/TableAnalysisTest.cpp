#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <thread>

#include "tests/wave/Waves.h"
#include "wave/TableAnalysis.h"

namespace {

std::vector<DataPoint> Sine(std::size_t n, double cycles = 1, double phase = 0) {
    std::vector<double> ys(n);
    for (std::size_t i = 0; i < n; ++i)
        ys[i] = std::sin(2 * std::numbers::pi * cycles * double(i) / double(n) + phase);
    return Wave(ys);
}

TableOptions Words(int bits) {
    TableOptions o;
    o.format = TableFormat::Mem;
    o.width = bits;
    o.scaled = true;
    return o;
}

} // namespace

TEST(TableAnalysis, ClosedFormsComeOutAsTheTheorySays) {
    // A full-scale sine stored in B bits: SINAD near 6.02 B + 1.76 dB, and ENOB near B.
    const std::vector<DataPoint> sine = Sine(4096);
    for (int bits : {8, 12, 16}) {
        const StoredFigures s = AnalyseStored(sine.data(), sine.size(), Words(bits));
        ASSERT_TRUE(s.error.empty()) << s.error;
        EXPECT_NEAR(s.figures.sinadDb, 6.02 * bits + 1.76, 0.6) << bits;
        EXPECT_NEAR(s.enob, bits, 0.1) << bits;
        EXPECT_LE(s.errorMaxLsb, 0.5);
        EXPECT_NEAR(s.errorRmsLsb, 1 / std::sqrt(12.0), 0.02); // uniform rounding error
    }

    // A square's odd harmonics fall as 1/k and its even ones vanish.
    std::vector<double> square(1024);
    for (std::size_t i = 0; i < square.size(); ++i)
        square[i] = i < 512 ? 1 : -1;
    const std::vector<DataPoint> sq = Wave(square);
    const TableAnalysis a = AnalyseTable(sq.data(), sq.size());
    ASSERT_EQ(a.figures.fundamentalAt, 1u);
    for (std::size_t k = 3; k <= 21; k += 2)
        EXPECT_NEAR(a.spectrum.amplitude[k] * double(k) / a.figures.fundamental, 1, 0.01) << k;
    for (std::size_t k = 2; k <= 20; k += 2)
        EXPECT_LT(a.spectrum.amplitude[k], 1e-12) << k;
    EXPECT_NEAR(a.figures.crest, 1, 1e-12);
    EXPECT_EQ(a.figures.seam, 2);

    // A constant has no fundamental, so no figure of purity; only its level.
    const std::vector<DataPoint> flat = Wave(std::vector<double>(100, 0.25));
    const TableAnalysis c = AnalyseTable(flat.data(), flat.size());
    EXPECT_EQ(c.figures.dc, 0.25);
    EXPECT_EQ(c.figures.fundamentalAt, 0u);
    EXPECT_TRUE(std::isnan(c.figures.sinadDb) && std::isnan(c.figures.thdPercent));
    // One sample is a constant too.
    const TableAnalysis one = AnalyseTable(flat.data(), 1);
    EXPECT_EQ(one.spectrum.amplitude.size(), 1u);
    EXPECT_EQ(one.figures.seam, 0);
}

TEST(TableAnalysis, ThePhaseAndTheSymmetriesFollowTheShape) {
    const std::vector<DataPoint> sine = Sine(256), cosine = Sine(256, 1, std::numbers::pi / 2);
    const TableAnalysis s = AnalyseTable(sine.data(), sine.size());
    const TableAnalysis c = AnalyseTable(cosine.data(), cosine.size());
    EXPECT_NEAR(s.figures.phaseDegrees, -90, 1e-9);
    EXPECT_NEAR(c.figures.phaseDegrees, 0, 1e-9);
    EXPECT_LT(s.figures.oddDeviation, 1e-12);
    EXPECT_NEAR(s.figures.evenDeviation, 2, 1e-3);
    EXPECT_LT(s.figures.quarterWaveDeviation, 1e-12);
    EXPECT_LT(c.figures.evenDeviation, 1e-12);
    EXPECT_NEAR(c.figures.oddDeviation, 2, 1e-12);
    // Three cycles: the third harmonic is the fundamental, and the table still wraps cleanly.
    const std::vector<DataPoint> three = Sine(306, 3);
    const TableAnalysis t = AnalyseTable(three.data(), three.size());
    EXPECT_EQ(t.figures.fundamentalAt, 3u);
    EXPECT_GT(t.figures.sfdrDb, 250);
    EXPECT_TRUE(std::isnan(t.figures.quarterWaveDeviation)); // 306 is no multiple of 4
}

TEST(TableAnalysis, StoredTablesCountInTheirOwnSteps) {
    const std::vector<DataPoint> sine = Sine(1000);
    TableOptions q15;
    q15.type = TableType::Q15;
    const StoredFigures q = AnalyseStored(sine.data(), sine.size(), q15);
    EXPECT_EQ(q.bits, 16);
    EXPECT_EQ(q.errorMaxLsb, 1);                  // 1.0 is 32768, held to 32767
    EXPECT_NEAR(q.figures.fundamental, 32768, 1); // the entries' units
    TableOptions single;
    single.type = TableType::Float;
    const StoredFigures f = AnalyseStored(sine.data(), sine.size(), single);
    EXPECT_EQ(f.bits, 0);
    EXPECT_LE(f.errorMaxLsb, 0.5); // float's own rounding, in steps at the peak
    EXPECT_GT(f.enob, 23);
    // Held samples are part of the error: a target range narrower than the waveform's.
    TableOptions narrow = Words(12);
    narrow.sourceMin = -0.5;
    narrow.sourceMax = 0.5;
    const StoredFigures held = AnalyseStored(sine.data(), sine.size(), narrow);
    EXPECT_GT(held.errorMaxLsb, 1000);
    // A range that cannot be used says so.
    TableOptions wrong = Words(8);
    wrong.targetMax = 300;
    EXPECT_FALSE(AnalyseStored(sine.data(), sine.size(), wrong).error.empty());
}

TEST(TableAnalysis, SizesArePlannedOnceAndShareableBetweenThreads) {
    const std::vector<DataPoint> a = Sine(4096), b = Sine(3000, 7);
    const TableAnalysis wantA = AnalyseTable(a.data(), a.size());
    const TableAnalysis wantB = AnalyseTable(b.data(), b.size());
    std::vector<std::thread> threads;
    std::vector<int> same(8, 0);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            const auto& w = t % 2 ? b : a;
            const TableAnalysis got = AnalyseTable(w.data(), w.size());
            same[std::size_t(t)] =
                got.spectrum.amplitude == (t % 2 ? wantB : wantA).spectrum.amplitude;
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(same, std::vector<int>(8, 1));
}

namespace {

// What storing did is told apart from the shape: a perfect N-bit rounding of any shape reads
// about N bits, however much the shape's own harmonics weigh.
TEST(TableAnalysis, StoringIsMeasuredAgainstFullScaleWhateverTheShape) {
    std::vector<double> third(4096), drawn(4096);
    for (std::size_t i = 0; i < 4096; ++i) {
        const double t = 2 * std::numbers::pi * double(i) / 4096;
        third[i] = std::sin(t) + 0.1 * std::sin(3 * t); // its 3rd harmonic at -20 dB
        drawn[i] = std::sin(t) + 0.5 * std::sin(2 * t + 1) + 0.3 * (i > 1000 && i < 1300);
    }
    for (const std::vector<double>* shape : {&third, &drawn}) {
        const StoredFigures s = AnalyseStored(Wave(*shape).data(), 4096, Words(12));
        ASSERT_EQ(s.error, "");
        EXPECT_NEAR(s.enob, 12, 0.3);
        EXPECT_NEAR(s.sinadDb, 6.02 * 12 + 1.76, 2);
        EXPECT_GT(s.sfdrDb, s.sinadDb);
        EXPECT_GE(s.snrDb, s.sinadDb);
        EXPECT_LT(s.figures.sfdrDb, 40) << "the shape's own figures still tell its harmonics";
    }
}

// A harmonic above N/2 folds back and counts as distortion; the mean is no part of the
// swing; magnitudes at the ends of the doubles give finite figures.
TEST(TableAnalysis, FoldedHarmonicsTheMeanAndExtremeMagnitudes) {
    std::vector<double> folded(1024), unsignedSine(512);
    for (std::size_t i = 0; i < 1024; ++i) {
        const double t = 2 * std::numbers::pi * double(i) / 1024;
        folded[i] = std::sin(100 * t) + 0.01 * std::sin(700 * t); // 700 folds to 324
    }
    const TableAnalysis f = AnalyseTable(Wave(folded).data(), 1024);
    EXPECT_EQ(f.figures.fundamentalAt, 100u);
    EXPECT_NEAR(f.figures.thdPercent, 1, 1e-9);
    for (std::size_t i = 0; i < 512; ++i)
        unsignedSine[i] = 2048 + 2047 * std::sin(2 * std::numbers::pi * double(i) / 512);
    const TableAnalysis u = AnalyseTable(Wave(unsignedSine).data(), 512);
    EXPECT_NEAR(u.figures.crest, std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(u.figures.acRms, 2047 / std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(u.figures.rms, std::sqrt(2048.0 * 2048 + 2047.0 * 2047 / 2), 1e-6);
    for (double scale : {1e160, 1e-170, 1e300}) {
        std::vector<double> ys(256);
        for (std::size_t i = 0; i < 256; ++i)
            ys[i] = scale * (std::sin(2 * std::numbers::pi * double(i) / 256) +
                             0.1 * std::sin(6 * std::numbers::pi * double(i) / 256));
        const TableAnalysis a = AnalyseTable(Wave(ys).data(), 256);
        EXPECT_EQ(a.figures.fundamentalAt, 1u) << scale;
        EXPECT_NEAR(a.figures.fundamental / scale, 1, 1e-12) << scale;
        EXPECT_NEAR(a.figures.rms / scale, std::sqrt(1.01 / 2), 1e-12) << scale;
        EXPECT_NEAR(a.figures.thdPercent, 10, 1e-9) << scale;
        EXPECT_NEAR(a.figures.sinadDb, 20, 1e-9) << scale;
    }
}

} // namespace

// The error's spectrum is taken from the entries' and the samples' (the exact values are the
// samples scaled); it must agree with the transform of the error itself, and the window's
// two columns worked out together with each worked out alone.
TEST(TableAnalysis, TheErrorFromTheSamplesSpectrumIsTheErrorsOwn) {
    std::vector<double> drawn(6000);
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const double t = 2 * std::numbers::pi * double(i) / double(drawn.size());
        drawn[i] = 0.2 + std::sin(3 * t) + 0.05 * std::sin(17 * t + 1) + 0.2 * (i % 700 < 90);
    }
    const std::vector<DataPoint> wave = Wave(drawn);
    TableOptions q15, single, narrow = Words(10), as = Words(16);
    q15.type = TableType::Q15;
    single.type = TableType::Float;
    narrow.sourceMin = -0.5;
    narrow.sourceMax = 0.5;
    as.scaled = false; // the samples as they are: a handful of levels
    for (const TableOptions& o : {Words(12), q15, single, narrow, as}) {
        const StoredTable table = StoreTable(wave.data(), wave.size(), o);
        std::vector<double> error(wave.size());
        for (std::size_t i = 0; i < error.size(); ++i)
            error[i] = table.stored[i] - table.exact[i];
        const HarmonicSpectrum e = SpectrumOf(error.data(), error.size());
        const StoredFigures alone = AnalyseStored(wave.data(), wave.size(), o);
        const double amplitude = alone.fullScale / 2;
        double all = 0, spur = 0;
        for (std::size_t k = 1; k < e.amplitude.size(); ++k) {
            all += std::pow(e.amplitude[k] / amplitude, 2) / 2;
            spur = std::max(spur, e.amplitude[k] / amplitude);
        }
        EXPECT_NEAR(alone.sinadDb, 10 * std::log10(0.5 / all), 1e-6) << o.width << o.scaled;
        EXPECT_NEAR(alone.sfdrDb, -20 * std::log10(spur), 1e-6);
        const BothAnalyses both = AnalyseBoth(wave.data(), wave.size(), o);
        EXPECT_EQ(both.stored.sinadDb, alone.sinadDb);
        EXPECT_EQ(both.stored.snrDb, alone.snrDb);
        EXPECT_EQ(both.stored.spectrum.amplitude, alone.spectrum.amplitude);
        EXPECT_EQ(both.wave.spectrum.amplitude,
                  AnalyseTable(wave.data(), wave.size()).spectrum.amplitude);
    }
}
