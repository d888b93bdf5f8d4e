// The transforms and resampling over 10 million samples, each as one step of the editor would run
// it.
#include <benchmark/benchmark.h>

#include <functional>
#include <future>
#include <random>
#include <string>
#include <vector>

#include "wave/Resample.h"
#include "wave/TableAnalysis.h"
#include "wave/Transforms.h"
#include "wave/WavTable.h"

namespace {

constexpr std::size_t Count = 10'000'000;

std::vector<DataPoint>& Samples() {
    static std::vector<DataPoint> points = [] {
        std::mt19937_64 rng(3);
        std::uniform_real_distribution<double> v(-1, 1);
        std::vector<DataPoint> p(Count);
        for (std::size_t i = 0; i < Count; ++i)
            p[i] = {double(i), v(rng)};
        return p;
    }();
    return points;
}

void Transform(benchmark::State& state, const std::function<void(SampleRange)>& apply) {
    std::vector<DataPoint> work = Samples();
    for (auto _ : state) {
        apply({work.data(), work.size()});
        benchmark::DoNotOptimize(work.data());
    }
}

} // namespace

BENCHMARK_CAPTURE(Transform, normalise, [](SampleRange r) {
    NormalisePeak(r, 1);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, scale_offset, [](SampleRange r) {
    ScaleOffset(r, 0.5, 0.1);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, remove_dc, [](SampleRange r) {
    RemoveDC(r);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, invert, [](SampleRange r) {
    Invert(r);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, reverse, [](SampleRange r) {
    Reverse(r);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, smooth_101, [](SampleRange r) {
    Smooth(r, 101, true);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, clip, [](SampleRange r) {
    Clip(r, -0.5, 0.5);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Transform, quantise_12, [](SampleRange r) {
    Quantise(r, 12, -1, 1);
})->Unit(benchmark::kMillisecond);

void ResampleTo(benchmark::State& state, ResampleMethod method) {
    std::vector<double> ys(Count);
    for (std::size_t i = 0; i < Count; ++i)
        ys[i] = Samples()[i].y;
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(Resample(ys, Count / 2 * 3, method, true, error).data());
}
BENCHMARK_CAPTURE(ResampleTo, linear_x1_5, ResampleMethod::Linear)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ResampleTo, cubic_x1_5, ResampleMethod::Cubic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ResampleTo, band_limited_best_x1_5, ResampleMethod::BandLimited)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ResampleTo, band_limited_fast_x1_5, ResampleMethod::BandLimitedFast)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// What the Analyse window works out at each change: the waveform alone, the table stored in
// 12 bits alone, and both as the window works them out, the stored table on the second core.
enum class Analysed { Waveform, Stored, Both };
void Analyse(benchmark::State& state, Analysed what) {
    TableOptions twelve;
    twelve.format = TableFormat::Mem;
    twelve.width = 12;
    twelve.scaled = true;
    const std::vector<DataPoint>& points = Samples();
    for (auto _ : state) {
        if (what == Analysed::Waveform)
            benchmark::DoNotOptimize(AnalyseTable(points.data(), Count));
        else if (what == Analysed::Stored)
            benchmark::DoNotOptimize(AnalyseStored(points.data(), Count, twelve));
        else
            benchmark::DoNotOptimize(AnalyseBoth(points.data(), Count, twelve));
    }
}
BENCHMARK_CAPTURE(Analyse, waveform, Analysed::Waveform)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Analyse, stored, Analysed::Stored)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Analyse, both, Analysed::Both)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

namespace {

// Every form of Export Table at 10 million samples, scaled onto 12-bit words (16-bit PCM for
// WAV), into a sink that only counts.
void ExportForm(benchmark::State& state, TableFormat format) {
    const std::vector<DataPoint>& points = Samples();
    TableOptions o;
    o.format = format;
    o.scaled = true;
    o.width = format == TableFormat::Wav ? 16 : 12;
    o.widthSigned = format == TableFormat::Wav;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const bool ok = WriteTableForm(
            [&bytes](const char*, std::size_t n) {
                bytes += n;
                return true;
            },
            points.data(), points.size(), o);
        if (!ok) {
            state.SkipWithError("refused");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(bytes));
}

} // namespace

BENCHMARK_CAPTURE(ExportForm, c, TableFormat::C)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, cpp, TableFormat::Cpp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, rust, TableFormat::Rust)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, mem, TableFormat::Mem)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, memb, TableFormat::MemB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, coe, TableFormat::Coe)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, mif, TableFormat::Mif)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, ihex, TableFormat::IHex)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, bin, TableFormat::Bin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, vhdl, TableFormat::Vhdl)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportForm, wav, TableFormat::Wav)->Unit(benchmark::kMillisecond)->UseRealTime();
