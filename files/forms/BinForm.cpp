// A raw binary image: (width + 7) / 8 bytes a word, little- or big-endian.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

#include <algorithm>

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
        switch (bytes) {
        case 1:
            return Pack<1>(out, words, o.bigEndian);
        case 2:
            return Pack<2>(out, words, o.bigEndian);
        case 3:
            return Pack<3>(out, words, o.bigEndian);
        default:
            return Pack<4>(out, words, o.bigEndian);
        }
    }

    // The words, `Bytes` each, a run of them at a time.
    template <std::size_t Bytes> static bool Pack(OutputBuffer& out, const Words& words, bool big) {
        constexpr std::size_t Run = 4096;
        for (std::size_t from = 0; from < words.size(); from += Run) {
            const std::size_t n = std::min(Run, words.size() - from);
            char* p = out.Room(n * Bytes);
            for (std::size_t k = 0; k < n; ++k, p += Bytes) {
                const std::uint64_t w = words[from + k];
                for (std::size_t b = 0; b < Bytes; ++b)
                    p[b] = char(w >> (8 * (big ? Bytes - 1 - b : b)));
            }
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
