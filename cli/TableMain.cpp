// tarvelin-table: a waveform text file as a C table, for Makefiles and CI.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "cli/BankCommand.h"
#include "cli/TableAnalyse.h"
#include "cli/TableArguments.h"
#include "files/CSourceExport.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/SafeWrite.h"
#include "files/TableExport.h"
#include "files/TableReader.h"
#include "wave/WavTable.h"

namespace {

constexpr const char* Usage =
    "Usage: tarvelin-table export [options] INPUT.txt [-o OUT.h]\n"
    "  or:  tarvelin-table verify OUT [options] INPUT.txt\n"
    "  or:  tarvelin-table analyse [--type T|--width B [--signed]] [--scale S] [--json] INPUT.txt\n"
    "  or:  tarvelin-table analyse [options] --spectrum FILE.csv INPUT.txt\n"
    "  or:  tarvelin-table bank info|convert|export|split|join ... (see bank --help)\n"
    "Writes the waveform of INPUT.txt (one value a line, as Tarvelin saves it) as a C table,\n"
    "or in another form; verify reads a written table back and says whether every entry is\n"
    "what the same options give from INPUT.txt (exit 0) or which is not (exit 1).\n"
    "analyse prints the figures of the waveform taken as one period (dc, fundamental,\n"
    "phase_deg, rms, peak, crest, thd_percent, thd_db, sinad_db, snr_db, sfdr_db, seam,\n"
    "max_step), one \"name: value\" a line or, with --json, one JSON object; with --type,\n"
    "--width or --scale they describe the table as stored, with error_max_lsb,\n"
    "error_rms_lsb and enob besides; --spectrum writes each harmonic's magnitude (dB below\n"
    "the largest) and phase as CSV.\n"
    "\n"
    "Options:\n"
    "  --form int|float      Tarvelin's Save C Source forms: const int or const float\n"
    "                        Waveform[N]; the options below then do not apply\n"
    "  --type TYPE           int8, uint8, int16, uint16, int32, uint32, float, double,\n"
    "                        q15 or q31 (default int16)\n"
    "  --scale SRC:DST       scale linearly from SRC, \"auto\" (the waveform's own minimum\n"
    "                        and maximum) or MIN:MAX, onto DST, \"full\" (the type's range,\n"
    "                        the default) or MIN:MAX; for example auto:0:4095 (int8 to\n"
    "                        uint32: q15 and q31 map -1..1 onto their range)\n"
    "  --hex                 hexadecimal of the type's width (integer types; a negative\n"
    "                        value as -0x and its magnitude)\n"
    "  --format NAME         c (the default), cpp (constexpr std::array), rust (a static\n"
    "                        array), or words for an FPGA or a ROM: mem and memb ($readmemh,\n"
    "                        $readmemb), coe (Xilinx), mif (Intel), ihex (Intel HEX), bin\n"
    "                        (raw binary), vhdl (a package with a constant array), or wav\n"
    "                        (one cycle that samplers loop; 2048 samples: a wavetable)\n"
    "  --width BITS          the words' width, 1 to 32 (word formats; default 16)\n"
    "  --signed              signed words, two's complement (word formats; unsigned by\n"
    "                        default)\n"
    "  --radix 2|10|16       the numbers of coe and mif (default 16)\n"
    "  --endian little|big   the bytes of a word in bin and ihex (default little)\n"
    "  --base ADDRESS        ihex: the address of the first word (default 0)\n"
    "  --record-bytes 16|32  ihex: data bytes a record (default 16)\n"
    "  --guard-point         the first sample once more at the end (N + 1 entries)\n"
    "  --quarter-wave        only the first N/4 + 1 samples q, where they give back every\n"
    "                        entry t exactly: t[i] = t[N/2 - i] = q[i] for i <= N/4,\n"
    "                        t[N/2 + i] = C - t[i], C = t[0] + t[N/2] (in the comment)\n"
    "  --rate HZ             wav: the sample rate (default 48000)\n"
    "  --sample-format F     wav: pcm8, pcm16 (the default), pcm24, pcm32 or float; PCM\n"
    "                        holds -1..1 at full scale, as Import reads it, unless scaled\n"
    "  --wavetable           wav: resampled to 2048 samples (band-limited, as a cycle), the\n"
    "                        frame of a wavetable synth, with its clm chunk\n"
    "  --vhdl-type T         vhdl: std_logic_vector (the default), signed, unsigned or\n"
    "                        integer elements\n"
    "  --per-line N          values per line (default 8)\n"
    "  --name NAME           the array's name (default Table)\n"
    "  --before TEXT         text before the type (default \"const\")\n"
    "  --after TEXT          text after the name, such as PROGMEM\n"
    "  --guard NAME          a header guard\n"
    "  --length-macro NAME   a macro holding the table's length\n"
    "  --no-stdint           no #include <stdint.h>\n"
    "  --eol lf|crlf         line ends (default lf)\n"
    "  -o, --output FILE     write FILE instead of standard output; on failure it is left\n"
    "                        as it was\n"
    "  -h, --help            this text\n"
    "      --version         the version\n"
    "\n"
    "Exit status: 0 written (verify: every entry as given), 1 the input could not be read or\n"
    "the output not written (verify: an entry differs), 2 a wrong command line.\n";

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "tarvelin-table: %s\n", message.c_str());
    if (status == 2)
        std::fprintf(stderr, "Try 'tarvelin-table --help'.\n");
    return status;
}

std::string Entry(const TableEntries& e, std::size_t i, bool hex) {
    if (!e.values.empty()) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", e.values[i]);
        return text;
    }
    char text[40];
    std::snprintf(text, sizeof text, hex ? "0x%llX" : "%lld", (long long)e.words[i]);
    return text;
}

// The bytes of an ordinary file; else errno's reason (a folder, a device, no permission).
int ReadWholeFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat st {};
    int error = ::fstat(fd, &st) != 0  ? errno
                : S_ISDIR(st.st_mode)  ? EISDIR
                : !S_ISREG(st.st_mode) ? EINVAL
                                       : 0;
    char block[1 << 16];
    for (ssize_t got; !error && (got = ::read(fd, block, sizeof block)) != 0;) {
        if (got < 0 && errno != EINTR)
            error = errno;
        else if (got > 0)
            bytes.append(block, std::size_t(got));
    }
    ::close(fd);
    return error;
}

// Reads the written file back and compares every entry with what the options give now.
int Verify(const TableArguments& parsed, const DataFile& file) {
    std::string written;
    if (const int error = ReadWholeFile(parsed.checked, written))
        return Fail(1, "cannot read " + parsed.checked + ": " +
                           (error == EINVAL ? "not a regular file" : std::strerror(error)));
    std::string expected;
    if (!WriteTableForm(StringSink(expected), file.points.get(), file.count, parsed.options))
        return Fail(2, PlanTable(file.points.get(), file.count, parsed.options).error);
    const TableEntries want = ReadTableForm(expected, parsed.options);
    const TableEntries got = ReadTableForm(written, parsed.options);
    if (!got.error.empty())
        return Fail(1, parsed.checked + " cannot be read as " +
                           TableFormatOption(parsed.options.format) + ": " + got.error);
    const std::size_t wanted = want.words.size() + want.values.size();
    const std::size_t held = got.words.size() + got.values.size();
    const bool hex = IsWordFormat(parsed.options.format);
    for (std::size_t i = 0; i < std::min(wanted, held); ++i) {
        const bool same = want.values.empty()
                              ? got.words[i] == want.words[i]
                              : std::memcmp(&got.values[i], &want.values[i], sizeof(double)) == 0;
        if (!same)
            return Fail(1, parsed.checked + ": entry " + std::to_string(i) + " is " +
                               Entry(got, i, hex) + ", the waveform gives " + Entry(want, i, hex));
    }
    if (held != wanted)
        return Fail(1, parsed.checked + " holds " + std::to_string(held) +
                           " entries, the waveform gives " + std::to_string(wanted));
    std::printf("%s holds every one of the %zu entries %s gives\n", parsed.checked.c_str(), wanted,
                parsed.input.c_str());
    return 0;
}

int Analyse(const TableArguments& parsed, const DataFile& file) {
    if (file.count == 0)
        return Fail(1, parsed.input + " holds no samples");
    try {
        const AnalysedTable analysed = AnalyseForArguments(file.points.get(), file.count, parsed);
        if (!analysed.error.empty())
            return Fail(2, analysed.error);
        const std::string text = AnalysisText(analysed, parsed.json);
        if (!parsed.spectrumPath.empty()) {
            const std::string csv = SpectrumCsv(analysed.spectrum);
            WriteFileSafely(parsed.spectrumPath, [&](std::FILE* f) {
                return std::fwrite(csv.data(), 1, csv.size(), f) == csv.size();
            });
        }
        if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
            return Fail(1, std::string("cannot write the output: ") + std::strerror(errno));
    } catch (const std::bad_alloc&) {
        return Fail(1, "not enough memory to analyse " + parsed.input);
    } catch (const FileNotCreated&) {
        return Fail(1, "cannot create " + parsed.spectrumPath);
    } catch (const SafeWriteError& e) {
        return Fail(1, "cannot write " + parsed.spectrumPath + ": " + std::strerror(e.error));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "bank")
        return RunBankCommand({args.begin() + 1, args.end()});
    TableArguments parsed = ParseTableArguments(args);
    if (parsed.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (parsed.version) {
        std::puts("tarvelin-table 1.7");
        return 0;
    }
    if (!parsed.error.empty())
        return Fail(2, parsed.error);

    struct stat st {};
    if (::stat(parsed.input.c_str(), &st) != 0)
        return Fail(1, "cannot read " + parsed.input + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) // a folder, a pipe that may never end, a device that never does
        return Fail(1, "cannot read " + parsed.input + ": not a regular file");
    DataFile file;
    try {
        file = ReadDataFile(parsed.input);
    } catch (const DataFileReadError& e) {
        return Fail(1, "cannot read " + parsed.input + ": " + std::strerror(e.error));
    } catch (const DataFileChanged& e) {
        return Fail(1, "cannot read " + parsed.input + ": " + e.what());
    } catch (const std::bad_alloc&) {
        return Fail(1, "not enough memory for the samples of " + parsed.input);
    }
    if (file.odd.count > 0) // read by the file's rule, but never silently
        std::fprintf(stderr, "tarvelin-table: %s: %s\n", parsed.input.c_str(),
                     OddLinesText(file.odd).c_str());
    if (parsed.analyse)
        return Analyse(parsed, file);
    if (!parsed.form && file.count == 0)
        return Fail(1,
                    parsed.input + " holds no samples. " + EmptyTableError(parsed.options.format));
    if (!parsed.form) {
        const TablePlan plan = PlanTable(file.points.get(), file.count, parsed.options);
        if (!plan.error.empty())
            return Fail(2, plan.error);
        if (plan.saturated)
            std::fprintf(stderr, "tarvelin-table: %zu values held at the limits\n", plan.saturated);
        if (!plan.warning.empty() && !parsed.verify)
            std::fprintf(stderr, "tarvelin-table: %s\n", plan.warning.c_str());
    }
    if (parsed.verify)
        return Verify(parsed, file);
    auto write = [&](const TextSink& sink) {
        return parsed.form ? ExportCSource(sink, file.points.get(), file.count, *parsed.form)
                           : WriteTableForm(sink, file.points.get(), file.count, parsed.options);
    };
    if (parsed.output.empty()) {
        if (!write(FileSink(stdout)) || std::fflush(stdout) != 0)
            return Fail(1, std::string("cannot write the output: ") + std::strerror(errno));
        return 0;
    }
    try {
        WriteFileSafely(parsed.output, [&](std::FILE* f) { return write(FileSink(f)); });
    } catch (const FileNotCreated&) {
        return Fail(1, "cannot create " + parsed.output);
    } catch (const SafeWriteError& e) {
        return Fail(1, "cannot write " + parsed.output + ": " + std::strerror(e.error));
    }
    return 0;
}
