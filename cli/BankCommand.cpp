#include "cli/BankCommand.h"

#include "cli/TableArguments.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/SafeWrite.h"
#include "files/TableExport.h"
#include "files/bank/BankPresets.h"
#include "wave/BankFile.h"
#include "wave/BankResample.h"
#include "wave/MipmapTable.h"
#include "wave/Mipmaps.h"
#include "wave/Morph.h"
#include "wave/Resample.h"
#include "wave/WavTable.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>

const char* const BankUsage =
    "Usage: tarvelin-table bank info [--json] [--frame-size N] [--channel C] BANK\n"
    "  or:  tarvelin-table bank convert [options] BANK -o OUT\n"
    "  or:  tarvelin-table bank export [export options] [--layout 2d|flat] BANK [-o OUT]\n"
    "  or:  tarvelin-table bank split [--frame-size N] BANK --dir DIR\n"
    "  or:  tarvelin-table bank join [--samples N] A.txt B.txt ... -o OUT\n"
    "  or:  tarvelin-table bank morph --frames F [--method M] A.txt B.txt -o OUT\n"
    "  or:  tarvelin-table bank mipmaps [--levels L] [--halve] BANK -o OUT\n"
    "A bank is F frames of N samples: a WAV (its frame size from the clm, uhWT, cue, srge or\n"
    "smpl chunk, else guessed), a Surge .wt or a text bank (.csv, one frame a line).\n"
    "info prints frames, samples (a frame), frame_size_from, sample_format and peak, one\n"
    "\"name: value\" a line or, with --json, one JSON object. convert writes the bank in a\n"
    "synth's form, export as a table ([F][N] in C, C++ and Rust; words at k x N + i), split\n"
    "one data file a frame, join data files as frames. morph makes F frames from A to B (both\n"
    "included); mipmaps the band-limited levels of every frame (level k keeps the harmonics\n"
    "below N / 2^(k+1)), as a bank or, for OUT.h, a C table that names each level's highest.\n"
    "\n"
    "Bank options:\n"
    "  --to FORM             serum, waveedit (64 x 256), 64x128, modwave, wt or csv (default:\n"
    "                        by OUT's extension, .wav serum); the frames are resampled to\n"
    "                        the frame size a form fixes\n"
    "  --sample-format F     float or pcm16 (serum and wt; default float)\n"
    "  --frame-size N        the samples a frame, whatever the file says\n"
    "  --channel first|mix   the first channel (the default) or the mix of all\n"
    "  --interp I            none, crossfade (the default) or spectral: clm's flag\n"
    "  --rate HZ             the WAV's sample rate (default 44100)\n"
    "  --samples N           each frame resampled to N samples, as a cycle\n"
    "  --resample M          linear, cubic or band-limited (the default)\n"
    "  --layout 2d|flat      export: [F][N] (the default) or one run of F x N\n"
    "  --dir DIR             split: the folder the frames go to\n"
    "  --frames F            morph: the frames made, A and B included\n"
    "  --method M            morph: spectral (the default; each harmonic's level and phase)\n"
    "                        or linear\n"
    "  --levels L            mipmaps: how many levels (default: every one)\n"
    "  --halve               mipmaps: level k of N / 2^k samples (a C table only)\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written (nothing partial is left),\n"
    "2 a wrong command line.\n";

namespace {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "tarvelin-table: %s\n", message.c_str());
    if (status == 2)
        std::fprintf(stderr, "Try 'tarvelin-table bank --help'.\n");
    return status;
}

struct BankArguments {
    std::string sub, error, output, dir;
    std::vector<std::string> inputs;
    std::set<std::string> given;
    bool json = false;
    BankReadOptions read;
    std::optional<BankPreset> preset;
    BankSaveOptions save;
    std::uint32_t samples = 0;
    ResampleMethod method = ResampleMethod::BandLimited;
    bool flat = false;
    std::uint32_t frames = 0;                  // morph: the bank's frames, both ends included
    MorphMethod morph = MorphMethod::Spectral; // morph
    int levels = 0;                            // mipmaps: 0 for every level
    bool halve = false;                        // mipmaps
    std::vector<std::string> exportArgs;       // export: what tarvelin-table export takes
};

std::optional<long long> Whole(const std::string& text, long long min, long long max) {
    long long n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < min || n > max)
        return std::nullopt;
    return n;
}

bool EndsWithHeader(const std::string& path) {
    return path.size() > 2 && path.compare(path.size() - 2, 2, ".h") == 0;
}

BankArguments Parse(const std::vector<std::string>& args) {
    BankArguments a;
    if (args.empty()) {
        a.error = "bank needs a command: info, convert, export, split or join";
        return a;
    }
    a.sub = args[0];
    if (a.sub != "info" && a.sub != "convert" && a.sub != "export" && a.sub != "split" &&
        a.sub != "join" && a.sub != "morph" && a.sub != "mipmaps") {
        a.error = "unknown bank command " + a.sub +
                  "; it is info, convert, export, split, join, morph or mipmaps";
        return a;
    }
    for (std::size_t i = 1; i < args.size() && a.error.empty(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                a.error = "option " + arg + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        auto number = [&](long long min, long long max) -> std::optional<long long> {
            const auto v = value();
            if (!v)
                return std::nullopt;
            const auto n = Whole(*v, min, max);
            if (!n)
                a.error = arg + " takes a whole number from " + std::to_string(min) + " to " +
                          std::to_string(max) + ", not " + *v;
            return n;
        };
        auto choice = [&](const std::vector<std::string>& names) -> int {
            const auto v = value();
            if (!v)
                return -1;
            const auto found = std::find(names.begin(), names.end(), *v);
            if (found != names.end())
                return int(found - names.begin());
            std::string list;
            for (std::size_t k = 0; k < names.size(); ++k)
                list += (k ? k + 1 == names.size() ? " or " : ", " : "") + names[k];
            a.error = arg + " takes " + list + ", not " + *v;
            return -1;
        };
        const bool bankOption =
            arg == "--frame-size" || arg == "--channel" || arg == "--layout" || arg == "--json" ||
            arg == "--to" || arg == "--interp" || arg == "--samples" || arg == "--resample" ||
            arg == "--dir" ||
            (a.sub != "export" &&
             (arg == "--rate" || arg == "--sample-format" || arg == "-o" || arg == "--output"));
        if (a.sub == "export" && !bankOption) { // the table's own options and the input
            a.exportArgs.push_back(arg);
            continue;
        }
        if (arg.rfind("--", 0) == 0)
            a.given.insert(arg);
        if (arg == "--json") {
            a.json = true;
        } else if (arg == "--frame-size") {
            if (auto n = number(MinFrameSize, MaxFrameSize))
                a.read.frameSize = std::uint32_t(*n);
        } else if (arg == "--channel") {
            if (const int c = choice({"first", "mix"}); c >= 0)
                a.read.mix = c == 1;
        } else if (arg == "--to") {
            if (const auto v = value()) {
                a.preset = BankPresetFromOption(*v);
                if (!a.preset)
                    a.error = "--to takes serum, waveedit, 64x128, modwave, wt or csv, not " + *v;
            }
        } else if (arg == "--sample-format") {
            if (const int c = choice({"float", "pcm16"}); c >= 0)
                a.save.format = c ? BankSampleFormat::Pcm16 : BankSampleFormat::Float32;
        } else if (arg == "--interp") {
            if (const int c = choice({"none", "crossfade", "spectral"}); c >= 0)
                a.save.interpolation = c;
        } else if (arg == "--rate") {
            if (auto n = number(1, 1000000))
                a.save.rate = int(*n);
        } else if (arg == "--samples") {
            if (auto n = number(MinFrameSize, MaxFrameSize))
                a.samples = std::uint32_t(*n);
        } else if (arg == "--resample") {
            if (const int c = choice({"linear", "cubic", "band-limited"}); c >= 0)
                a.method = ResampleMethod(c);
        } else if (arg == "--layout") {
            if (const int c = choice({"2d", "flat"}); c >= 0)
                a.flat = c == 1;
        } else if (arg == "--frames") {
            if (auto n = number(2, MaxBankFrames))
                a.frames = std::uint32_t(*n);
        } else if (arg == "--method") {
            if (const int c = choice({"linear", "spectral"}); c >= 0)
                a.morph = MorphMethod(c);
        } else if (arg == "--levels") {
            if (auto n = number(1, 16))
                a.levels = int(*n);
        } else if (arg == "--halve") {
            a.halve = true;
        } else if (arg == "--dir") {
            if (auto v = value())
                a.dir = *v;
        } else if (arg == "-o" || arg == "--output") {
            if (auto v = value())
                a.output = *v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            a.error = "unknown option " + arg + " for bank " + a.sub;
        } else {
            a.inputs.push_back(arg);
        }
    }
    if (!a.error.empty())
        return a;
    // Options that would do nothing are mistakes, not silence.
    const std::map<std::string, std::set<std::string>> allowed = {
        {"info", {"--json", "--frame-size", "--channel"}},
        {"convert",
         {"--to", "--sample-format", "--frame-size", "--channel", "--interp", "--rate", "--samples",
          "--resample", "--output"}},
        {"export", {"--frame-size", "--channel", "--layout"}},
        {"split", {"--frame-size", "--channel", "--dir"}},
        {"join",
         {"--to", "--sample-format", "--interp", "--rate", "--samples", "--resample", "--output"}},
        {"morph",
         {"--frames", "--method", "--to", "--sample-format", "--interp", "--rate", "--output"}},
        {"mipmaps",
         {"--levels", "--halve", "--frame-size", "--channel", "--to", "--sample-format", "--interp",
          "--rate", "--output"}}};
    for (const std::string& option : a.given)
        if (!allowed.at(a.sub).count(option)) {
            a.error = option + " does not apply to bank " + a.sub;
            return a;
        }
    if (a.given.count("--resample") && !a.samples)
        a.error = "--resample needs --samples";
    else if (a.sub == "export")
        ; // the table's arguments say
    else if (a.sub == "morph" && a.inputs.size() != 2)
        a.error = "bank morph takes two single-cycle files, A and B";
    else if (a.sub == "morph" && !a.frames)
        a.error = "bank morph needs --frames F, both ends included";
    else if (a.sub != "morph" && (a.sub == "join" ? a.inputs.empty() : a.inputs.size() != 1))
        a.error = a.inputs.empty() ? "no input file" : "one input file only";
    else if (a.sub != "info" && a.sub != "export" && a.sub != "split" && a.output.empty())
        a.error = "bank " + a.sub + " needs -o OUT";
    else if (a.sub == "split" && a.dir.empty())
        a.error = "bank split needs --dir DIR";
    if (a.error.empty() && a.sub == "mipmaps" && !a.preset && EndsWithHeader(a.output))
        ; // a C table of the levels
    else if (a.error.empty() && a.halve && a.sub == "mipmaps")
        a.error = "--halve makes levels of different lengths: they go to a C table (.h)";
    else if (a.error.empty() &&
             (a.sub == "convert" || a.sub == "join" || a.sub == "morph" || a.sub == "mipmaps") &&
             !a.preset) {
        a.preset = BankPresetFromPath(a.output);
        if (!a.preset)
            a.error = "the form of " + a.output +
                      " is unknown: give --to, or end it in .wav, .wt "
                      "or .csv";
    }
    return a;
}

// An ordinary file, or why it cannot be read.
std::string Unreadable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "cannot read " + path + ": " + std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return "cannot read " + path + ": not a regular file";
    return {};
}

// The bank a file holds, its frame size settled (a guess taken as it is, and said).
int ReadBank(const std::string& path, const BankReadOptions& options, BankFileRead& read) {
    if (const std::string e = Unreadable(path); !e.empty())
        return Fail(1, e);
    read = ReadBankFile(path, options);
    if (read.error.empty() && read.frameSizeFrom == "guess") {
        if (!read.bank.frameSize)
            return Fail(1, path + ": " + read.guessReason + " Give --frame-size.");
        std::fprintf(stderr, "tarvelin-table: %s: %s\n", path.c_str(), read.guessReason.c_str());
        SettleFrameSize(read, read.bank.frameSize);
    }
    if (!read.error.empty()) // named once: some messages begin with the path already
        return Fail(1, read.error.rfind(path, 0) == 0 ? read.error : path + ": " + read.error);
    if (!read.shortfall.empty())
        std::fprintf(stderr, "tarvelin-table: %s\n", read.shortfall.c_str());
    return 0;
}

// Each frame resampled to `samples`, as a cycle.
int ResampleBank(BankValues& bank, std::uint32_t samples, ResampleMethod method) {
    if (!samples)
        return 0;
    if (const std::string error = ResampleFrames(bank, samples, method); !error.empty())
        return Fail(1, error);
    return 0;
}

int WriteOut(const std::string& path, const std::function<bool(const TextSink&)>& write) {
    try {
        WriteFileSafely(path, [&](std::FILE* f) { return write(FileSink(f)); });
    } catch (const FileNotCreated&) {
        return Fail(1, "cannot create " + path);
    } catch (const SafeWriteError& e) {
        return Fail(1, "cannot write " + path + ": " + std::strerror(e.error));
    }
    return 0;
}

int Save(const BankArguments& a, BankValues& bank) {
    BankSaveOptions options = a.save;
    options.preset = *a.preset;
    if (a.given.count("--sample-format") && options.preset != BankPreset::Serum &&
        options.preset != BankPreset::SurgeWt)
        return Fail(2, std::string("--sample-format applies to serum and wt; ") +
                           BankPresetOption(options.preset) + " fixes its own");
    // A form of a fixed frame size gets the frames resampled to it, and says so.
    if (const std::uint32_t n = PresetFrameSize(options.preset, bank.frameSize);
        n != bank.frameSize) {
        std::fprintf(stderr,
                     "tarvelin-table: %s reads frames of %u samples: each frame is "
                     "resampled from %u\n",
                     BankPresetOption(options.preset), unsigned(n), unsigned(bank.frameSize));
        if (const int status = ResampleBank(bank, n, a.method))
            return status;
    }
    const BankSavePlan plan = PlanBankSave(bank, options);
    if (!plan.error.empty())
        return Fail(1, plan.error);
    for (const std::string& w : plan.warnings)
        std::fprintf(stderr, "tarvelin-table: %s\n", w.c_str());
    return WriteOut(a.output,
                    [&](const TextSink& sink) { return WriteBankPreset(sink, bank, options); });
}

std::string Number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.10g", v == 0 ? 0.0 : v);
    return text;
}

int Info(const BankArguments& a) {
    BankFileRead read;
    if (const int status = ReadBank(a.inputs[0], a.read, read))
        return status;
    double peak = 0;
    for (double y : read.bank.values)
        peak = std::max(peak, std::fabs(y));
    const std::pair<const char*, std::string> lines[] = {
        {"frames", std::to_string(read.bank.frames)},
        {"samples", std::to_string(read.bank.frameSize)},
        {"frame_size_from", read.frameSizeFrom},
        {"sample_format", read.sampleFormat},
        {"peak", Number(peak)}};
    std::string text = a.json ? "{" : "";
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        const bool quoted = i == 2 || i == 3;
        if (a.json)
            text += std::string(i ? ", " : "") + "\"" + lines[i].first +
                    "\": " + (quoted ? "\"" + lines[i].second + "\"" : lines[i].second);
        else
            text += std::string(lines[i].first) + ": " + lines[i].second + "\n";
    }
    if (a.json)
        text += "}\n";
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
        return Fail(1, std::string("cannot write the output: ") + std::strerror(errno));
    return 0;
}

int Convert(const BankArguments& a) {
    BankFileRead read;
    if (const int status = ReadBank(a.inputs[0], a.read, read))
        return status;
    BankArguments kept = a; // the input's clm flag, unless told another
    if (!a.given.count("--interp") && read.interpolation >= 0)
        kept.save.interpolation = std::min(read.interpolation, 9);
    if (const int status = ResampleBank(read.bank, a.samples, a.method))
        return status;
    return Save(kept, read.bank);
}

int Export(const BankArguments& a) {
    std::vector<std::string> args = {"export"};
    args.insert(args.end(), a.exportArgs.begin(), a.exportArgs.end());
    const TableArguments parsed = ParseTableArguments(args);
    if (parsed.help) {
        std::fputs(BankUsage, stdout);
        return 0;
    }
    if (!parsed.error.empty())
        return Fail(2, parsed.error);
    if (parsed.form)
        return Fail(2, "--form does not apply to bank export: give --format and --type");
    if (parsed.options.format == TableFormat::Wav)
        return Fail(2, "bank export writes tables; bank convert writes WAV banks");
    BankFileRead read;
    if (const int status = ReadBank(parsed.input, a.read, read))
        return status;
    const BankValues& bank = read.bank;
    TableOptions options = parsed.options;
    options.bankFrames = a.flat ? 0 : bank.frames;
    std::vector<DataPoint> points(bank.values.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {double(i % bank.frameSize), bank.values[i]};
    const TablePlan plan = PlanTable(points.data(), points.size(), options);
    if (!plan.error.empty())
        return Fail(2, plan.error);
    if (plan.saturated)
        std::fprintf(stderr, "tarvelin-table: %zu values held at the limits\n", plan.saturated);
    if (!plan.warning.empty())
        std::fprintf(stderr, "tarvelin-table: %s\n", plan.warning.c_str());
    auto write = [&](const TextSink& sink) {
        return WriteTableForm(sink, points.data(), points.size(), options);
    };
    if (parsed.output.empty()) {
        if (!write(FileSink(stdout)) || std::fflush(stdout) != 0)
            return Fail(1, std::string("cannot write the output: ") + std::strerror(errno));
        return 0;
    }
    return WriteOut(parsed.output, write);
}

int Split(const BankArguments& a) {
    BankFileRead read;
    if (const int status = ReadBank(a.inputs[0], a.read, read))
        return status;
    const BankValues& bank = read.bank;
    std::error_code error;
    std::filesystem::create_directories(a.dir, error);
    if (error)
        return Fail(1, "cannot make " + a.dir + ": " + error.message());
    const std::string stem = std::filesystem::path(a.inputs[0]).stem().string();
    const int digits = int(std::to_string(bank.frames - 1).size());
    std::vector<DataPoint> frame(bank.frameSize);
    for (std::uint32_t k = 0; k < bank.frames; ++k) {
        for (std::uint32_t i = 0; i < bank.frameSize; ++i)
            frame[i] = {double(i), bank.values[std::size_t(k) * bank.frameSize + i]};
        char number[16];
        std::snprintf(number, sizeof number, "%0*u", digits, unsigned(k));
        const std::string path =
            (std::filesystem::path(a.dir) / (stem + "-" + number + ".txt")).string();
        if (const int status = WriteOut(path, [&](const TextSink& sink) {
                return WriteDataFile(sink, frame.data(), frame.size());
            }))
            return status;
    }
    return 0;
}

// A waveform data file's values, or why there are none.
int ReadValues(const std::string& path, std::vector<double>& ys) {
    if (const std::string e = Unreadable(path); !e.empty())
        return Fail(1, e);
    DataFile file;
    try {
        file = ReadDataFile(path);
    } catch (const DataFileReadError& e) {
        return Fail(1, "cannot read " + path + ": " + std::strerror(e.error));
    } catch (const DataFileChanged& e) {
        return Fail(1, "cannot read " + path + ": " + e.what());
    }
    ys.resize(file.count);
    for (std::size_t i = 0; i < ys.size(); ++i)
        ys[i] = file.points[i].y;
    return 0;
}

int Join(const BankArguments& a) {
    BankValues bank;
    if (a.inputs.size() > MaxBankFrames)
        return Fail(2, "a bank holds at most 4096 frames");
    for (const std::string& path : a.inputs) {
        std::vector<double> ys;
        if (const int status = ReadValues(path, ys))
            return status;
        if (a.samples && ys.size() != a.samples) {
            std::string error;
            ys = Resample(ys, a.samples, a.method, true, error);
            if (ys.empty())
                return Fail(1, path + " cannot be resampled: " + error);
        }
        if (bank.frames == 0)
            bank.frameSize = std::uint32_t(ys.size());
        if (ys.size() != bank.frameSize)
            return Fail(1, path + " holds " + std::to_string(ys.size()) + " samples, and " +
                               a.inputs[0] + " " + std::to_string(bank.frameSize) +
                               ": give --samples N to resample every frame to N");
        bank.values.insert(bank.values.end(), ys.begin(), ys.end());
        ++bank.frames;
    }
    if (const std::string e = CheckBankShape(bank.frames, bank.frameSize); !e.empty())
        return Fail(1, e);
    return Save(a, bank);
}

int MakeMorph(const BankArguments& a) {
    std::vector<double> from, to;
    if (const int status = ReadValues(a.inputs[0], from))
        return status;
    if (const int status = ReadValues(a.inputs[1], to))
        return status;
    if (from.size() != to.size())
        return Fail(1, a.inputs[0] + " holds " + std::to_string(from.size()) + " samples and " +
                           a.inputs[1] + " " + std::to_string(to.size()) +
                           ": morph between frames of one size");
    BankValues bank{std::uint32_t(from.size()), a.frames, {}};
    if (const std::string e = CheckBankShape(bank.frames, bank.frameSize); !e.empty())
        return Fail(1, e);
    bank.values = from;
    const std::vector<double> between =
        MorphFrames(from.data(), to.data(), from.size(), a.frames - 2, a.morph);
    bank.values.insert(bank.values.end(), between.begin(), between.end());
    bank.values.insert(bank.values.end(), to.begin(), to.end());
    return Save(a, bank);
}

int MakeMipmaps(const BankArguments& a) {
    BankFileRead read;
    if (const int status = ReadBank(a.inputs[0], a.read, read))
        return status;
    const BankValues& bank = read.bank;
    const int most = MipmapLevels(bank.frameSize);
    const int levels = a.levels ? a.levels : most;
    if (levels > most)
        return Fail(2, "frames of " + std::to_string(bank.frameSize) + " samples have " +
                           std::to_string(most) + " levels, not " + std::to_string(levels));
    // Frame by frame, its levels one after another.
    std::vector<std::vector<double>> tables;
    for (std::uint32_t k = 0; k < bank.frames; ++k) {
        auto made = ::Mipmaps(bank.values.data() + std::size_t(k) * bank.frameSize, bank.frameSize,
                              levels, a.halve);
        for (auto& t : made)
            tables.push_back(std::move(t));
    }
    if (!EndsWithHeader(a.output)) {
        BankValues out{bank.frameSize, std::uint32_t(tables.size()), {}};
        if (const std::string e = CheckBankShape(out.frames, out.frameSize); !e.empty())
            return Fail(1, e);
        for (const auto& t : tables)
            out.values.insert(out.values.end(), t.begin(), t.end());
        return Save(a, out);
    }
    return WriteOut(a.output, [&](const TextSink& sink) {
        return WriteMipmapTable(sink, tables, bank.frames, levels, bank.frameSize, a.halve);
    });
}

} // namespace

int RunBankCommand(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        std::fputs(BankUsage, stdout);
        return 0;
    }
    const BankArguments a = Parse(args);
    if (!a.error.empty())
        return Fail(2, a.error);
    try {
        if (a.sub == "info")
            return Info(a);
        if (a.sub == "convert")
            return Convert(a);
        if (a.sub == "export")
            return Export(a);
        if (a.sub == "split")
            return Split(a);
        if (a.sub == "morph")
            return MakeMorph(a);
        if (a.sub == "mipmaps")
            return MakeMipmaps(a);
        return Join(a);
    } catch (const std::bad_alloc&) {
        return Fail(1, "not enough memory for the bank");
    }
}
