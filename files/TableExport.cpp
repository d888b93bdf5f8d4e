#include "files/TableExport.h"

#include "files/QuarterWave.h"

#include "files/ExactProducts.h"
#include "files/MemoryGate.h"
#include "files/SignificantDigits.h"
#include "files/TableWords.h"

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

// The element type in Rust.
std::string RustType(TableType type) {
    switch (type) {
    case TableType::Int8:
        return "i8";
    case TableType::UInt8:
        return "u8";
    case TableType::Int16:
    case TableType::Q15:
        return "i16";
    case TableType::UInt16:
        return "u16";
    case TableType::Int32:
    case TableType::Q31:
        return "i32";
    case TableType::UInt32:
        return "u32";
    case TableType::Float:
        return "f32";
    default:
        return "f64";
    }
}

// The type the values are mapped onto: the C type, or words of the chosen width.
TypeInfo Resolved(const TableOptions& o) {
    if (!IsWordFormat(o.format))
        return Info(o.type);
    if (o.format == TableFormat::Wav) // PCM samples are signed, of the sample format's width,
        // and hold -1..1 at full scale (as Import reads them) unless scaled
        return {TableType::Int32, "", "", std::clamp(o.wavBits, 8, 32), true, !o.scaled};
    return {TableType::Int32, "", "", std::clamp(o.width, 1, 32), o.widthSigned, false};
}

double TypeMin(const TypeInfo& t) {
    return t.isSigned ? -std::ldexp(1.0, t.bits - 1) : 0.0;
}
double TypeMax(const TypeInfo& t) {
    return t.isSigned ? std::ldexp(1.0, t.bits - 1) - 1 : std::ldexp(1.0, t.bits) - 1;
}

// How each sample becomes an integer of the type: the exact value rounded half away from zero
// and held to lo..hi.
struct IntegerMap {
    double smin = 0, smax = 0, tmin = 0, tmax = 0;
    double lo = 0, hi = 0;
    bool scaled = false, fractional = false;
    double scale = 1;
    bool flat = false; // an empty source: everything goes to the target's start
    // (tmax - tmin) / (smax - smin) where doubles carry it without overflow; else 0 and the
    // wider long double is used.
    double slope = 0;
    long double wideSpan = 0, wideTarget = 0;

    void Prepare() {
        flat = !(smin < smax);
        if (flat || tmin == tmax)
            return;
        const double span = smax - smin, slopeNow = (tmax - tmin) / span;
        slope = std::isfinite(span) && std::isfinite(slopeNow) && std::fabs(slopeNow) >= DBL_MIN
                    ? slopeNow
                    : 0;
        wideSpan = (long double)smax - smin;
        wideTarget = (long double)tmax - tmin;
    }

    // The scaled value of y rounded half away from zero, exactly: where the arithmetic cannot
    // tell on which side of a half the true value lies, the products are compared exactly.
    double Scaled(double y) const {
        if (flat || tmin == tmax)
            return std::round(tmin);
        if (slope != 0) // in doubles: the common case, and the quick one
            return Rounded(y, tmin + (y - smin) * slope, 8 * DBL_EPSILON);
        return Rounded(y, tmin + ((long double)y - smin) / wideSpan * wideTarget, 8 * LDBL_EPSILON);
    }

    // `v`, at most `epsilon` times the magnitudes involved from the true value, rounded.
    template <class Real> double Rounded(double y, Real v, Real epsilon) const {
        if (!std::isfinite(v))
            return double(v);
        const Real error = epsilon * (std::fabs(tmin) + std::fabs(tmax) + std::fabs(v) + 1);
        const Real below = std::floor(v), fraction = v - below;
        if (std::fabs(below) >= Real(0x1p52) || std::fabs(fraction - Real(0.5)) > error)
            return double(std::round(v));
        const double half = double(below) + 0.5;
        // The sign of v - half, with smax - smin > 0.
        const int side = CompareProducts(y, smin, tmax, tmin, half, tmin, smax, smin);
        return side > 0 || (side == 0 && half > 0) ? double(below) + 1 : double(below);
    }

    // The value, and whether it had to be held.
    std::int64_t operator()(double y, bool& held) const {
        double v;
        if (fractional)
            v = std::round(y * scale); // a power of two: exact
        else if (scaled)
            v = Scaled(y);
        else
            v = std::round(y); // halves away from zero
        held = !(v >= lo && v <= hi);
        if (std::isnan(v))
            return std::int64_t(lo);
        return std::int64_t(std::clamp(v, lo, hi));
    }
};

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

bool IsRustKeyword(const std::string& name) {
    static const char* const words[] = {
        "as",      "async",  "await",  "break", "const",    "continue", "crate",    "dyn",
        "else",    "enum",   "extern", "false", "fn",       "for",      "if",       "impl",
        "in",      "let",    "loop",   "match", "mod",      "move",     "mut",      "pub",
        "ref",     "return", "self",   "Self",  "static",   "struct",   "super",    "trait",
        "true",    "type",   "unsafe", "use",   "where",    "while",    "abstract", "become",
        "box",     "do",     "final",  "macro", "override", "priv",     "typeof",   "unsized",
        "virtual", "yield",  "try",    "union", "_"};
    return std::find(std::begin(words), std::end(words), name) != std::end(words);
}

bool IsVhdlName(const std::string& name) {
    static const char* const words[] = {
        "abs", "access", "after", "alias", "all", "and", "architecture", "array", "assert",
        "attribute", "begin", "block", "body", "buffer", "bus", "case", "component",
        "configuration", "constant", "disconnect", "downto", "else", "elsif", "end", "entity",
        "exit", "file", "for", "function", "generate", "generic", "group", "guarded", "if",
        "impure", "in", "inertial", "inout", "is", "label", "library", "linkage", "literal", "loop",
        "map", "mod", "nand", "new", "next", "nor", "not", "null", "of", "on", "open", "or",
        "others", "out", "package", "port", "postponed", "procedure", "process", "pure", "range",
        "record", "register", "reject", "rem", "report", "return", "rol", "ror", "select",
        "severity", "signal", "shared", "sla", "sll", "sra", "srl", "subtype", "then", "to",
        "transport", "type", "unaffected", "units", "until", "use", "variable", "wait", "when",
        "while", "with", "xnor", "xor", "std_logic_vector", "ieee", "std",
        // VHDL-2008 and its PSL
        "assume", "assume_guarantee", "context", "cover", "default", "fairness", "force",
        "parameter", "property", "protected", "release", "restrict", "restrict_guarantee",
        "sequence", "strong", "vmode", "vprop", "vunit"};
    if (!IsCIdentifier(name) || !std::isalpha(static_cast<unsigned char>(name[0])) ||
        name.back() == '_' || name.find("__") != std::string::npos)
        return false;
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::find(std::begin(words), std::end(words), lower) == std::end(words);
}

std::string Validate(const TableOptions& o) {
    if (o.format == TableFormat::Rust && (!IsCIdentifier(o.name) || IsRustKeyword(o.name)))
        return "The array name \"" + o.name + "\" is not a name Rust allows.";
    if (o.format == TableFormat::Cpp && o.name == "std")
        return "The array name \"std\" is C++'s own namespace.";
    if (o.format == TableFormat::Vhdl && !IsVhdlName(o.name))
        return "The array name \"" + o.name + "\" is not a name VHDL allows.";
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
        if (o.format == TableFormat::Wav && !o.wavFloat && o.wavBits != 8 && o.wavBits != 16 &&
            o.wavBits != 24 && o.wavBits != 32)
            return "WAV samples are of 8, 16, 24 or 32 bits, or float.";
        if (o.format == TableFormat::Vhdl && o.vhdlType == VhdlType::Integer && o.width == 32 &&
            !o.widthSigned)
            return "VHDL's integers do not reach 32-bit unsigned words.";
        if (o.format == TableFormat::Vhdl && ((o.vhdlType == VhdlType::Signed && !o.widthSigned) ||
                                              (o.vhdlType == VhdlType::Unsigned && o.widthSigned)))
            return std::string("VHDL's ") + (o.widthSigned
                                                 ? "unsigned elements cannot hold signed words."
                                                 : "signed elements cannot hold unsigned words.");
        if (o.format == TableFormat::Wav && (o.rate < 1 || o.rate > 1000000))
            return "The sample rate must lie between 1 and 1000000.";
        if (o.format == TableFormat::IHex && o.recordBytes != 16 && o.recordBytes != 32)
            return "Intel HEX records hold 16 or 32 data bytes.";
    }
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
    if (plan.error.empty() && o.quarterWave && o.guardPoint)
        plan.error = "A quarter-wave table and a guard point do not go together.";
    if (plan.error.empty() && o.format == TableFormat::Wav && (o.quarterWave || o.guardPoint))
        plan.error = "A WAV file holds one whole cycle: no quarter-wave table or guard point.";
    if (!plan.error.empty())
        return plan;
    const TypeInfo t = Resolved(o);
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

TablePlan PlanTable(const DataPoint* points, std::size_t count, const TableOptions& options) {
    IntegerMap map;
    return Plan(points, count, options, map);
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
    const TypeInfo t = Resolved(o);
    // A target range narrower than the type holds fewer steps: 0..4095 is 12 bits.
    table.bits = t.bits && map.scaled
                     ? std::max(1, int(std::ceil(std::log2(std::fabs(map.tmax - map.tmin) + 1))))
                     : t.bits;
    AskForMemory(2 * std::uint64_t(count), sizeof(double));
    table.stored.resize(count);
    table.exact.resize(count);
    if (t.bits) {
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
    if (IsWordFormat(o.format))
        return WriteWords(
            sink, points, count, o, lines,
            [&map](double y) {
                bool held;
                return map(y, held);
            },
            note);
    const TypeInfo& t = Info(o.type);
    const std::string eol = o.crlf ? "\r\n" : "\n";
    OutputBuffer out(sink);
    const std::size_t samples = count;
    count += o.guardPoint ? 1 : 0; // the first sample again
    auto at = [&](std::size_t i) { return points[i < samples ? i : 0].y; };
    const std::string length = std::to_string(count);
    const bool rust = o.format == TableFormat::Rust, cpp = o.format == TableFormat::Cpp;
    if (rust) {
        if (!note.empty())
            out.Put("// " + note + eol);
        if (std::any_of(o.name.begin(), o.name.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            out.Put("#[allow(non_upper_case_globals)]" + eol);
        out.Put("pub static " + o.name + ": [" + RustType(o.type) + "; " + length + "] = [" + eol);
    } else {
        if (!o.guard.empty())
            out.Put("#ifndef " + o.guard + eol + "#define " + o.guard + eol + eol);
        if (cpp)
            out.Put("#include <array>" + eol + (t.bits ? "#include <cstdint>" + eol : "") + eol);
        else if (o.includeStdint && t.bits)
            out.Put("#include <stdint.h>" + eol + eol);
        if (!o.lengthMacro.empty())
            out.Put("#define " + o.lengthMacro + " " + length + eol + eol);
        const std::string size = o.lengthMacro.empty() ? length : o.lengthMacro;
        if (!note.empty())
            out.Put("// " + note + eol);
        if (cpp)
            out.Put("inline constexpr std::array<" + std::string(t.bits ? "std::" : "") + t.cName +
                    ", " + size + "> " + o.name + " = {" + eol);
        else
            out.Put((o.before.empty() ? "" : o.before + " ") + t.cName + " " + o.name + "[" + size +
                    "]" + (o.after.empty() ? "" : " " + o.after) + " = {" + eol);
    }
    const std::size_t perLine = std::size_t(o.perLine);
    const std::size_t lastLine = count ? (count - 1) / perLine * perLine : 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (lines >= 0 && i == std::size_t(lines) * perLine && i < lastLine) {
            out.Put("    ..." + eol); // on to the last line
            i = lastLine;
        }
        char* p = out.Room();
        if (i % perLine == 0)
            p = std::fill_n(p, 4, ' ');
        if (!t.bits) {
            p = Floating(p, at(i), o.type == TableType::Float);
            if (rust && p[-1] == 'f')
                --p; // Rust knows the type from the array's

        } else {
            bool held;
            const std::int64_t v = map(at(i), held);
            p = o.hex ? Hex(p, v, t.bits, t.isSigned) : std::to_chars(p, p + 24, v).ptr;
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
    out.Put((rust ? "];" : "};") + eol);
    if (!rust && !o.guard.empty())
        out.Put(eol + "#endif /* " + o.guard + " */" + eol);
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
