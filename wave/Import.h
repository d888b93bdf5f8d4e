#pragma once
// Samples from elsewhere: a WAV file (any channel count and sample format, read as values in
// -1..1), a delimited text file (one column of it), or numbers pasted as text. Malformed input
// gives a message naming the line or byte, and no samples.

#include <cstddef>
#include <string>
#include <vector>

struct ImportResult {
    std::string error; // not empty: nothing was read, and why
    std::vector<double> values;
};

// The first channel, or with `mix` the mean of all channels.
ImportResult ImportWav(const std::string& path, bool mix);

// Column `column` (from 1) of the lines after the first `skip`, split at `delimiter`; blank
// lines are skipped.
ImportResult ImportDelimited(const std::string& text, std::size_t column, char delimiter,
                             std::size_t skip);

// Numbers separated by blanks, commas, semicolons or line ends.
ImportResult ImportPasted(const std::string& text);
