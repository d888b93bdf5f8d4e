// A C or C++ header: the array with its qualifiers (C++: an inline constexpr std::array),
// and an optional guard and length macro.

#include "files/forms/CFamily.h"
#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

namespace {

class CCForm : public CTableForm {
public:
    explicit CCForm(bool cpp) : cpp(cpp) {}

    std::string CheckName(const TableOptions& o) const override {
        if (cpp && o.name == "std")
            return "The array name \"std\" is C++'s own namespace.";
        return {};
    }

    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string& note) const override {
        const TableTypeInfo& t = TypeInfoOf(o.type);
        const std::string eol = LineEnd(o), length = std::to_string(entries.count);
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
        // A bank: F rows of N.
        const std::size_t rows = BankRows(o);
        const std::string frames = std::to_string(rows),
                          frame = rows ? std::to_string(entries.count / rows) : "";
        const std::string element = std::string(t.bits ? "std::" : "") + t.cName;
        if (cpp && rows)
            out.Put("inline constexpr std::array<std::array<" + element + ", " + frame + ">, " +
                    frames + "> " + o.name + " = {{" + eol);
        else if (cpp)
            out.Put("inline constexpr std::array<" + element + ", " + size + "> " + o.name +
                    " = {" + eol);
        else
            out.Put((o.before.empty() ? "" : o.before + " ") + t.cName + " " + o.name + "[" +
                    (rows ? frames + "][" + frame : size) + "]" +
                    (o.after.empty() ? "" : " " + o.after) + " = {" + eol);
        WriteCValues(out, entries, o, lines, false);
        out.Put((cpp && rows ? "}};" : "};") + eol);
        if (!o.guard.empty())
            out.Put(eol + "#endif /* " + o.guard + " */" + eol);
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        ReadCValues(text, o, r);
    }

private:
    bool cpp; // inline constexpr std::array
};

} // namespace

const CTableForm& CForm() {
    static const CCForm form(false);
    return form;
}

const CTableForm& CppForm() {
    static const CCForm form(true);
    return form;
}
