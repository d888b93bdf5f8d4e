#include "files/HeldFile.h"

#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace {
// Larger files could take longer to read than the kernel makes a writer wait (45 s by
// default); they are read as usual.
constexpr std::uint64_t MostHeld = std::uint64_t(1) << 30;
} // namespace

HeldFile::HeldFile(int f) : fd(f) {
#if defined(__linux__)
    // A breaking lease signals its holder, by default with SIGIO, which would end the
    // program: SIGURG is ignored unless asked for.
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0 || ::fcntl(fd, F_SETLEASE, F_RDLCK) != 0)
        return;
    leased = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size <= 0 || std::uint64_t(st.st_size) > MostHeld)
        return;
    size = std::uint64_t(st.st_size);
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED)
        size = 0;
    else
        bytes = static_cast<const char*>(p);
#endif
}

void HeldFile::Done(std::uint64_t from, std::uint64_t to) const {
#if defined(__linux__)
    // Only whole pages inside the range: the pages at its ends may be another's.
    const std::uint64_t first = (from + 4095) / 4096 * 4096, last = to / 4096 * 4096;
    if (bytes && first < last && last <= size)
        ::madvise(const_cast<char*>(bytes) + first, last - first, MADV_DONTNEED);
#else
    (void)from, (void)to;
#endif
}

HeldFile::~HeldFile() {
#if defined(__linux__)
    if (bytes)
        ::munmap(const_cast<char*>(bytes), size);
    if (leased)
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
#endif
}
