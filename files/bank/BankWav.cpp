#include "files/bank/BankWav.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void PutU16(std::string& s, std::uint32_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8 & 0xFF);
}

void PutU32(std::string& s, std::uint32_t v) {
    PutU16(s, v & 0xFFFF);
    PutU16(s, v >> 16);
}

void PutChunk(std::string& s, const char* id, const std::string& body) {
    s.append(id, 4);
    PutU32(s, std::uint32_t(body.size()));
    s += body;
    if (body.size() & 1)
        s += '\0';
}

// "<!>2048 10000000 wavetable (Tarvelin)" and a NUL: 38 bytes whatever the flag.
std::string ClmText(std::uint32_t frameSize, int interpolation) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04u", unsigned(frameSize));
    std::string text = std::string("<!>") + digits + " " +
                       char('0' + std::clamp(interpolation, 0, 9)) + "0000000 wavetable (Tarvelin)";
    text += '\0';
    return text;
}

} // namespace

std::int16_t Pcm16Of(double y) {
    const double v = std::round(y * 32768.0);
    if (!(v >= -32768.0)) // NaN too
        return v > 0 ? 32767 : -32768;
    return std::int16_t(std::min(v, 32767.0));
}

bool WriteBankWav(const TextSink& sink, const BankValues& bank, const BankWavLayout& layout) {
    const bool pcm = layout.format == BankSampleFormat::Pcm16;
    const std::uint32_t bytesPerSample = pcm ? 2 : 4;
    const std::uint64_t samples = bank.values.size();
    const std::uint64_t dataBytes = samples * bytesPerSample;
    std::string head, fmt, chunks;
    PutU16(fmt, pcm ? 1 : 3); // PCM, IEEE float
    PutU16(fmt, 1);
    PutU32(fmt, std::uint32_t(layout.rate));
    PutU32(fmt, std::uint32_t(layout.rate) * bytesPerSample);
    PutU16(fmt, bytesPerSample);
    PutU16(fmt, bytesPerSample * 8);
    if (!pcm)
        PutU16(fmt, 0); // cbSize: a format other than PCM has one
    PutChunk(chunks, "fmt ", fmt);
    if (!pcm) { // and a fact chunk with its length
        std::string fact;
        PutU32(fact, std::uint32_t(samples));
        PutChunk(chunks, "fact", fact);
    }
    if (layout.frameSizeChunks) {
        if (bank.frameSize <= 9999)
            PutChunk(chunks, "clm ", ClmText(bank.frameSize, layout.interpolation));
        std::string srge;
        PutU32(srge, 1);
        PutU32(srge, bank.frameSize);
        PutChunk(chunks, "srge", srge);
    }
    const std::uint64_t riffSize = 4 + chunks.size() + 8 + dataBytes + (dataBytes & 1);
    if (riffSize > 0xFFFFFFFFu)
        return false;
    head = "RIFF";
    PutU32(head, std::uint32_t(riffSize));
    head += "WAVE";
    head += chunks;
    head += "data";
    PutU32(head, std::uint32_t(dataBytes));
    OutputBuffer out(sink);
    out.Put(head);
    const double* y = bank.values.data();
    constexpr std::size_t Run = 64; // samples a Room: 256 bytes at most
    for (std::uint64_t i = 0; i < samples; i += Run) {
        char* p = out.Room();
        const std::size_t n = std::size_t(std::min<std::uint64_t>(Run, samples - i));
        for (std::size_t k = 0; k < n; ++k, p += bytesPerSample) {
            if (pcm) {
                const std::uint16_t v = std::uint16_t(Pcm16Of(y[i + k]));
                p[0] = char(v & 0xFF);
                p[1] = char(v >> 8);
            } else {
                const float f = float(y[i + k]);
                std::uint32_t bits;
                std::memcpy(&bits, &f, 4);
                for (int b = 0; b < 4; ++b)
                    p[b] = char(bits >> (8 * b) & 0xFF);
            }
        }
        out.Advance(p);
    }
    return out.Flush();
}
