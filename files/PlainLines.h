#pragma once
// The lines almost every waveform file is made of, "-123.456789", read many at once. Each
// line's end is found before its number is read, so the lines do not wait on each other.

#include <cstdint>

#include "files/DataPoint.h"

// The number of a whole line [s, s + n) of the form -?digits[.digits] with 1 to 15 digits,
// as the number scanner reads it; false for some lines of that form and every other line.
// Both may read 16 bytes from s and 9 past the line; the second reads by vector only where
// the processor has SSE4.1.
bool ReadPlainLine(const char* s, std::uint64_t n, double& value);
bool ReadPlainLineVector(const char* s, std::uint64_t n, double& value);
bool HasPlainLineVector();

// Lines from p, the start of one, while each is such a line (a CR before its LF allowed):
// sample `stored` onwards, X its index, until `count` are stored or fewer than 80 bytes
// remain before `end`. Returns the start of the first line not taken.
const char* ReadPlainLines(const char* p, const char* end, DataPoint* points, std::uint32_t& stored,
                           std::uint32_t count);
