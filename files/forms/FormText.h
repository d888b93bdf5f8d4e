#pragma once
// What the text forms share: words of a width written in base 2 or 16, lines of them, and the
// pieces their readers are built from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/forms/TableForm.h"

// The entries as words of `width` bits, two's complement.
struct Words {
    const FormEntries& entries;
    int width;
    std::uint64_t mask;

    Words(const FormEntries& e, int bits);
    std::size_t size() const { return entries.count; }
    std::uint64_t operator[](std::size_t i) const {
        return std::uint64_t(entries.Integer(i)) & mask;
    }
    // The word as a signed number of its width.
    std::int64_t Signed(std::size_t i) const;
};

// The word width the options give, 1..32.
int WordWidth(const TableOptions& o);
// "\r\n" or "\n".
std::string LineEnd(const TableOptions& o);
// What the comment a word form begins with says about the words.
std::string AboutWords(const Words& words, const TableOptions& o, const std::string& note);

// `digits` digits of `value` in base 2 or 16, leading zeros kept.
char* PutDigits(char* p, std::uint64_t value, int digits, int base);

// Lines of `per` entries each; with `lines` not negative the first ones, `skipped`, and the
// last line. `entry(i, firstOnLine, lastOnLine)` writes one.
template <class Entry>
void EachLine(OutputBuffer& out, std::size_t entries, std::size_t per, int lines,
              const std::string& skipped, Entry entry) {
    const std::size_t lastLine = entries ? (entries - 1) / per * per : 0;
    for (std::size_t i = 0; i < entries; ++i) {
        if (lines >= 0 && i == std::size_t(lines) * per && i < lastLine) {
            out.Put(skipped);
            i = lastLine;
        }
        entry(i, i % per == 0, (i + 1) % per == 0 || i + 1 == entries);
    }
}

// The separator after an entry: a line end after the line's last, else a blank.
inline char* PutSeparator(char* p, bool lineEnd, const std::string& eol) {
    if (!lineEnd) {
        *p++ = ' ';
        return p;
    }
    for (char c : eol)
        *p++ = c;
    return p;
}

// Text without comments: from `line` to the line's end, and C's block comments.
std::string WithoutComments(std::string_view text, std::string_view line, bool blocks);
// A word's digits in `base`, nothing else: no sign, no prefix, no blank, and at most `most`
// of them (0: any number). Verilog's '_' between digits is allowed where `underscores`.
bool ReadDigits(std::string_view token, int base, std::int64_t& value, std::size_t most = 0,
                bool underscores = false);
// A decimal, perhaps signed: digits only after the sign.
bool ReadDecimal(std::string_view token, std::int64_t& value);
// The digits a word of `width` bits takes in `base` at most.
std::size_t MostDigits(int width, int base);
// Only blanks in `text`.
bool OnlyBlanks(std::string_view text);
// Words of `base` between `separators`, each of at most `most` digits.
void ReadTokens(std::string_view text, int base, TableEntries& r, const char* separators,
                std::size_t most, bool underscores = false);
// A binary image's words, (width + 7) / 8 bytes each in the options' byte order.
void ReadImage(std::string_view bytes, const TableOptions& o, TableEntries& r);
