#include "wave/Import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <new>
#include <sndfile.h>
#include <sstream>
#include <string_view>

#include "files/MemoryGate.h"
#include "files/NumberScanner.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole field as a number, read as the data file reads one ("1.5", "-2e3", "1d3");
// surrounding blanks allowed.
bool Number(std::string_view field, double& v) {
    field = Trimmed(field);
    if (field.empty())
        return false;
    NumberScanner scanner;
    if (scanner.Feed(field.data(), field.data() + field.size()) != field.data() + field.size() ||
        !scanner.HasDigits())
        return false;
    v = scanner.Value();
    return true;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    return text;
}

// Field `column` (from 1) of `row`, unquoted, with a decimal comma made a point; false when
// the row has fewer fields or a quote is not closed. `scratch` holds a field that had to be
// rewritten.
bool FieldOf(std::string_view row, const DelimitedFormat& f, std::string& scratch,
             std::string_view& field) {
    const bool blanks = f.delimiter == ' ';
    auto isDelimiter = [&](char c) { return blanks ? c == ' ' || c == '\t' : c == f.delimiter; };
    std::size_t i = 0;
    if (blanks)
        while (i < row.size() && isDelimiter(row[i]))
            ++i;
    for (std::size_t c = 1;; ++c) {
        scratch.clear();
        bool rewritten = false;
        std::size_t start = i;
        while (i < row.size() && IsBlank(row[i]) && !isDelimiter(row[i]))
            ++i;
        if (i < row.size() && row[i] == '"') { // "..." with "" for a quote
            rewritten = true;
            for (++i;; ++i) {
                if (i >= row.size())
                    return false;
                if (row[i] == '"') {
                    if (i + 1 < row.size() && row[i + 1] == '"') {
                        scratch += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                scratch += row[i];
            }
            while (i < row.size() && !isDelimiter(row[i])) { // blanks may follow
                if (!IsBlank(row[i]))
                    scratch += row[i];
                ++i;
            }
        } else {
            start = i;
            while (i < row.size() && !isDelimiter(row[i]))
                ++i;
        }
        if (c == f.column) {
            if (!rewritten)
                scratch.assign(row.substr(start, i - start));
            if (f.decimalComma)
                std::replace(scratch.begin(), scratch.end(), ',', '.');
            field = scratch;
            return true;
        }
        if (i >= row.size())
            return false;
        ++i; // the delimiter
        if (blanks)
            while (i < row.size() && isDelimiter(row[i]))
                ++i;
    }
}

std::string Thousands(unsigned long long n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::uint32_t Little32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// The frames a RIFF WAVE file's data chunk says it holds; 0 when that cannot be told.
std::uint64_t PromisedFrames(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char head[12];
    if (!in.read(reinterpret_cast<char*>(head), 12) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        return 0;
    std::uint32_t blockAlign = 0;
    for (int chunks = 0; chunks < 1000; ++chunks) {
        unsigned char chunk[8];
        if (!in.read(reinterpret_cast<char*>(chunk), 8))
            return 0;
        const std::uint32_t size = Little32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 14) {
            unsigned char fmt[14];
            if (!in.read(reinterpret_cast<char*>(fmt), 14))
                return 0;
            blockAlign = std::uint32_t(fmt[12]) | std::uint32_t(fmt[13]) << 8;
            in.seekg(std::streamoff(size - 14 + (size & 1)), std::ios::cur);
            continue;
        }
        if (std::memcmp(chunk, "data", 4) == 0)
            return blockAlign && size != 0xFFFFFFFFu ? size / blockAlign : 0;
        in.seekg(std::streamoff(size) + (size & 1), std::ios::cur);
    }
    return 0;
}

bool EndsWithAny(std::string name, std::initializer_list<const char*> extensions) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const char* e) { return name.ends_with(e); });
}

} // namespace

bool IsSoundFile(const std::string& path) {
    if (EndsWithAny(path, {".wav", ".wave", ".aif", ".aiff", ".aifc", ".flac", ".ogg", ".oga",
                           ".opus", ".au", ".snd", ".caf", ".w64", ".rf64"}))
        return true;
    if (EndsWithAny(path, {".csv", ".txt", ".tsv", ".dat", ".text"}))
        return false;
    char head[4] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(head, 4))
        return false;
    const std::string_view magic(head, 4);
    for (const char* m : {"RIFF", "RIFX", "RF64", "FORM", "fLaC", "OggS", ".snd", "caff"})
        if (magic == m)
            return true;
    return false;
}

ImportResult ImportWav(const std::string& path, bool mix) {
    ImportResult r;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        r.error = path + " cannot be read as a sound file: " + sf_strerror(nullptr);
        return r;
    }
    if (info.channels < 1 || info.frames < 0 || info.frames > 2147483647) {
        sf_close(file);
        r.error = path + " holds no usable samples.";
        return r;
    }
    sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE); // integers as -1..1
    std::vector<double> frame(std::size_t(info.channels) * 4096);
    try {
        AskForMemory(std::uint64_t(info.frames), sizeof(double));
        r.values.reserve(std::size_t(info.frames));
    } catch (const std::bad_alloc&) {
        sf_close(file);
        throw;
    }
    for (;;) {
        const sf_count_t got = sf_readf_double(file, frame.data(), 4096);
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            const double* c = frame.data() + f * info.channels;
            double v = c[0];
            if (mix) {
                v = 0;
                for (int k = 0; k < info.channels; ++k)
                    v += c[k];
                v /= info.channels;
            }
            if (!std::isfinite(v)) {
                sf_close(file);
                r.error = "Frame " + std::to_string(r.values.size()) + " of " + path +
                          " is not a finite number.";
                r.values.clear();
                return r;
            }
            try { // more than the header said, perhaps
                GrowAtTheGate(r.values);
            } catch (const std::bad_alloc&) {
                sf_close(file);
                throw;
            }
            r.values.push_back(v);
        }
    }
    const int error = sf_error(file);
    sf_close(file);
    if (error) {
        r.error = path + " could not be read to its end: " + sf_error_number(error);
        r.values.clear();
        return r;
    }
    // The library quietly reads what a cut file still holds; the user should know.
    const std::uint64_t promised = PromisedFrames(path);
    if (promised > r.values.size()) {
        const std::string name = path.substr(path.find_last_of('/') + 1);
        r.shortfall = name + " holds " + Thousands(r.values.size()) + " of the " +
                      Thousands(promised) + " frames its header promises.";
    }
    return r;
}

ImportResult ImportDelimited(std::istream& in, const DelimitedFormat& format) {
    ImportResult r;
    if (format.column < 1) {
        r.error = "Columns are counted from 1.";
        return r;
    }
    std::string scratch, read;
    for (std::size_t line = 1; std::getline(in, read); ++line) {
        std::string_view row = line == 1 ? WithoutByteOrderMark(read) : std::string_view(read);
        if (line <= format.skip || Trimmed(row).empty())
            continue;
        if (row.ends_with('\r'))
            row.remove_suffix(1);
        std::string_view field;
        double v;
        if (!FieldOf(row, format, scratch, field) || !Number(field, v)) {
            r.error = "Line " + std::to_string(line) + " has no number in column " +
                      std::to_string(format.column) + ".";
            r.values = {};
            return r;
        }
        GrowAtTheGate(r.values);
        r.values.push_back(v);
    }
    if (in.bad())
        throw std::ios_base::failure("the file could not be read");
    return r;
}

ImportResult ImportDelimited(const std::string& text, const DelimitedFormat& format) {
    std::istringstream in(text);
    return ImportDelimited(in, format);
}

ImportResult ImportPasted(const std::string& whole, bool decimalComma) {
    ImportResult r;
    const std::size_t bom = whole.size() - WithoutByteOrderMark(whole).size();
    const std::string_view text(whole);
    const char* separators = decimalComma ? " \t\r\n;" : " \t\r\n,;";
    std::string scratch;
    std::size_t i = bom;
    while (i < text.size()) {
        const std::size_t at = text.find_first_not_of(separators, i);
        if (at == std::string::npos)
            break;
        std::size_t end = text.find_first_of(separators, at);
        if (end == std::string::npos)
            end = text.size();
        std::string_view token = text.substr(at, end - at);
        if (token.size() >= 2 && token.front() == '"' && token.back() == '"')
            token = token.substr(1, token.size() - 2); // as a spreadsheet copies it
        if (decimalComma && token.find(',') != std::string_view::npos) {
            scratch.assign(token);
            std::replace(scratch.begin(), scratch.end(), ',', '.');
            token = scratch;
        }
        double v;
        if (!Number(token, v)) {
            r.error = "Byte " + std::to_string(at + 1) + " begins \"" +
                      std::string(text.substr(at, std::min<std::size_t>(end - at, 20))) +
                      "\", which is not a number.";
            r.values.clear();
            return r;
        }
        r.values.push_back(v);
        i = end;
    }
    return r;
}

bool ReadsAsDecimalCommas(const std::string& whole) {
    const std::string_view text(whole);
    const auto digit = [&](std::size_t k) {
        return k < text.size() && text[k] >= '0' && text[k] <= '9';
    };
    bool any = false;
    for (std::size_t k = text.find(','); k != std::string_view::npos; k = text.find(',', k + 1)) {
        if (k == 0 || !digit(k - 1) || !digit(k + 1))
            return false;
        // One comma a number: "1,2,3" is a list.
        const std::size_t end = text.find_first_of(" \t\r\n;\",", k + 1);
        if (end != std::string_view::npos && text[end] == ',')
            return false;
        any = true;
    }
    return any;
}
