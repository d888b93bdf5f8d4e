#include "wave/BankResample.h"

#include "files/MemoryGate.h"

#include <vector>

std::string ResampleFrames(BankValues& bank, std::uint32_t frameSize, ResampleMethod method,
                           CProgress* progress) {
    if (frameSize == bank.frameSize)
        return {};
    if (const std::string e = CheckBankShape(bank.frames, frameSize); !e.empty())
        return e;
    AskForMemory(std::uint64_t(bank.frames) * frameSize, sizeof(double));
    std::vector<double> out;
    out.reserve(std::size_t(bank.frames) * frameSize);
    std::vector<double> frame(bank.frameSize);
    for (std::uint32_t k = 0; k < bank.frames; ++k) {
        const auto from = bank.values.begin() + std::ptrdiff_t(k) * bank.frameSize;
        frame.assign(from, from + bank.frameSize);
        std::string error;
        const std::vector<double> made = Resample(frame, frameSize, method, true, error);
        if (made.empty())
            return "Frame " + std::to_string(k + 1) + " cannot be resampled: " + error;
        out.insert(out.end(), made.begin(), made.end());
        if (progress)
            progress->Step(double(k + 1) / bank.frames);
    }
    bank.values = std::move(out);
    bank.frameSize = frameSize;
    return {};
}
