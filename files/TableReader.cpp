#include "files/TableReader.h"

#include "files/EscapedText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string_view>

namespace {

bool IsFloating(const TableOptions& o) {
    return !IsWordFormat(o.format) && (o.type == TableType::Float || o.type == TableType::Double);
}

// Text without comments: from `line` to the line's end, and C's block comments.
std::string WithoutComments(std::string_view text, std::string_view line, bool blocks) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, line.size()) == line) {
            i = text.find('\n', i);
            if (i == std::string_view::npos)
                break;
            continue;
        }
        if (blocks && text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
            continue;
        }
        out += text[i++];
    }
    return out;
}

// A word's digits in `base`, nothing else: no sign, no prefix, no blank, and at most `most`
// of them (0: any number). Verilog's '_' between digits is allowed where `underscores`.
bool Digits(std::string_view token, int base, std::int64_t& value, std::size_t most = 0,
            bool underscores = false) {
    std::uint64_t v = 0;
    std::size_t digits = 0;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char c = token[i];
        if (underscores && c == '_' && i > 0)
            continue;
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : 99;
        if (d >= base || ++digits > (most ? most : 20) || v > (~std::uint64_t(0) - d) / base)
            return false;
        v = v * std::uint64_t(base) + std::uint64_t(d);
    }
    value = std::int64_t(v);
    return digits > 0;
}

// A decimal, perhaps signed: digits only after the sign.
bool Decimal(std::string_view token, std::int64_t& value) {
    const bool negative = !token.empty() && token[0] == '-';
    if (!Digits(token.substr(negative ? 1 : 0), 10, value, 19))
        return false;
    value = negative ? -value : value;
    return true;
}

// The digits a word of `width` bits takes in `base` at most.
std::size_t MostDigits(int width, int base) {
    const int bits = std::clamp(width, 1, 32);
    return base == 16  ? std::size_t((bits + 3) / 4)
           : base == 2 ? std::size_t(bits)
           : base == 8 ? std::size_t((bits + 2) / 3)
                       : std::size_t(10);
}

// Only blanks and comments (from `line` to the line's end) in `text`.
bool OnlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// C, C++ and Rust: the values between the braces (brackets) after '='.
void ReadCFamily(const std::string& text, const TableOptions& o, TableEntries& r) {
    const std::string clean = WithoutComments(text, "//", true);
    const std::size_t equals = clean.find('=');
    const std::size_t open = clean.find_first_of("{[", equals == std::string::npos ? 0 : equals);
    const std::size_t close = clean.find_first_of("}]", open == std::string::npos ? 0 : open);
    if (equals == std::string::npos || open == std::string::npos || close == std::string::npos) {
        r.error = "no array initialiser";
        return;
    }
    const std::string body = clean.substr(open + 1, close - open - 1);
    // After the initialiser: its ';', and for a guarded header its #endif, nothing else.
    std::string_view tail = std::string_view(clean).substr(close + 1);
    tail.remove_prefix(std::min(tail.size(), tail.find_first_not_of(" \t\r\n")));
    if (tail.empty() || tail[0] != ';') {
        r.error = "the initialiser does not end with ';'";
        return;
    }
    tail.remove_prefix(1);
    if (const std::size_t endif = tail.find("#endif");
        endif != std::string_view::npos && OnlyBlanks(tail.substr(0, endif)))
        tail.remove_prefix(endif + 6);
    if (!OnlyBlanks(tail)) {
        r.error = "something follows the table";
        return;
    }
    std::size_t at = 0;
    bool comma = true; // an entry may come
    while (true) {
        while (at < body.size() && std::strchr(" \t\r\n", body[at]))
            ++at;
        if (at < body.size() && body[at] == ',') {
            if (comma) {
                r.error = "a comma without an entry before it";
                return;
            }
            comma = true;
            ++at;
            continue;
        }
        if (at >= body.size())
            break;
        if (!comma) {
            r.error = "entries " + std::to_string(r.words.size() + r.values.size() - 1) + " and " +
                      std::to_string(r.words.size() + r.values.size()) +
                      " are not separated by a comma";
            return;
        }
        comma = false;
        if (body.compare(at, 17, "(-0x7FFFFFFF - 1)") == 0) {
            r.words.push_back(-2147483648ll);
            at += 17;
            continue;
        }
        char* end;
        const char* from = body.c_str() + at;
        if (IsFloating(o)) {
            r.values.push_back(o.type == TableType::Float ? double(std::strtof(from, &end))
                                                          : std::strtod(from, &end));
        } else {
            r.words.push_back(std::strtoll(from, &end, 0));
        }
        if (end == from) {
            r.error =
                "entry " + std::to_string(r.words.size() + r.values.size()) + " is not a number";
            return;
        }
        at = std::size_t(end - body.c_str());
        if (at < body.size() && (body[at] == 'f' || body[at] == 'F'))
            ++at;
    }
}

// Words of `base` between `separators`, each of at most `most` digits.
void ReadTokens(std::string_view text, int base, TableEntries& r, const char* separators,
                std::size_t most, bool underscores = false) {
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::strchr(separators, text[at]))
            ++at;
        std::size_t end = at;
        while (end < text.size() && !std::strchr(separators, text[end]))
            ++end;
        if (end == at)
            break;
        std::int64_t v;
        if (!Digits(text.substr(at, end - at), base, v, most, underscores)) {
            r.error = "entry " + std::to_string(r.words.size()) + " (\"" +
                      Escaped(text.substr(at, end - at), 20) + "\") is not a word of " +
                      std::to_string(most) + " digits of base " + std::to_string(base);
            return;
        }
        r.words.push_back(v);
        at = end;
    }
}

// Comments in COE are lines that begin with ';' (statements end with one too).
void ReadCoe(const std::string& text, int width, TableEntries& r) {
    std::string body;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = std::string_view(text).substr(at, end - at);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] != ';')
            body += std::string(line) + "\n";
        at = end + 1;
    }
    const std::size_t radixAt = body.find("memory_initialization_radix");
    const std::size_t vectorAt = body.find("memory_initialization_vector");
    if (radixAt == std::string::npos || vectorAt == std::string::npos) {
        r.error = "no memory_initialization_radix or memory_initialization_vector";
        return;
    }
    const int radix = std::atoi(body.c_str() + body.find('=', radixAt) + 1);
    if (radix != 2 && radix != 10 && radix != 16) {
        r.error = "the radix is not 2, 10 or 16";
        return;
    }
    const std::size_t from = body.find('=', vectorAt) + 1;
    const std::size_t to = body.find(';', from);
    if (to == std::string::npos || !OnlyBlanks(std::string_view(body).substr(to + 1))) {
        r.error = to == std::string::npos ? "the vector does not end with ';'"
                                          : "something follows the vector's ';'";
        return;
    }
    ReadTokens(std::string_view(body).substr(from, to - from), radix, r, " ,\t\r\n",
               MostDigits(width, radix));
}

void ReadMif(const std::string& text, int width, TableEntries& r) {
    const std::string body = WithoutComments(text, "--", false);
    auto setting = [&](const char* name) {
        const std::size_t at = body.find(name);
        if (at == std::string::npos)
            return std::string();
        std::size_t from = body.find('=', at) + 1;
        const std::size_t to = body.find(';', from);
        std::string v = body.substr(from, to - from);
        v.erase(0, v.find_first_not_of(" \t"));
        v.erase(v.find_last_not_of(" \t") + 1);
        return v;
    };
    auto radixOf = [](const std::string& name) {
        return name == "HEX" ? 16 : name == "BIN" ? 2 : name == "OCT" ? 8 : 10;
    };
    const int dataRadix = radixOf(setting("DATA_RADIX"));
    const int addressRadix = radixOf(setting("ADDRESS_RADIX"));
    const std::size_t begin = body.find("BEGIN");
    const std::size_t end = begin == std::string::npos ? begin : body.find("END;", begin + 5);
    if (begin == std::string::npos || end == std::string::npos) {
        r.error = "no CONTENT BEGIN ... END;";
        return;
    }
    if (!OnlyBlanks(std::string_view(body).substr(end + 4))) {
        r.error = "something follows END;";
        return;
    }
    std::map<std::int64_t, std::int64_t> words;
    std::string_view content = std::string_view(body).substr(begin + 5, end - begin - 5);
    while (!content.empty()) {
        const std::size_t semicolon = content.find(';');
        if (semicolon == std::string_view::npos)
            break;
        const std::string_view entry = content.substr(0, semicolon);
        content.remove_prefix(semicolon + 1);
        const std::size_t colon = entry.find(':');
        if (colon == std::string_view::npos) {
            if (!OnlyBlanks(entry)) {
                r.error = "\"" + Escaped(entry, 20) + "\" is no ADDRESS : VALUE entry";
                return;
            }
            continue;
        }
        std::string address(entry.substr(0, colon)), value(entry.substr(colon + 1));
        for (std::string* s : {&address, &value}) {
            s->erase(0, s->find_first_not_of(" \t\r\n["));
            s->erase(s->find_last_not_of(" \t\r\n]") + 1);
        }
        std::int64_t first, last, v;
        const std::size_t dots = address.find("..");
        const bool range = dots != std::string::npos;
        if (!Digits(range ? address.substr(0, dots) : address, addressRadix, first) ||
            !Digits(range ? address.substr(dots + 2) : address, addressRadix, last) ||
            !(dataRadix == 10 ? Decimal(value, v)
                              : Digits(value, dataRadix, v, MostDigits(width, dataRadix)))) {
            const std::size_t from = entry.find_first_not_of(" \t\r\n");
            r.error = "the entry \"" + Escaped(entry.substr(std::min(from, entry.size())), 40) +
                      "\" cannot be read";
            return;
        }
        for (std::int64_t a = first; a <= last && a - first < (1 << 26); ++a)
            if (!words.emplace(a, v).second) {
                r.error = "address " + std::to_string(a) + " is given twice";
                return;
            }
    }
    for (const auto& [address, value] : words) {
        if (address != std::int64_t(r.words.size())) {
            r.error = "address " + std::to_string(address) + " leaves a gap";
            return;
        }
        r.words.push_back(value);
    }
}

std::int64_t WordOf(const std::uint8_t* bytes, int size, bool big) {
    std::uint64_t w = 0;
    for (int b = 0; b < size; ++b)
        w |= std::uint64_t(bytes[b]) << (8 * (big ? size - 1 - b : b));
    return std::int64_t(w);
}

void ReadBin(std::string_view bytes, const TableOptions& o, TableEntries& r) {
    const int size = (std::clamp(o.width, 1, 32) + 7) / 8;
    if (bytes.size() % std::size_t(size)) {
        r.error = "the image is not a whole number of words";
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); i += std::size_t(size))
        r.words.push_back(
            WordOf(reinterpret_cast<const std::uint8_t*>(bytes.data()) + i, size, o.bigEndian));
}

void ReadIHex(const std::string& text, const TableOptions& o, TableEntries& r) {
    std::map<std::uint64_t, std::uint8_t> image;
    std::uint64_t upper = 0;
    std::size_t line = 0;
    bool ended = false;
    for (std::size_t at = 0; at < text.size(); ++line) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string record = text.substr(at, end - at);
        at = end + 1;
        while (!record.empty() && (record.back() == '\r' || record.back() == ' '))
            record.pop_back();
        if (record.empty())
            continue;
        std::vector<std::uint8_t> b;
        for (std::size_t i = 1; record[0] == ':' && i + 1 < record.size(); i += 2) {
            std::int64_t v;
            if (!Digits(record.substr(i, 2), 16, v))
                break;
            b.push_back(std::uint8_t(v));
        }
        unsigned sum = 0;
        for (std::uint8_t x : b)
            sum += x;
        if (record[0] != ':' || b.size() < 5 || b.size() != std::size_t(b[0]) + 5 ||
            (sum & 0xFF) != 0) {
            r.error = "record " + std::to_string(line + 1) + " is not a valid Intel HEX record";
            return;
        }
        const int type = b[3];
        const std::uint64_t address = std::uint64_t(b[1]) << 8 | b[2];
        if (type == 0) {
            for (std::size_t i = 0; i < b[0]; ++i)
                if (!image.emplace(upper + address + i, b[4 + i]).second) {
                    r.error = "record " + std::to_string(line + 1) + " writes an address again";
                    return;
                }
        } else if (type == 4 && b[0] == 2) {
            upper = (std::uint64_t(b[4]) << 8 | b[5]) << 16;
        } else if (type == 1 && b[0] == 0) {
            if (!OnlyBlanks(std::string_view(text).substr(std::min(at, text.size())))) {
                r.error = "records follow the end-of-file record";
                return;
            }
            ended = true;
            break;
        } else {
            r.error = "record " + std::to_string(line + 1) + " is of a type this image has none of";
            return;
        }
    }
    if (!ended) {
        r.error = "no end-of-file record";
        return;
    }
    std::string bytes;
    for (std::uint64_t a = o.base; image.count(a); ++a)
        bytes += char(image[a]);
    if (bytes.size() != image.size()) {
        r.error = "the image does not run without gaps from the base address";
        return;
    }
    ReadBin(bytes, o, r);
}

void ReadVhdl(const std::string& text, const TableOptions& o, TableEntries& r) {
    const std::string body = WithoutComments(text, "--", false);
    std::size_t at = body.find(":=");
    if (at == std::string::npos) {
        r.error = "no constant";
        return;
    }
    if (o.vhdlType == VhdlType::Integer) { // decimals, perhaps after "0 =>"
        const std::size_t open = body.find('(', at), end = body.find(");", at);
        std::string numbers = body.substr(open + 1, end - open - 1);
        if (const std::size_t arrow = numbers.find("=>"); arrow != std::string::npos)
            numbers = numbers.substr(arrow + 2);
        for (std::size_t comma = 0; (comma = numbers.find(',', comma)) != std::string::npos;)
            numbers[comma] = ' ';
        std::istringstream each(numbers);
        for (std::string token; each >> token;) {
            std::int64_t v;
            if (!Decimal(token, v)) {
                r.error = "entry " + std::to_string(r.words.size()) + " (\"" + Escaped(token, 20) +
                          "\") is not an integer";
                return;
            }
            r.words.push_back(v);
        }
        return;
    }
    const std::size_t end = body.find(");", at);
    while ((at = body.find('"', at)) != std::string::npos && at < end) {
        const std::size_t close = body.find('"', at + 1);
        const bool hex = at > 0 && (body[at - 1] == 'x' || body[at - 1] == 'X');
        std::int64_t v;
        if (close == std::string::npos ||
            !Digits(std::string_view(body).substr(at + 1, close - at - 1), hex ? 16 : 2, v,
                    MostDigits(o.width, hex ? 16 : 2))) {
            r.error = "entry " + std::to_string(r.words.size()) + " is not a vector literal";
            return;
        }
        r.words.push_back(v);
        at = close + 1;
    }
}

} // namespace

TableEntries ReadTableEntries(const std::string& text, const TableOptions& o) {
    TableEntries r;
    switch (o.format) {
    case TableFormat::C:
    case TableFormat::Cpp:
    case TableFormat::Rust:
        ReadCFamily(text, o, r);
        break;
    case TableFormat::Mem:
    case TableFormat::MemB:
        ReadTokens(WithoutComments(text, "//", true), o.format == TableFormat::Mem ? 16 : 2, r,
                   " \t\r\n", MostDigits(o.width, o.format == TableFormat::Mem ? 16 : 2), true);
        break;
    case TableFormat::Coe:
        ReadCoe(text, o.width, r);
        break;
    case TableFormat::Mif:
        ReadMif(text, o.width, r);
        break;
    case TableFormat::IHex:
        ReadIHex(text, o, r);
        break;
    case TableFormat::Bin:
        ReadBin(text, o, r);
        break;
    case TableFormat::Vhdl:
        ReadVhdl(text, o, r);
        break;
    case TableFormat::Wav:
        r.error = "WAV files are read by libsndfile";
        break;
    }
    if (!r.error.empty()) {
        r.words.clear();
        r.values.clear();
    }
    // Word forms compare as bits of their width.
    if (IsWordFormat(o.format) && o.format != TableFormat::Wav) {
        const std::uint64_t mask = (std::uint64_t(1) << std::clamp(o.width, 1, 32)) - 1;
        for (std::int64_t& w : r.words)
            w = std::int64_t(std::uint64_t(w) & mask);
    }
    return r;
}
