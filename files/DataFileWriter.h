#pragma once
// Writes a waveform text file: each Y value as printf's "%f" gives it, then CR LF.

#include <cstddef>
#include <cstdio>

#include "files/DataPoint.h"
#include "files/OutputBuffer.h"

// False when the sink failed.
bool WriteDataFile(const TextSink& sink, const DataPoint* points, std::size_t count);
bool WriteDataFile(std::FILE* file, const DataPoint* points, std::size_t count);

// "%f" of a value, exactly as printf gives it; returns the end of the text. Needs 320 bytes.
char* FormatFixed6(char* out, double value);

// A sink that writes to a C file.
TextSink FileSink(std::FILE* file);
