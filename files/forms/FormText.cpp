#include "files/forms/FormText.h"

#include "files/EscapedText.h"

#include <algorithm>
#include <cstring>

Words::Words(const FormEntries& e, int bits)
    : entries(e), width(bits), mask((std::uint64_t(1) << bits) - 1) {}

std::int64_t Words::Signed(std::size_t i) const {
    const std::uint64_t w = (*this)[i];
    return (w >> (width - 1)) & 1 ? std::int64_t(w) - (std::int64_t(1) << width) : std::int64_t(w);
}

int WordWidth(const TableOptions& o) {
    return std::clamp(o.width, 1, 32);
}

std::string LineEnd(const TableOptions& o) {
    return o.crlf ? "\r\n" : "\n";
}

std::string AboutWords(const Words& words, const TableOptions& o, const std::string& note) {
    return o.name + ": " + std::to_string(words.size()) + " words of " +
           std::to_string(words.width) + " bits, " + (o.widthSigned ? "signed" : "unsigned") +
           (o.scaled ? ", scaled" : ", as the samples are") +
           (o.guardPoint ? ", the first again at the end" : "") + (note.empty() ? "" : "; " + note);
}

char* PutDigits(char* p, std::uint64_t value, int digits, int base) {
    static const char hexDigits[] = "0123456789ABCDEF";
    const int shift = base == 2 ? 1 : 4;
    for (int d = digits - 1; d >= 0; --d)
        *p++ = hexDigits[(value >> (d * shift)) & std::uint64_t(base - 1)];
    return p;
}

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

bool ReadDigits(std::string_view token, int base, std::int64_t& value, std::size_t most,
                bool underscores) {
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

bool ReadDecimal(std::string_view token, std::int64_t& value) {
    const bool negative = !token.empty() && token[0] == '-';
    if (!ReadDigits(token.substr(negative ? 1 : 0), 10, value, 19))
        return false;
    value = negative ? -value : value;
    return true;
}

std::size_t MostDigits(int width, int base) {
    const int bits = std::clamp(width, 1, 32);
    return base == 16  ? std::size_t((bits + 3) / 4)
           : base == 2 ? std::size_t(bits)
           : base == 8 ? std::size_t((bits + 2) / 3)
                       : std::size_t(10);
}

bool OnlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void ReadTokens(std::string_view text, int base, TableEntries& r, const char* separators,
                std::size_t most, bool underscores) {
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
        if (!ReadDigits(text.substr(at, end - at), base, v, most, underscores)) {
            r.error = "entry " + std::to_string(r.words.size()) + " (\"" +
                      Escaped(text.substr(at, end - at), 20) + "\") is not a word of " +
                      std::to_string(most) + " digits of base " + std::to_string(base);
            return;
        }
        r.words.push_back(v);
        at = end;
    }
}

void ReadImage(std::string_view bytes, const TableOptions& o, TableEntries& r) {
    const std::size_t size = std::size_t((WordWidth(o) + 7) / 8);
    if (bytes.size() % size) {
        r.error = "the image is not a whole number of words";
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); i += size) {
        std::uint64_t w = 0;
        for (std::size_t b = 0; b < size; ++b)
            w |= std::uint64_t(std::uint8_t(bytes[i + b]))
                 << (8 * (o.bigEndian ? size - 1 - b : b));
        r.words.push_back(std::int64_t(w));
    }
}
