// Intel's memory initialisation file: WIDTH, DEPTH and radixes, then ADDRESS : VALUE lines.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

#include "files/EscapedText.h"

#include <charconv>
#include <map>

namespace {

class CMifForm : public CTableForm {
public:
    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string& note) const override {
        const Words words(entries, WordWidth(o));
        const std::string eol = LineEnd(o);
        // Decimal is DEC for signed words, UNS for unsigned ones.
        const bool decimal = o.radix == 10;
        const char* radix = o.radix == 2 ? "BIN"
                            : decimal    ? (o.widthSigned ? "DEC" : "UNS")
                                         : "HEX";
        out.Put("-- " + AboutWords(words, o, note) + eol + "WIDTH=" + std::to_string(words.width) +
                ";" + eol + "DEPTH=" + std::to_string(words.size()) + ";" + eol +
                "ADDRESS_RADIX=UNS;" + eol + "DATA_RADIX=" + radix + ";" + eol + eol +
                "CONTENT BEGIN" + eol);
        EachLine(out, words.size(), 1, lines, "\t..." + eol, [&](std::size_t i, bool, bool) {
            char* p = out.Room();
            *p++ = '\t';
            p = std::to_chars(p, p + 24, i).ptr;
            p = std::copy_n(" : ", 3, p);
            if (decimal && o.widthSigned)
                p = std::to_chars(p, p + 24, words.Signed(i)).ptr;
            else if (decimal)
                p = std::to_chars(p, p + 24, words[i]).ptr;
            else
                p = PutDigits(p, words[i], o.radix == 16 ? (words.width + 3) / 4 : words.width,
                              o.radix);
            *p++ = ';';
            out.Advance(PutSeparator(p, true, eol));
        });
        out.Put("END;" + eol);
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        const std::string body = WithoutComments(text, "--", false);
        auto setting = [&](const char* name) {
            const std::size_t at = body.find(name);
            if (at == std::string::npos)
                return std::string();
            std::size_t from = body.find('=', at) + 1;
            const std::size_t to = body.find(';', from);
            std::string v = body.substr(from, to - from);
            v.erase(0, v.find_first_not_of(" \t"));
            v.erase(v.find_last_not_of(" \t") + 1);
            return v;
        };
        auto radixOf = [](const std::string& name) {
            return name == "HEX" ? 16 : name == "BIN" ? 2 : name == "OCT" ? 8 : 10;
        };
        const int dataRadix = radixOf(setting("DATA_RADIX"));
        const int addressRadix = radixOf(setting("ADDRESS_RADIX"));
        const std::size_t begin = body.find("BEGIN");
        const std::size_t end = begin == std::string::npos ? begin : body.find("END;", begin + 5);
        if (begin == std::string::npos || end == std::string::npos) {
            r.error = "no CONTENT BEGIN ... END;";
            return;
        }
        if (!OnlyBlanks(std::string_view(body).substr(end + 4))) {
            r.error = "something follows END;";
            return;
        }
        std::map<std::int64_t, std::int64_t> words;
        std::string_view content = std::string_view(body).substr(begin + 5, end - begin - 5);
        while (!content.empty()) {
            const std::size_t semicolon = content.find(';');
            if (semicolon == std::string_view::npos)
                break;
            const std::string_view entry = content.substr(0, semicolon);
            content.remove_prefix(semicolon + 1);
            const std::size_t colon = entry.find(':');
            if (colon == std::string_view::npos) {
                if (!OnlyBlanks(entry)) {
                    r.error = "\"" + Escaped(entry, 20) + "\" is no ADDRESS : VALUE entry";
                    return;
                }
                continue;
            }
            std::string address(entry.substr(0, colon)), value(entry.substr(colon + 1));
            for (std::string* s : {&address, &value}) {
                s->erase(0, s->find_first_not_of(" \t\r\n["));
                s->erase(s->find_last_not_of(" \t\r\n]") + 1);
            }
            std::int64_t first, last, v;
            const std::size_t dots = address.find("..");
            const bool range = dots != std::string::npos;
            if (!ReadDigits(range ? address.substr(0, dots) : address, addressRadix, first) ||
                !ReadDigits(range ? address.substr(dots + 2) : address, addressRadix, last) ||
                !(dataRadix == 10
                      ? ReadDecimal(value, v)
                      : ReadDigits(value, dataRadix, v, MostDigits(o.width, dataRadix)))) {
                const std::size_t from = entry.find_first_not_of(" \t\r\n");
                r.error = "the entry \"" + Escaped(entry.substr(std::min(from, entry.size())), 40) +
                          "\" cannot be read";
                return;
            }
            for (std::int64_t a = first; a <= last && a - first < (1 << 26); ++a)
                if (!words.emplace(a, v).second) {
                    r.error = "address " + std::to_string(a) + " is given twice";
                    return;
                }
        }
        for (const auto& [address, value] : words) {
            if (address != std::int64_t(r.words.size())) {
                r.error = "address " + std::to_string(address) + " leaves a gap";
                return;
            }
            r.words.push_back(value);
        }
    }
};

} // namespace

const CTableForm& MifForm() {
    static const CMifForm form;
    return form;
}
