#include "files/DataFileWriter.h"

#include <charconv>
#include <cmath>

char* FormatFixed6(char* out, double value) {
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
