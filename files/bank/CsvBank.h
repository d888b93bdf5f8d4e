#pragma once
// A bank as text: one frame a line, its N values separated by commas (read: commas,
// semicolons, tabs or blanks), '#' lines and blank lines skipped. numpy's loadtxt reads it as
// an F x N array.

#include <string>

#include "files/OutputBuffer.h"
#include "files/bank/BankShape.h"

struct CsvBankRead {
    std::string error; // not empty: the text is no bank, and the line that says so
    BankValues bank;
};

CsvBankRead ReadCsvBank(const std::string& text);
// The values as the shortest text that reads back exactly, '.' the decimal point.
bool WriteCsvBank(const TextSink& sink, const BankValues& bank);
