#pragma once
// Writes the samples as a C array named Waveform, of int (ten a line) or of float (one a line).

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "files/DataPoint.h"
#include "files/OutputBuffer.h"

enum class ExportForm { Integer, Float };

// Y + 0.5 truncated toward zero, held to the range of a 32-bit int.
std::int32_t ExportInteger(double y);

// False when the sink failed.
bool ExportCSource(const TextSink& sink, const DataPoint* points, std::size_t count,
                   ExportForm form);
bool ExportCSource(std::FILE* file, const DataPoint* points, std::size_t count, ExportForm form);
