// Reads one waveform file and exits, saying how long the read took: run in a fresh process to
// see the first read as a user's Open meets it, and under /usr/bin/time for its peak memory.
#include <chrono>
#include <cstdio>

#include "files/DataFileReader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    DataFile f = ReadDataFile(argv[1]);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%u samples in %.1f ms\n", f.count, ms);
    return 0;
}
