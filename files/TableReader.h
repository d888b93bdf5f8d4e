#pragma once
// This program's own reader for the forms it writes (all but WAV): the entries a table file
// holds, so that a checked-in table can be compared with what its source gives today.

#include <cstdint>
#include <string>
#include <vector>

#include "files/TableExport.h"

struct TableEntries {
    std::string error; // not empty: the text is not a table of this form, and where
    // Integer entries: C types as their values, word forms as their bits (width bits).
    std::vector<std::int64_t> words;
    std::vector<double> values; // float and double C-family tables
};

// Reads `text` as a table of the options' form (format, type, width, byte order, base).
TableEntries ReadTableEntries(const std::string& text, const TableOptions& options);
