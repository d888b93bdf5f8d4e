#pragma once
// The word forms of a table, for an FPGA's memory or a ROM image: Verilog $readmemh and
// $readmemb text, Xilinx COE, Intel MIF, Intel HEX and raw binary. Every entry is a word of
// the chosen width in two's complement; binary forms take (width + 7) / 8 bytes a word.

#include <cstdint>
#include <functional>
#include <string>

#include "files/DataPoint.h"
#include "files/OutputBuffer.h"
#include "files/TableExport.h"

// Writes the samples (and the guard point) as `map` makes them words, in the options' format.
// With `lines` not negative only the first `lines` lines of words and the last are written, a
// preview (a binary image is shown as hexadecimal bytes then). `note`, when not empty, is
// added to the comment that text forms begin with.
bool WriteWords(const TextSink& sink, const DataPoint* points, std::size_t count,
                const TableOptions& o, int lines, const std::function<std::int64_t(double)>& map,
                const std::string& note = {});
