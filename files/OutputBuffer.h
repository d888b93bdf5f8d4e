#pragma once
// Collects text in a large block and hands it to a sink a block at a time.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Receives a block of text; returns false when it could not be written.
using TextSink = std::function<bool(const char* text, std::size_t size)>;

// A sink that appends to a string.
inline TextSink StringSink(std::string& text) {
    return [&text](const char* s, std::size_t n) {
        text.append(s, n);
        return true;
    };
}

class OutputBuffer {
public:
    static constexpr std::size_t Size = 1 << 20;
    // Room that one formatted value may need: "%f" of the largest double is 316 characters.
    static constexpr std::size_t Reserve = 512;

    explicit OutputBuffer(TextSink s)
        : sink(std::move(s)), block(new char[Size]), end(block.get()) {}

    // Where the next value may be written; at least Reserve bytes are free.
    char* Room() {
        if (std::size_t(block.get() + Size - end) < Reserve)
            Flush();
        return end;
    }
    // Room for `n` bytes (at most Size) in one piece.
    char* Room(std::size_t n) {
        if (std::size_t(block.get() + Size - end) < n)
            Flush();
        return end;
    }
    void Advance(char* to) { end = to; }
    void Append(const char* text, std::size_t n) {
        char* p = Room();
        std::memcpy(p, text, n);
        end = p + n;
    }
    // Text of any length, in pieces: a value's room is all one call may take.
    void Put(std::string_view text) {
        while (!text.empty()) {
            const std::size_t n = std::min(text.size(), Reserve);
            Append(text.data(), n);
            text.remove_prefix(n);
        }
    }
    // Writes what is held; false once the sink has failed.
    bool Flush() {
        const std::size_t n = std::size_t(end - block.get());
        end = block.get();
        if (n && ok)
            ok = sink(block.get(), n);
        return ok;
    }

private:
    TextSink sink;
    std::unique_ptr<char[]> block;
    char* end;
    bool ok = true;
};
