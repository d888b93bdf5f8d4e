#pragma once
// The table as one cycle in a WAV file, for samplers and wavetable synths: PCM of 8, 16, 24 or
// 32 bits (the samples mapped as an integer table of that width is) or 32-bit float (the
// samples as they are), at a chosen rate; a `smpl` chunk whose forward loop covers exactly the
// table, so a sampler loops it; and, for a table of 2048 samples, the `clm ` chunk in which
// wavetable synths read their frame size. Written through libsndfile, as Import reads.

#include <string>

#include "files/OutputBuffer.h"
#include "files/TableExport.h"
#include "files/TableReader.h"

// The whole file; false with `error` set when it cannot be made.
bool WavTableBytes(const DataPoint* points, std::size_t count, const TableOptions& options,
                   std::string& bytes, std::string& error);

// The samples of a WAV file read back through libsndfile: PCM as integers of `width` bits,
// float as values.
TableEntries ReadWavEntries(const std::string& bytes, const TableOptions& options);

// Any form read back: WAV here, every other by ReadTableEntries.
TableEntries ReadTableForm(const std::string& bytes, const TableOptions& options);

// Writes any form of the table: WAV here, every other through WriteTable.
bool WriteTableForm(const TextSink& sink, const DataPoint* points, std::size_t count,
                    const TableOptions& options);
