#include "files/forms/CFamily.h"

#include "files/forms/FormText.h"

#include "files/SignificantDigits.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// Exact in C and C++ alike: a negative value as -0x and its magnitude (an int constant, so no
// narrowing), the least int32_t, whose magnitude no int holds, as (-0x7FFFFFFF - 1).
char* Hex(char* p, std::int64_t v, int bits, bool isSigned) {
    static const char digits[] = "0123456789ABCDEF";
    if (isSigned && bits == 32 && v == INT32_MIN) {
        constexpr std::string_view least = "(-0x7FFFFFFF - 1)";
        return std::copy(least.begin(), least.end(), p);
    }
    std::uint64_t u = std::uint64_t(v);
    if (isSigned && v < 0) {
        *p++ = '-';
        u = std::uint64_t(-v);
    }
    *p++ = '0';
    *p++ = 'x';
    for (int shift = bits - 4; shift >= 0; shift -= 4)
        *p++ = digits[(u >> shift) & 0xF];
    return p;
}

// Shortest text that reads back as the same value, as a floating literal of C.
char* Floating(char* p, double y, bool single) {
    char* start = p;
    if (single) // the float's exact value, as printf gets it
        p = WriteSignificant(p, double(float(std::clamp(y, double(-FLT_MAX), double(FLT_MAX)))), 9);
    else
        p = WriteSignificant(p, y, 17);
    if (std::find_if(start, p, [](char c) { return c == '.' || c == 'e'; }) == p) {
        *p++ = '.';
        *p++ = '0';
    }
    if (single)
        *p++ = 'f';
    return p;
}

} // namespace

namespace {

// Entries from..to-1, `perLine` a line after `indent` blanks; the last without a comma.
void WriteRun(OutputBuffer& out, const FormEntries& entries, const TableOptions& o,
              std::size_t from, std::size_t to, int lines, bool rust, int indent) {
    const TableTypeInfo& t = TypeInfoOf(o.type);
    const std::string eol = LineEnd(o);
    const std::size_t count = to - from, perLine = std::size_t(o.perLine);
    const std::size_t lastLine = count ? (count - 1) / perLine * perLine : 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (lines >= 0 && i == std::size_t(lines) * perLine && i < lastLine) {
            out.Put(std::string(std::size_t(indent), ' ') + "..." + eol); // on to the last line
            i = lastLine;
        }
        char* p = out.Room();
        if (i % perLine == 0)
            p = std::fill_n(p, indent, ' ');
        if (!t.bits) {
            p = Floating(p, entries.Value(from + i), o.type == TableType::Float);
            if (rust && p[-1] == 'f')
                --p; // Rust knows the type from the array's
        } else {
            const std::int64_t v = entries.Integer(from + i);
            p = o.hex ? Hex(p, v, t.bits, t.isSigned) : std::to_chars(p, p + 24, v).ptr;
        }
        const bool last = i + 1 == count, lineEnd = (i + 1) % perLine == 0;
        if (!last)
            *p++ = ',';
        out.Advance(PutSeparator(p, last || lineEnd, eol));
    }
}

} // namespace

void WriteCValues(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
                  bool rust) {
    const std::string eol = LineEnd(o);
    const std::size_t rows = BankRows(o);
    if (rows == 0) {
        WriteRun(out, entries, o, 0, entries.count, lines, rust, 4);
    } else { // a bank: one frame a row, in braces of its own
        const std::size_t n = entries.count / rows;
        for (std::size_t k = 0; k < rows; ++k) {
            if (lines >= 0 && k == 1 && rows > 2) { // a preview: the first frame and the last
                out.Put("    ..." + eol);
                k = rows - 1;
            }
            out.Put(std::string(rust ? "    [" : "    {") + " // frame " + std::to_string(k) + eol);
            WriteRun(out, entries, o, k * n, (k + 1) * n, lines, rust, 8);
            out.Put(std::string(rust ? "    ]" : "    }") + (k + 1 < rows ? "," : "") + eol);
        }
    }
}

std::size_t BankRows(const TableOptions& o) {
    return IsWordFormat(o.format) ? 0 : o.bankFrames;
}

void ReadCValues(const std::string& text, const TableOptions& o, TableEntries& r) {
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
        if (!TypeInfoOf(o.type).bits) {
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
