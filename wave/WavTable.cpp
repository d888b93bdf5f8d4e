#include "wave/WavTable.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sndfile.h>
#include <vector>

#include "wave/Resample.h"

namespace {

// A growing file in memory, for libsndfile's virtual input and output.
struct MemoryFile {
    std::string bytes;
    sf_count_t at = 0;
};

SF_VIRTUAL_IO MemoryIo() {
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* f) { return sf_count_t(static_cast<MemoryFile*>(f)->bytes.size()); };
    io.seek = [](sf_count_t offset, int whence, void* f) {
        MemoryFile& m = *static_cast<MemoryFile*>(f);
        const sf_count_t from = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? m.at
                                                     : sf_count_t(m.bytes.size());
        m.at = std::max<sf_count_t>(0, from + offset);
        return m.at;
    };
    io.read = [](void* to, sf_count_t n, void* f) {
        MemoryFile& m = *static_cast<MemoryFile*>(f);
        const sf_count_t size = sf_count_t(m.bytes.size());
        const sf_count_t got = std::clamp<sf_count_t>(size - m.at, 0, n);
        std::memcpy(to, m.bytes.data() + m.at, std::size_t(got));
        m.at += got;
        return got;
    };
    io.write = [](const void* from, sf_count_t n, void* f) {
        MemoryFile& m = *static_cast<MemoryFile*>(f);
        if (std::size_t(m.at + n) > m.bytes.size())
            m.bytes.resize(std::size_t(m.at + n));
        std::memcpy(m.bytes.data() + m.at, from, std::size_t(n));
        m.at += n;
        return n;
    };
    io.tell = [](void* f) { return static_cast<MemoryFile*>(f)->at; };
    return io;
}

// The samples as PCM bytes of `bits`, little-endian, 8-bit ones unsigned (offset by 128):
// scaled, the words of a signed table of the width; else -1..1 at full scale, as Import reads
// PCM back.
bool PcmBytes(const TextSink& raw, const DataPoint* points, std::size_t count,
              const TableOptions& o, int bits) {
    const std::size_t size = std::size_t(bits / 8);
    const char offset = bits == 8 ? char(0x80) : 0;
    if (o.scaled) {
        TableOptions words = o;
        words.format = TableFormat::Bin;
        words.width = bits;
        words.widthSigned = true;
        words.bigEndian = false;
        if (!offset)
            return WriteTable(raw, points, count, words);
        std::string unsigned8;
        return WriteTable(
            [&](const char* bytes, std::size_t n) {
                unsigned8.assign(bytes, n);
                for (char& c : unsigned8)
                    c ^= offset;
                return raw(unsigned8.data(), n);
            },
            points, count, words);
    }
    const double scale = std::ldexp(1.0, bits - 1), lo = -scale, hi = scale - 1;
    const double half = 0.49999999999999994; // added and truncated: halves away from zero
    char block[4096 * 4];
    for (std::size_t i = 0; i < count; i += 4096) {
        const std::size_t n = std::min<std::size_t>(4096, count - i);
        for (std::size_t k = 0; k < n; ++k) {
            const double v = points[i + k].y * scale; // a power of two: exact
            const double r = std::isnan(v) ? 0 : std::trunc(v + std::copysign(half, v)); // silence
            const std::uint32_t w = std::uint32_t(std::int32_t(std::clamp(r, lo, hi)));
            for (std::size_t b = 0; b < size; ++b)
                block[k * size + b] = char(w >> (8 * b));
            block[k * size] ^= offset;
        }
        if (!raw(block, n * size))
            return false;
    }
    return true;
}

} // namespace

bool WavTableBytes(const DataPoint* points, std::size_t count, const TableOptions& o,
                   std::string& bytes, std::string& error) {
    if (o.wavetable && count != 2048 && count > 0) { // one frame of a wavetable synth
        std::vector<double> ys(count);
        for (std::size_t i = 0; i < count; ++i)
            ys[i] = points[i].y;
        const std::vector<double> frame =
            Resample(ys, 2048, ResampleMethod::BandLimited, true, error);
        if (frame.empty())
            return false;
        std::vector<DataPoint> resampled(2048);
        for (std::size_t i = 0; i < 2048; ++i)
            resampled[i] = {double(i), frame[i]};
        TableOptions same = o;
        same.wavetable = false;
        return WavTableBytes(resampled.data(), resampled.size(), same, bytes, error);
    }
    const TablePlan plan = PlanTable(points, count, o, false); // its error alone
    if (!plan.error.empty()) {
        error = plan.error;
        return false;
    }
    const std::size_t entries = WrittenCount(count, o);
    if (entries > 0x7FFFFFFF) {
        error = "A WAV file holds at most 2147483647 frames.";
        return false;
    }
    const bool floating = o.wavFloat;
    const int bits = std::clamp(o.wavBits, 8, 32);
    SF_INFO info{};
    info.samplerate = o.rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | (floating     ? SF_FORMAT_FLOAT
                                   : bits == 8  ? SF_FORMAT_PCM_U8
                                   : bits == 16 ? SF_FORMAT_PCM_16
                                   : bits == 24 ? SF_FORMAT_PCM_24
                                                : SF_FORMAT_PCM_32);
    if (!sf_format_check(&info)) {
        error = "libsndfile cannot write this sample format at this rate.";
        return false;
    }
    MemoryFile file;
    SF_VIRTUAL_IO io = MemoryIo();
    SNDFILE* wav = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!wav) {
        error = std::string("libsndfile cannot write the file: ") + sf_strerror(nullptr);
        return false;
    }
    // The same table gives the same bytes: no PEAK chunk, whose timestamp changes every run.
    sf_command(wav, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    // Chunks go before the samples.
    SF_INSTRUMENT instrument{};
    instrument.basenote = 60;
    instrument.velocity_hi = 127;
    instrument.key_hi = 127;
    instrument.loop_count = 1;
    instrument.loops[0].mode = SF_LOOP_FORWARD;
    instrument.loops[0].start = 0;
    instrument.loops[0].end = std::uint32_t(std::min(count, entries)); // not the guard point
    sf_command(wav, SFC_SET_INSTRUMENT, &instrument, sizeof instrument);
    std::string clm = "<!>2048 10000000 wavetable (Tarvelin)";
    SF_CHUNK_INFO chunk{};
    std::strcpy(chunk.id, "clm ");
    chunk.id_size = 4;
    chunk.data = clm.data();
    chunk.datalen = unsigned(clm.size());
    if (count == 2048)
        sf_set_chunk(wav, &chunk);

    // The samples' bytes as the file holds them, handed over a run at a time: libsndfile
    // writes them as they are and keeps the header.
    file.bytes.reserve(4096 + entries * std::size_t(floating ? 4 : bits / 8));
    auto raw = [wav](const char* bytes, std::size_t n) {
        return sf_write_raw(wav, bytes, sf_count_t(n)) == sf_count_t(n);
    };
    bool ok = true;
    if (floating) {
        float block[4096];
        for (std::size_t i = 0; i < entries && ok; i += 4096) {
            const std::size_t n = std::min<std::size_t>(4096, entries - i);
            for (std::size_t k = 0; k < n; ++k)
                block[k] = float(std::clamp(points[(i + k) < count ? i + k : 0].y, double(-FLT_MAX),
                                            double(FLT_MAX)));
            ok = raw(reinterpret_cast<const char*>(block), n * sizeof(float));
        }
    } else {
        ok = PcmBytes(raw, points, count, o, bits);
    }
    if (sf_close(wav) != 0 || !ok) {
        error = "libsndfile could not write the samples.";
        return false;
    }
    bytes = std::move(file.bytes);
    return true;
}

bool WriteTableForm(const TextSink& sink, const DataPoint* points, std::size_t count,
                    const TableOptions& options) {
    if (options.format != TableFormat::Wav)
        return WriteTable(sink, points, count, options);
    std::string bytes, error;
    return WavTableBytes(points, count, options, bytes, error) && sink(bytes.data(), bytes.size());
}

TableEntries ReadWavEntries(const std::string& bytes, const TableOptions& o) {
    TableEntries r;
    MemoryFile file{bytes, 0};
    SF_VIRTUAL_IO io = MemoryIo();
    SF_INFO info{};
    SNDFILE* wav = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!wav) {
        r.error = std::string("not a sound file libsndfile reads: ") + sf_strerror(nullptr);
        return r;
    }
    const int bits = std::clamp(o.wavBits, 8, 32);
    std::vector<int> ints(4096);
    std::vector<float> floats(4096);
    for (;;) {
        const sf_count_t got = o.wavFloat ? sf_read_float(wav, floats.data(), 4096)
                                          : sf_read_int(wav, ints.data(), 4096);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got; ++i) {
            if (o.wavFloat)
                r.values.push_back(double(floats[std::size_t(i)]));
            else
                r.words.push_back(std::int64_t(ints[std::size_t(i)] >> (32 - bits)));
        }
        if (info.channels != 1) {
            r.error = "the file has more than one channel";
            break;
        }
    }
    sf_close(wav);
    return r;
}

TableEntries ReadTableForm(const std::string& bytes, const TableOptions& o) {
    return o.format == TableFormat::Wav ? ReadWavEntries(bytes, o) : ReadTableEntries(bytes, o);
}
