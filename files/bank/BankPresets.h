#pragma once
// The forms a bank is saved in, one a synth family reads: Serum, Vital, Surge and Deluge's WAV
// with its frame-size chunks, WaveEdit's 64 x 256, Behringer's 64 x 128, Korg modwave's, the
// .wt of Surge and Bitwig, and text.

#include <optional>
#include <string>
#include <vector>

#include "files/OutputBuffer.h"
#include "files/bank/BankShape.h"
#include "files/bank/BankWav.h"

enum class BankPreset { Serum, WaveEdit, Shape64x128, Modwave, SurgeWt, Csv };

struct BankSaveOptions {
    BankPreset preset = BankPreset::Serum;
    BankSampleFormat format = BankSampleFormat::Float32; // Serum and .wt; the others fix it
    int rate = 44100;
    int interpolation = 1; // clm's flag: 0 none, 1 crossfade, 2 spectral
};

struct BankSavePlan {
    std::string error;                 // not empty: the bank cannot be saved so, and why
    std::vector<std::string> warnings; // it can, but a synth may not take it as meant
    BankSampleFormat format = BankSampleFormat::Float32;
    std::uint32_t frames = 0; // written, silent frames added where the form has a fixed count
};

BankSavePlan PlanBankSave(const BankValues& bank, const BankSaveOptions& options);
// The frame size a preset takes for frames of `frameSize`: WaveEdit's 256, the 64 x 128's 128,
// modwave's 2048 or 256 (2048 for any other), else `frameSize` as it is.
std::uint32_t PresetFrameSize(BankPreset preset, std::uint32_t frameSize);
// Writes the bank as planned; false when the plan refuses it or the sink failed.
bool WriteBankPreset(const TextSink& sink, const BankValues& bank, const BankSaveOptions& options);

const std::vector<BankPreset>& BankPresets();
// "serum", "waveedit", "64x128", "modwave", "wt", "csv", and back.
const char* BankPresetOption(BankPreset preset);
std::optional<BankPreset> BankPresetFromOption(const std::string& option);
// As the Save Bank dialog lists it.
const char* BankPresetTitle(BankPreset preset);
// By a file name's extension: .wav Serum, .wt, .csv.
std::optional<BankPreset> BankPresetFromPath(const std::string& path);
// The extension a preset's files take, without the dot.
const char* BankPresetExtension(BankPreset preset);
