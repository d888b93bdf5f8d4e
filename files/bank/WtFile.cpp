#include "files/bank/WtFile.h"

#include "files/MemoryGate.h"
#include "files/bank/BankWav.h"

#include <cmath>
#include <cstring>

namespace {

std::uint32_t Le(const std::string& s, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int b = 0; b < bytes; ++b)
        v |= std::uint32_t(std::uint8_t(s[at + b])) << (8 * b);
    return v;
}

bool PowerOfTwo(std::uint64_t n) {
    return n && !(n & (n - 1));
}

} // namespace

bool IsWtFile(const std::string& head) {
    return head.compare(0, 4, "vawt") == 0;
}

WtRead ReadWt(const std::string& bytes) {
    WtRead r;
    if (bytes.size() < 12 || !IsWtFile(bytes)) {
        r.error = "The file is no .wt wavetable: it does not begin with \"vawt\" and its header.";
        return r;
    }
    const std::uint32_t n = Le(bytes, 4, 4), f = Le(bytes, 8, 2), flags = Le(bytes, 10, 2);
    if (n < 2 || n > 4096 || !PowerOfTwo(n)) {
        r.error = "The .wt header gives " + std::to_string(n) +
                  " samples a frame, not a power of two from 2 to 4096.";
        return r;
    }
    if (f < 1 || f > 512) {
        r.error = "The .wt header gives " + std::to_string(f) + " frames, not 1 to 512.";
        return r;
    }
    r.int16 = flags & 4;
    const std::size_t size = r.int16 ? 2 : 4, count = std::size_t(n) * f;
    if (bytes.size() - 12 < count * size) {
        r.error = "The .wt file is cut short: it holds " +
                  std::to_string((bytes.size() - 12) / size) + " of the " + std::to_string(count) +
                  " samples its header promises.";
        return r;
    }
    const double scale = flags & 8 ? 1.0 / 32768 : 1.0 / 16384;
    AskForMemory(count, sizeof(double));
    r.bank.values.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 12 + i * size;
        if (r.int16) {
            r.bank.values[i] = double(std::int16_t(Le(bytes, at, 2))) * scale;
        } else {
            const std::uint32_t bits = Le(bytes, at, 4);
            float v;
            std::memcpy(&v, &bits, 4);
            if (!std::isfinite(v)) {
                r.error =
                    "Sample " + std::to_string(i) + " of the .wt file is not a finite number.";
                r.bank.values.clear();
                return r;
            }
            r.bank.values[i] = v;
        }
    }
    r.bank.frameSize = n;
    r.bank.frames = f;
    return r;
}

std::string CheckWtShape(const BankValues& bank) {
    if (bank.frameSize < 2 || bank.frameSize > 4096 || !PowerOfTwo(bank.frameSize))
        return "A .wt file holds frames of a power of two from 2 to 4096 samples, not " +
               std::to_string(bank.frameSize) + ".";
    if (bank.frames < 1 || bank.frames > 512)
        return "A .wt file holds 1 to 512 frames, not " + std::to_string(bank.frames) + ".";
    return {};
}

bool WriteWt(const TextSink& sink, const BankValues& bank, bool int16) {
    if (!CheckWtShape(bank).empty())
        return false;
    std::string head = "vawt";
    for (int b = 0; b < 4; ++b)
        head += char(bank.frameSize >> (8 * b) & 0xFF);
    head += char(bank.frames & 0xFF);
    head += char(bank.frames >> 8);
    const std::uint16_t flags = int16 ? 4 | 8 : 0; // int16 at full scale, as PCM16 holds it
    head += char(flags);
    head += char(0);
    OutputBuffer out(sink);
    out.Put(head);
    for (double y : bank.values) {
        char* p = out.Room();
        if (int16) {
            const std::uint16_t v = std::uint16_t(Pcm16Of(y));
            *p++ = char(v & 0xFF);
            *p++ = char(v >> 8);
        } else {
            const float f = float(y);
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            for (int b = 0; b < 4; ++b)
                *p++ = char(bits >> (8 * b) & 0xFF);
        }
        out.Advance(p);
    }
    return out.Flush();
}
