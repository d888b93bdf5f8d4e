// Verilog's $readmemh and $readmemb text: words in hexadecimal or binary, blank separated.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

namespace {

class CMemForm : public CTableForm {
public:
    explicit CMemForm(int base) : base(base) {}

    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string& note) const override {
        const Words words(entries, WordWidth(o));
        const std::string eol = LineEnd(o);
        const int digits = base == 16 ? (words.width + 3) / 4 : words.width;
        out.Put("// " + AboutWords(words, o, note) + eol);
        EachLine(out, words.size(), std::size_t(o.perLine), lines, "// ..." + eol,
                 [&](std::size_t i, bool, bool end) {
                     char* p = PutDigits(out.Room(), words[i], digits, base);
                     out.Advance(PutSeparator(p, end, eol));
                 });
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        ReadTokens(WithoutComments(text, "//", true), base, r, " \t\r\n", MostDigits(o.width, base),
                   true);
    }

private:
    int base;
};

} // namespace

const CTableForm& MemForm() {
    static const CMemForm form(16);
    return form;
}

const CTableForm& MemBForm() {
    static const CMemForm form(2);
    return form;
}
