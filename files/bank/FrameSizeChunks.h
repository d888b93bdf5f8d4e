#pragma once
// What the chunks wavetable synths write say about a bank's frame size: Serum's `clm `,
// u-he's `uhWT`, Surge's `srge` (and `srgo`, a one-shot sample), a `smpl` chunk's loop, and
// cue points at regular distances.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FrameSizeHint {
    std::string error;           // not empty: the chunk is malformed, and how
    std::uint32_t frameSize = 0; // 0: the chunk says nothing about it
    int interpolation = -1;      // clm: the interpolation flag's digit, where given
};

// `<!>` then 1-4 digits, then flags (the first, a digit, the interpolation).
FrameSizeHint ClmHint(const std::string& body);
// The frame count at offset 4, the samples a frame at offset 8.
FrameSizeHint UhwtHint(const std::string& body);
// Version 1, then the samples a frame.
FrameSizeHint SurgeHint(const std::string& body, const char* id);
// One loop's length, `end` one past its last sample (as libsndfile gives it); a chunk with no
// loop means 2048.
FrameSizeHint LoopHint(std::uint32_t loops, std::uint32_t start, std::uint32_t end);
// The distance between cue points at 0, d, 2d, ...; 0 where they are not that regular.
std::uint32_t RegularCueDistance(std::vector<std::uint32_t> positions);
