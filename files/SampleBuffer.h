#pragma once
// A buffer of samples, allocated once at its final size.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "files/AvailableMemory.h"
#include "files/DataPoint.h"

struct SampleBufferFree {
    std::size_t mappedBytes = 0; // 0: allocated with new[]
    void operator()(DataPoint* points) const;
};

using SampleBuffer = std::unique_ptr<DataPoint[], SampleBufferFree>;

// How a large buffer gets its pages: all at once, on two cores, for a filler that runs on
// one; or as they are first written, for fillers that already share the work between cores
// (a freshly zeroed page is then still in the cache when it is filled).
enum class SamplePages { Up, AsWritten };

// Uninitialised samples; throws std::bad_alloc when the memory cannot be had.
SampleBuffer AllocateSamples(std::size_t count, SamplePages pages = SamplePages::Up);

// Takes the pages of samples [from, to) of a buffer given pages as written, all at once: a
// filler that asks just before it fills a stretch pays less than a fault a page, and finds the
// fresh pages still in the cache. Only advice: without it the pages come as they are written.
void TakeSamplePages(const SampleBuffer& buffer, std::size_t from, std::size_t to);
