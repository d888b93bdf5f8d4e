// Writes 10 million samples in every word form, scaled onto 12-bit words (WAV: 16-bit PCM),
// into files of DIR, best of five, and the samples themselves as DIR/samples.f64 for the
// numpy writers of the same bytes (bench/numpy_forms.py), which compare the files.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "wave/WavTable.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    constexpr std::size_t Count = 10'000'000;
    std::vector<DataPoint> points(Count);
    std::vector<double> ys(Count);
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> v(-1, 1);
    for (std::size_t i = 0; i < Count; ++i)
        points[i] = {double(i), ys[i] = v(rng)};
    if (FILE* f = std::fopen((dir + "/samples.f64").c_str(), "wb")) {
        std::fwrite(ys.data(), sizeof(double), Count, f);
        std::fclose(f);
    }
    const TableFormat forms[] = {TableFormat::Bin,  TableFormat::Wav, TableFormat::Mem,
                                 TableFormat::MemB, TableFormat::Coe, TableFormat::Mif,
                                 TableFormat::IHex, TableFormat::Vhdl};
    for (TableFormat form : forms) {
        TableOptions o;
        o.format = form;
        o.scaled = true;
        o.width = 12;
        const std::string path = dir + "/tarvelin." + TableFormatOption(form);
        double best = 1e300;
        for (int run = 0; run < 5; ++run) {
            FILE* f = std::fopen(path.c_str(), "wb");
            if (!f)
                return 1;
            const auto start = std::chrono::steady_clock::now();
            const bool ok = WriteTableForm(
                [f](const char* text, std::size_t n) { return std::fwrite(text, 1, n, f) == n; },
                points.data(), Count, o);
            std::fclose(f);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            if (!ok)
                return 1;
            best = std::min(best, ms);
        }
        std::printf("%s %.1f\n", TableFormatOption(form), best);
    }
    return 0;
}
