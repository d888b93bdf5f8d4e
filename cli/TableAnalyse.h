#pragma once
// tarvelin-table analyse: the figures of a waveform, or of the table stored from it, printed
// as "name: value" lines or one JSON object, and its spectrum as CSV.

#include <string>
#include <utility>
#include <vector>

#include "cli/TableArguments.h"
#include "files/DataPoint.h"
#include "wave/Spectrum.h"
#include "wave/WaveFigures.h"

struct AnalysedTable {
    std::string error; // the mapping cannot be used, and why
    HarmonicSpectrum spectrum;
    WaveFigures figures;
    std::vector<std::pair<const char*, double>> stored; // the error figures of a mapping
};

// The waveform's figures, or the stored table's where the arguments give a mapping.
AnalysedTable AnalyseForArguments(const DataPoint* points, std::size_t count,
                                  const TableArguments& args);
// The figures, a "name: value" line each, or one JSON object.
std::string AnalysisText(const AnalysedTable& analysed, bool json);
// harmonic,magnitude_db,phase_deg: the magnitudes in dB below the largest.
std::string SpectrumCsv(const HarmonicSpectrum& spectrum);
