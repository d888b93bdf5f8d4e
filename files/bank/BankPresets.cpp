#include "files/bank/BankPresets.h"

#include "files/bank/CsvBank.h"
#include "files/bank/WtFile.h"

#include <algorithm>
#include <cctype>

namespace {

const struct {
    BankPreset preset;
    const char* option;
    const char* title;
    const char* extension;
} Presets[] = {
    {BankPreset::Serum, "serum", "Serum / Vital / Surge / Deluge", "wav"},
    {BankPreset::WaveEdit, "waveedit", "WaveEdit", "wav"},
    {BankPreset::Shape64x128, "64x128", "64 x 128", "wav"},
    {BankPreset::Modwave, "modwave", "modwave", "wav"},
    {BankPreset::SurgeWt, "wt", "Surge .wt", "wt"},
    {BankPreset::Csv, "csv", "Text (.csv)", "csv"},
};

bool PowerOfTwo(std::uint64_t n) {
    return n && !(n & (n - 1));
}

// A form of exactly `frames` x `frameSize` PCM16 samples: fewer frames are filled with silence.
void FixedShape(const BankValues& bank, std::uint32_t frames, std::uint32_t frameSize,
                const char* who, const char* reads, BankSavePlan& plan) {
    plan.format = BankSampleFormat::Pcm16;
    plan.frames = frames;
    if (bank.frameSize != frameSize || bank.frames > frames) {
        plan.error = std::string(who) + " " + reads + " banks of " + std::to_string(frames) +
                     " frames of " + std::to_string(frameSize) + " samples; this bank has " +
                     std::to_string(bank.frames) + " of " + std::to_string(bank.frameSize) + ".";
    } else if (bank.frames < frames) {
        plan.warnings.push_back(std::string(who) + " " + reads + " " + std::to_string(frames) +
                                " frames: the " + std::to_string(frames - bank.frames) +
                                " after the bank's are written silent.");
    }
}

} // namespace

BankSavePlan PlanBankSave(const BankValues& bank, const BankSaveOptions& o) {
    BankSavePlan plan;
    plan.format = o.format;
    plan.frames = bank.frames;
    if (const std::string e = CheckBankShape(bank.frames, bank.frameSize); !e.empty()) {
        plan.error = e;
        return plan;
    }
    if (o.rate < 1 || o.rate > 1000000) {
        plan.error = "The sample rate must lie between 1 and 1000000.";
        return plan;
    }
    switch (o.preset) {
    case BankPreset::Serum:
        if (bank.frameSize != 2048)
            plan.warnings.push_back(
                "Serum and Vital cut every bank into frames of 2048 samples; this bank's frames "
                "hold " +
                std::to_string(bank.frameSize) + ".");
        if (!PowerOfTwo(bank.frameSize))
            plan.warnings.push_back("Some synths load frames that are no power of two as a "
                                    "one-shot sample, not a wavetable.");
        if (bank.frameSize > 9999)
            plan.warnings.push_back("The \"clm \" chunk holds at most four digits: only the "
                                    "\"srge\" chunk gives this frame size.");
        break;
    case BankPreset::WaveEdit:
        FixedShape(bank, 64, 256, "WaveEdit", "reads", plan);
        break;
    case BankPreset::Shape64x128:
        FixedShape(bank, 64, 128, "The Behringer Wave and 3rd Wave", "read", plan);
        break;
    case BankPreset::Modwave:
        if (bank.frames > 64)
            plan.error = "modwave reads at most 64 frames; this bank has " +
                         std::to_string(bank.frames) + ".";
        else if (bank.frameSize == 2048)
            plan.format = BankSampleFormat::Float32;
        else if (bank.frameSize == 256)
            plan.format = BankSampleFormat::Pcm16;
        else
            plan.error = "modwave reads frames of 2048 samples (float) or 256 (16-bit); this "
                         "bank's hold " +
                         std::to_string(bank.frameSize) + ".";
        break;
    case BankPreset::SurgeWt:
        plan.error = CheckWtShape(bank);
        break;
    case BankPreset::Csv:
        break;
    }
    return plan;
}

bool WriteBankPreset(const TextSink& sink, const BankValues& bank, const BankSaveOptions& o) {
    const BankSavePlan plan = PlanBankSave(bank, o);
    if (!plan.error.empty())
        return false;
    switch (o.preset) {
    case BankPreset::SurgeWt:
        return WriteWt(sink, bank, plan.format == BankSampleFormat::Pcm16);
    case BankPreset::Csv:
        return WriteCsvBank(sink, bank);
    default:
        break;
    }
    BankWavLayout layout;
    layout.format = plan.format;
    layout.rate = o.rate;
    layout.interpolation = o.interpolation;
    // WaveEdit reads samples from byte 44 on: any other chunk would be read as samples.
    layout.frameSizeChunks = o.preset == BankPreset::Serum || o.preset == BankPreset::Modwave;
    if (plan.frames == bank.frames)
        return WriteBankWav(sink, bank, layout);
    BankValues padded = bank;
    padded.frames = plan.frames;
    padded.values.resize(std::size_t(plan.frames) * bank.frameSize, 0.0);
    return WriteBankWav(sink, padded, layout);
}

std::uint32_t PresetFrameSize(BankPreset preset, std::uint32_t frameSize) {
    switch (preset) {
    case BankPreset::WaveEdit:
        return 256;
    case BankPreset::Shape64x128:
        return 128;
    case BankPreset::Modwave:
        return frameSize == 256 ? 256 : 2048;
    default:
        return frameSize;
    }
}

const std::vector<BankPreset>& BankPresets() {
    static const std::vector<BankPreset> all = {BankPreset::Serum,       BankPreset::WaveEdit,
                                                BankPreset::Shape64x128, BankPreset::Modwave,
                                                BankPreset::SurgeWt,     BankPreset::Csv};
    return all;
}

const char* BankPresetOption(BankPreset preset) {
    return Presets[int(preset)].option;
}

std::optional<BankPreset> BankPresetFromOption(const std::string& option) {
    for (const auto& p : Presets)
        if (option == p.option)
            return p.preset;
    return std::nullopt;
}

const char* BankPresetTitle(BankPreset preset) {
    return Presets[int(preset)].title;
}

const char* BankPresetExtension(BankPreset preset) {
    return Presets[int(preset)].extension;
}

std::optional<BankPreset> BankPresetFromPath(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return std::nullopt;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "wav")
        return BankPreset::Serum;
    if (ext == "wt")
        return BankPreset::SurgeWt;
    if (ext == "csv")
        return BankPreset::Csv;
    return std::nullopt;
}
