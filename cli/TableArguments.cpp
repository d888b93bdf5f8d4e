#include "cli/TableArguments.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == at) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    return parts;
}

std::optional<double> Number(const std::string& text) {
    double v;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// analyse takes a mapping (a C type, or words of a width) and how to print.
TableArguments& AnalyseArguments(TableArguments& a, const std::vector<std::string>& inputs,
                                 const std::set<std::string>& given) {
    if (!a.analyse) {
        a.error = std::string(given.count("--json") ? "--json" : "--spectrum") +
                  " applies to analyse only";
        return a;
    }
    const std::set<std::string> allowed = {"--type",  "--width", "--signed",
                                           "--scale", "--json",  "--spectrum"};
    for (const std::string& option : given)
        if (!allowed.count(option)) {
            a.error = option + " does not apply to analyse; it takes --type or --width and " +
                      "--signed, --scale, --json and --spectrum";
            return a;
        }
    const TableType t = a.options.type;
    const bool words = given.count("--width") || given.count("--signed");
    if (words && given.count("--type"))
        a.error = "analyse takes either --type or --width, not both";
    else if (!words && a.options.scaled &&
             (t == TableType::Float || t == TableType::Double || t == TableType::Q15 ||
              t == TableType::Q31))
        a.error = std::string("--scale applies to int8 to uint32, not ") + TableTypeOption(t);
    else if (inputs.size() != 1)
        a.error = inputs.empty() ? "no input file" : "one input file only";
    if (!a.error.empty())
        return a;
    if (words)
        a.options.format = TableFormat::Mem; // any word form maps alike
    a.mapped = words || given.count("--type") || given.count("--scale");
    a.input = inputs[0];
    return a;
}

} // namespace

bool ParseScale(const std::string& text, TableOptions& o) {
    const std::vector<std::string> parts = Split(text, ':');
    std::size_t i = 0;
    o.scaled = true;
    o.sourceMin = o.sourceMax = o.targetMin = o.targetMax = std::nullopt;
    if (i < parts.size() && parts[i] == "auto") {
        ++i;
    } else if (i + 1 < parts.size() && Number(parts[i]) && Number(parts[i + 1])) {
        o.sourceMin = Number(parts[i]);
        o.sourceMax = Number(parts[i + 1]);
        i += 2;
    } else {
        return false;
    }
    if (i == parts.size() || (i + 1 == parts.size() && parts[i] == "full"))
        return true;
    if (i + 2 == parts.size() && Number(parts[i]) && Number(parts[i + 1])) {
        o.targetMin = Number(parts[i]);
        o.targetMax = Number(parts[i + 1]);
        return true;
    }
    return false;
}

TableArguments ParseTableArguments(const std::vector<std::string>& args) {
    TableArguments a;
    std::vector<std::string> inputs;
    std::set<std::string> given;
    bool command = false;
    auto whole = [&a](const std::string& option, const std::string& text, long long min,
                      long long max) -> std::optional<long long> {
        long long n = 0;
        int base = 10;
        std::string_view digits(text);
        if (digits.starts_with("0x") || digits.starts_with("0X")) {
            digits.remove_prefix(2);
            base = 16;
        }
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
            n < min || n > max) {
            a.error = option + " takes a whole number from " + std::to_string(min) + " to " +
                      std::to_string(max) + ", not " + text;
            return std::nullopt;
        }
        return n;
    };
    for (std::size_t i = 0; i < args.size() && a.error.empty(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                a.error = "option " + arg + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg.rfind("--", 0) == 0)
            given.insert(arg);
        if (arg == "-h" || arg == "--help") {
            a.help = true;
            return a;
        } else if (arg == "--version") {
            a.version = true;
            return a;
        } else if ((arg == "export" || arg == "verify" || arg == "analyse") && !command &&
                   inputs.empty()) {
            command = true;
            a.verify = arg == "verify";
            a.analyse = arg == "analyse";
        } else if (arg == "--json") {
            a.json = true;
        } else if (arg == "--spectrum") {
            if (auto v = value())
                a.spectrumPath = *v;
        } else if (arg == "--form") {
            if (auto v = value()) {
                if (*v == "int")
                    a.form = ExportForm::Integer;
                else if (*v == "float")
                    a.form = ExportForm::Float;
                else
                    a.error = "--form takes int or float, not " + *v;
            }
        } else if (arg == "--type") {
            if (auto v = value()) {
                if (auto t = TableTypeFromOption(*v))
                    a.options.type = *t;
                else
                    a.error = "unknown type " + *v;
            }
        } else if (arg == "--scale") {
            if (auto v = value(); v && !ParseScale(*v, a.options))
                a.error = "--scale takes auto or MIN:MAX, then full or MIN:MAX, not " + *v;
        } else if (arg == "--hex") {
            a.options.hex = true;
        } else if (arg == "--format") {
            if (auto v = value()) {
                if (auto f = TableFormatFromOption(*v))
                    a.options.format = *f;
                else
                    a.error = "unknown format " + *v;
            }
        } else if (arg == "--width") {
            if (auto v = value())
                if (auto n = whole(arg, *v, 1, 32))
                    a.options.width = int(*n);
        } else if (arg == "--signed") {
            a.options.widthSigned = true;
        } else if (arg == "--radix") {
            if (auto v = value()) {
                if (*v == "2" || *v == "10" || *v == "16")
                    a.options.radix = std::stoi(*v);
                else
                    a.error = "--radix takes 2, 10 or 16, not " + *v;
            }
        } else if (arg == "--endian") {
            if (auto v = value()) {
                if (*v == "little" || *v == "big")
                    a.options.bigEndian = *v == "big";
                else
                    a.error = "--endian takes little or big, not " + *v;
            }
        } else if (arg == "--base") {
            if (auto v = value())
                if (auto n = whole(arg, *v, 0, 0xFFFFFFFFll))
                    a.options.base = std::uint32_t(*n);
        } else if (arg == "--record-bytes") {
            if (auto v = value()) {
                if (*v == "16" || *v == "32")
                    a.options.recordBytes = std::stoi(*v);
                else
                    a.error = "--record-bytes takes 16 or 32, not " + *v;
            }
        } else if (arg == "--rate") {
            if (auto v = value())
                if (auto n = whole(arg, *v, 1, 1000000))
                    a.options.rate = int(*n);
        } else if (arg == "--sample-format") {
            if (auto v = value()) {
                const std::string names[] = {"pcm8", "pcm16", "pcm24", "pcm32"};
                const auto found = std::find(std::begin(names), std::end(names), *v);
                if (found != std::end(names))
                    a.options.wavBits = 8 * int(found - std::begin(names) + 1);
                else if (*v == "float")
                    a.options.wavFloat = true;
                else
                    a.error = "--sample-format takes pcm8, pcm16, pcm24, pcm32 or float, not " + *v;
            }
        } else if (arg == "--wavetable") {
            a.options.wavetable = true;
        } else if (arg == "--vhdl-type") {
            if (auto v = value()) {
                const std::pair<const char*, VhdlType> types[] = {
                    {"std_logic_vector", VhdlType::StdLogicVector},
                    {"signed", VhdlType::Signed},
                    {"unsigned", VhdlType::Unsigned},
                    {"integer", VhdlType::Integer}};
                const auto found = std::find_if(std::begin(types), std::end(types),
                                                [&](const auto& t) { return *v == t.first; });
                if (found != std::end(types))
                    a.options.vhdlType = found->second;
                else
                    a.error = "--vhdl-type takes std_logic_vector, signed, unsigned or integer, "
                              "not " +
                              *v;
            }
        } else if (arg == "--quarter-wave") {
            a.options.quarterWave = true;
        } else if (arg == "--guard-point") {
            a.options.guardPoint = true;
        } else if (arg == "--per-line") {
            if (auto v = value()) {
                int n = 0;
                const auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
                if (ec != std::errc() || end != v->data() + v->size() || n < 1)
                    a.error = "--per-line takes a count of at least 1, not " + *v;
                else
                    a.options.perLine = n;
            }
        } else if (arg == "--name") {
            if (auto v = value())
                a.options.name = *v;
        } else if (arg == "--before") {
            if (auto v = value())
                a.options.before = *v;
        } else if (arg == "--after") {
            if (auto v = value())
                a.options.after = *v;
        } else if (arg == "--guard") {
            if (auto v = value())
                a.options.guard = *v;
        } else if (arg == "--length-macro") {
            if (auto v = value())
                a.options.lengthMacro = *v;
        } else if (arg == "--no-stdint") {
            a.options.includeStdint = false;
        } else if (arg == "--eol") {
            if (auto v = value()) {
                if (*v == "lf" || *v == "crlf")
                    a.options.crlf = *v == "crlf";
                else
                    a.error = "--eol takes lf or crlf, not " + *v;
            }
        } else if (arg == "-o" || arg == "--output") {
            if (auto v = value())
                a.output = *v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            a.error = "unknown option " + arg;
        } else {
            inputs.push_back(arg);
        }
    }
    if (!a.error.empty())
        return a;
    if (a.analyse || given.count("--json") || given.count("--spectrum"))
        return AnalyseArguments(a, inputs, given);
    // Options that would do nothing are mistakes, not silence.
    using F = TableFormat;
    const TableType t = a.options.type;
    const F f = a.options.format;
    const bool floating = t == TableType::Float || t == TableType::Double;
    const std::vector<F> cFamily = {F::C, F::Cpp, F::Rust};
    const std::vector<F> words = {F::Mem, F::MemB, F::Coe, F::Mif, F::IHex, F::Bin, F::Vhdl};
    const std::vector<F> text = {F::C,   F::Cpp, F::Rust, F::Mem, F::MemB,
                                 F::Coe, F::Mif, F::IHex, F::Vhdl};
    const std::vector<F> named = {F::C, F::Cpp, F::Rust, F::Mem, F::MemB, F::Coe, F::Mif, F::Vhdl};
    const std::vector<F> lined = {F::C, F::Cpp, F::Rust, F::Mem, F::MemB, F::Coe, F::Vhdl};
    const struct {
        const char* option;
        const std::vector<F>& forms;
    } rules[] = {{"--type", cFamily},
                 {"--hex", cFamily},
                 {"--before", {F::C}},
                 {"--after", {F::C}},
                 {"--no-stdint", {F::C}},
                 {"--guard", {F::C, F::Cpp}},
                 {"--length-macro", {F::C, F::Cpp}},
                 {"--per-line", lined},
                 {"--name", named},
                 {"--eol", text},
                 {"--width", words},
                 {"--signed", words},
                 {"--radix", {F::Coe, F::Mif}},
                 {"--endian", {F::Bin, F::IHex}},
                 {"--base", {F::IHex}},
                 {"--record-bytes", {F::IHex}},
                 {"--vhdl-type", {F::Vhdl}},
                 {"--rate", {F::Wav}},
                 {"--sample-format", {F::Wav}},
                 {"--wavetable", {F::Wav}}};
    if (a.form) {
        for (const char* option :
             {"--hex", "--scale", "--format", "--width", "--signed", "--radix", "--endian",
              "--base", "--record-bytes", "--guard-point", "--quarter-wave", "--vhdl-type",
              "--rate", "--sample-format", "--wavetable"})
            if (a.error.empty() && given.count(option))
                a.error = std::string(option) + " does not apply to --form, Save C Source's "
                                                "fixed forms";
    } else {
        for (const auto& rule : rules) {
            if (!a.error.empty() || !given.count(rule.option) ||
                std::find(rule.forms.begin(), rule.forms.end(), f) != rule.forms.end())
                continue;
            std::string where;
            for (F g : rule.forms)
                where += std::string(where.empty() ? "" : ", ") + TableFormatOption(g);
            a.error = std::string(rule.option) + " does not apply to --format " +
                      TableFormatOption(f) + "; it applies to " + where;
        }
        if (!a.error.empty())
            return a;
        if (f == F::C || f == F::Cpp || f == F::Rust) {
            if (a.options.hex && floating)
                a.error = std::string("--hex applies to integer types, not ") + TableTypeOption(t);
            else if (a.options.scaled && (floating || t == TableType::Q15 || t == TableType::Q31))
                a.error =
                    std::string("--scale applies to int8 to uint32, not ") + TableTypeOption(t);
            else if (!a.options.includeStdint && floating)
                a.error = std::string("--no-stdint applies to the fixed-width integer types, "
                                      "not ") +
                          TableTypeOption(t);
        }
        if (f == F::Wav && a.options.wavFloat && a.options.scaled)
            a.error = "--scale applies to PCM samples; float holds the values as they are";
        if (f == F::Vhdl && ((a.options.vhdlType == VhdlType::Signed && !a.options.widthSigned) ||
                             (a.options.vhdlType == VhdlType::Unsigned && a.options.widthSigned)))
            a.error = std::string("--vhdl-type ") + (a.options.widthSigned
                                                         ? "unsigned contradicts --signed"
                                                         : "signed needs --signed words");
    }
    if (!a.error.empty())
        return a;
    if (!command)
        a.error = "the command is missing: tarvelin-table export ..., verify ... or analyse ...";
    else if (a.verify && (a.form || !a.output.empty()))
        a.error = "verify takes neither --form nor -o";
    else if (a.verify && inputs.size() != 2)
        a.error = "verify takes the written file, then the waveform it was written from";
    else if (a.verify) {
        a.checked = inputs[0];
        a.input = inputs[1];
    } else if (inputs.size() != 1)
        a.error = inputs.empty() ? "no input file" : "one input file only";
    else
        a.input = inputs[0];
    return a;
}
