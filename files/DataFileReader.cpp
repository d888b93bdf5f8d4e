#include "files/DataFileReader.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "files/NumberScanner.h"

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

class File {
public:
    explicit File(const std::string& path) : f(std::fopen(path.c_str(), "rb")) {
        if (f)
            std::setvbuf(f, nullptr, _IONBF, 0); // we read in large chunks ourselves
    }
    ~File() {
        if (f)
            std::fclose(f);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    explicit operator bool() const { return f != nullptr; }
    std::size_t Read(char* buffer, std::size_t size) { return std::fread(buffer, 1, size, f); }

private:
    std::FILE* f;
};

// Calls `piece(begin, end, first)` for each piece of every line (`first` on the piece that
// starts a line, `end` before the line feed; `begin` is always readable: it is the line feed
// of an empty line) and `lineEnd()` after each line. Either returns false to stop. A line is
// everything up to and including a line feed, or what is left at the end of the file.
template <class Piece, class LineEnd>
void ForEachLine(File& file, std::vector<char>& buffer, Piece piece, LineEnd lineEnd) {
    bool atStart = true;
    bool open = false;
    for (;;) {
        const std::size_t got = file.Read(buffer.data(), buffer.size());
        if (got == 0)
            break;
        const char* p = buffer.data();
        const char* end = p + got;
        while (p < end) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
            const char* stop = nl ? nl : end;
            if (!piece(p, stop, atStart))
                return;
            open = true;
            atStart = nl != nullptr;
            if (nl) {
                open = false;
                if (!lineEnd())
                    return;
                p = nl + 1;
            } else {
                p = end;
            }
        }
    }
    if (open)
        lineEnd();
}

} // namespace

std::uint64_t CountDataFileSamples(const std::string& path) {
    File file(path);
    if (!file)
        return 0;
    std::vector<char> buffer(ChunkSize);
    std::uint64_t count = 0;
    ForEachLine(
        file, buffer,
        [&](const char* p, const char*, bool first) {
            if (first && *p != '\0') // a line whose first byte is NUL gives no sample
                ++count;
            return true;
        },
        [] { return true; });
    return count;
}

DataFile ReadDataFileSamples(const std::string& path, std::uint64_t count) {
    if (count == 0)
        return {};
    if (count > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    File file(path);
    if (!file)
        return {};
    std::vector<char> buffer(ChunkSize);
    DataFile result;
    result.points = std::make_unique_for_overwrite<DataPoint[]>(std::size_t(count));
    std::uint32_t stored = 0;
    bool sample = false;
    NumberScanner scanner;
    ForEachLine(
        file, buffer,
        [&](const char* p, const char* end, bool first) {
            if (first) {
                sample = *p != '\0';
                scanner.Reset();
            }
            if (sample && !scanner.Done())
                scanner.Feed(p, end);
            return true;
        },
        [&] {
            if (sample) {
                result.points[stored] = DataPoint{double(stored), scanner.Value()};
                ++stored;
            }
            return stored < count; // a file that grew meanwhile: the rest is ignored
        });
    if (stored == 0)
        return {};
    result.count = stored; // a file that shrank meanwhile: only what was read
    return result;
}

DataFile ReadDataFile(const std::string& path) {
    return ReadDataFileSamples(path, CountDataFileSamples(path));
}
