#include "files/TableReader.h"

#include "files/forms/TableForm.h"

#include <algorithm>

TableEntries ReadTableEntries(const std::string& text, const TableOptions& o) {
    TableEntries r;
    FormOf(o.format).Read(text, o, r);
    if (!r.error.empty()) {
        r.words.clear();
        r.values.clear();
    }
    // Word forms compare as bits of their width.
    if (IsWordFormat(o.format) && o.format != TableFormat::Wav) {
        const std::uint64_t mask = (std::uint64_t(1) << std::clamp(o.width, 1, 32)) - 1;
        for (std::int64_t& w : r.words)
            w = std::int64_t(std::uint64_t(w) & mask);
    }
    return r;
}
