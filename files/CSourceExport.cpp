#include "files/CSourceExport.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "files/DataFileWriter.h"

std::int32_t ExportInteger(double y) {
    const double v = std::trunc(y + 0.5);
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(v);
}

namespace {

void Put(OutputBuffer& out, std::string_view text) {
    out.Append(text.data(), text.size());
}

void PutHeader(OutputBuffer& out, std::string_view type, std::size_t count, std::string_view tail) {
    Put(out, "\r\nconst ");
    Put(out, type);
    Put(out, " Waveform[");
    char* p = out.Room();
    p = std::to_chars(p, p + 32, count).ptr;
    out.Advance(p);
    Put(out, "] = {\r\n");
    Put(out, tail);
}

} // namespace

bool ExportCSource(const TextSink& sink, const DataPoint* points, std::size_t count,
                   ExportForm form) {
    OutputBuffer out(sink);
    if (form == ExportForm::Integer) {
        PutHeader(out, "int", count, "\t");
        int k = 0;
        for (std::size_t i = 0; i < count; ++i) {
            char* p = out.Room();
            p = std::to_chars(p, p + 16, ExportInteger(points[i].y)).ptr;
            if (i + 1 == count) {
                *p++ = '\r';
                *p++ = '\n';
            } else if (++k < 10) {
                *p++ = ',';
                *p++ = ' ';
            } else {
                k = 0;
                for (char c : {',', '\r', '\n', '\t'})
                    *p++ = c;
            }
            out.Advance(p);
        }
    } else {
        PutHeader(out, "float", count, "");
        for (std::size_t i = 0; i < count; ++i) {
            char* p = out.Room();
            *p++ = '\t';
            p = FormatFixed6(p, points[i].y);
            for (char c : {',', '\r', '\n'})
                *p++ = c;
            out.Advance(p);
        }
    }
    Put(out, "};\r\n");
    return out.Flush();
}

bool ExportCSource(std::FILE* file, const DataPoint* points, std::size_t count, ExportForm form) {
    return ExportCSource(FileSink(file), points, count, form);
}
