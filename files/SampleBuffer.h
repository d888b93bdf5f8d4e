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

// Uninitialised samples; throws std::bad_alloc when the memory cannot be had. Large buffers
// get their memory up front in large pages, which costs far less than taking it a page at a
// time while filling.
SampleBuffer AllocateSamples(std::size_t count);
