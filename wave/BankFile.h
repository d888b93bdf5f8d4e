#pragma once
// A bank read from a file: a WAV (or any sound file libsndfile reads; the first channel or the
// mix) with its frame size from the chunks synths write, a Surge/Bitwig .wt, or a text bank.
// Where nothing in the file gives the frame size, a proposal and its reason are given for the
// user to confirm or change.

#include <cstdint>
#include <string>

#include "files/bank/BankShape.h"

struct BankReadOptions {
    bool mix = false;            // the mean of all channels, not the first
    std::uint32_t frameSize = 0; // not 0: overrides what the file says
};

struct BankFileRead {
    std::string error; // not empty: nothing was read, and why
    // The values, and where the frame size is known, the frames. Without one, frameSize is
    // the proposal (0: none) and `frames` 0 until the caller settles it (SettleFrameSize).
    BankValues bank;
    // clm, uhWT, cue, srge, smpl, wt, csv, option or guess.
    std::string frameSizeFrom;
    std::string guessReason;  // with "guess": why the proposal, for the dialog
    std::string sampleFormat; // pcm8, pcm16, pcm24, pcm32, float32, float64, text, ...
    std::string shortfall;    // not empty: the file holds less than its header promises
    int interpolation = -1;   // clm's flag, where given
    int channels = 1;         // of a sound file: more than one offers the mix
};

BankFileRead ReadBankFile(const std::string& path, const BankReadOptions& options = {});
// Cuts the values into frames of N (the proposal confirmed or another); false, with `error`
// set, where they are no whole number of such frames.
bool SettleFrameSize(BankFileRead& read, std::uint32_t frameSize);
