#include "files/LargePages.h"

#include <algorithm>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {
constexpr std::size_t MapFrom = std::size_t(1) << 20;
} // namespace

void* AllocateLarge(std::size_t bytes) {
#if defined(__linux__)
    if (bytes >= MapFrom) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        madvise(p, bytes, MADV_HUGEPAGE); // only advice: small pages work the same
        return p;
    }
#endif
    // Aligned as FFTW's own allocations are, so that its plans run on either; never of size 0.
    void* p = std::aligned_alloc(64, std::max<std::size_t>(64, (bytes + 63) / 64 * 64));
    if (!p)
        throw std::bad_alloc();
    return p;
}

void FreeLarge(void* p, std::size_t bytes) {
    if (!p)
        return;
#if defined(__linux__)
    if (bytes >= MapFrom) {
        munmap(p, bytes);
        return;
    }
#endif
    std::free(p);
}
