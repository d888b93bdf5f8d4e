#pragma once
// A wavetable bank's samples: F frames of N values, one frame after another, and the limits a
// bank keeps to.

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t MaxBankFrames = 4096;
constexpr std::uint32_t MinFrameSize = 2, MaxFrameSize = 65536;

struct BankValues {
    std::uint32_t frameSize = 0; // N
    std::uint32_t frames = 0;    // F
    std::vector<double> values;  // F x N, frame k from k x N
};

// Why F frames of N samples make no bank; empty when they do.
std::string CheckBankShape(std::uint64_t frames, std::uint64_t frameSize);
// Why `total` samples are no whole number of frames of N (or too many); empty when they are.
std::string CheckFrameSize(std::uint64_t total, std::uint64_t frameSize);
