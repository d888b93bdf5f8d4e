#pragma once
// Samples from elsewhere: a sound file (any channel count and sample format; integer samples
// as values in -1..1, floating ones as they are), a delimited text file (one column of it),
// or numbers pasted as text. Numbers are read by the data file's rules. Malformed input gives
// a message naming the line or byte, and no samples.

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

struct ImportResult {
    std::string error; // not empty: nothing was read, and why
    // Not empty: the file holds less than its header promises (what it holds was read).
    std::string shortfall;
    std::vector<double> values;
};

// Whether a file is read as sound: by its name's extension, else by its first bytes.
bool IsSoundFile(const std::string& path);

// The first channel, or with `mix` the mean of all channels.
ImportResult ImportWav(const std::string& path, bool mix);

struct DelimitedFormat {
    std::size_t column = 1;    // from 1
    char delimiter = ',';      // ' ': any run of blanks and tabs, leading ones ignored
    std::size_t skip = 0;      // header lines
    bool decimalComma = false; // "1,5" is 1.5 (where the comma does not separate columns)
};

// One column of the lines after the first `skip`. A byte-order mark is ignored, quoted fields
// ("1.5") are unquoted, blank lines are skipped. Read a line at a time: the values grow
// through the memory gate (std::bad_alloc when they cannot), never the whole text at once.
ImportResult ImportDelimited(std::istream& in, const DelimitedFormat& format);
ImportResult ImportDelimited(const std::string& text, const DelimitedFormat& format);

// Numbers separated by blanks, commas, semicolons or line ends; with `decimalComma` a comma
// is the decimal point ("1,5" is 1.5) and only blanks, semicolons and line ends separate.
ImportResult ImportPasted(const std::string& text, bool decimalComma = false);
// Whether pasted text may hold decimal commas ("1,5 -2,25"): it has commas, and each stands
// alone between two digits of a number. Either reading is then possible, and the user says.
bool ReadsAsDecimalCommas(const std::string& text);
