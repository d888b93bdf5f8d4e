#include "files/TableReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
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

bool Digits(std::string_view token, int base, std::int64_t& value) {
    if (token.empty())
        return false;
    char* end;
    const std::string t(token);
    value = std::int64_t(std::strtoull(t.c_str(), &end, base));
    return *end == '\0';
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
    std::size_t at = 0;
    while (true) {
        while (at < body.size() && std::strchr(" ,\t\r\n", body[at]))
            ++at;
        if (at >= body.size())
            break;
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

void ReadTokens(std::string_view text, int base, TableEntries& r) {
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && std::strchr(" ,;\t\r\n", text[at]))
            ++at;
        std::size_t end = at;
        while (end < text.size() && !std::strchr(" ,;\t\r\n", text[end]))
            ++end;
        if (end == at)
            break;
        std::int64_t v;
        if (!Digits(text.substr(at, end - at), base, v)) {
            r.error = "entry " + std::to_string(r.words.size()) + " (\"" +
                      std::string(text.substr(at, std::min<std::size_t>(end - at, 20))) +
                      "\") is not a number of base " + std::to_string(base);
            return;
        }
        r.words.push_back(v);
        at = end;
    }
}

// Comments in COE are lines that begin with ';' (statements end with one too).
void ReadCoe(const std::string& text, TableEntries& r) {
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
    ReadTokens(std::string_view(body).substr(from, to == std::string::npos ? to : to - from), radix,
               r);
}

void ReadMif(const std::string& text, TableEntries& r) {
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
    const std::size_t begin = body.find("BEGIN"), end = body.rfind("END");
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        r.error = "no CONTENT BEGIN ... END";
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
        if (colon == std::string_view::npos)
            continue;
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
            !(dataRadix == 10 ? (v = std::strtoll(value.c_str(), nullptr, 10), true)
                              : Digits(value, dataRadix, v))) {
            r.error = "the entry \"" + std::string(entry) + "\" cannot be read";
            return;
        }
        for (std::int64_t a = first; a <= last && a - first < (1 << 26); ++a)
            words[a] = v;
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
        if (type == 0)
            for (std::size_t i = 0; i < b[0]; ++i)
                image[upper + address + i] = b[4 + i];
        else if (type == 4)
            upper = (std::uint64_t(b[4]) << 8 | b[5]) << 16;
        else if (type == 1)
            break;
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
        ReadTokens(numbers, 10, r);
        return;
    }
    const std::size_t end = body.find(");", at);
    while ((at = body.find('"', at)) != std::string::npos && at < end) {
        const std::size_t close = body.find('"', at + 1);
        const bool hex = at > 0 && (body[at - 1] == 'x' || body[at - 1] == 'X');
        std::int64_t v;
        if (close == std::string::npos ||
            !Digits(std::string_view(body).substr(at + 1, close - at - 1), hex ? 16 : 2, v)) {
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
        ReadTokens(WithoutComments(text, "//", true), o.format == TableFormat::Mem ? 16 : 2, r);
        break;
    case TableFormat::Coe:
        ReadCoe(text, r);
        break;
    case TableFormat::Mif:
        ReadMif(text, r);
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
