#pragma once
// tarvelin-table bank: wavetable banks from the command line (info, convert, export, split,
// join), through the same readers and writers as the editor.

#include <string>
#include <vector>

// The arguments after "bank"; returns the exit status (0 done, 1 a file could not be read or
// written, 2 a wrong command line).
int RunBankCommand(const std::vector<std::string>& args);

extern const char* const BankUsage;
