#pragma once
// The analysis a user sees before a table goes into the product: the waveform's spectrum and
// figures, and those of the table as it will be stored with a chosen type, width and mapping.

#include <cstddef>
#include <string>

#include "files/DataPoint.h"
#include "files/TableExport.h"
#include "wave/Spectrum.h"
#include "wave/WaveFigures.h"

// The stored table: the shape its entries make (`figures`), and what storing did to the
// waveform. Storing is measured as IEEE 1241 measures a converter: the error of every entry
// against the exact value it stands for, against a full-scale sine of the target range, so
// that a perfect N-bit rounding of any shape reads about N bits.
struct StoredFigures {
    std::string error; // not empty: the options cannot map the samples, and why
    int bits = 0;      // 0 for float and double
    HarmonicSpectrum spectrum;
    WaveFigures figures;                     // of the entries, in their units
    double errorMaxLsb = 0, errorRmsLsb = 0; // entries against the exact values, in steps
    double fullScale = 0;                    // the target range: 2^bits steps, or the span
    double sinadDb = WaveFigures::None;      // full-scale sine against all the error (dBFS)
    double snrDb = WaveFigures::None;        // ... against the error but its harmonics
    double sfdrDb = WaveFigures::None;       // ... against the error's largest component
    double enob = WaveFigures::None;         // (SINAD - 1.76) / 6.02
};

struct TableAnalysis {
    HarmonicSpectrum spectrum;
    WaveFigures figures;
};

TableAnalysis AnalyseTable(const DataPoint* points, std::size_t count);
StoredFigures AnalyseStored(const DataPoint* points, std::size_t count,
                            const TableOptions& options);

// Both, as the Analyse window shows them.
struct BothAnalyses {
    TableAnalysis wave;
    StoredFigures stored;
};
BothAnalyses AnalyseBoth(const DataPoint* points, std::size_t count, const TableOptions& options);
