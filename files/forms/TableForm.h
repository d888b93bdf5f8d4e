#pragma once
// A form a table is written in: its writer, and the reader `verify` compares a written table
// with. One file a form, beside the others.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "files/DataPoint.h"
#include "files/IntegerMap.h"
#include "files/OutputBuffer.h"
#include "files/TableExport.h"
#include "files/TableReader.h"

// The entries to write: the samples, the first once more for a guard point, and the integer
// each stands for in an integer table or a word form. Integers are mapped a block at a time,
// ahead of the writer, which asks for them mostly in order.
struct FormEntries {
    const DataPoint* points = nullptr;
    std::size_t samples = 0; // before the guard point
    std::size_t count = 0;   // entries written
    const IntegerMap* map = nullptr;

    FormEntries(const DataPoint* p, std::size_t s, std::size_t c, const IntegerMap* m)
        : points(p), samples(s), count(c), map(m) {}
    FormEntries(const FormEntries&) = delete;
    FormEntries& operator=(const FormEntries&) = delete;

    double Value(std::size_t i) const { return points[i < samples ? i : 0].y; }
    std::int64_t Integer(std::size_t i) const {
        if (i - from >= held) // before the block, too
            Map(i);
        return block[i - from];
    }

private:
    static constexpr std::size_t Block = 4096;
    void Map(std::size_t i) const;
    mutable std::size_t from = 0, held = 0;
    mutable std::unique_ptr<std::int64_t[]> block;
};

class CTableForm {
public:
    virtual ~CTableForm() = default;
    // Why the array's name cannot be used in this form; empty when it can.
    virtual std::string CheckName(const TableOptions&) const { return {}; }
    // Why the form's own settings cannot be used; empty when they can.
    virtual std::string CheckSettings(const TableOptions&) const { return {}; }
    // Writes the entries; with `lines` not negative only the first `lines` lines and the last,
    // a preview. `note`, when not empty, is added to the comment the text begins with. False
    // where the form is not written as text here.
    virtual bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o,
                       int lines, const std::string& note) const = 0;
    // The entries a text of this form holds, or `r.error` saying why it holds none.
    virtual void Read(const std::string& text, const TableOptions& o, TableEntries& r) const = 0;
};

const CTableForm& FormOf(TableFormat format);
