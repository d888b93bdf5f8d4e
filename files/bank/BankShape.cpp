#include "files/bank/BankShape.h"

std::string CheckBankShape(std::uint64_t frames, std::uint64_t frameSize) {
    if (frameSize < MinFrameSize || frameSize > MaxFrameSize)
        return "A frame holds 2 to 65536 samples, not " + std::to_string(frameSize) + ".";
    if (frames < 1 || frames > MaxBankFrames)
        return "A bank holds 1 to 4096 frames, not " + std::to_string(frames) + ".";
    return {};
}

std::string CheckFrameSize(std::uint64_t total, std::uint64_t frameSize) {
    if (frameSize < MinFrameSize || frameSize > MaxFrameSize)
        return "A frame holds 2 to 65536 samples, not " + std::to_string(frameSize) + ".";
    if (total == 0)
        return "The file holds no samples.";
    if (total % frameSize)
        return "The " + std::to_string(total) + " samples are no whole number of frames of " +
               std::to_string(frameSize) + ".";
    return CheckBankShape(total / frameSize, frameSize);
}
