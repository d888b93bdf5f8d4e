#pragma once
// What C, C++ and Rust tables share: the values between the braces, and reading them back.

#include <string>

#include "files/forms/TableForm.h"

// The values, `perLine` a line, then "};" (Rust: "];") and the line end.
void WriteCValues(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
                  bool rust);
// The values between the braces (brackets) after '='.
void ReadCValues(const std::string& text, const TableOptions& o, TableEntries& r);
