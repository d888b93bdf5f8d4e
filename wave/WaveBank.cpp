#include "wave/WaveBank.h"

#include "files/MemoryGate.h"

#include <stdexcept>

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) // a programmer's mistake: fail loudly
        throw std::logic_error(what);
}

} // namespace

CWaveBank::CWaveBank(const BankValues& values) : frameSize(values.frameSize) {
    Expect(CheckBankShape(values.frames, values.frameSize).empty() &&
               values.values.size() == std::size_t(values.frames) * values.frameSize,
           "a bank of the wrong shape");
    AskForMemory(values.values.size(), sizeof(DataPoint));
    frames.reserve(values.frames);
    for (std::uint32_t k = 0; k < values.frames; ++k) {
        SampleBuffer frame = AllocateSamples(frameSize);
        for (std::uint32_t i = 0; i < frameSize; ++i)
            frame[i] =
                DataPoint{double(std::int32_t(i)), values.values[std::size_t(k) * frameSize + i]};
        frames.push_back(std::move(frame));
    }
}

SampleBuffer CWaveBank::Lend() {
    Expect(!lent, "the current frame is lent already");
    lent = true;
    return std::move(frames[current]);
}

void CWaveBank::Return(SampleBuffer samples) {
    Expect(lent && samples, "nothing was lent");
    lent = false;
    frames[current] = std::move(samples);
}

void CWaveBank::SetCurrent(std::uint32_t frame) {
    Expect(!lent && frame < frames.size(), "another frame while one is lent");
    current = frame;
}

SampleBuffer CWaveBank::Made(const std::vector<double>& values) const {
    SampleBuffer frame = AllocateSamples(frameSize);
    for (std::uint32_t i = 0; i < frameSize; ++i)
        frame[i] = DataPoint{double(std::int32_t(i)), values[i]};
    return frame;
}

bool CWaveBank::Insert(std::uint32_t at, std::vector<double>& values) {
    Expect(!lent, "frames changed while one is lent");
    if (at > frames.size() || frames.size() >= MaxBankFrames || values.size() != frameSize)
        return false;
    SampleBuffer frame = Made(values); // before anything changes
    frames.insert(frames.begin() + at, std::move(frame));
    values = {};
    current = at;
    return true;
}

bool CWaveBank::Remove(std::uint32_t at, std::vector<double>& values) {
    Expect(!lent, "frames changed while one is lent");
    if (at >= frames.size() || frames.size() == 1)
        return false;
    values = ValuesOf(at);
    frames.erase(frames.begin() + at);
    current = std::min<std::uint32_t>(at, Frames() - 1);
    return true;
}

bool CWaveBank::Move(std::uint32_t at, std::uint32_t to) {
    Expect(!lent, "frames changed while one is lent");
    if (at >= frames.size() || to >= frames.size())
        return false;
    SampleBuffer frame = std::move(frames[at]);
    frames.erase(frames.begin() + at);
    frames.insert(frames.begin() + to, std::move(frame));
    current = to;
    return true;
}

DataPoint* CWaveBank::Points(std::uint32_t frame) {
    Expect(frame < frames.size(), "no such frame");
    return frames[frame].get();
}

std::vector<double> CWaveBank::ValuesOf(std::uint32_t frame) const {
    Expect(frame < frames.size() && frames[frame], "no such frame here");
    AskForMemory(frameSize, sizeof(double));
    std::vector<double> values(frameSize);
    for (std::uint32_t i = 0; i < frameSize; ++i)
        values[i] = frames[frame][i].y;
    return values;
}

BankValues CWaveBank::Values(const DataPoint* shown) const {
    BankValues out{frameSize, Frames(), {}};
    AskForMemory(std::uint64_t(frameSize) * Frames(), sizeof(double));
    out.values.reserve(std::size_t(frameSize) * Frames());
    for (std::uint32_t k = 0; k < Frames(); ++k) {
        const DataPoint* frame = frames[k] ? frames[k].get() : shown;
        Expect(frame != nullptr, "the lent frame was not given");
        for (std::uint32_t i = 0; i < frameSize; ++i)
            out.values.push_back(frame[i].y);
    }
    return out;
}
