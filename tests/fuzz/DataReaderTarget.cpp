#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "files/DataFileReader.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/MemoryFile.h"
#include "tests/fuzz/ReferenceReader.h"

void FuzzDataReader(const std::uint8_t* data, std::size_t size) {
    // A file in memory, read through its path as Open reads any file.
    const MemoryFile memory(data, size);
    if (!memory.Made())
        return;
    DataFile file = ReadDataFile(memory.Path());

    const std::vector<double> expected =
        ReferenceRead(std::string(reinterpret_cast<const char*>(data), size));
    if (file.count != expected.size())
        std::abort();
    for (std::uint32_t i = 0; i < file.count; ++i) {
        const double y = file.points[i].y;
        // Bit for bit, so that -0.0 and 0.0 count as different.
        if (!std::isfinite(y) || file.points[i].x != double(i) ||
            std::memcmp(&y, &expected[i], sizeof y) != 0)
            std::abort();
    }
}
