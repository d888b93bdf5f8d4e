// The waveform operations that take what users type or bring: generator expressions, text
// and pasted numbers, sound files.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "files/NumberScanner.h"
#include "tests/fuzz/FuzzTargets.h"

#include "files/bank/FrameSizeChunks.h"
#include "tests/fuzz/MemoryFile.h"
#include "wave/BankFile.h"
#include "wave/Generators.h"
#include "wave/Import.h"

void FuzzExpression(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return;
    GeneratorOptions o;
    o.shape = Shape::Expression;
    o.add = data[0] & 1;
    const std::size_t count = 1 + (std::size_t(data[1]) | std::size_t(data[2] & 0x0F) << 8);
    o.expression.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
    std::vector<DataPoint> current(count / 2 + 1);
    for (std::size_t i = 0; i < current.size(); ++i)
        current[i] = {double(i), std::sin(double(i))};
    const GeneratorResult r = Generate(o, count, current.data(), current.size());
    if (!r.error.empty()) {
        if (!r.points.empty())
            std::abort(); // a refusal changes nothing
        return;
    }
    if (r.points.size() != count)
        std::abort();
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(r.points[i].y) || r.points[i].x != double(i))
            std::abort();
}

namespace {

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A pasted token as the data file's scanner reads it: the same bits.
bool ScannerAgrees(std::string_view token, double value) {
    if (token.size() >= 2 && token.front() == '"' && token.back() == '"')
        token = token.substr(1, token.size() - 2);
    return Same(NumberScanner::Scan(token.data(), token.data() + token.size()), value);
}

} // namespace

// One byte of options, then the text: a delimited column, and the same text pasted.
void FuzzImport(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    DelimitedFormat f;
    f.column = 1 + (data[0] & 3);
    f.delimiter = ",;\t "[(data[0] >> 2) & 3];
    f.skip = (data[0] >> 4) & 3;
    f.decimalComma = (data[0] & 0x40) && f.delimiter != ',';
    for (const ImportResult& r : {ImportDelimited(text, f), ImportPasted(text)}) {
        if (!r.error.empty() && !r.values.empty())
            std::abort();
        for (double v : r.values)
            if (!std::isfinite(v))
                std::abort();
    }
    // Every pasted number is what the data file would read from the same token.
    const ImportResult pasted = ImportPasted(text);
    if (!pasted.error.empty())
        return;
    std::string_view rest(text);
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    std::size_t k = 0;
    for (std::size_t i = 0; i < rest.size();) {
        const std::size_t at = rest.find_first_not_of(" \t\r\n,;", i);
        if (at == std::string_view::npos)
            break;
        const std::size_t end = std::min(rest.find_first_of(" \t\r\n,;", at), rest.size());
        if (k >= pasted.values.size() ||
            !ScannerAgrees(rest.substr(at, end - at), pasted.values[k]))
            std::abort();
        ++k;
        i = end;
    }
    if (k != pasted.values.size())
        std::abort();
}

// The bytes as a sound file, read through its path as Import reads any file.
void FuzzWav(const std::uint8_t* data, std::size_t size) {
    const MemoryFile memory(data, size);
    if (!memory.Made())
        return;
    const std::string path = memory.Path();
    for (bool mix : {false, true}) {
        const ImportResult r = ImportWav(path, mix);
        if (!r.error.empty() && !r.values.empty())
            std::abort();
        for (double v : r.values)
            if (!std::isfinite(v))
                std::abort();
    }
}

// The bytes as a bank, read as Open Bank reads any file: a WAV and its chunks, a .wt, a text
// bank. Read or refused, never a bank whose frames do not add up.
void FuzzBank(const std::uint8_t* data, std::size_t size) {
    const MemoryFile memory(data, size);
    if (!memory.Made())
        return;
    for (const BankReadOptions options : {BankReadOptions{}, BankReadOptions{true, 256}}) {
        BankFileRead r = ReadBankFile(memory.Path(), options);
        if (!r.error.empty())
            continue;
        if (r.frameSizeFrom == "guess" && r.bank.frameSize)
            SettleFrameSize(r, r.bank.frameSize);
        if (r.error.empty() && r.frameSizeFrom != "guess" &&
            (std::uint64_t(r.bank.frames) * r.bank.frameSize != r.bank.values.size() ||
             !CheckBankShape(r.bank.frames, r.bank.frameSize).empty()))
            std::abort();
        for (double v : r.bank.values)
            if (!std::isfinite(v))
                std::abort();
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const FrameSizeHint h = ClmHint(text);
        h.error.empty() && h.frameSize && (h.frameSize < 2 || h.frameSize > 9999))
        std::abort();
}
