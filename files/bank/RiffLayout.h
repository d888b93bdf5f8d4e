#pragma once
// The chunks of a RIFF WAVE file, walked from their headers alone, so that a malformed file is
// named before its samples are read. Quirks other tools write are let through: a RIFF size 2
// bytes past the file's end, bytes after the RIFF's end.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RiffChunk {
    std::string id;           // four characters, "fmt ", "data", ...
    std::uint64_t offset = 0; // of the chunk's body in the file
    std::uint32_t size = 0;   // of the body, without the pad byte
};

struct RiffLayout {
    std::string error; // not empty: the file is no sound RIFF WAVE, and why
    bool riff = false; // the file begins as a RIFF WAVE (RF64 and others are not walked)
    std::vector<RiffChunk> chunks;
    const RiffChunk* Find(const std::string& id) const;
};

// Reads up to `n` bytes at `offset` into `to`; returns how many it read.
using ByteSource = std::function<std::size_t(std::uint64_t offset, char* to, std::size_t n)>;

RiffLayout ReadRiffLayout(const ByteSource& read, std::uint64_t fileSize);
// The layout of a file on disk (errors opening it are left to the sound reader).
RiffLayout ReadRiffLayout(const std::string& path);
