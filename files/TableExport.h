#pragma once
// The samples as a C table for firmware: a chosen element type, the values as they are or
// scaled onto a range, decimal or hexadecimal, and the declaration around them. One writer
// for the editor's Export Table and for tarvelin-table, so both give the same bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/DataPoint.h"
#include "files/LargePages.h"
#include "files/OutputBuffer.h"
#include "files/TableTypes.h"

// The element type of a VHDL table.
enum class VhdlType { StdLogicVector, Signed, Unsigned, Integer };

// What is written: a C table, or words for an FPGA's memory or a ROM image.
enum class TableFormat {
    C,
    Cpp,  // inline constexpr std::array
    Rust, // pub static NAME: [T; N]
    Mem,  // Verilog $readmemh text
    MemB, // Verilog $readmemb text
    Coe,  // Xilinx coefficient file
    Mif,  // Intel memory initialisation file
    IHex, // Intel HEX image
    Bin,  // raw binary image
    Vhdl, // a package holding a constant array of std_logic_vector
    Wav   // one cycle in a WAV file (written by wave/WavTable)
};

struct TableOptions {
    TableType type = TableType::Int16;
    // Integer types: scale the source range linearly onto the target range, or write the
    // samples as they are. Q15 and Q31 always map -1..1 onto their range.
    bool scaled = false;
    std::optional<double> sourceMin, sourceMax; // the waveform's own extremes when not given
    std::optional<double> targetMin, targetMax; // the type's full range when not given
    bool hex = false;
    int perLine = 8;
    std::string name = "Table";
    std::string before = "const"; // text before the type, such as "static const"
    std::string after;            // text after the name, such as "PROGMEM"
    bool includeStdint = true;    // when the type is a fixed-width one
    std::string guard;            // a header guard when not empty
    std::string lengthMacro;      // a macro holding the length when not empty
    bool crlf = false;

    TableFormat format = TableFormat::C;
    bool guardPoint = false; // the first sample once more at the end: N + 1 entries
    // Only the first N/4 + 1 samples, where the waveform has quarter-wave symmetry.
    bool quarterWave = false;
    // The word forms (every format but C): words of `width` bits, 1..32, mapped as the
    // integer types are (the width's full range by default).
    int width = 16;
    bool widthSigned = false;
    int radix = 16;         // coe and mif: 2, 10 or 16 (mif: DEC for signed, UNS for unsigned)
    bool bigEndian = false; // bin and ihex: the bytes of a word
    std::uint32_t base = 0; // ihex: the address of the first word
    int recordBytes = 16;   // ihex: data bytes a record, 16 or 32
    int rate = 48000;       // wav: frames a second
    bool wavFloat = false;  // wav: 32-bit float samples; else PCM of `wavBits`
    int wavBits = 16;       // wav: 8, 16, 24 or 32; PCM maps -1..1 onto the full scale, as
                            // Import reads it back, unless scaled
    bool wavetable = false; // wav: resampled to 2048 samples, a wavetable synth's frame
    VhdlType vhdlType = VhdlType::StdLogicVector;
    // A bank of this many frames (the samples one frame after another): C, C++ and Rust
    // write it [F][N]; the word forms are flat, frame k's sample i at k x N + i. 0: a waveform.
    std::uint32_t bankFrames = 0;
};

// The format's name in options ("c", "mem", ...), and back.
const char* TableFormatOption(TableFormat format);
std::optional<TableFormat> TableFormatFromOption(const std::string& option);
// Words of a chosen width, not a C type.
bool IsWordFormat(TableFormat format);
// How many entries a table of `count` samples has with these options.
std::size_t WrittenCount(std::size_t count, const TableOptions& options);

// What the options make of the samples, before anything is written.
struct TablePlan {
    std::string error;         // not empty: the options cannot be used, and why
    std::size_t saturated = 0; // values held at the limits of the type or target range
    double sourceMin = 0, sourceMax = 0, targetMin = 0, targetMax = 0;
    std::size_t tableBytes = 0; // the table's size in the firmware's memory
    // How far the rounded words are from quarter-wave symmetry (-1: the count is no multiple
    // of 4 or it was not worked out), and whether a quarter-wave table can stand for them.
    double quarterWaveDeviation = -1;
    bool quarterWaveOffered = false;
    // What the second half is rebuilt from: t[N/2 + i] = C - t[i], C = t[0] + t[N/2].
    double quarterWaveCentre = 0;
    // Not empty: the table can be written, but likely not as meant (the samples as they are
    // take only a handful of the type's levels).
    std::string warning;
};

// Without `countHeld`, `saturated` and the quarter-wave offer are not worked out: a pass less.
TablePlan PlanTable(const DataPoint* points, std::size_t count, const TableOptions& options,
                    bool countHeld = true);
// Why a waveform without samples makes no table of this form.
std::string EmptyTableError(TableFormat format);

// What the entries hold, sample by sample, in their own units (integers for the integer types
// and words), beside the exact values they stand for; the names and the entries' layout
// (guard point, quarter wave) do not matter here. Empty, with `error` set, where the options
// cannot map the samples.
struct StoredTable {
    std::string error;
    LargeVector<double> stored, exact; // large pages: they are made and dropped at once
    double lsb =
        1;        // one step of the entries in these units: 1, or a float's or double's at the peak
    int bits = 0; // of the integer or word; 0 for float and double
    // exact = slope · y + offset: the exact values' spectrum is then the samples' own, scaled.
    double slope = 1, offset = 0;
};
StoredTable StoreTable(const DataPoint* points, std::size_t count, const TableOptions& options);

// Writes the header; false when the options are refused (see PlanTable) or the sink failed.
bool WriteTable(const TextSink& sink, const DataPoint* points, std::size_t count,
                const TableOptions& options);

// The first `lines` lines of values, "    ..." and the last line: what the whole table would
// look like, for a preview.
std::string TablePreview(const DataPoint* points, std::size_t count, const TableOptions& options,
                         int lines);

// A C identifier: a letter or underscore, then letters, digits and underscores.
bool IsCIdentifier(const std::string& text);
