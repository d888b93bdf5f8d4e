#include "files/MemoryGate.h"

#include <algorithm>

#include <new>

#include "files/AvailableMemory.h"

void AskForMemory(std::uint64_t bytes) {
    if (bytes < (std::uint64_t(1) << 20))
        return;
    const std::uint64_t available = AvailableBytes();
    if (available < MemoryMargin || bytes > available - MemoryMargin)
        throw MemoryRefused(bytes > UINT64_MAX - MemoryMargin ? UINT64_MAX : bytes + MemoryMargin,
                            available);
}

void AskForMemory(std::uint64_t count, std::uint64_t size) {
    if (size != 0 && count > UINT64_MAX / size)
        throw std::bad_alloc();
    AskForMemory(count * size);
}

void GrowAtTheGate(std::vector<double>& values) {
    if (values.size() < values.capacity())
        return;
    const std::size_t next = std::max<std::size_t>(4096, values.capacity() * 2);
    AskForMemory(next + values.capacity(), sizeof(double));
    values.reserve(next);
}
