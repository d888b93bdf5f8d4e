#pragma once
// Reads a waveform text file: one sample a line, X its position, Y the number the line begins
// with. Two passes: the first counts, the buffer is allocated once, the second fills it.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "files/DataPoint.h"
#include "files/Progress.h"
#include "files/SampleBuffer.h"

// Lines that hold more than a number (text after it, or a sign, point or exponent without
// digits): read by the file's rule all the same ("1,5" as 1), and told to the user.
struct OddLines {
    std::uint64_t count = 0;
    std::uint32_t first = 0; // the first one's sample
    std::string text;        // its first bytes, as they stand
    double value = 0;        // what it was read as
};

// What is said of them: how many, and how the first was read ("3 lines hold more than a
// number; line 3 reads "1,5" as 1."), its bytes escaped.
std::string OddLinesText(const OddLines& odd);

struct DataFile {
    SampleBuffer points; // null when there are no samples
    std::uint32_t count = 0;
    OddLines odd;
};

// A file that exists but cannot be read (no permission, a folder, an I/O error).
class DataFileReadError : public std::runtime_error {
public:
    DataFileReadError(const std::string& path, int error);
    std::string path;
    int error; // the errno value
};

// The file changed (its length, time or identity) while it was read: what was read is not
// what it holds. Says "The file changed while it was read."
class DataFileChanged : public std::runtime_error {
public:
    explicit DataFileChanged(const std::string& path);
    std::string path;
};

// A file that does not exist gives no samples; one that exists but cannot be read throws
// DataFileReadError. A count beyond 32 bits, or a buffer that cannot be had, throws
// std::bad_alloc.
// A file that changed while it was read throws DataFileChanged.
// With a progress, it is stepped after every block read and may end the reading
// (OperationCancelled).
DataFile ReadDataFile(const std::string& path, CProgress* progress = nullptr);

// The two passes. The first counts the lines that give samples (0 when the file cannot be
// opened); the second allocates `count` samples and fills them, keeping to what the file
// still holds when it has changed since it was counted.
std::uint64_t CountDataFileSamples(const std::string& path, CProgress* progress = nullptr);
// The second pass reads `blockSize` bytes at a time; the tests choose small blocks to see
// every way a line can be cut. (ReadDataFile reads a long file in parts on two threads.)
constexpr std::size_t ReadBlockSize = std::size_t(1) << 20;
DataFile ReadDataFileSamples(const std::string& path, std::uint64_t count,
                             CProgress* progress = nullptr, std::size_t blockSize = ReadBlockSize);
