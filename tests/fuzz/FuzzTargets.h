#pragma once
// What the fuzzers drive, one entry per target. The fuzzers (built with clang and libFuzzer)
// and the regular tests (which replay every kept input) call the same entries, so each past
// finding stays guarded without clang. An entry returns normally for any input; anything the
// code under test must never do aborts, or is left for the sanitizers to report.

#include <cstddef>
#include <cstdint>
#include <string>

// The waveform text reader, checked against a reference reader written from the format.
void FuzzDataReader(const std::uint8_t* data, std::size_t size);
// Every archive loader: each chart class loads the bytes as its record, and tagged objects.
void FuzzArchive(const std::uint8_t* data, std::size_t size);
// A whole chart loaded from an archive and painted at several sizes and zooms.
void FuzzChart(const std::uint8_t* data, std::size_t size);
// The safe tick-label formatter: a format text and a value; and the table's own significant-
// digit formatter against the standard one.
void FuzzTickFormat(const std::uint8_t* data, std::size_t size);

// Generator expressions and counts, through muParser: a result, or a refusal that changes
// nothing.
void FuzzExpression(const std::uint8_t* data, std::size_t size);
// Delimited and pasted import; pasted numbers checked against the data file's scanner.
void FuzzImport(const std::uint8_t* data, std::size_t size);
// Sound files through libsndfile, as Import reads them.
void FuzzWav(const std::uint8_t* data, std::size_t size);
// Banks as Open Bank reads them: WAV chunks, .wt and text.
void FuzzBank(const std::uint8_t* data, std::size_t size);
// The table writer with any options and samples: every value read back, within its type.
void FuzzTable(const std::uint8_t* data, std::size_t size);

// Runs the entry of a target by its name ("reader", "archive", "chart", "tickformat",
// "expression", "import", "wav", "table", "bank").
bool RunFuzzTarget(const std::string& name, const std::uint8_t* data, std::size_t size);
