// Reading, writing and exporting waveforms of 1 and 10 million random samples in -1000..1000.
// The data files are made in the folder named by TARVELIN_BENCH_DIR (default: the temp folder).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "files/CSourceExport.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/TableExport.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder() {
    const char* dir = std::getenv("TARVELIN_BENCH_DIR");
    return dir ? fs::path(dir) : fs::temp_directory_path();
}

const std::vector<DataPoint>& Samples(std::size_t count) {
    static std::map<std::size_t, std::vector<DataPoint>> made;
    auto& points = made[count];
    if (points.empty()) {
        std::mt19937_64 rng(count);
        std::uniform_real_distribution<double> value(-1000.0, 1000.0);
        points.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            points[i] = DataPoint{double(i), value(rng)};
    }
    return points;
}

// The text file of `count` samples, written once.
std::string DataFileOf(std::size_t count) {
    const fs::path path = Folder() / ("tarvelin-bench-" + std::to_string(count) + ".txt");
    if (!fs::exists(path)) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const auto& points = Samples(count);
        if (!f || !WriteDataFile(f, points.data(), points.size()) || std::fclose(f) != 0)
            std::abort();
    }
    return path.string();
}

void Read(benchmark::State& state) {
    const std::string path = DataFileOf(std::size_t(state.range(0)));
    const auto bytes = fs::file_size(path);
    for (auto _ : state) {
        DataFile f = ReadDataFile(path);
        benchmark::DoNotOptimize(f.points.get());
        if (f.count != std::size_t(state.range(0)))
            state.SkipWithError("wrong count");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * bytes));
}

template <class Write> void WriteTo(benchmark::State& state, Write write) {
    const auto& points = Samples(std::size_t(state.range(0)));
    const fs::path path = Folder() / "tarvelin-bench-out.txt";
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || !write(f, points) || std::fclose(f) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        bytes += std::int64_t(fs::file_size(path));
    }
    fs::remove(path);
    state.SetBytesProcessed(bytes);
}

void Write(benchmark::State& state) {
    WriteTo(state, [](std::FILE* f, const std::vector<DataPoint>& p) {
        return WriteDataFile(f, p.data(), p.size());
    });
}

void ExportInt(benchmark::State& state) {
    WriteTo(state, [](std::FILE* f, const std::vector<DataPoint>& p) {
        return ExportCSource(f, p.data(), p.size(), ExportForm::Integer);
    });
}

void ExportFloat(benchmark::State& state) {
    WriteTo(state, [](std::FILE* f, const std::vector<DataPoint>& p) {
        return ExportCSource(f, p.data(), p.size(), ExportForm::Float);
    });
}

// The firmware table for each element type, decimal and hexadecimal, scaled where it can be.
void ExportTable(benchmark::State& state, TableType type, bool hex) {
    TableOptions o;
    o.type = type;
    o.hex = hex;
    o.scaled = true;
    WriteTo(state, [&o](std::FILE* f, const std::vector<DataPoint>& p) {
        return WriteTable(FileSink(f), p.data(), p.size(), o);
    });
}
BENCHMARK_CAPTURE(ExportTable, int8, TableType::Int8, false)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, uint16_hex, TableType::UInt16, true)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, int32, TableType::Int32, false)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, uint32_hex, TableType::UInt32, true)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, q15, TableType::Q15, false)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, q31_hex, TableType::Q31, true)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, float, TableType::Float, false)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExportTable, double, TableType::Double, false)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Several rounds even for the large files, so one slow first round does not decide.
#define FILES_BENCHMARK(f)                                                                         \
    BENCHMARK(f)                                                                                   \
        ->Arg(1'000'000)                                                                           \
        ->Arg(10'000'000)                                                                          \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MinTime(2.0)
FILES_BENCHMARK(Read);
FILES_BENCHMARK(Write);
FILES_BENCHMARK(ExportInt);
FILES_BENCHMARK(ExportFloat);

} // namespace

BENCHMARK_MAIN();
