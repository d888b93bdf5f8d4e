#include "files/TableWords.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

namespace {

const char HexDigits[] = "0123456789ABCDEF";

// `digits` digits of `value` in base 2 or 16, leading zeros kept.
char* Digits(char* p, std::uint64_t value, int digits, int base) {
    const int shift = base == 2 ? 1 : 4;
    for (int d = digits - 1; d >= 0; --d)
        *p++ = HexDigits[(value >> (d * shift)) & std::uint64_t(base - 1)];
    return p;
}

struct Words {
    const DataPoint* points;
    std::size_t count, entries;
    int width;
    std::uint64_t mask;
    const std::function<std::int64_t(double)>& map;
    std::uint64_t operator[](std::size_t i) const { // the word's bits
        return std::uint64_t(map(points[i < count ? i : 0].y)) & mask;
    }
    std::int64_t Signed(std::size_t i) const { // the word as a signed number of its width
        const std::uint64_t w = (*this)[i];
        return width < 64 && (w >> (width - 1)) & 1 ? std::int64_t(w) - (std::int64_t(1) << width)
                                                    : std::int64_t(w);
    }
};

// Lines of `per` words each; with `lines` not negative the first ones and the last only.
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

void IntelHex(OutputBuffer& out, const Words& words, const TableOptions& o, int lines,
              const std::string& eol) {
    const std::size_t bytesPerWord = std::size_t((words.width + 7) / 8);
    const std::uint64_t total = std::uint64_t(words.entries) * bytesPerWord;
    auto byteAt = [&](std::uint64_t k) { // byte k of the image
        const std::uint64_t w = words[std::size_t(k / bytesPerWord)];
        const std::size_t b = std::size_t(k % bytesPerWord);
        const std::size_t shift = o.bigEndian ? bytesPerWord - 1 - b : b;
        return std::uint8_t(w >> (8 * shift));
    };
    auto record = [&](std::uint32_t length, std::uint32_t address, int type, auto data) {
        char* p = out.Room();
        *p++ = ':';
        unsigned sum = length + (address >> 8 & 0xFF) + (address & 0xFF) + unsigned(type);
        p = Digits(p, length, 2, 16);
        p = Digits(p, address & 0xFFFF, 4, 16);
        p = Digits(p, unsigned(type), 2, 16);
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::uint8_t b = data(i);
            sum += b;
            p = Digits(p, b, 2, 16);
        }
        p = Digits(p, (0x100 - (sum & 0xFF)) & 0xFF, 2, 16);
        p = std::copy(eol.begin(), eol.end(), p);
        out.Advance(p);
    };
    std::uint32_t upper = 0; // the extended linear address in force
    std::uint64_t k = 0;
    int written = 0;
    bool skipped = false;
    const std::uint64_t recordBytes = std::uint64_t(o.recordBytes);
    while (k < total) {
        const std::uint64_t address = std::uint64_t(o.base) + k;
        // A record never crosses a 64 KiB boundary.
        const std::uint64_t room = 0x10000 - (address & 0xFFFF);
        const std::uint64_t length = std::min({recordBytes, total - k, room});
        const bool last = k + length >= total;
        if (lines >= 0 && written >= lines && !last) {
            if (!skipped)
                out.Put("..." + eol);
            skipped = true;
            k += length;
            continue;
        }
        if (std::uint32_t(address >> 16) != upper) {
            upper = std::uint32_t(address >> 16);
            record(2, 0, 4, [&](std::uint32_t i) { return std::uint8_t(upper >> (i ? 0 : 8)); });
        }
        record(std::uint32_t(length), std::uint32_t(address), 0,
               [&](std::uint32_t i) { return byteAt(k + i); });
        ++written;
        k += length;
    }
    out.Put(":00000001FF" + eol);
}

} // namespace

bool WriteWords(const TextSink& sink, const DataPoint* points, std::size_t count,
                const TableOptions& o, int lines, const std::function<std::int64_t(double)>& map,
                const std::string& note) {
    const int width = std::clamp(o.width, 1, 32);
    const Words words{
        points, count, count + (o.guardPoint ? 1 : 0), width, (std::uint64_t(1) << width) - 1, map};
    const std::string eol = o.crlf ? "\r\n" : "\n";
    const std::string about =
        o.name + ": " + std::to_string(words.entries) + " words of " + std::to_string(width) +
        " bits, " + (o.widthSigned ? "signed" : "unsigned") +
        (o.scaled ? ", scaled" : ", as the samples are") +
        (o.guardPoint ? ", the first again at the end" : "") + (note.empty() ? "" : "; " + note);
    OutputBuffer out(sink);
    const std::size_t per = std::size_t(std::max(1, o.perLine));
    switch (o.format) {
    case TableFormat::Mem:
    case TableFormat::MemB: {
        const bool hex = o.format == TableFormat::Mem;
        const int digits = hex ? (width + 3) / 4 : width;
        out.Put("// " + about + eol);
        EachLine(out, words.entries, per, lines, "// ..." + eol,
                 [&](std::size_t i, bool, bool end) {
                     char* p = out.Room();
                     p = Digits(p, words[i], digits, hex ? 16 : 2);
                     if (end)
                         p = std::copy(eol.begin(), eol.end(), p);
                     else
                         *p++ = ' ';
                     out.Advance(p);
                 });
        break;
    }
    case TableFormat::Coe: {
        out.Put("; " + about + eol + "memory_initialization_radix=" + std::to_string(o.radix) +
                ";" + eol + "memory_initialization_vector=" + eol);
        EachLine(out, words.entries, per, lines, "..." + eol, [&](std::size_t i, bool, bool end) {
            char* p = out.Room();
            if (o.radix == 10)
                p = std::to_chars(p, p + 24, words[i]).ptr;
            else
                p = Digits(p, words[i], o.radix == 16 ? (width + 3) / 4 : width, o.radix);
            *p++ = i + 1 == words.entries ? ';' : ',';
            if (end)
                p = std::copy(eol.begin(), eol.end(), p);
            else
                *p++ = ' ';
            out.Advance(p);
        });
        break;
    }
    case TableFormat::Mif: {
        // Decimal is DEC for signed words, UNS for unsigned ones.
        const bool decimal = o.radix == 10;
        const char* radix = o.radix == 2 ? "BIN"
                            : decimal    ? (o.widthSigned ? "DEC" : "UNS")
                                         : "HEX";
        out.Put("-- " + about + eol + "WIDTH=" + std::to_string(width) + ";" + eol +
                "DEPTH=" + std::to_string(words.entries) + ";" + eol + "ADDRESS_RADIX=UNS;" + eol +
                "DATA_RADIX=" + radix + ";" + eol + eol + "CONTENT BEGIN" + eol);
        EachLine(out, words.entries, 1, lines, "\t..." + eol, [&](std::size_t i, bool, bool) {
            char* p = out.Room();
            *p++ = '\t';
            p = std::to_chars(p, p + 24, i).ptr;
            p = std::copy_n(" : ", 3, p);
            if (decimal && o.widthSigned)
                p = std::to_chars(p, p + 24, words.Signed(i)).ptr;
            else if (decimal)
                p = std::to_chars(p, p + 24, words[i]).ptr;
            else
                p = Digits(p, words[i], o.radix == 16 ? (width + 3) / 4 : width, o.radix);
            *p++ = ';';
            p = std::copy(eol.begin(), eol.end(), p);
            out.Advance(p);
        });
        out.Put("END;" + eol);
        break;
    }
    case TableFormat::IHex:
        IntelHex(out, words, o, lines, eol);
        break;
    case TableFormat::Bin: {
        const std::size_t bytes = std::size_t((width + 7) / 8);
        if (lines >= 0) { // a preview: the first bytes as text
            std::string shown;
            for (std::size_t i = 0; i < words.entries && shown.size() < std::size_t(lines) * 48;
                 ++i)
                for (std::size_t b = 0; b < bytes; ++b) {
                    const std::size_t shift = o.bigEndian ? bytes - 1 - b : b;
                    char two[3] = {};
                    Digits(two, (words[i] >> (8 * shift)) & 0xFF, 2, 16);
                    shown += std::string(two) + (shown.size() % 48 == 45 ? eol : " ");
                }
            out.Put(shown + eol);
            break;
        }
        for (std::size_t i = 0; i < words.entries; ++i) {
            char* p = out.Room();
            const std::uint64_t w = words[i];
            for (std::size_t b = 0; b < bytes; ++b)
                *p++ = char(w >> (8 * (o.bigEndian ? bytes - 1 - b : b)));
            out.Advance(p);
        }
        break;
    }
    case TableFormat::Vhdl: {
        // Vector literals of exactly the element's length: hexadecimal where the width is
        // whole digits, else bits; integers as signed or unsigned decimals.
        const bool integer = o.vhdlType == VhdlType::Integer;
        const bool hex = width % 4 == 0;
        const std::string range = "(" + std::to_string(width - 1) + " downto 0)";
        const std::int64_t least = o.widthSigned ? -(std::int64_t(1) << (width - 1)) : 0;
        const std::int64_t most =
            o.widthSigned ? (std::int64_t(1) << (width - 1)) - 1 : (std::int64_t(1) << width) - 1;
        const std::string element =
            o.vhdlType == VhdlType::Signed     ? "signed" + range
            : o.vhdlType == VhdlType::Unsigned ? "unsigned" + range
            : integer ? "integer range " + std::to_string(least) + " to " + std::to_string(most)
                      : "std_logic_vector" + range;
        const std::string type = o.name + "_t";
        out.Put("-- " + about + eol + "library ieee;" + eol + "use ieee.std_logic_1164.all;" + eol +
                (o.vhdlType == VhdlType::Signed || o.vhdlType == VhdlType::Unsigned
                     ? "use ieee.numeric_std.all;" + eol
                     : "") +
                eol + "package " + o.name + "_pkg is" + eol + "    type " + type +
                " is array (0 to " + std::to_string(words.entries - 1) + ") of " + element + ";" +
                eol + "    constant " + o.name + " : " + type + " := (" + eol);
        EachLine(out, words.entries, per, lines, "        -- ..." + eol,
                 [&](std::size_t i, bool first, bool end) {
                     char* p = out.Room();
                     if (first)
                         p = std::fill_n(p, 8, ' ');
                     if (words.entries == 1) // one element needs a name
                         p = std::copy_n("0 => ", 5, p);
                     if (integer) {
                         p = std::to_chars(p, p + 24,
                                           o.widthSigned ? words.Signed(i) : std::int64_t(words[i]))
                                 .ptr;
                     } else {
                         if (hex)
                             *p++ = 'x';
                         *p++ = '"';
                         p = Digits(p, words[i], hex ? width / 4 : width, hex ? 16 : 2);
                         *p++ = '"';
                     }
                     if (i + 1 < words.entries)
                         *p++ = ',';
                     if (end)
                         p = std::copy(eol.begin(), eol.end(), p);
                     else
                         *p++ = ' ';
                     out.Advance(p);
                 });
        out.Put("    );" + eol + "end package " + o.name + "_pkg;" + eol);
        break;
    }
    case TableFormat::C:
    case TableFormat::Cpp:
    case TableFormat::Rust:
    case TableFormat::Wav: // written by wave/WavTable, through libsndfile
        return false;
    }
    return out.Flush();
}
