#pragma once
// Surge's and Bitwig's wavetable file: "vawt", u32 N (a power of two, 2..4096), u16 F
// (1..512), u16 flags, then F x N samples: float32, or int16 with flag 4 (divided by 16384,
// by 32768 with flag 8). Flag 0x10: a metadata block follows the data, ignored here.

#include <string>

#include "files/OutputBuffer.h"
#include "files/bank/BankShape.h"

struct WtRead {
    std::string error; // not empty: the bytes are no .wt bank, and why
    BankValues bank;
    bool int16 = false;
};

// Whether the bytes begin as a .wt file does.
bool IsWtFile(const std::string& head);
WtRead ReadWt(const std::string& bytes);
// Why the bank cannot be a .wt file; empty where it can.
std::string CheckWtShape(const BankValues& bank);
bool WriteWt(const TextSink& sink, const BankValues& bank, bool int16);
