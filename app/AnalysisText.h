#pragma once
// The analysis figures as the editor shows them.

#include <cstddef>
#include <string>

#include "wave/TableAnalysis.h"

// `v` with `decimals` decimals and the unit, "∞" and "–" where it is not finite.
std::string FigureText(double v, int decimals, const char* unit = "");
// "12-bit, 256 entries: SFDR 78.1 dB, SINAD 74.0 dB, ENOB 12.0, worst error 0.50 LSB"
std::string StoredSummary(const StoredFigures& s, std::size_t entries, const TableOptions& options);
// The figures as rows of an HTML table: name, the waveform's value and, when `stored` is
// given, the stored table's.
std::string FigureRows(const WaveFigures& wave, const StoredFigures* stored);
