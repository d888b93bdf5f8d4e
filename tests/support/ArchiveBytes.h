#pragma once
// Runs an object's Serialize into bytes and back.

#include <cstdint>
#include <vector>

#include "platform/Archive.h"

using Bytes = std::vector<std::uint8_t>;

inline Bytes StoreRecord(CObject& object) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    object.Serialize(ar);
    return file.Bytes();
}

inline void LoadRecord(CObject& object, Bytes bytes) {
    CMemFile file(std::move(bytes));
    CArchive ar(&file, CArchive::load);
    object.Serialize(ar);
}

// A little-endian 32-bit value at byte offset `i`.
inline std::int32_t Int32At(const Bytes& b, std::size_t i) {
    return std::int32_t(std::uint32_t(b[i]) | (std::uint32_t(b[i + 1]) << 8) |
                        (std::uint32_t(b[i + 2]) << 16) | (std::uint32_t(b[i + 3]) << 24));
}
