#include "files/DataFileWriter.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// "%f" of a value below 2^26 in magnitude: the exact product value × 10^6 is p + e (p the
// rounded product, e its error, found by a fused multiply-add), rounded to a whole number
// ties to even as printf rounds; then the digits. Every comparison below is exact.
char* SmallFixed6(char* out, double value) {
    const double p = value * 1e6;
    const double e = std::fma(value, 1e6, -p);
    double r = std::nearbyint(p);       // ties to even
    const double a = p - r;             // exact: |a| <= 1/2
    if (a + 0.5 == 0 || a - 0.5 == 0) { // p itself a half: e decides, else it is a true tie
        if (e > 0)
            r = a > 0 ? r + 1 : r;
        else if (e < 0)
            r = a < 0 ? r - 1 : r;
    } else if (a > 0 && e > 0.5 - a) {
        r += 1;
    } else if (a < 0 && e < -0.5 - a) {
        r -= 1;
    }
    const std::uint64_t units = std::uint64_t(std::fabs(r));
    if (std::signbit(value)) // printf keeps the sign of a negative value that rounds to 0
        *out++ = '-';
    out = std::to_chars(out, out + 24, units / 1000000).ptr;
    *out++ = '.';
    std::uint64_t fraction = units % 1000000;
    for (int d = 5; d >= 0; --d) {
        out[d] = char('0' + fraction % 10);
        fraction /= 10;
    }
    return out + 6;
}

} // namespace

char* FormatFixed6(char* out, double value) {
    if (std::fabs(value) < 0x1p26)
        return SmallFixed6(out, value);
    if (!std::isfinite(value)) { // printf's words, which to_chars spells the same way but for NaN
        const char* word = std::isinf(value) ? "inf" : "nan";
        if (std::signbit(value))
            *out++ = '-';
        for (const char* w = word; *w; ++w)
            *out++ = *w;
        return out;
    }
    return std::to_chars(out, out + 320, value, std::chars_format::fixed, 6).ptr;
}

TextSink FileSink(std::FILE* file) {
    return [file](const char* text, std::size_t size) {
        return std::fwrite(text, 1, size, file) == size;
    };
}

bool WriteDataFile(const TextSink& sink, const DataPoint* points, std::size_t count) {
    OutputBuffer out(sink);
    for (std::size_t i = 0; i < count; ++i) {
        char* p = FormatFixed6(out.Room(), points[i].y);
        *p++ = '\r';
        *p++ = '\n';
        out.Advance(p);
    }
    return out.Flush();
}

bool WriteDataFile(std::FILE* file, const DataPoint* points, std::size_t count) {
    return WriteDataFile(FileSink(file), points, count);
}
