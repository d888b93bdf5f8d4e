// A VHDL package holding the table as a constant array of vectors or integers.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

#include "files/EscapedText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iterator>
#include <sstream>

namespace {

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

class CVhdlForm : public CTableForm {
public:
    std::string CheckName(const TableOptions& o) const override {
        if (!IsVhdlName(o.name))
            return "The array name \"" + o.name + "\" is not a name VHDL allows.";
        return {};
    }

    std::string CheckSettings(const TableOptions& o) const override {
        if (o.vhdlType == VhdlType::Integer && o.width == 32 && !o.widthSigned)
            return "VHDL's integers do not reach 32-bit unsigned words.";
        if ((o.vhdlType == VhdlType::Signed && !o.widthSigned) ||
            (o.vhdlType == VhdlType::Unsigned && o.widthSigned))
            return std::string("VHDL's ") + (o.widthSigned
                                                 ? "unsigned elements cannot hold signed words."
                                                 : "signed elements cannot hold unsigned words.");
        return {};
    }

    // Vector literals of exactly the element's length: hexadecimal where the width is whole
    // digits, else bits; integers as signed or unsigned decimals.
    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string& note) const override {
        const Words words(entries, WordWidth(o));
        const int width = words.width;
        const std::string eol = LineEnd(o);
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
        out.Put("-- " + AboutWords(words, o, note) + eol + "library ieee;" + eol +
                "use ieee.std_logic_1164.all;" + eol +
                (o.vhdlType == VhdlType::Signed || o.vhdlType == VhdlType::Unsigned
                     ? "use ieee.numeric_std.all;" + eol
                     : "") +
                eol + "package " + o.name + "_pkg is" + eol + "    type " + type +
                " is array (0 to " + std::to_string(words.size() - 1) + ") of " + element + ";" +
                eol + "    constant " + o.name + " : " + type + " := (" + eol);
        EachLine(out, words.size(), std::size_t(o.perLine), lines, "        -- ..." + eol,
                 [&](std::size_t i, bool first, bool end) {
                     char* p = out.Room();
                     if (first)
                         p = std::fill_n(p, 8, ' ');
                     if (words.size() == 1) // one element needs a name
                         p = std::copy_n("0 => ", 5, p);
                     if (integer) {
                         p = std::to_chars(p, p + 24,
                                           o.widthSigned ? words.Signed(i) : std::int64_t(words[i]))
                                 .ptr;
                     } else {
                         if (hex)
                             *p++ = 'x';
                         *p++ = '"';
                         p = PutDigits(p, words[i], hex ? width / 4 : width, hex ? 16 : 2);
                         *p++ = '"';
                     }
                     if (i + 1 < words.size())
                         *p++ = ',';
                     out.Advance(PutSeparator(p, end, eol));
                 });
        out.Put("    );" + eol + "end package " + o.name + "_pkg;" + eol);
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
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
                if (!ReadDecimal(token, v)) {
                    r.error = "entry " + std::to_string(r.words.size()) + " (\"" +
                              Escaped(token, 20) + "\") is not an integer";
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
                !ReadDigits(std::string_view(body).substr(at + 1, close - at - 1), hex ? 16 : 2, v,
                            MostDigits(o.width, hex ? 16 : 2))) {
                r.error = "entry " + std::to_string(r.words.size()) + " is not a vector literal";
                return;
            }
            r.words.push_back(v);
            at = close + 1;
        }
    }
};

} // namespace

const CTableForm& VhdlForm() {
    static const CVhdlForm form;
    return form;
}
