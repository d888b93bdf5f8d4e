#pragma once
// A wavetable bank being edited: F frames of N samples, one of them current. The current
// frame's samples are lent to the view that shows and edits them, without a copy, and given
// back before the frames change or another becomes current.

#include <cstdint>
#include <string>
#include <vector>

#include "files/SampleBuffer.h"
#include "files/bank/BankShape.h"

class CWaveBank {
public:
    // The frames of `values` (frame k from k x N); throws std::bad_alloc when memory is short.
    explicit CWaveBank(const BankValues& values);

    std::uint32_t Frames() const { return std::uint32_t(frames.size()); }
    std::uint32_t FrameSize() const { return frameSize; }
    std::uint32_t Current() const { return current; }
    bool Lent() const { return lent; }

    // The current frame's samples, for the view; Return gives them back.
    SampleBuffer Lend();
    void Return(SampleBuffer samples);
    // Another frame becomes current (nothing may be lent).
    void SetCurrent(std::uint32_t frame);

    // The changes a bank's history takes back and forth (nothing may be lent): frame `at`
    // inserted with `values` (taken), frame `at` removed (its values given in `values`), frame
    // `at` moved to `to`. The frame changed becomes current. False where it cannot be done.
    bool Insert(std::uint32_t at, std::vector<double>& values);
    bool Remove(std::uint32_t at, std::vector<double>& values);
    bool Move(std::uint32_t at, std::uint32_t to);
    // A frame's samples as the bank keeps them; null for the one lent.
    DataPoint* Points(std::uint32_t frame);
    // A frame's values, for a copy.
    std::vector<double> ValuesOf(std::uint32_t frame) const;

    // Every frame's values one after another, the lent one read from `shown`.
    BankValues Values(const DataPoint* shown) const;

private:
    SampleBuffer Made(const std::vector<double>& values) const;

    std::vector<SampleBuffer> frames;
    std::uint32_t frameSize = 0;
    std::uint32_t current = 0;
    bool lent = false;
};
