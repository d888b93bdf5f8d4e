#include "files/SampleBuffer.h"

#include "files/MemoryGate.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <new>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14
#endif
#endif

namespace {
constexpr std::size_t MapFrom = std::size_t(1) << 20;
constexpr std::size_t PopulateApart = std::size_t(1) << 23;
} // namespace

void SampleBufferFree::operator()(DataPoint* points) const {
#if defined(__linux__)
    if (mappedBytes) {
        munmap(points, mappedBytes);
        return;
    }
#endif
    delete[] points;
}

void TakeSamplePages(const SampleBuffer& buffer, std::size_t from, std::size_t to) {
#if defined(__linux__)
    if (!buffer.get_deleter().mappedBytes || from >= to)
        return;
    // Whole pages only, from the one holding the first sample: the mapping starts on one.
    const auto first = reinterpret_cast<std::uintptr_t>(buffer.get() + from) / 4096 * 4096;
    const auto last = reinterpret_cast<std::uintptr_t>(buffer.get() + to);
    madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)buffer, (void)from, (void)to;
#endif
}

SampleBuffer AllocateSamples(std::size_t count, SamplePages pages) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(DataPoint))
        throw std::bad_alloc();
    const std::size_t bytes = count * sizeof(DataPoint);
#if defined(__linux__)
    // Linux promises more than it has and kills the process later, when the samples are
    // touched: ask first how much there really is.
    AskForMemory(bytes);
    if (bytes >= MapFrom) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        // Up front, the pages are taken all at once, a half on each of two cores: filling
        // then touches no page for the first time. (Not large pages: where memory is
        // fragmented the kernel would stop to compact it, for a third of a second at the
        // first Open.) An older kernel may refuse the advice; the buffer works the same.
        if (pages == SamplePages::AsWritten) {
            // taken by the fillers
        } else if (bytes >= PopulateApart) {
            const std::size_t half = bytes / 2 / 4096 * 4096;
            std::thread other([p, half, bytes] {
                madvise(static_cast<char*>(p) + half, bytes - half, MADV_POPULATE_WRITE);
            });
            madvise(p, half, MADV_POPULATE_WRITE);
            other.join();
        } else {
            madvise(p, bytes, MADV_POPULATE_WRITE);
        }
        return SampleBuffer(static_cast<DataPoint*>(p), SampleBufferFree{bytes});
    }
#endif
    return SampleBuffer(new DataPoint[count], SampleBufferFree{});
}
