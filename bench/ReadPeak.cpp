// Reads one waveform file and exits: run under /usr/bin/time to see the reader's peak memory.
#include <cstdio>

#include "files/DataFileReader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    DataFile f = ReadDataFile(argv[1]);
    std::printf("%u samples\n", f.count);
    return 0;
}
