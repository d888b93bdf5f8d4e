#include "files/TableExport.h"

#include "files/QuarterWave.h"

#include "files/ExactProducts.h"
#include "files/IntegerMap.h"
#include "files/MemoryGate.h"
#include "files/SignificantDigits.h"
#include "files/forms/TableForm.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <regex>
#include <string_view>

namespace {

// The type the values are mapped onto: the C type, or words of the chosen width.
TableTypeInfo Resolved(const TableOptions& o) {
    if (!IsWordFormat(o.format))
        return TypeInfoOf(o.type);
    if (o.format == TableFormat::Wav) // PCM samples are signed, of the sample format's width,
        // and hold -1..1 at full scale (as Import reads them) unless scaled
        return {TableType::Int32, "", "", std::clamp(o.wavBits, 8, 32), true, !o.scaled};
    return {TableType::Int32, "", "", std::clamp(o.width, 1, 32), o.widthSigned, false};
}

double TypeMin(const TableTypeInfo& t) {
    return t.isSigned ? -std::ldexp(1.0, t.bits - 1) : 0.0;
}
double TypeMax(const TableTypeInfo& t) {
    return t.isSigned ? std::ldexp(1.0, t.bits - 1) - 1 : std::ldexp(1.0, t.bits) - 1;
}

// Names a header cannot use for its array, guard or length macro: the keywords of C and C++,
// the element types, and (below, as a pattern) the limits <stdint.h> defines.
bool IsReservedName(const std::string& name) {
    static const char* const reserved[] = {"alignas",
                                           "alignof",
                                           "and",
                                           "and_eq",
                                           "asm",
                                           "auto",
                                           "bitand",
                                           "bitor",
                                           "bool",
                                           "break",
                                           "case",
                                           "catch",
                                           "char",
                                           "char8_t",
                                           "char16_t",
                                           "char32_t",
                                           "class",
                                           "compl",
                                           "concept",
                                           "const",
                                           "consteval",
                                           "constexpr",
                                           "constinit",
                                           "const_cast",
                                           "continue",
                                           "co_await",
                                           "co_return",
                                           "co_yield",
                                           "decltype",
                                           "default",
                                           "delete",
                                           "do",
                                           "double",
                                           "dynamic_cast",
                                           "else",
                                           "enum",
                                           "explicit",
                                           "export",
                                           "extern",
                                           "false",
                                           "float",
                                           "for",
                                           "friend",
                                           "goto",
                                           "if",
                                           "inline",
                                           "int",
                                           "long",
                                           "mutable",
                                           "namespace",
                                           "new",
                                           "noexcept",
                                           "not",
                                           "not_eq",
                                           "nullptr",
                                           "operator",
                                           "or",
                                           "or_eq",
                                           "private",
                                           "protected",
                                           "public",
                                           "register",
                                           "reinterpret_cast",
                                           "requires",
                                           "restrict",
                                           "return",
                                           "short",
                                           "signed",
                                           "sizeof",
                                           "static",
                                           "static_assert",
                                           "static_cast",
                                           "struct",
                                           "switch",
                                           "template",
                                           "this",
                                           "thread_local",
                                           "throw",
                                           "true",
                                           "try",
                                           "typedef",
                                           "typeid",
                                           "typename",
                                           "union",
                                           "unsigned",
                                           "using",
                                           "virtual",
                                           "void",
                                           "volatile",
                                           "wchar_t",
                                           "while",
                                           "xor",
                                           "xor_eq",
                                           "_Alignas",
                                           "_Alignof",
                                           "_Atomic",
                                           "_BitInt",
                                           "_Bool",
                                           "_Complex",
                                           "_Decimal32",
                                           "_Decimal64",
                                           "_Decimal128",
                                           "_Generic",
                                           "_Imaginary",
                                           "_Noreturn",
                                           "_Static_assert",
                                           "_Thread_local",
                                           "int8_t",
                                           "uint8_t",
                                           "int16_t",
                                           "uint16_t",
                                           "int32_t",
                                           "uint32_t",
                                           "int64_t",
                                           "uint64_t",
                                           "intptr_t",
                                           "uintptr_t",
                                           "intmax_t",
                                           "uintmax_t",
                                           "size_t",
                                           "ptrdiff_t",
                                           "wint_t",
                                           "NULL",
                                           "INT8_C",
                                           "INT16_C",
                                           "INT32_C",
                                           "INT64_C",
                                           "UINT8_C",
                                           "UINT16_C",
                                           "UINT32_C",
                                           "UINT64_C",
                                           "INTMAX_C",
                                           "UINTMAX_C",
                                           "__cplusplus",
                                           "__STDC__",
                                           "__FILE__",
                                           "__LINE__",
                                           "__DATE__",
                                           "__TIME__"};
    if (std::find(std::begin(reserved), std::end(reserved), name) != std::end(reserved))
        return true;
    // The rest of what <stdint.h> and <cstdint> declare: the least and fast types, every
    // limit and width macro (g++ defines the widths too), and main, which is no array.
    static const std::regex stdint("u?int_(least|fast)(8|16|32|64)_t|"
                                   "U?INT(_LEAST|_FAST)?(8|16|32|64)_(MIN|MAX|WIDTH)|"
                                   "U?INT(MAX|PTR)_(MIN|MAX|WIDTH)|"
                                   "(PTRDIFF|SIG_ATOMIC|WCHAR|WINT|SIZE)_(MIN|MAX|WIDTH)|"
                                   "max_align_t|nullptr_t|main");
    return std::regex_match(name, stdint);
}

std::string Validate(const TableOptions& o) {
    const CTableForm& form = FormOf(o.format);
    if (std::string error = form.CheckName(o); !error.empty())
        return error;
    const struct {
        const std::string& text;
        const char* what;
        bool optional;
    } names[] = {{o.name, "array name", false},
                 {o.guard, "header guard", true},
                 {o.lengthMacro, "length macro", true}};
    for (const auto& n : names) {
        if (n.optional && n.text.empty())
            continue;
        if (!IsCIdentifier(n.text))
            return std::string("The ") + n.what + " \"" + n.text + "\" is not a C identifier.";
        if (IsReservedName(n.text))
            return std::string("The ") + n.what + " \"" + n.text +
                   "\" is a word C or C++ keeps for itself.";
    }
    if (o.guard == o.name || o.lengthMacro == o.name)
        return "The " + std::string(o.guard == o.name ? "header guard" : "length macro") + " \"" +
               o.name + "\" is the array's name: the macro would replace it.";
    if (!o.guard.empty() && o.guard == o.lengthMacro)
        return "The header guard and the length macro are both \"" + o.guard + "\".";
    if (o.perLine < 1 || o.perLine > 10000)
        return "Values per line must be between 1 and 10000.";
    for (const std::string* text : {&o.before, &o.after})
        if (text->find_first_of("\r\n") != std::string::npos)
            return "The text before the type and after the name must fit on one line.";
    for (const auto& v : {o.sourceMin, o.sourceMax, o.targetMin, o.targetMax})
        if (v && !std::isfinite(*v))
            return "Range ends must be finite numbers.";
    if (IsWordFormat(o.format)) {
        if (o.width < 1 || o.width > 32)
            return "The word width must be between 1 and 32 bits.";
        if (o.radix != 2 && o.radix != 10 && o.radix != 16)
            return "The radix is 2, 10 or 16.";
    }
    return form.CheckSettings(o);
}

} // namespace

namespace {

const struct {
    TableFormat format;
    const char* option;
} Formats[] = {
    {TableFormat::C, "c"},       {TableFormat::Cpp, "cpp"},   {TableFormat::Rust, "rust"},
    {TableFormat::Mem, "mem"},   {TableFormat::MemB, "memb"}, {TableFormat::Coe, "coe"},
    {TableFormat::Mif, "mif"},   {TableFormat::IHex, "ihex"}, {TableFormat::Bin, "bin"},
    {TableFormat::Vhdl, "vhdl"}, {TableFormat::Wav, "wav"}};

} // namespace

const char* TableFormatOption(TableFormat format) {
    for (const auto& f : Formats)
        if (f.format == format)
            return f.option;
    return "c";
}

std::optional<TableFormat> TableFormatFromOption(const std::string& option) {
    for (const auto& f : Formats)
        if (option == f.option)
            return f.format;
    return std::nullopt;
}

std::size_t WrittenCount(std::size_t count, const TableOptions& o) {
    if (o.quarterWave)
        return count / 4 + 1;
    if (o.format == TableFormat::Wav && o.wavetable) // resampled to one frame
        return 2048 + (o.guardPoint ? 1 : 0);
    return count + (o.guardPoint ? 1 : 0);
}

bool IsWordFormat(TableFormat format) {
    return format != TableFormat::C && format != TableFormat::Cpp && format != TableFormat::Rust;
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
// A number as short as it reads back.
std::string Shortest(double v) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

} // namespace

std::string EmptyTableError(TableFormat format) {
    if (format == TableFormat::C)
        return "The waveform has no samples, and C has no empty arrays.";
    return std::string("The waveform has no samples: a ") + TableFormatOption(format) +
           " table needs at least one entry.";
}

namespace {

// The plan and, for integer types, the map that carries it out. Writing needs no count of
// the held values (`countHeld`).
TablePlan Plan(const DataPoint* points, std::size_t count, const TableOptions& o, IntegerMap& map,
               bool countHeld = true) {
    TablePlan plan;
    plan.error = Validate(o);
    if (plan.error.empty() && count == 0)
        plan.error = EmptyTableError(o.format);
    if (plan.error.empty() && o.bankFrames &&
        (o.quarterWave || o.guardPoint || o.format == TableFormat::Wav))
        plan.error = "A bank's table has no quarter wave or guard point, and is no WAV file.";
    if (plan.error.empty() && o.bankFrames && (count % o.bankFrames || count < o.bankFrames))
        plan.error = "The samples are no whole number of the bank's frames.";
    if (plan.error.empty() && o.bankFrames && !o.lengthMacro.empty() && !IsWordFormat(o.format))
        plan.error = "A length macro names one length, and a bank's table has two.";
    if (plan.error.empty() && o.quarterWave && o.guardPoint)
        plan.error = "A quarter-wave table and a guard point do not go together.";
    if (plan.error.empty() && o.format == TableFormat::Wav && (o.quarterWave || o.guardPoint))
        plan.error = "A WAV file holds one whole cycle: no quarter-wave table or guard point.";
    if (!plan.error.empty())
        return plan;
    const TableTypeInfo t = Resolved(o);
    if (t.bits) {
        double lo = points[0].y, hi = lo;
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
            if (map.tmin != std::round(map.tmin) || map.tmax != std::round(map.tmax))
                plan.error = "The target range's ends must be whole numbers: the entries are.";
            else if (!(map.smin < map.smax) && (o.sourceMin || o.sourceMax))
                plan.error = "The source range is empty: its minimum must lie below its maximum.";
            else if (map.tmin < map.lo || map.tmin > map.hi || map.tmax < map.lo ||
                     map.tmax > map.hi)
                plan.error =
                    "The target range lies outside the range of " +
                    (IsWordFormat(o.format) ? std::to_string(t.bits) + "-bit " +
                                                  (t.isSigned ? "signed" : "unsigned") + " words"
                                            : std::string(t.cName)) +
                    ".";
            if (!plan.error.empty())
                return plan;
            map.Prepare();                         // a flat waveform: all at the target's start
            map.lo = std::min(map.tmin, map.tmax); // values beyond the source are held to it
            map.hi = std::max(map.tmin, map.tmax);
        }
    }
    // The samples as they are, on a type of many levels, using only a handful of them: a
    // -1..1 waveform on 16-bit integers is three values.
    if (t.bits >= 8 && !map.scaled && !map.fractional && count > 0) {
        bool held;
        const double levels =
            std::fabs(double(map(plan.sourceMax, held)) - double(map(plan.sourceMin, held))) + 1;
        if (levels < 16)
            plan.warning = "The samples as they are take only " + Shortest(levels) + " of the " +
                           Shortest(std::ldexp(1.0, t.bits)) + " levels of " +
                           (IsWordFormat(o.format) ? std::to_string(t.bits) + "-bit words"
                                                   : std::string(t.cName)) +
                           ": scale them onto its range to keep their shape.";
    }
    // A quarter-wave table: worked out where asked for, and for the offer where it is cheap.
    // Offered only where the rebuild gives back every entry exactly.
    if (o.quarterWave || (countHeld && count <= (std::size_t(1) << 22))) {
        const bool single = o.type == TableType::Float;
        auto entry = [&](std::size_t i) {
            bool held;
            if (t.bits)
                return double(map(points[i].y, held));
            return single
                       ? double(float(std::clamp(points[i].y, double(-FLT_MAX), double(FLT_MAX))))
                       : points[i].y;
        };
        if (count >= 4 && count % 4 == 0)
            plan.quarterWaveCentre = entry(0) + entry(count / 2);
        plan.quarterWaveDeviation = QuarterWaveDeviation(count, plan.quarterWaveCentre, entry);
        plan.quarterWaveOffered = plan.quarterWaveDeviation == 0;
    }
    if (o.quarterWave && !plan.quarterWaveOffered) {
        plan.error = plan.quarterWaveDeviation < 0
                         ? "A quarter-wave table needs a count that is a multiple of 4."
                         : "The waveform has no quarter-wave symmetry: the largest deviation is " +
                               Shortest(plan.quarterWaveDeviation) + ".";
        return plan;
    }
    const std::size_t entries = WrittenCount(count, o);
    if (o.format == TableFormat::IHex &&
        std::uint64_t(o.base) + std::uint64_t(entries) * std::uint64_t((t.bits + 7) / 8) >
            (std::uint64_t(1) << 32)) {
        plan.error = "The image does not fit below 4 GiB from its base address.";
        return plan;
    }
    plan.tableBytes = entries * (t.bits                       ? std::size_t((t.bits + 7) / 8)
                                 : o.type == TableType::Float ? sizeof(float)
                                                              : sizeof(double));
    // Held values are counted over the samples written (before any resampling).
    const std::size_t written = o.quarterWave ? entries : count + (o.guardPoint ? 1 : 0);
    for (std::size_t i = 0; countHeld && i < written; ++i) {
        const double y = points[i < count ? i : 0].y;
        bool held = false;
        if (t.bits)
            map(y, held);
        else // a float held to its largest value
            held = o.type == TableType::Float && std::fabs(y) > FLT_MAX;
        plan.saturated += held;
    }
    return plan;
}

} // namespace

TablePlan PlanTable(const DataPoint* points, std::size_t count, const TableOptions& options,
                    bool countHeld) {
    IntegerMap map;
    return Plan(points, count, options, map, countHeld);
}

StoredTable StoreTable(const DataPoint* points, std::size_t count, const TableOptions& options) {
    TableOptions o = options;
    const TableOptions plain;
    o.name = plain.name;
    o.before = plain.before;
    o.after = plain.after;
    o.guard = o.lengthMacro = "";
    o.guardPoint = o.quarterWave = false;
    IntegerMap map;
    StoredTable table;
    table.error = Plan(points, count, o, map, false).error;
    if (!table.error.empty())
        return table;
    const TableTypeInfo t = Resolved(o);
    // A target range narrower than the type holds fewer steps: 0..4095 is 12 bits.
    table.bits = t.bits && map.scaled
                     ? std::max(1, int(std::ceil(std::log2(std::fabs(map.tmax - map.tmin) + 1))))
                     : t.bits;
    AskForMemory(2 * std::uint64_t(count), sizeof(double));
    table.stored.resize(count);
    table.exact.resize(count);
    if (t.bits) {
        if (map.fractional)
            table.slope = map.scale;
        else if (map.scaled && (map.flat || map.tmin == map.tmax))
            table.slope = 0, table.offset = map.tmin;
        else if (map.scaled)
            table.slope = double(map.wideTarget / map.wideSpan),
            table.offset = double(map.tmin - map.smin * (map.wideTarget / map.wideSpan));
        for (std::size_t i = 0; i < count; ++i) {
            const double y = points[i].y;
            bool held;
            table.stored[i] = double(map(y, held));
            if (map.fractional)
                table.exact[i] = y * map.scale;
            else if (!map.scaled)
                table.exact[i] = y;
            else if (map.flat || map.tmin == map.tmax)
                table.exact[i] = map.tmin;
            else
                table.exact[i] =
                    double(map.tmin + ((long double)y - map.smin) / map.wideSpan * map.wideTarget);
        }
        return table;
    }
    const bool single = o.type == TableType::Float;
    double peak = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double y = points[i].y;
        table.exact[i] = y;
        table.stored[i] =
            single ? double(float(std::clamp(y, double(-FLT_MAX), double(FLT_MAX)))) : y;
        if (std::isfinite(y))
            peak = std::max(peak, std::fabs(y));
    }
    // The spacing of the values at the table's peak: what a step of the last digit is there.
    table.lsb = peak > 0 ? std::ldexp(1.0, std::ilogb(peak) - (single ? 23 : 52)) : 1;
    return table;
}

namespace {

// How a reader rebuilds the whole table t of `n` entries from the quarter q written.
std::string QuarterWaveRule(std::size_t n, double centre) {
    const std::string half = std::to_string(n / 2);
    return "a quarter wave q of " + std::to_string(n / 4 + 1) + " entries; the whole table t of " +
           std::to_string(n) + " is t[i] = t[" + half +
           " - i] = q[i] for i <= " + std::to_string(n / 4) + ", t[" + half +
           " + i] = " + Shortest(centre) + " - t[i] for i < " + half;
}

// The table; with `lines` not negative, only that many lines of values and the last one.
bool WriteLines(const TextSink& sink, const DataPoint* points, std::size_t count,
                const TableOptions& o, int lines) {
    IntegerMap map;
    const TablePlan plan = Plan(points, count, o, map, false); // writing needs no count
    if (!plan.error.empty())
        return false;
    std::string note;
    if (o.quarterWave) {
        note = QuarterWaveRule(count, plan.quarterWaveCentre);
        count = count / 4 + 1; // the first quarter and the peak
    }
    const FormEntries entries(points, count, count + (o.guardPoint ? 1 : 0), &map);
    OutputBuffer out(sink);
    return FormOf(o.format).Write(out, entries, o, lines, note) && out.Flush();
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
