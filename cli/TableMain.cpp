// tarvelin-table: a waveform text file as a C table, for Makefiles and CI.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "cli/TableArguments.h"
#include "files/CSourceExport.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/SafeWrite.h"
#include "files/TableExport.h"
#include "wave/WavTable.h"

namespace {

constexpr const char* Usage =
    "Usage: tarvelin-table export [options] INPUT.txt [-o OUT.h]\n"
    "Writes the waveform of INPUT.txt (one value a line, as Tarvelin saves it) as a C table.\n"
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
    "  --quarter-wave        only the first N/4 + 1 samples, where the rounded waveform has\n"
    "                        quarter-wave symmetry (to one step of the words)\n"
    "  --rate HZ             wav: the sample rate (default 48000)\n"
    "  --sample-format F     wav: pcm8, pcm16 (the default), pcm24, pcm32 or float\n"
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
    "Exit status: 0 written, 1 the input could not be read or the output not written,\n"
    "2 a wrong command line.\n";

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "tarvelin-table: %s\n", message.c_str());
    if (status == 2)
        std::fprintf(stderr, "Try 'tarvelin-table --help'.\n");
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
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
    DataFile file;
    try {
        file = ReadDataFile(parsed.input);
    } catch (const DataFileReadError& e) {
        return Fail(1, "cannot read " + parsed.input + ": " + std::strerror(e.error));
    } catch (const std::bad_alloc&) {
        return Fail(1, "not enough memory for the samples of " + parsed.input);
    }
    if (!parsed.form && file.count == 0)
        return Fail(1, parsed.input + " holds no samples, and C has no empty arrays");
    if (!parsed.form) {
        const TablePlan plan = PlanTable(file.points.get(), file.count, parsed.options);
        if (!plan.error.empty())
            return Fail(2, plan.error);
        if (plan.saturated)
            std::fprintf(stderr, "tarvelin-table: %zu values held at the limits\n", plan.saturated);
    }
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
