#pragma once
// tarvelin-table analyse: the figures of a waveform, or of the table stored from it, printed
// as "name: value" lines or one JSON object, and its spectrum as CSV.

#include <cstdio>
#include <string>

#include "cli/TableArguments.h"
#include "files/DataPoint.h"

// The printed figures; `error` set where the mapping cannot be used.
std::string AnalysisText(const DataPoint* points, std::size_t count, const TableArguments& args,
                         std::string& error);
// harmonic,magnitude_db,phase_deg: the magnitudes in dB below the largest.
std::string SpectrumCsv(const DataPoint* points, std::size_t count, const TableArguments& args);
