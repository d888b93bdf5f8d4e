#pragma once
// The one gate every buffer that grows with the sample count passes before it is made. Linux
// promises memory it does not have and kills the process when the pages are touched, and a
// control group's limit kills it sooner: a buffer is asked for here first, with room to spare
// for what the program needs beside it, and refused with std::bad_alloc before anything
// changes. (Callers that keep an undo history let it give way and ask again.)

#include <cstdint>
#include <new>
#include <vector>

// Room kept free beside every large request: the window, its pictures, the dialogs, and the
// caches the system cannot drop at once.
constexpr std::uint64_t MemoryMargin = std::uint64_t(64) << 20;

// A request the gate refused, and its size: memory given back elsewhere helps only when it
// makes up the difference.
class MemoryRefused : public std::bad_alloc {
public:
    MemoryRefused(std::uint64_t asked, std::uint64_t available)
        : bytes(asked), availableBytes(available) {}
    const char* what() const noexcept override { return "memory refused"; }
    std::uint64_t bytes;          // asked for, margin included
    std::uint64_t availableBytes; // what there was
};

// Throws MemoryRefused unless `bytes` and the margin can be had now. Requests under a MiB
// pass without asking: the margin covers them.
void AskForMemory(std::uint64_t bytes);

// `count` elements of `size` bytes each, asked for at once; a product that overflows is
// refused.
void AskForMemory(std::uint64_t count, std::uint64_t size);

// Room for one more value: as the values double, the gate is asked for the new block beside
// the old one, which the move still reads.
void GrowAtTheGate(std::vector<double>& values);
