#include "files/TableExport.h"

#include "files/SignificantDigits.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

struct TypeInfo {
    TableType type;
    const char* cName;
    const char* option;
    int bits; // 0 for the floating types
    bool isSigned;
    bool fractional; // Q15, Q31: -1..1 onto the whole range
};

constexpr TypeInfo Types[] = {
    {TableType::Int8, "int8_t", "int8", 8, true, false},
    {TableType::UInt8, "uint8_t", "uint8", 8, false, false},
    {TableType::Int16, "int16_t", "int16", 16, true, false},
    {TableType::UInt16, "uint16_t", "uint16", 16, false, false},
    {TableType::Int32, "int32_t", "int32", 32, true, false},
    {TableType::UInt32, "uint32_t", "uint32", 32, false, false},
    {TableType::Float, "float", "float", 0, true, false},
    {TableType::Double, "double", "double", 0, true, false},
    {TableType::Q15, "int16_t", "q15", 16, true, true},
    {TableType::Q31, "int32_t", "q31", 32, true, true},
};

const TypeInfo& Info(TableType type) {
    return Types[int(type)];
}

double TypeMin(const TypeInfo& t) {
    return t.isSigned ? -std::ldexp(1.0, t.bits - 1) : 0.0;
}
double TypeMax(const TypeInfo& t) {
    return t.isSigned ? std::ldexp(1.0, t.bits - 1) - 1 : std::ldexp(1.0, t.bits) - 1;
}

// How each sample becomes an integer of the type: y * a + b, rounded half away from zero and
// held to lo..hi.
struct IntegerMap {
    double smin = 0, smax = 0, tmin = 0, tmax = 0;
    double lo = 0, hi = 0;
    bool scaled = false, fractional = false;
    double scale = 1;

    // The value, and whether it had to be held.
    std::int64_t operator()(double y, bool& held) const {
        double v;
        if (fractional)
            v = y * scale;
        else if (scaled)
            v = y == smax ? tmax : tmin + (y - smin) * (tmax - tmin) / (smax - smin);
        else
            v = y;
        v = std::round(v); // halves away from zero
        held = !(v >= lo && v <= hi);
        if (std::isnan(v))
            return std::int64_t(lo);
        return std::int64_t(std::clamp(v, lo, hi));
    }
};

std::string Validate(const TableOptions& o) {
    if (!IsCIdentifier(o.name))
        return "The array name \"" + o.name + "\" is not a C identifier.";
    if (!o.guard.empty() && !IsCIdentifier(o.guard))
        return "The header guard \"" + o.guard + "\" is not a C identifier.";
    if (!o.lengthMacro.empty() && !IsCIdentifier(o.lengthMacro))
        return "The length macro \"" + o.lengthMacro + "\" is not a C identifier.";
    if (o.perLine < 1 || o.perLine > 10000)
        return "Values per line must be between 1 and 10000.";
    for (const std::string* text : {&o.before, &o.after})
        if (text->find_first_of("\r\n") != std::string::npos)
            return "The text before the type and after the name must fit on one line.";
    for (const auto& v : {o.sourceMin, o.sourceMax, o.targetMin, o.targetMax})
        if (v && !std::isfinite(*v))
            return "Range ends must be finite numbers.";
    return {};
}

} // namespace

const char* TableTypeName(TableType type) {
    return Info(type).cName;
}

const char* TableTypeOption(TableType type) {
    return Info(type).option;
}

std::optional<TableType> TableTypeFromOption(const std::string& option) {
    for (const TypeInfo& t : Types)
        if (option == t.option)
            return t.type;
    return std::nullopt;
}

bool IsCIdentifier(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               (c >= '0' && c <= '9');
    });
}

namespace {

// The plan and, for integer types, the map that carries it out.
TablePlan Plan(const DataPoint* points, std::size_t count, const TableOptions& o, IntegerMap& map) {
    TablePlan plan;
    plan.error = Validate(o);
    if (!plan.error.empty())
        return plan;
    const TypeInfo& t = Info(o.type);
    plan.tableBytes = count * (t.bits                       ? std::size_t(t.bits / 8)
                               : o.type == TableType::Float ? sizeof(float)
                                                            : sizeof(double));
    if (!t.bits) { // floating types: as they are, a float held to its largest value
        for (std::size_t i = 0; i < count; ++i)
            plan.saturated += o.type == TableType::Float && std::fabs(points[i].y) > FLT_MAX;
        return plan;
    }
    double lo = count ? points[0].y : 0, hi = lo;
    for (std::size_t i = 1; i < count; ++i) {
        lo = std::min(lo, points[i].y);
        hi = std::max(hi, points[i].y);
    }
    map.lo = TypeMin(t);
    map.hi = TypeMax(t);
    map.fractional = t.fractional;
    map.scale = std::ldexp(1.0, t.bits - 1);
    map.scaled = o.scaled && !t.fractional;
    plan.sourceMin = map.smin = t.fractional ? -1 : o.sourceMin.value_or(lo);
    plan.sourceMax = map.smax = t.fractional ? 1 : o.sourceMax.value_or(hi);
    plan.targetMin = map.tmin = o.targetMin.value_or(map.lo);
    plan.targetMax = map.tmax = o.targetMax.value_or(map.hi);
    if (map.scaled) {
        if (!(map.smin < map.smax) && (o.sourceMin || o.sourceMax))
            plan.error = "The source range is empty: its minimum must lie below its maximum.";
        else if (map.tmin < map.lo || map.tmin > map.hi || map.tmax < map.lo || map.tmax > map.hi)
            plan.error = std::string("The target range lies outside the range of ") + t.cName + ".";
        if (!plan.error.empty())
            return plan;
        if (!(map.smin < map.smax)) // a flat waveform: everything at the target's start
            map.smax = map.smin + 1;
        map.lo = std::min(map.tmin, map.tmax); // values beyond the source are held to it
        map.hi = std::max(map.tmin, map.tmax);
    }
    for (std::size_t i = 0; i < count; ++i) {
        bool held;
        map(points[i].y, held);
        plan.saturated += held;
    }
    return plan;
}

void Put(OutputBuffer& out, std::string_view text) {
    while (!text.empty()) { // in pieces: a value's room is all a call may take
        const std::size_t n = std::min(text.size(), OutputBuffer::Reserve);
        out.Append(text.data(), n);
        text.remove_prefix(n);
    }
}

char* Hex(char* p, std::int64_t v, int bits) {
    static const char digits[] = "0123456789ABCDEF";
    const std::uint64_t u = std::uint64_t(v) & (bits == 64 ? ~0ull : (1ull << bits) - 1);
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

TablePlan PlanTable(const DataPoint* points, std::size_t count, const TableOptions& options) {
    IntegerMap map;
    return Plan(points, count, options, map);
}

namespace {

// The table; with `lines` not negative, only that many lines of values and the last one.
bool WriteLines(const TextSink& sink, const DataPoint* points, std::size_t count,
                const TableOptions& o, int lines) {
    IntegerMap map;
    const TablePlan plan = Plan(points, count, o, map);
    if (!plan.error.empty())
        return false;
    const TypeInfo& t = Info(o.type);
    const std::string eol = o.crlf ? "\r\n" : "\n";
    OutputBuffer out(sink);
    if (!o.guard.empty())
        Put(out, "#ifndef " + o.guard + eol + "#define " + o.guard + eol + eol);
    if (o.includeStdint && t.bits)
        Put(out, "#include <stdint.h>" + eol + eol);
    const std::string length = std::to_string(count);
    if (!o.lengthMacro.empty())
        Put(out, "#define " + o.lengthMacro + " " + length + eol + eol);
    Put(out, (o.before.empty() ? "" : o.before + " ") + t.cName + " " + o.name + "[" +
                 (o.lengthMacro.empty() ? length : o.lengthMacro) + "]" +
                 (o.after.empty() ? "" : " " + o.after) + " = {" + eol);
    const std::size_t perLine = std::size_t(o.perLine);
    const std::size_t lastLine = count ? (count - 1) / perLine * perLine : 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (lines >= 0 && i == std::size_t(lines) * perLine && i < lastLine) {
            Put(out, "    ..." + eol); // on to the last line
            i = lastLine;
        }
        char* p = out.Room();
        if (i % perLine == 0)
            p = std::fill_n(p, 4, ' ');
        if (!t.bits) {
            p = Floating(p, points[i].y, o.type == TableType::Float);
        } else {
            bool held;
            const std::int64_t v = map(points[i].y, held);
            p = o.hex ? Hex(p, v, t.bits) : std::to_chars(p, p + 24, v).ptr;
        }
        const bool last = i + 1 == count, lineEnd = (i + 1) % perLine == 0;
        if (!last)
            *p++ = ',';
        if (last || lineEnd)
            p = std::copy(eol.begin(), eol.end(), p);
        else
            *p++ = ' ';
        out.Advance(p);
    }
    Put(out, "};" + eol);
    if (!o.guard.empty())
        Put(out, eol + "#endif /* " + o.guard + " */" + eol);
    return out.Flush();
}

} // namespace

bool WriteTable(const TextSink& sink, const DataPoint* points, std::size_t count,
                const TableOptions& options) {
    return WriteLines(sink, points, count, options, -1);
}

std::string TablePreview(const DataPoint* points, std::size_t count, const TableOptions& options,
                         int lines) {
    std::string text;
    WriteLines(StringSink(text), points, count, options, std::max(lines, 0));
    return text;
}
