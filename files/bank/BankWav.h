#pragma once
// A bank as a WAV file, written byte for byte by hand: no timestamp or other chunk a library
// would add, every chunk of even length, the chunks a synth reads its frame size from before
// `data` (a hardware reader sets its table up when it reaches `data`).

#include "files/OutputBuffer.h"
#include "files/bank/BankShape.h"

enum class BankSampleFormat { Float32, Pcm16 };

struct BankWavLayout {
    BankSampleFormat format = BankSampleFormat::Float32;
    int rate = 44100;
    // Serum's `clm ` (where N has at most four digits) and Surge's `srge`; without them and
    // in PCM16 the header is the canonical 44 bytes.
    bool frameSizeChunks = true;
    int interpolation = 1; // clm's flag: 0 none, 1 crossfade, 2 spectral
};

// PCM16's sample for a value: round(y x 32768), held to -32768..32767.
std::int16_t Pcm16Of(double y);

bool WriteBankWav(const TextSink& sink, const BankValues& bank, const BankWavLayout& layout);
