#include "wave/BankFile.h"

#include "files/MemoryGate.h"
#include "files/bank/CsvBank.h"
#include "files/bank/FrameSizeChunks.h"
#include "files/bank/RiffLayout.h"
#include "files/bank/WtFile.h"
#include "wave/Import.h"

#include <fstream>
#include <iterator>
#include <sndfile.h>
#include <vector>

namespace {

std::string SampleFormatName(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return "pcm8";
    case SF_FORMAT_PCM_16:
        return "pcm16";
    case SF_FORMAT_PCM_24:
        return "pcm24";
    case SF_FORMAT_PCM_32:
        return "pcm32";
    case SF_FORMAT_FLOAT:
        return "float32";
    case SF_FORMAT_DOUBLE:
        return "float64";
    default:
        return "other";
    }
}

// The whole file, through the memory gate.
std::string ReadWhole(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + " cannot be read.";
        return {};
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0);
    AskForMemory(std::uint64_t(std::max<std::streamoff>(size, 0)));
    std::string bytes(std::size_t(std::max<std::streamoff>(size, 0)), '\0');
    in.read(bytes.data(), size);
    if (in.gcount() != size)
        error = path + " could not be read to its end.";
    return bytes;
}

std::string Head(const std::string& path) {
    char head[4] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(head, 4);
    return std::string(head, std::size_t(in.gcount()));
}

// A chunk's body through libsndfile's chunk iterator; empty when the file has none.
bool ChunkBody(SNDFILE* file, const char* id, std::string& body) {
    SF_CHUNK_INFO info{};
    std::snprintf(info.id, sizeof info.id, "%s", id);
    info.id_size = 4;
    SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(file, &info);
    if (!it)
        return false;
    SF_CHUNK_INFO got{};
    if (sf_get_chunk_size(it, &got) != SF_ERR_NO_ERROR || got.datalen > (1u << 20))
        return false;
    body.assign(got.datalen, '\0');
    got.data = body.data();
    if (sf_get_chunk_data(it, &got) != SF_ERR_NO_ERROR)
        return false;
    body.resize(got.datalen);
    return true;
}

// Where the sound file's chunks give a frame size: the first that does, in the order synths
// honour them. An error where a chunk that should say is malformed.
FrameSizeHint FromChunks(const std::string& path, std::string& from, std::string& format,
                         int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return {};
    format = SampleFormatName(info.format);
    channels = info.channels;
    FrameSizeHint hint;
    std::string body;
    auto take = [&](FrameSizeHint h, const char* name) {
        if (!h.error.empty() || h.frameSize) {
            hint = h;
            from = name;
            return true;
        }
        return false;
    };
    bool found = (ChunkBody(file, "clm ", body) && take(ClmHint(body), "clm")) ||
                 (ChunkBody(file, "uhWT", body) && take(UhwtHint(body), "uhWT"));
    if (!found) {
        std::uint32_t cues = 0;
        if (sf_command(file, SFC_GET_CUE_COUNT, &cues, sizeof cues) && cues > 1 && cues < 100000) {
            std::vector<char> room(sizeof(SF_CUES) + cues * sizeof(SF_CUE_POINT));
            auto* list = reinterpret_cast<SF_CUES*>(room.data());
            list->cue_count = cues;
            if (sf_command(file, SFC_GET_CUE, list, int(room.size()))) {
                std::vector<std::uint32_t> at;
                for (std::uint32_t i = 0; i < list->cue_count && i < cues; ++i)
                    at.push_back(std::uint32_t(list->cue_points[i].sample_offset));
                if (const std::uint32_t d = RegularCueDistance(at); d) {
                    FrameSizeHint h;
                    h.frameSize = d;
                    found = take(h, "cue");
                }
            }
        }
    }
    if (!found)
        found = (ChunkBody(file, "srge", body) && take(SurgeHint(body, "srge"), "srge")) ||
                (ChunkBody(file, "srgo", body) && take(SurgeHint(body, "srgo"), "srge"));
    if (!found) {
        SF_INSTRUMENT instrument{};
        if (sf_command(file, SFC_GET_INSTRUMENT, &instrument, sizeof instrument) == SF_TRUE)
            take(LoopHint(std::uint32_t(std::max(0, instrument.loop_count)),
                          instrument.loops[0].start, instrument.loops[0].end),
                 "smpl");
    }
    sf_close(file);
    return hint;
}

// Nothing in the file says: WaveEdit's 64 x 256, else frames of 2048 where they fit.
void Guess(BankFileRead& r) {
    const std::size_t total = r.bank.values.size();
    r.frameSizeFrom = "guess";
    if (total == 16384) {
        r.bank.frameSize = 256;
        r.guessReason = "16384 samples and nothing that gives a frame size: 64 frames of 256, "
                        "as WaveEdit writes its banks.";
    } else if (total % 2048 == 0) {
        r.bank.frameSize = 2048;
        r.guessReason = "Nothing in the file gives a frame size; its samples are a multiple of "
                        "2048, the frame size of Serum, Vital and Surge.";
    } else if (total >= MinFrameSize && total <= MaxFrameSize) {
        r.bank.frameSize = std::uint32_t(total);
        r.guessReason = "Nothing in the file gives a frame size: all its samples as one frame.";
    } else {
        r.guessReason = "Nothing in the file gives a frame size, and its " + std::to_string(total) +
                        " samples suggest none.";
    }
}

} // namespace

bool SettleFrameSize(BankFileRead& r, std::uint32_t frameSize) {
    if (const std::string e = CheckFrameSize(r.bank.values.size(), frameSize); !e.empty()) {
        r.error = e;
        return false;
    }
    r.bank.frameSize = frameSize;
    r.bank.frames = std::uint32_t(r.bank.values.size() / frameSize);
    return true;
}

BankFileRead ReadBankFile(const std::string& path, const BankReadOptions& options) {
    BankFileRead r;
    const std::string head = Head(path);
    if (IsWtFile(head)) {
        const std::string bytes = ReadWhole(path, r.error);
        if (!r.error.empty())
            return r;
        WtRead wt = ReadWt(bytes);
        if (!wt.error.empty()) {
            r.error = wt.error;
            return r;
        }
        r.bank = std::move(wt.bank);
        r.frameSizeFrom = "wt";
        r.sampleFormat = wt.int16 ? "pcm16" : "float32";
    } else if (IsSoundFile(path)) {
        const RiffLayout layout = ReadRiffLayout(path);
        if (!layout.error.empty()) {
            r.error = layout.error;
            return r;
        }
        ImportResult read = ImportWav(path, options.mix);
        if (!read.error.empty()) {
            r.error = read.error;
            return r;
        }
        r.shortfall = read.shortfall;
        r.bank.values = std::move(read.values);
        const FrameSizeHint hint = FromChunks(path, r.frameSizeFrom, r.sampleFormat, r.channels);
        if (!hint.error.empty() && !options.frameSize) {
            r.error = hint.error;
            return r;
        }
        r.interpolation = hint.interpolation;
        r.bank.frameSize = hint.frameSize;
        if (!hint.frameSize)
            Guess(r);
    } else {
        const std::string text = ReadWhole(path, r.error);
        if (!r.error.empty())
            return r;
        CsvBankRead csv = ReadCsvBank(text);
        if (!csv.error.empty()) {
            r.error = csv.error;
            return r;
        }
        r.bank = std::move(csv.bank);
        r.frameSizeFrom = "csv";
        r.sampleFormat = "text";
    }
    if (options.frameSize) {
        r.frameSizeFrom = "option";
        r.guessReason.clear();
        SettleFrameSize(r, options.frameSize);
    } else if (r.frameSizeFrom != "guess") {
        SettleFrameSize(r, r.bank.frameSize);
    }
    return r;
}
