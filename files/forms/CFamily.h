#pragma once
// What C, C++ and Rust tables share: the values between the braces, and reading them back.

#include <string>

#include "files/forms/TableForm.h"

// The values, `perLine` a line (a bank's frames each in braces of its own), up to the closing
// brace.
void WriteCValues(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
                  bool rust);
// A bank's frames as rows ([F][N]): F, else 0 (one flat run of values).
std::size_t BankRows(const TableOptions& o);
// The values between the braces (brackets) after '='.
void ReadCValues(const std::string& text, const TableOptions& o, TableEntries& r);
