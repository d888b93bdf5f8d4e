// A raw binary image: (width + 7) / 8 bytes a word, little- or big-endian.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

namespace {

class CBinForm : public CTableForm {
public:
    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string&) const override {
        const Words words(entries, WordWidth(o));
        const std::size_t bytes = std::size_t((words.width + 7) / 8);
        if (lines >= 0) { // a preview: the first bytes as text
            const std::string eol = LineEnd(o);
            std::string shown;
            for (std::size_t i = 0; i < words.size() && shown.size() < std::size_t(lines) * 48; ++i)
                for (std::size_t b = 0; b < bytes; ++b) {
                    const std::size_t shift = o.bigEndian ? bytes - 1 - b : b;
                    char two[3] = {};
                    PutDigits(two, (words[i] >> (8 * shift)) & 0xFF, 2, 16);
                    shown += std::string(two) + (shown.size() % 48 == 45 ? eol : " ");
                }
            out.Put(shown + eol);
            return true;
        }
        for (std::size_t i = 0; i < words.size(); ++i) {
            char* p = out.Room();
            const std::uint64_t w = words[i];
            for (std::size_t b = 0; b < bytes; ++b)
                *p++ = char(w >> (8 * (o.bigEndian ? bytes - 1 - b : b)));
            out.Advance(p);
        }
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        ReadImage(text, o, r);
    }
};

} // namespace

const CTableForm& BinForm() {
    static const CBinForm form;
    return form;
}
