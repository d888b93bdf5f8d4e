#include "wave/Import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sndfile.h>
#include <string_view>

namespace {

// A whole field as a finite number ("1.5", "-2e3"); surrounding blanks allowed.
bool Number(std::string_view field, double& v) {
    while (!field.empty() &&
           (field.front() == ' ' || field.front() == '\t' || field.front() == '\r'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t' || field.back() == '\r'))
        field.remove_suffix(1);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    return !field.empty() && ec == std::errc() && end == field.data() + field.size() &&
           std::isfinite(v);
}

} // namespace

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
    r.values.reserve(std::size_t(info.frames));
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
            r.values.push_back(v);
        }
    }
    const int error = sf_error(file);
    sf_close(file);
    if (error) {
        r.error = path + " could not be read to its end: " + sf_error_number(error);
        r.values.clear();
    }
    return r;
}

ImportResult ImportDelimited(const std::string& text, std::size_t column, char delimiter,
                             std::size_t skip) {
    ImportResult r;
    if (column < 1) {
        r.error = "Columns are counted from 1.";
        return r;
    }
    std::size_t start = 0, line = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view row(text.data() + start, end - start);
        ++line;
        start = end + 1;
        if (line <= skip || row.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        std::size_t from = 0;
        for (std::size_t c = 1; c < column; ++c) {
            from = row.find(delimiter, from);
            if (from == std::string_view::npos)
                break;
            ++from;
        }
        double v;
        const std::size_t to = from == std::string_view::npos ? from : row.find(delimiter, from);
        if (from == std::string_view::npos ||
            !Number(row.substr(from, to == std::string_view::npos ? row.size() - from : to - from),
                    v)) {
            r.error = "Line " + std::to_string(line) + " has no number in column " +
                      std::to_string(column) + ".";
            r.values.clear();
            return r;
        }
        r.values.push_back(v);
    }
    return r;
}

ImportResult ImportPasted(const std::string& text) {
    ImportResult r;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t at = text.find_first_not_of(" \t\r\n,;", i);
        if (at == std::string::npos)
            break;
        std::size_t end = text.find_first_of(" \t\r\n,;", at);
        if (end == std::string::npos)
            end = text.size();
        double v;
        if (!Number(std::string_view(text).substr(at, end - at), v)) {
            r.error = "Byte " + std::to_string(at + 1) + " begins \"" +
                      text.substr(at, std::min<std::size_t>(end - at, 20)) +
                      "\", which is not a number.";
            r.values.clear();
            return r;
        }
        r.values.push_back(v);
        i = end;
    }
    return r;
}
