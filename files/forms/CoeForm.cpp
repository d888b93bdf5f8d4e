// Xilinx's coefficient file: a radix and a vector of words, ';' comments.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

#include <charconv>
#include <cstdlib>

namespace {

class CCoeForm : public CTableForm {
public:
    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string& note) const override {
        const Words words(entries, WordWidth(o));
        const std::string eol = LineEnd(o);
        out.Put("; " + AboutWords(words, o, note) + eol + "memory_initialization_radix=" +
                std::to_string(o.radix) + ";" + eol + "memory_initialization_vector=" + eol);
        EachLine(out, words.size(), std::size_t(o.perLine), lines, "..." + eol,
                 [&](std::size_t i, bool, bool end) {
                     char* p = out.Room();
                     if (o.radix == 10)
                         p = std::to_chars(p, p + 24, words[i]).ptr;
                     else
                         p = PutDigits(p, words[i],
                                       o.radix == 16 ? (words.width + 3) / 4 : words.width,
                                       o.radix);
                     *p++ = i + 1 == words.size() ? ';' : ',';
                     out.Advance(PutSeparator(p, end, eol));
                 });
        return true;
    }

    // Comments are lines that begin with ';' (statements end with one too).
    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        std::string body;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            const std::string_view line = std::string_view(text).substr(at, end - at);
            const std::size_t first = line.find_first_not_of(" \t\r");
            if (first == std::string_view::npos || line[first] != ';')
                body += std::string(line) + "\n";
            at = end + 1;
        }
        const std::size_t radixAt = body.find("memory_initialization_radix");
        const std::size_t vectorAt = body.find("memory_initialization_vector");
        if (radixAt == std::string::npos || vectorAt == std::string::npos) {
            r.error = "no memory_initialization_radix or memory_initialization_vector";
            return;
        }
        const int radix = std::atoi(body.c_str() + body.find('=', radixAt) + 1);
        if (radix != 2 && radix != 10 && radix != 16) {
            r.error = "the radix is not 2, 10 or 16";
            return;
        }
        const std::size_t from = body.find('=', vectorAt) + 1;
        const std::size_t to = body.find(';', from);
        if (to == std::string::npos || !OnlyBlanks(std::string_view(body).substr(to + 1))) {
            r.error = to == std::string::npos ? "the vector does not end with ';'"
                                              : "something follows the vector's ';'";
            return;
        }
        ReadTokens(std::string_view(body).substr(from, to - from), radix, r, " ,\t\r\n",
                   MostDigits(o.width, radix));
    }
};

} // namespace

const CTableForm& CoeForm() {
    static const CCoeForm form;
    return form;
}
