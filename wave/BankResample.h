#pragma once
// A bank's frames resampled to another frame size, each as one cycle of a periodic wave (the
// seam kept), for a synth that reads frames of a fixed size.

#include <cstdint>
#include <string>

#include "files/Progress.h"
#include "files/bank/BankShape.h"
#include "wave/Resample.h"

// Every frame resampled to `frameSize`; empty where nothing was to be done. An error leaves
// the bank as it was.
std::string ResampleFrames(BankValues& bank, std::uint32_t frameSize,
                           ResampleMethod method = ResampleMethod::BandLimited,
                           CProgress* progress = nullptr);
