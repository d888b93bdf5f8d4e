#pragma once
// Eight text bytes at a time in one 64-bit word, the first byte in the lowest: loads, byte
// tests and decimal digits without a loop over the bytes.

#include <cstdint>
#include <cstring>

// Eight bytes at p, the first in the lowest byte.
inline std::uint64_t Load8(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The high bit of each byte of x that is zero, and no other bit (no false hits from carries).
inline std::uint64_t ZeroBytes(std::uint64_t x) {
    return ~(((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | x | 0x7F7F7F7F7F7F7F7Fu);
}

// The high bit of each byte of x equal to c.
inline std::uint64_t BytesEqual(std::uint64_t x, char c) {
    return ZeroBytes(x ^ (0x0101010101010101u * std::uint8_t(c)));
}

// Eight digit values (each byte 0..9, the most significant in the lowest byte) as a number.
inline std::uint64_t EightDigits(std::uint64_t d) {
    // Pairs, then fours, then the eight.
    d = d * 10 + (d >> 8);
    return (((d & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
            (((d >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >>
           32;
}

// Whether any byte of x, taken as a digit's value, is 10 or more.
inline bool AnyAboveNine(std::uint64_t x) {
    return ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
}
