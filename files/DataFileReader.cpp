#include "files/DataFileReader.h"

#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <new>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "files/NumberScanner.h"

namespace {

constexpr std::size_t ChunkSize = ReadBlockSize;

class File {
public:
    // Only regular files are read: a pipe or a device could block or never end. Opening
    // without blocking keeps a pipe with no writer from holding the program up.
    explicit File(const std::string& p) : path(p) {
        const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT && errno != ENOTDIR)
                throw DataFileReadError(path, errno);
            return;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            const int error = S_ISDIR(st.st_mode) ? EISDIR : EBADF;
            ::close(fd);
            throw DataFileReadError(path, error);
        }
        f = ::fdopen(fd, "rb");
        if (!f) {
            const int error = errno;
            ::close(fd);
            throw DataFileReadError(path, error);
        }
        std::setvbuf(f, nullptr, _IONBF, 0); // we read in large chunks ourselves
    }
    ~File() {
        if (f)
            std::fclose(f);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    explicit operator bool() const { return f != nullptr; }
    std::uint64_t Size() const {
        struct stat st {};
        return f && ::fstat(fileno(f), &st) == 0 ? std::uint64_t(st.st_size) : 0;
    }
    // `size` bytes from `offset` (fewer at the end), without moving the file's position.
    std::size_t ReadAt(char* buffer, std::size_t size, std::uint64_t offset) {
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::pread(fileno(f), buffer + got, size - got, off_t(offset + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw DataFileReadError(path, errno);
            if (n == 0)
                break;
            got += std::size_t(n);
        }
        return got;
    }
    std::size_t Read(char* buffer, std::size_t size) {
        const std::size_t got = std::fread(buffer, 1, size, f);
        if (got < size && std::ferror(f))
            throw DataFileReadError(path, errno ? errno : EIO);
        return got;
    }

private:
    std::FILE* f = nullptr;
    std::string path;
};

// Eight bytes at p, the first in the lowest byte.
std::uint64_t Load8(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// How many of the eight bytes in `v` are decimal digits before the first that is not, and
// their value. Each byte less '0' is a digit when below 10; a borrow or a carry can only
// disturb bytes after the first non-digit.
[[gnu::always_inline]] inline int LeadingDigits(std::uint64_t v, std::uint64_t& value) {
    const std::uint64_t t = v - 0x3030303030303030u;
    const std::uint64_t nonDigit = (t | (t + 0x7676767676767676u)) & 0x8080808080808080u;
    const int n = nonDigit ? __builtin_ctzll(nonDigit) / 8 : 8;
    if (n == 0) {
        value = 0;
        return 0;
    }
    // Leading zeros shifted in at the low (most significant) end, then pairs, fours, eights.
    std::uint64_t d = t << (8 * (8 - n));
    d = d * 10 + (d >> 8);
    d = (((d & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
         (((d >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >>
        32;
    value = d;
    return n;
}

// Up to 16 digits at q (two blocks); returns how many (16 may mean more follow).
[[gnu::always_inline]] inline int Digits(const char*& q, std::uint64_t& m) {
    std::uint64_t block;
    int n = LeadingDigits(Load8(q), block);
    m = block;
    q += n;
    if (n == 8) {
        const int more = LeadingDigits(Load8(q), block);
        static constexpr std::uint64_t scale[] = {1,      10,      100,      1000,     10000,
                                                  100000, 1000000, 10000000, 100000000};
        m = m * scale[more] + block;
        q += more;
        n += more;
    }
    return n;
}

// Characters that may continue a number after its digits.
bool ContinuesNumber(char c) {
    return c == '.' || c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// The usual line, "-123.456789" with at most 15 digits and no exponent, read without the
// general scanner. The digits and the power of ten are exact doubles, so one division rounds
// exactly as the scanner does. False leaves the line to the scanner; needs 40 readable bytes.
bool FastNumber(const char*& p, double& value) {
    static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    static constexpr std::uint64_t scale[] = {1,      10,      100,      1000,     10000,
                                              100000, 1000000, 10000000, 100000000};
    const char* q = p;
    const bool negative = *q == '-';
    q += negative;
    std::uint64_t m;
    int digits = Digits(q, m);
    int fraction = 0;
    if (*q == '.') {
        ++q;
        std::uint64_t block;
        fraction = LeadingDigits(Load8(q), block);
        m = m * scale[fraction] + block;
        q += fraction;
        digits += fraction;
    }
    if (digits == 0 || digits > 15 || fraction == 8 || ContinuesNumber(*q))
        return false;
    const double v = double(m) / powers[fraction];
    // The sign as a bit: a branch on it would be a coin toss for random data.
    value =
        std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) | (std::uint64_t(negative) << 63));
    p = q;
    return true;
}

// Line feeds among n bytes, eight at a time.
std::uint64_t CountLineFeeds(const char* p, std::size_t n) {
    std::uint64_t count = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t x = Load8(p + i) ^ 0x0A0A0A0A0A0A0A0Au;
        // High bit of each byte set exactly where x has a zero byte.
        const std::uint64_t y =
            ~(((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | x | 0x7F7F7F7F7F7F7F7Fu);
        count += ((y >> 7) * 0x0101010101010101u) >> 56; // the bytes' sum
    }
    for (; i < n; ++i)
        count += p[i] == '\n';
    return count;
}

// Samples begun in [from, to), which starts at a line's start: the first pass over a part.
// Every byte that begins a line begins a sample, unless it is NUL.
std::uint64_t CountRange(File& file, std::uint64_t from, std::uint64_t to, CProgress* progress,
                         double expected) {
    std::vector<char> buffer(ChunkSize);
    std::uint64_t count = 0;
    bool atStart = true;
    for (std::uint64_t at = from; at < to;) {
        const std::size_t got = file.ReadAt(
            buffer.data(), std::size_t(std::min<std::uint64_t>(ChunkSize, to - at)), at);
        if (got == 0)
            break;
        const char* p = buffer.data();
        std::uint64_t starts = (atStart ? 1 : 0) + CountLineFeeds(p, got - 1);
        for (const char* nul = p;
             (nul = static_cast<const char*>(std::memchr(nul, '\0', std::size_t(p + got - nul))));
             ++nul)
            if (nul == p ? atStart : nul[-1] == '\n')
                --starts;
        count += starts;
        atStart = p[got - 1] == '\n';
        at += got;
        if (progress) // counting is a fifth of the time
            progress->Step(expected > 0 ? 0.2 * std::min(1.0, double(at - from) / expected) : 0);
    }
    return count;
}

} // namespace

DataFileReadError::DataFileReadError(const std::string& p, int e)
    : std::runtime_error("cannot read " + p), path(p), error(e) {}

std::uint64_t CountDataFileSamples(const std::string& path, CProgress* progress) {
    File file(path);
    if (!file) // up to its end, however long it has grown since its size was taken
        return 0;
    return CountRange(file, 0, std::numeric_limits<std::uint64_t>::max(), progress,
                      double(file.Size()));
}

namespace {

// The second pass over a stretch of text: one sample for each line that begins with a byte
// other than NUL, Y the number the line begins with. Carries a line cut at the stretch's end
// over to the next.
struct LineParser {
    DataPoint* points;
    std::uint32_t stored; // the next sample's index
    std::uint32_t count;  // no more than this many in all
    bool atStart = true;  // the next byte begins a line
    bool sample = false;  // the open line gives a sample
    NumberScanner scanner;

    LineParser(DataPoint* p, std::uint32_t from, std::uint32_t most)
        : points(p), stored(from), count(most) {}

    void EndLine() {
        if (sample) {
            points[stored] = DataPoint{double(stored), scanner.Value()};
            ++stored;
        }
        atStart = true;
    }

    void Parse(const char* p, const char* end) {
        while (p < end && stored < count) { // a file that grew meanwhile: the rest is ignored
            if (atStart) {
                atStart = false;
                sample = *p != '\0';
                double value;
                if (sample && end - p >= 40 && FastNumber(p, value)) {
                    if (*p == '\r' && p[1] == '\n')
                        ++p;
                    if (*p == '\n') {
                        points[stored] = DataPoint{double(stored), value};
                        ++stored;
                        atStart = true;
                        ++p;
                        continue;
                    }
                    scanner.SetValue(value);
                } else {
                    scanner.Reset();
                }
            }
            if (sample && !scanner.Done())
                p = scanner.Feed(p, end);
            if (p < end && *p != '\n') {
                p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
                if (!p)
                    break; // the line goes on in the next stretch
            }
            if (p && p < end) {
                EndLine();
                ++p;
            }
        }
    }
};

// The second pass over [from, to) of the file, which starts at a line's start: its samples
// into the parser's place, `blockSize` bytes read at a time, until `stop` is set.
void ParseRange(File& file, std::uint64_t from, std::uint64_t to, LineParser& parser,
                CProgress* progress, const std::atomic<bool>* stop, std::size_t blockSize) {
    std::vector<char> buffer(blockSize);
    const double first = parser.stored, span = double(parser.count) - first;
    for (std::uint64_t at = from; at < to && parser.stored < parser.count && !(stop && *stop);) {
        if (progress)
            progress->Step(0.2 + 0.8 * (double(parser.stored) - first) / std::max(1.0, span));
        const std::size_t got = file.ReadAt(
            buffer.data(), std::size_t(std::min<std::uint64_t>(buffer.size(), to - at)), at);
        if (got == 0)
            break;
        parser.Parse(buffer.data(), buffer.data() + got);
        at += got;
    }
    if (!parser.atStart && parser.stored < parser.count) // a last line without a line feed
        parser.EndLine();
}

} // namespace

DataFile ReadDataFileSamples(const std::string& path, std::uint64_t count, CProgress* progress,
                             std::size_t blockSize) {
    if (count == 0)
        return {};
    if (count > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    File file(path);
    if (!file)
        return {};
    DataFile result;
    result.points = AllocateSamples(std::size_t(count));
    LineParser parser(result.points.get(), 0, std::uint32_t(count));
    ParseRange(file, 0, std::numeric_limits<std::uint64_t>::max(), parser, progress, nullptr,
               blockSize);
    if (parser.stored == 0)
        return {};
    result.count = parser.stored; // a file that shrank meanwhile: only what was read
    return result;
}

namespace {

// Files this long are read in two halves at once, from the first line that begins past the
// middle; shorter ones as a whole.
constexpr std::uint64_t HalvesFrom = std::uint64_t(1) << 20;

// Where the first line at or after `offset` begins; the file's size where none does.
std::uint64_t LineStartFrom(File& file, std::uint64_t offset, std::uint64_t size) {
    std::vector<char> buffer(1 << 16);
    while (offset < size) {
        const std::size_t got = file.ReadAt(buffer.data(), buffer.size(), offset);
        if (got == 0)
            break;
        if (const void* lf = std::memchr(buffer.data(), '\n', got))
            return offset + std::uint64_t(static_cast<const char*>(lf) - buffer.data()) + 1;
        offset += got;
    }
    return size;
}

// Runs `work` on a second thread, joined however the calling thread leaves; its exception
// is thrown again by Join.
class Beside {
public:
    explicit Beside(std::function<void()> work)
        : thread([this, work = std::move(work)] {
              try {
                  work();
              } catch (...) {
                  failure = std::current_exception();
              }
          }) {}
    ~Beside() {
        if (thread.joinable())
            thread.join();
    }
    void Join() {
        thread.join();
        if (failure)
            std::rethrow_exception(failure);
    }

private:
    std::exception_ptr failure;
    std::thread thread;
};

} // namespace

DataFile ReadDataFile(const std::string& path, CProgress* progress) {
    auto whole = [&] {
        return ReadDataFileSamples(path, CountDataFileSamples(path, progress), progress);
    };
    std::uint64_t size, split;
    {
        File file(path);
        if (!file)
            return {};
        size = file.Size();
        if (size < HalvesFrom)
            return whole();
        split = LineStartFrom(file, size / 2, size);
    }
    if (split >= size)
        return whole();
    // Both passes in two halves at once; the second half's samples follow the first's.
    std::atomic<bool> stop{false};
    std::uint64_t inFirst = 0, inSecond = 0;
    {
        File mine(path), theirs(path);
        Beside other([&] { inSecond = CountRange(theirs, split, size, nullptr, 0); });
        try {
            inFirst = CountRange(mine, 0, split, progress, double(split));
        } catch (...) {
            stop = true;
            throw;
        }
        other.Join();
    }
    const std::uint64_t count = inFirst + inSecond;
    if (count == 0)
        return {};
    if (count > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    DataFile result;
    result.points = AllocateSamples(std::size_t(count));
    LineParser first(result.points.get(), 0, std::uint32_t(inFirst));
    LineParser second(result.points.get(), std::uint32_t(inFirst), std::uint32_t(count));
    {
        File mine(path), theirs(path);
        Beside other(
            [&] { ParseRange(theirs, split, size, second, nullptr, &stop, ReadBlockSize); });
        try {
            ParseRange(mine, 0, split, first, progress, &stop, ReadBlockSize);
        } catch (...) {
            stop = true; // cancelled, or the file failed: the other half stops too
            throw;
        }
        other.Join();
    }
    // A file that changed between the passes is read again as a whole, as it now stands.
    if (first.stored != inFirst || second.stored != count)
        return whole();
    result.count = std::uint32_t(count);
    return result;
}
