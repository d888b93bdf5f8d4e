#include "files/bank/RiffLayout.h"

#include <algorithm>
#include <fstream>

namespace {

std::uint32_t U32(const char* p) {
    return std::uint32_t(std::uint8_t(p[0])) | std::uint32_t(std::uint8_t(p[1])) << 8 |
           std::uint32_t(std::uint8_t(p[2])) << 16 | std::uint32_t(std::uint8_t(p[3])) << 24;
}

// Four printable characters, as every chunk id is.
bool LooksLikeId(const char* p) {
    return std::all_of(p, p + 4, [](char c) { return c >= 0x20 && c <= 0x7E; });
}

std::string Quoted(const std::string& id) {
    return "\"" + id + "\"";
}

} // namespace

const RiffChunk* RiffLayout::Find(const std::string& id) const {
    for (const RiffChunk& c : chunks)
        if (c.id == id)
            return &c;
    return nullptr;
}

RiffLayout ReadRiffLayout(const ByteSource& read, std::uint64_t fileSize) {
    RiffLayout layout;
    char head[12];
    if (fileSize < 12 || read(0, head, 12) != 12 || std::string(head, 4) != "RIFF" ||
        std::string(head + 8, 4) != "WAVE")
        return layout; // not walked: the sound reader says what it is
    layout.riff = true;
    const std::uint64_t riffEnd = 8 + std::uint64_t(U32(head + 4));
    // Some writers count 2 bytes too many; more than that is a file cut short.
    if (riffEnd > fileSize + 2) {
        layout.error = "The file is cut short: its header promises " + std::to_string(riffEnd) +
                       " bytes, and it holds " + std::to_string(fileSize) + ".";
        return layout;
    }
    const std::uint64_t end = std::min(riffEnd, fileSize);
    std::uint64_t at = 12;
    while (at + 8 <= end) {
        char chunk[8];
        if (read(at, chunk, 8) != 8)
            break;
        RiffChunk c{std::string(chunk, 4), at + 8, U32(chunk + 4)};
        if (!LooksLikeId(chunk)) {
            layout.error = "The bytes at offset " + std::to_string(at) + " are no chunk header.";
            return layout;
        }
        const std::uint64_t bodyEnd = c.offset + c.size;
        // A RIFF size a little short of its last chunk is another writer's slip: the file
        // holds the chunk, and readers read it.
        if (bodyEnd > fileSize) {
            layout.error = "The " + Quoted(c.id) + " chunk runs past the end of the file (" +
                           std::to_string(c.size) + " bytes promised at offset " +
                           std::to_string(c.offset) + ", " + std::to_string(fileSize) +
                           " in the file).";
            return layout;
        }
        std::uint64_t next = bodyEnd + (c.size & 1);
        if (c.size & 1) {
            // Without its pad byte the next chunk starts one byte early, or the file ends.
            char after[5] = {};
            const bool padMissing =
                next > fileSize ||
                (bodyEnd + 4 <= end && read(bodyEnd, after, 5) >= 4 && LooksLikeId(after) &&
                 (next + 4 > end || !LooksLikeId(after + 1)));
            if (padMissing) {
                layout.error = "The " + Quoted(c.id) + " chunk has an odd length (" +
                               std::to_string(c.size) + ") and no pad byte after it.";
                return layout;
            }
        }
        layout.chunks.push_back(std::move(c));
        at = next;
    }
    if (!layout.Find("fmt ") || !layout.Find("data"))
        layout.error = std::string("The file has no \"") + (layout.Find("fmt ") ? "data" : "fmt ") +
                       "\" chunk.";
    return layout;
}

RiffLayout ReadRiffLayout(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    in.seekg(0, std::ios::end);
    const std::uint64_t size = std::uint64_t(in.tellg());
    return ReadRiffLayout(
        [&in](std::uint64_t offset, char* to, std::size_t n) {
            in.clear();
            in.seekg(std::streamoff(offset));
            in.read(to, std::streamsize(n));
            return std::size_t(in.gcount());
        },
        size);
}
