#pragma once
// A buffer of samples, allocated once at its final size.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "files/DataPoint.h"

struct SampleBufferFree {
    std::size_t mappedBytes = 0; // 0: allocated with new[]
    void operator()(DataPoint* points) const;
};

using SampleBuffer = std::unique_ptr<DataPoint[], SampleBufferFree>;

// Uninitialised samples; throws std::bad_alloc when the memory cannot be had. Large buffers
// get their memory up front in large pages, which costs far less than taking it a page at a
// time while filling.
SampleBuffer AllocateSamples(std::size_t count);

// What the system can still provide (available memory and free swap, from /proc/meminfo); the
// largest value when unknown.
std::uint64_t AvailableBytes();
