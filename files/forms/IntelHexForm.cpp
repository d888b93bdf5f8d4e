// Intel HEX: the binary image in records of 16 or 32 bytes, with extended linear addresses.

#include "files/forms/FormList.h"
#include "files/forms/FormText.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

class CIntelHexForm : public CTableForm {
public:
    std::string CheckSettings(const TableOptions& o) const override {
        if (o.recordBytes != 16 && o.recordBytes != 32)
            return "Intel HEX records hold 16 or 32 data bytes.";
        return {};
    }

    bool Write(OutputBuffer& out, const FormEntries& entries, const TableOptions& o, int lines,
               const std::string&) const override {
        const Words words(entries, WordWidth(o));
        const std::string eol = LineEnd(o);
        const std::size_t bytesPerWord = std::size_t((words.width + 7) / 8);
        const std::uint64_t total = std::uint64_t(words.size()) * bytesPerWord;
        auto byteAt = [&](std::uint64_t k) { // byte k of the image
            const std::uint64_t w = words[std::size_t(k / bytesPerWord)];
            const std::size_t b = std::size_t(k % bytesPerWord);
            const std::size_t shift = o.bigEndian ? bytesPerWord - 1 - b : b;
            return std::uint8_t(w >> (8 * shift));
        };
        auto record = [&](std::uint32_t length, std::uint32_t address, int type, auto data) {
            char* p = out.Room();
            *p++ = ':';
            unsigned sum = length + (address >> 8 & 0xFF) + (address & 0xFF) + unsigned(type);
            p = PutDigits(p, length, 2, 16);
            p = PutDigits(p, address & 0xFFFF, 4, 16);
            p = PutDigits(p, unsigned(type), 2, 16);
            for (std::uint32_t i = 0; i < length; ++i) {
                const std::uint8_t b = data(i);
                sum += b;
                p = PutDigits(p, b, 2, 16);
            }
            p = PutDigits(p, (0x100 - (sum & 0xFF)) & 0xFF, 2, 16);
            out.Advance(PutSeparator(p, true, eol));
        };
        std::uint32_t upper = 0; // the extended linear address in force
        std::uint64_t k = 0;
        int written = 0;
        bool skipped = false;
        const std::uint64_t recordBytes = std::uint64_t(o.recordBytes);
        while (k < total) {
            const std::uint64_t address = std::uint64_t(o.base) + k;
            // A record never crosses a 64 KiB boundary.
            const std::uint64_t room = 0x10000 - (address & 0xFFFF);
            const std::uint64_t length = std::min({recordBytes, total - k, room});
            const bool last = k + length >= total;
            if (lines >= 0 && written >= lines && !last) {
                if (!skipped)
                    out.Put("..." + eol);
                skipped = true;
                k += length;
                continue;
            }
            if (std::uint32_t(address >> 16) != upper) {
                upper = std::uint32_t(address >> 16);
                record(2, 0, 4,
                       [&](std::uint32_t i) { return std::uint8_t(upper >> (i ? 0 : 8)); });
            }
            record(std::uint32_t(length), std::uint32_t(address), 0,
                   [&](std::uint32_t i) { return byteAt(k + i); });
            ++written;
            k += length;
        }
        out.Put(":00000001FF" + eol);
        return true;
    }

    void Read(const std::string& text, const TableOptions& o, TableEntries& r) const override {
        std::map<std::uint64_t, std::uint8_t> image;
        std::uint64_t upper = 0;
        std::size_t line = 0;
        bool ended = false;
        for (std::size_t at = 0; at < text.size(); ++line) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            std::string record = text.substr(at, end - at);
            at = end + 1;
            while (!record.empty() && (record.back() == '\r' || record.back() == ' '))
                record.pop_back();
            if (record.empty())
                continue;
            std::vector<std::uint8_t> b;
            for (std::size_t i = 1; record[0] == ':' && i + 1 < record.size(); i += 2) {
                std::int64_t v;
                if (!ReadDigits(record.substr(i, 2), 16, v))
                    break;
                b.push_back(std::uint8_t(v));
            }
            unsigned sum = 0;
            for (std::uint8_t x : b)
                sum += x;
            if (record[0] != ':' || b.size() < 5 || b.size() != std::size_t(b[0]) + 5 ||
                (sum & 0xFF) != 0) {
                r.error = "record " + std::to_string(line + 1) + " is not a valid Intel HEX record";
                return;
            }
            const int type = b[3];
            const std::uint64_t address = std::uint64_t(b[1]) << 8 | b[2];
            if (type == 0) {
                for (std::size_t i = 0; i < b[0]; ++i)
                    if (!image.emplace(upper + address + i, b[4 + i]).second) {
                        r.error = "record " + std::to_string(line + 1) + " writes an address again";
                        return;
                    }
            } else if (type == 4 && b[0] == 2) {
                upper = (std::uint64_t(b[4]) << 8 | b[5]) << 16;
            } else if (type == 1 && b[0] == 0) {
                if (!OnlyBlanks(std::string_view(text).substr(std::min(at, text.size())))) {
                    r.error = "records follow the end-of-file record";
                    return;
                }
                ended = true;
                break;
            } else {
                r.error =
                    "record " + std::to_string(line + 1) + " is of a type this image has none of";
                return;
            }
        }
        if (!ended) {
            r.error = "no end-of-file record";
            return;
        }
        std::string bytes;
        for (std::uint64_t a = o.base; image.count(a); ++a)
            bytes += char(image[a]);
        if (bytes.size() != image.size()) {
            r.error = "the image does not run without gaps from the base address";
            return;
        }
        ReadImage(bytes, o, r);
    }
};

} // namespace

const CTableForm& IntelHexForm() {
    static const CIntelHexForm form;
    return form;
}
