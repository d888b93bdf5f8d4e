#include "files/bank/FrameSizeChunks.h"

#include "files/bank/BankShape.h"

#include <algorithm>
#include <cctype>

namespace {

std::uint32_t U32(const std::string& s, std::size_t at) {
    return std::uint32_t(std::uint8_t(s[at])) | std::uint32_t(std::uint8_t(s[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(s[at + 2])) << 16 |
           std::uint32_t(std::uint8_t(s[at + 3])) << 24;
}

// The size, or why it is none.
FrameSizeHint Checked(std::uint64_t size, const std::string& where) {
    FrameSizeHint hint;
    if (size < MinFrameSize || size > MaxFrameSize)
        hint.error = where + " gives a frame size of " + std::to_string(size) +
                     ", not one of 2 to 65536 samples.";
    else
        hint.frameSize = std::uint32_t(size);
    return hint;
}

} // namespace

FrameSizeHint ClmHint(const std::string& body) {
    FrameSizeHint hint;
    if (body.compare(0, 3, "<!>") != 0)
        return hint; // another tool's text: nothing said
    std::size_t digits = 0;
    while (3 + digits < body.size() && std::isdigit(static_cast<unsigned char>(body[3 + digits])))
        ++digits;
    if (digits == 0) {
        hint.error = "The \"clm \" chunk has no frame size after \"<!>\".";
        return hint;
    }
    if (digits > 4) {
        hint.error = "The \"clm \" chunk's frame size has more than four digits.";
        return hint;
    }
    hint = Checked(std::stoul(body.substr(3, digits)), "The \"clm \" chunk");
    const std::size_t flags = 3 + digits + 1;
    if (hint.error.empty() && flags < body.size() && body[flags - 1] == ' ' &&
        std::isdigit(static_cast<unsigned char>(body[flags])))
        hint.interpolation = body[flags] - '0';
    return hint;
}

FrameSizeHint UhwtHint(const std::string& body) {
    if (body.size() < 12) {
        FrameSizeHint hint;
        hint.error = "The \"uhWT\" chunk is too short to hold a frame size.";
        return hint;
    }
    return Checked(U32(body, 8), "The \"uhWT\" chunk");
}

FrameSizeHint SurgeHint(const std::string& body, const char* id) {
    const std::string name = std::string("The \"") + id + "\" chunk";
    FrameSizeHint hint;
    if (body.size() < 8)
        hint.error = name + " is too short to hold a frame size.";
    else if (U32(body, 0) != 1)
        hint.error = name + " is of version " + std::to_string(U32(body, 0)) + ", not 1.";
    else
        hint = Checked(U32(body, 4), name);
    return hint;
}

FrameSizeHint LoopHint(std::uint32_t loops, std::uint32_t start, std::uint32_t end) {
    if (loops == 0)
        return Checked(2048, "The \"smpl\" chunk");
    if (loops > 1 || end <= start)
        return {}; // no one loop to go by
    return Checked(std::uint64_t(end) - start, "The \"smpl\" chunk's loop");
}

std::uint32_t RegularCueDistance(std::vector<std::uint32_t> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.size() < 2 || positions[0] != 0)
        return 0;
    const std::uint32_t d = positions[1];
    for (std::size_t i = 1; i < positions.size(); ++i)
        if (positions[i] != std::uint64_t(d) * i)
            return 0;
    return d;
}
