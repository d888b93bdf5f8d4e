// A Rust module item: pub static NAME: [T; N].

#include "files/forms/CFamily.h"
#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

#include <algorithm>
#include <iterator>

namespace {

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

class CRustForm : public CTableForm {
public:
    std::string CheckName(const TableOptions& o) const override {
        if (!IsCIdentifier(o.name) || IsRustKeyword(o.name))
            return "The array name \"" + o.name + "\" is not a name Rust allows.";
        return {};
    }

    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string& note) const override {
        const std::string eol = LineEnd(o);
        if (!note.empty())
            out.Put("// " + note + eol);
        if (std::any_of(o.name.begin(), o.name.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            out.Put("#[allow(non_upper_case_globals)]" + eol);
        const std::size_t rows = BankRows(o);
        const std::string element =
            rows ? "[" + RustType(o.type) + "; " + std::to_string(entries.count / rows) + "]"
                 : RustType(o.type);
        out.Put("pub static " + o.name + ": [" + element + "; " +
                std::to_string(rows ? rows : entries.count) + "] = [" + eol);
        WriteCValues(out, entries, o, lines, true);
        out.Put("];" + eol);
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        ReadCValues(text, o, r);
    }
};

} // namespace

const CTableForm& RustForm() {
    static const CRustForm form;
    return form;
}
