#pragma once
// The waveform text file read the plainest way, straight from its description, to check the
// fast reader against: lines cut at line feeds, lines starting with NUL skipped, the number at
// the start of each line by the number grammar, overflow held at the largest finite value,
// no digits 0.0.

#include <string>
#include <vector>

std::vector<double> ReferenceRead(const std::string& bytes);
