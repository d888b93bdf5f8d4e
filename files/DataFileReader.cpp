#include "files/DataFileReader.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <new>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "files/DigitWords.h"
#include "files/EscapedText.h"
#include "files/LineFeeds.h"
#include "files/NumberScanner.h"
#include "files/PlainLines.h"

namespace {

constexpr std::size_t ChunkSize = ReadBlockSize;

struct FileStamp {
    std::uint64_t size;
    std::int64_t seconds, nanoseconds;
    ino_t inode;
    dev_t device;
    bool operator==(const FileStamp&) const = default;
};

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
    // What tells a change: length, modification time, and the file itself.
    FileStamp Stamp() const {
        struct stat st {};
        if (::fstat(fileno(f), &st) != 0)
            throw DataFileReadError(path, errno);
        return {std::uint64_t(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ino,
                st.st_dev};
    }
    // The path still leads to this file (it was not replaced by another of the same name).
    bool StillAt(const std::string& p) const {
        struct stat now {
        }, mine{};
        return ::stat(p.c_str(), &now) == 0 && ::fstat(fileno(f), &mine) == 0 &&
               now.st_ino == mine.st_ino && now.st_dev == mine.st_dev;
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

private:
    std::FILE* f = nullptr;
    std::string path;
};

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
    value = EightDigits(t << (8 * (8 - n))); // leading zeros shifted in at the low end
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

// The bytes of a file a piece at a time, read into a buffer of its own.
class Pieces {
public:
    explicit Pieces(File& f) : file(f) {}
    // Up to `size` bytes from `at`: fewer at the end, none past it. Valid until the next call.
    std::string_view At(std::uint64_t at, std::size_t size) {
        buffer.resize(std::max(buffer.size(), size));
        return std::string_view(buffer.data(), file.ReadAt(buffer.data(), size, at));
    }

private:
    File& file;
    std::vector<char> buffer;
};

// Samples begun in [from, to), which starts at a line's start: the first pass over a part.
// Every byte that begins a line begins a sample, unless it is NUL.
std::uint64_t CountRange(Pieces& text, std::uint64_t from, std::uint64_t to, CProgress* progress,
                         double expected) {
    std::uint64_t count = 0;
    bool atStart = true;
    for (std::uint64_t at = from; at < to;) {
        const std::string_view piece =
            text.At(at, std::size_t(std::min<std::uint64_t>(ChunkSize, to - at)));
        const std::size_t got = piece.size();
        if (got == 0)
            break;
        const char* p = piece.data();
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

DataFileChanged::DataFileChanged(const std::string& p)
    : std::runtime_error("The file changed while it was read."), path(p) {}

std::uint64_t CountDataFileSamples(const std::string& path, CProgress* progress) {
    File file(path);
    if (!file) // up to its end, however long it has grown since its size was taken
        return 0;
    Pieces text(file);
    return CountRange(text, 0, std::numeric_limits<std::uint64_t>::max(), progress,
                      double(file.Size()));
}

namespace {

// The second pass over a stretch of text: one sample for each line that begins with a byte
// other than NUL, Y the number the line begins with. Carries a line cut at the stretch's end
// over to the next.
struct LineParser {
    static constexpr std::size_t Shown = 64; // bytes kept of the first odd line
    DataPoint* points;
    std::uint32_t stored;            // the next sample's index
    std::uint32_t count;             // no more than this many in all
    bool atStart = true;             // the next byte begins a line
    bool sample = false;             // the open line gives a sample
    bool extra = false;              // the open line holds more than its number
    const char* lineBegin = nullptr; // where the open line's bytes in this stretch begin
    std::string head;                // its bytes from earlier stretches, while none is odd
    NumberScanner scanner;
    OddLines odd;

    LineParser(DataPoint* p, std::uint32_t from, std::uint32_t most)
        : points(p), stored(from), count(most) {}

    // `lineEnd`: where the line ends in this stretch (null: it ended with the last one).
    void EndLine(const char* lineEnd = nullptr) {
        if (sample) {
            const double value = scanner.Value();
            points[stored] = DataPoint{double(stored), value};
            if (extra || scanner.Dangling()) {
                if (odd.count++ == 0) {
                    odd.first = stored;
                    odd.value = value;
                    odd.text = head;
                    if (lineEnd && lineBegin)
                        odd.text.append(lineBegin, std::min<std::size_t>(
                                                       std::size_t(lineEnd - lineBegin), Shown));
                    odd.text.resize(std::min(odd.text.size(), Shown));
                    while (!odd.text.empty() && odd.text.back() == '\r')
                        odd.text.pop_back();
                }
            }
            ++stored;
        }
        extra = false;
        head.clear();
        atStart = true;
    }

    // Whether [p, end) holds more than blanks.
    static bool Filled(const char* p, const char* end) {
        for (; p < end; ++p)
            if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\v' && *p != '\f')
                return true;
        return false;
    }

    void Parse(const char* p, const char* end) {
        lineBegin = atStart ? nullptr : p;  // a line begun in an earlier stretch goes on here
        while (p < end && stored < count) { // a file that grew meanwhile: the rest is ignored
            if (atStart) {
                p = ReadPlainLines(p, end, points, stored, count);
                if (p == end || stored == count)
                    break;
                atStart = false;
                lineBegin = p;
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
                const char* rest = p;
                p = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
                extra = extra || (sample && Filled(rest, p ? p : end));
                if (!p)
                    break; // the line goes on in the next stretch
            }
            if (p && p < end) {
                EndLine(p);
                ++p;
            }
        }
        // A line that goes on in the next stretch: its first bytes, to show should it be odd.
        if (!atStart && odd.count == 0 && lineBegin && head.size() < Shown)
            head.append(lineBegin,
                        std::min<std::size_t>(std::size_t(end - lineBegin), Shown - head.size()));
    }
};

// The second pass over [from, to) of the file, which starts at a line's start: its samples
// into the parser's place, `blockSize` bytes read at a time, until `stop` is set.
// With `buffer`, the pages each piece will fill are taken just before it is parsed, as many as
// the part's average line length gives, a few more to spare.
void ParseRange(Pieces& text, std::uint64_t from, std::uint64_t to, LineParser& parser,
                CProgress* progress, const std::atomic<bool>* stop, std::size_t blockSize,
                const SampleBuffer* buffer = nullptr) {
    const double first = parser.stored, span = double(parser.count) - first;
    const double perByte = 1.05 * span / double(std::max<std::uint64_t>(1, to - from));
    for (std::uint64_t at = from; at < to && parser.stored < parser.count && !(stop && *stop);) {
        if (progress)
            progress->Step(0.2 + 0.8 * (double(parser.stored) - first) / std::max(1.0, span));
        const std::string_view piece =
            text.At(at, std::size_t(std::min<std::uint64_t>(blockSize, to - at)));
        if (piece.empty())
            break;
        if (buffer)
            TakeSamplePages(
                *buffer, parser.stored,
                std::min<std::size_t>(
                    parser.count, parser.stored + std::size_t(perByte * double(piece.size())) + 1));
        parser.Parse(piece.data(), piece.data() + piece.size());
        at += piece.size();
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
    Pieces text(file);
    ParseRange(text, 0, std::numeric_limits<std::uint64_t>::max(), parser, progress, nullptr,
               blockSize);
    if (parser.stored == 0)
        return {};
    result.count = parser.stored; // a file that shrank meanwhile: only what was read
    result.odd = std::move(parser.odd);
    return result;
}

namespace {

// Files of a MiB or more are read in parts of about 256 KiB, at most 256 of them, each begun at a
// line's start and taken in turn by whichever of two threads is free: a thread that starts
// late (a sleeping core can take milliseconds to wake) leaves more parts to the other.
// Shorter files are one part.
constexpr std::uint64_t PartsFrom = std::uint64_t(1) << 20;
constexpr std::uint64_t PartSize = std::uint64_t(1) << 18;
constexpr std::uint64_t MostParts = 256;
// A part is read and parsed this much at a time: its samples' pages are taken just before,
// and stay in the cache to be filled.
constexpr std::size_t PartPiece = std::size_t(1) << 16;

// Where the first line at or after `offset` begins; the file's size where none does.
std::uint64_t LineStartFrom(Pieces& text, std::uint64_t offset, std::uint64_t size) {
    while (offset < size) {
        const std::string_view piece = text.At(offset, 1 << 16);
        if (piece.empty())
            break;
        if (const void* lf = std::memchr(piece.data(), '\n', piece.size()))
            return offset + std::uint64_t(static_cast<const char*>(lf) - piece.data()) + 1;
        offset += piece.size();
    }
    return size;
}

// A second thread kept for the whole read. Either side waits for the other by spinning a few
// microseconds at most, then sleeping: on a busy machine a spinning thread takes the core the
// other needs. A job the helper has not yet started when the reader finishes is taken back
// (its parts are done by then): a helper that is slow to wake never holds the read up.
class Helper {
public:
    Helper()
        : thread([this] {
              for (;;) {
                  int s = Await([](int v) { return v != Idle && v != Done; });
                  if (s == Quit)
                      return;
                  if (!state.compare_exchange_strong(s, Running))
                      continue; // taken back
                  try {
                      job();
                  } catch (...) {
                      failure = std::current_exception();
                  }
                  state = Done;
                  state.notify_one();
              }
          }) {}
    ~Helper() {
        state = Quit;
        state.notify_one();
        thread.join();
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // Runs `work` beside the calling thread until Finish.
    void Begin(std::function<void()> work) {
        job = std::move(work);
        failure = nullptr;
        state = Posted;
        state.notify_one();
    }
    // Ends the work: takes it back if not begun, else waits for it to end; its failure is
    // thrown again.
    void Finish() {
        int s = Posted;
        if (!state.compare_exchange_strong(s, Idle)) {
            Await([](int v) { return v == Done; });
            state = Idle;
        }
        if (failure)
            std::rethrow_exception(failure);
    }

private:
    enum { Idle, Posted, Running, Done, Quit };

    // The state once `ready` holds for it: a few microseconds' spin, then asleep.
    template <class Ready> int Await(Ready ready) {
        const auto since = std::chrono::steady_clock::now();
        int s;
        while (!ready(s = state.load()) &&
               std::chrono::steady_clock::now() - since < std::chrono::microseconds(5)) {
        }
        while (!ready(s)) {
            state.wait(s);
            s = state.load();
        }
        return s;
    }

    std::atomic<int> state{Idle};
    std::function<void()> job;
    std::exception_ptr failure;
    std::thread thread;
};

// Where the parts of [0, size) begin, and `size` last.
std::vector<std::uint64_t> PartStarts(Pieces& text, std::uint64_t size) {
    std::vector<std::uint64_t> starts{0};
    const std::uint64_t parts = size < PartsFrom ? 1 : std::min(MostParts, size / PartSize);
    for (std::uint64_t k = 1; k < parts; ++k) {
        const std::uint64_t at =
            LineStartFrom(text, std::max(starts.back(), size / parts * k), size);
        if (at >= size)
            break;
        if (at > starts.back()) // a line longer than a part leaves none to begin there
            starts.push_back(at);
    }
    starts.push_back(size);
    return starts;
}

// Does work(text, k) for every part k, each once, on this thread and the helper, each taking
// the next part not yet taken. After each part this thread did, `done` hears how many are
// done; it may end the work by throwing. A failure stops both and is thrown again.
void InTurn(std::size_t parts, Pieces& mine, Pieces& theirs, std::optional<Helper>& helper,
            std::atomic<bool>& stop, const std::function<void(Pieces&, std::size_t)>& work,
            const std::function<void(std::size_t)>& done) {
    std::atomic<std::size_t> next{0}, finished{0};
    auto take = [&](Pieces& text, bool here) {
        for (std::size_t k; !stop && (k = next++) < parts;) {
            work(text, k);
            const std::size_t n = ++finished;
            if (here)
                done(n);
        }
    };
    if (helper)
        helper->Begin([&] { take(theirs, false); });
    try {
        take(mine, true);
    } catch (...) {
        stop = true; // cancelled, or the file failed: the helper stops too
        if (helper)
            try {
                helper->Finish();
            } catch (...) { // the first failure is the one told
            }
        throw;
    }
    if (helper)
        helper->Finish();
}

DataFile ReadOpenFile(const std::string& path, File& file, CProgress* progress) {
    auto whole = [&] {
        return ReadDataFileSamples(path, CountDataFileSamples(path, progress), progress);
    };
    const std::uint64_t size = file.Size();
    if (size < PartsFrom)
        return whole();
    Pieces mine(file), theirs(file);
    const std::vector<std::uint64_t> starts = PartStarts(mine, size);
    const std::size_t parts = starts.size() - 1;
    if (parts < 2)
        return whole();
    // Both passes part by part; each part's samples follow those of the parts before it.
    std::optional<Helper> helper;
    if (parts > 1)
        helper.emplace();
    std::atomic<bool> stop{false};
    std::vector<std::uint64_t> first(parts + 1, 0); // counts, then where each part's samples begin
    auto step = [&](double from, double span) {
        return [=](std::size_t n) {
            if (progress)
                progress->Step(from + span * double(n) / double(parts));
        };
    };
    InTurn(
        parts, mine, theirs, helper, stop,
        [&](Pieces& text, std::size_t k) {
            first[k + 1] = CountRange(text, starts[k], starts[k + 1], nullptr, 0);
        },
        step(0, 0.2)); // counting is a fifth of the time
    for (std::size_t k = 0; k < parts; ++k)
        first[k + 1] += first[k];
    const std::uint64_t count = first[parts];
    if (count == 0)
        return {};
    if (count > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    DataFile result;
    result.points = AllocateSamples(std::size_t(count), SamplePages::AsWritten);
    std::atomic<bool> changed{false};
    std::vector<OddLines> odd(parts); // each part's own
    InTurn(
        parts, mine, theirs, helper, stop,
        [&](Pieces& text, std::size_t k) {
            LineParser parser(result.points.get(), std::uint32_t(first[k]),
                              std::uint32_t(first[k + 1]));
            ParseRange(text, starts[k], starts[k + 1], parser, nullptr, &stop, PartPiece,
                       &result.points);
            if (parser.stored != first[k + 1])
                changed = true;
            odd[k] = std::move(parser.odd);
        },
        step(0.2, 0.8));
    if (changed) // between the passes
        throw DataFileChanged(path);
    result.count = std::uint32_t(count);
    for (OddLines& part : odd) {
        if (part.count && !result.odd.count)
            result.odd = std::move(part); // the parts are in the file's order
        else
            result.odd.count += part.count;
    }
    return result;
}

} // namespace

DataFile ReadDataFile(const std::string& path, CProgress* progress) {
    File file(path);
    if (!file)
        return {};
    // Read through buffers, never a mapping of the file: a file cut short by another program
    // then reads short instead of faulting, and no lease holds other programs up. A file that
    // changed while it was read is told, never taken.
    const FileStamp before = file.Stamp();
    DataFile result = ReadOpenFile(path, file, progress);
    if (file.Stamp() != before || !file.StillAt(path))
        throw DataFileChanged(path);
    return result;
}

std::string OddLinesText(const OddLines& odd) {
    char value[32];
    const auto written = std::to_chars(value, value + sizeof value, odd.value);
    const std::string line = std::to_string(std::uint64_t(odd.first) + 1);
    return std::to_string(odd.count) +
           (odd.count == 1 ? " line holds more than a number; line "
                           : " lines hold more than a number; line ") +
           line + " reads \"" + Escaped(odd.text) + "\" as " + std::string(value, written.ptr) +
           ".";
}
