#include "files/bank/CsvBank.h"

#include "files/MemoryGate.h"

#include <charconv>
#include <cmath>

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

CsvBankRead ReadCsvBank(const std::string& text) {
    CsvBankRead r;
    std::size_t lineNumber = 0, width = 0;
    std::vector<double>& values = r.bank.values;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const char* p = text.data() + at;
        const char* const last = text.data() + end;
        at = end + 1;
        ++lineNumber;
        while (p < last && Blank(*p))
            ++p;
        if (p == last || *p == '#')
            continue;
        const std::string where = "Line " + std::to_string(lineNumber);
        std::size_t count = 0;
        for (;;) {
            double v;
            const auto [next, ec] = std::from_chars(p, last, v);
            if (ec != std::errc() || !std::isfinite(v)) {
                r.error = where + " holds \"" + std::string(p, std::min(last, p + 20)) +
                          "\" where a number should be.";
                return r;
            }
            GrowAtTheGate(values);
            values.push_back(v);
            ++count;
            p = next;
            bool blanks = false;
            while (p < last && Blank(*p)) {
                ++p;
                blanks = true;
            }
            if (p == last)
                break;
            if (*p == ',' || *p == ';') {
                ++p;
                while (p < last && Blank(*p))
                    ++p;
            } else if (!blanks) {
                r.error = where + " holds \"" + std::string(p, std::min(last, p + 20)) +
                          "\" after a number.";
                return r;
            }
        }
        if (width == 0)
            width = count;
        if (count != width) {
            r.error = where + " holds " + std::to_string(count) + " values, and the first frame " +
                      std::to_string(width) + ": every frame holds as many.";
            return r;
        }
    }
    if (width == 0) {
        r.error = "The text holds no frame.";
        return r;
    }
    if (const std::string e = CheckBankShape(values.size() / width, width); !e.empty()) {
        r.error = e;
        return r;
    }
    r.bank.frameSize = std::uint32_t(width);
    r.bank.frames = std::uint32_t(values.size() / width);
    return r;
}

bool WriteCsvBank(const TextSink& sink, const BankValues& bank) {
    OutputBuffer out(sink);
    const std::size_t n = bank.frameSize;
    for (std::size_t i = 0; i < bank.values.size(); ++i) {
        char* p = out.Room();
        p = std::to_chars(p, p + 32, bank.values[i]).ptr;
        *p++ = (i + 1) % n == 0 ? '\n' : ',';
        out.Advance(p);
    }
    return out.Flush();
}
