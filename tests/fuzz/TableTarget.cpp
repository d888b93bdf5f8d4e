// The table writer with options and samples taken from the input: whatever it writes holds
// every sample, each within its type's range, and floating values read back as they were.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/IntegerMap.h"
#include "files/TableExport.h"
#include "tests/fuzz/FuzzTargets.h"
#include "wave/WavTable.h"

namespace {

double Take(const std::uint8_t*& p, const std::uint8_t* end) {
    double v = 0;
    if (end - p >= 8) {
        std::memcpy(&v, p, 8);
        p += 8;
    }
    return std::isfinite(v) ? v : 0;
}

// One value of an integer table as C reads it: decimal, 0x..., -0x... or (-0x7FFFFFFF - 1).
bool IntegerAt(const std::string& text, std::size_t& at, long long& value) {
    while (at < text.size() && std::strchr(" ,\r\n", text[at]))
        ++at;
    if (text.compare(at, 17, "(-0x7FFFFFFF - 1)") == 0) {
        at += 17;
        value = -2147483648ll;
        return true;
    }
    char* end;
    value = std::strtoll(text.c_str() + at, &end, 0);
    if (end == text.c_str() + at)
        return false;
    at = std::size_t(end - text.c_str());
    return true;
}

// The writers' block map against the map one value at a time, on a map of 1 to 32 bits that
// the option bytes make: as the samples are, a fraction of full scale, or scaled from the
// samples' own range onto the type's, either way round.
void CheckBlockMap(const std::vector<DataPoint>& points, const std::uint8_t* data) {
    IntegerMap m;
    const int bits = 1 + data[2] % 32;
    const bool isSigned = data[1] & 4;
    m.lo = isSigned ? -std::ldexp(1.0, bits - 1) : 0;
    m.hi = isSigned ? std::ldexp(1.0, bits - 1) - 1 : std::ldexp(1.0, bits) - 1;
    m.fractional = data[0] & 1;
    m.scale = std::ldexp(1.0, bits - 1);
    m.scaled = (data[1] & 1) && !m.fractional;
    if (m.scaled && !points.empty()) {
        auto [lo, hi] =
            std::minmax_element(points.begin(), points.end(),
                                [](const DataPoint& a, const DataPoint& b) { return a.y < b.y; });
        m.smin = lo->y;
        m.smax = hi->y;
        m.tmin = data[1] & 128 ? m.hi : m.lo;
        m.tmax = data[1] & 128 ? m.lo : m.hi;
        m.Prepare();
        m.lo = std::min(m.tmin, m.tmax);
        m.hi = std::max(m.tmin, m.tmax);
    }
    std::vector<std::int64_t> block(points.size());
    m.Entries(points.data(), points.size(), block.data());
    for (std::size_t i = 0; i < points.size(); ++i) {
        bool held;
        if (block[i] != m(points[i].y, held))
            std::abort();
    }
}

} // namespace

// Three bytes of options, the source and target range when asked for, then the samples.
void FuzzTable(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return;
    const std::uint8_t* p = data + 3;
    const std::uint8_t* end = data + size;
    TableOptions o;
    o.type = TableType(data[0] % 10);
    const std::uint8_t flags = data[1];
    o.scaled = flags & 1;
    o.hex = flags & 2;
    o.crlf = flags & 4;
    o.includeStdint = flags & 8;
    if (flags & 16)
        o.guard = "T_H";
    if (flags & 32)
        o.lengthMacro = "T_LENGTH";
    o.perLine = 1 + data[2] % 40;
    if (flags & 64) {
        o.sourceMin = Take(p, end);
        o.sourceMax = Take(p, end);
    }
    if (flags & 128) {
        o.targetMin = Take(p, end);
        o.targetMax = Take(p, end);
    }
    std::vector<DataPoint> points;
    while (end - p >= 8)
        points.push_back({double(points.size()), Take(p, end)});

    CheckBlockMap(points, data);

    // Every other form from the first byte's tens: words of a width from the third byte.
    const int form = data[0] / 10 % 11;
    if (form > 0) {
        static const TableFormat forms[] = {TableFormat::Cpp,  TableFormat::Rust, TableFormat::Mem,
                                            TableFormat::MemB, TableFormat::Coe,  TableFormat::Mif,
                                            TableFormat::IHex, TableFormat::Bin,  TableFormat::Vhdl,
                                            TableFormat::Wav};
        o.format = forms[form - 1];
        o.width = 1 + data[2] % 32;
        o.wavBits = 8 * (1 + data[2] % 4);
        o.widthSigned = flags & 4;
        o.bigEndian = flags & 8;
        o.radix = (flags & 16) ? 2 : (flags & 32) ? 10 : 16;
        o.base = std::uint32_t(data[2]) << 12;
        o.guardPoint = flags & 2;
        o.wavFloat = o.format == TableFormat::Wav && (flags & 2);
        std::string out;
        const TablePlan plan = PlanTable(points.data(), points.size(), o);
        const bool written = WriteTableForm(StringSink(out), points.data(), points.size(), o);
        if (plan.error.empty() != written)
            std::abort();
        if (written && o.format == TableFormat::Bin) { // every word within its width
            const std::size_t bytes = std::size_t((o.width + 7) / 8);
            if (out.size() != (points.size() + o.guardPoint) * bytes)
                std::abort();
            for (std::size_t i = 0; i < out.size(); i += bytes) {
                std::uint64_t w = 0;
                for (std::size_t b = 0; b < bytes; ++b)
                    w |= std::uint64_t(std::uint8_t(out[i + b]))
                         << (8 * (o.bigEndian ? bytes - 1 - b : b));
                if (w >> o.width)
                    std::abort();
            }
        }
        return;
    }
    const TablePlan plan = PlanTable(points.data(), points.size(), o);
    std::string text;
    const bool written = WriteTable(StringSink(text), points.data(), points.size(), o);
    if (!plan.error.empty()) {
        if (written || !text.empty())
            std::abort(); // a refusal writes nothing
        return;
    }
    if (!written)
        std::abort();
    const std::size_t open = text.find("= {");
    if (open == std::string::npos)
        std::abort();
    std::size_t at = open + 3;
    const bool floating = o.type == TableType::Float || o.type == TableType::Double;
    static const double lows[] = {-128, 0, -32768, 0,      -2147483648.0,
                                  0,    0, 0,      -32768, -2147483648.0};
    static const double highs[] = {127,          255, 32767, 65535, 2147483647,
                                   4294967295.0, 0,   0,     32767, 2147483647};
    for (const DataPoint& point : points) {
        if (floating) {
            while (at < text.size() && std::strchr(" ,\r\n", text[at]))
                ++at;
            char* stop;
            const double read = o.type == TableType::Float
                                    ? double(std::strtof(text.c_str() + at, &stop))
                                    : std::strtod(text.c_str() + at, &stop);
            if (stop == text.c_str() + at)
                std::abort();
            at = std::size_t(stop - text.c_str());
            if (o.type == TableType::Float && *stop == 'f')
                ++at;
            const double want =
                o.type == TableType::Float
                    ? double(float(std::clamp(point.y, double(-FLT_MAX), double(FLT_MAX))))
                    : point.y;
            if (std::memcmp(&read, &want, sizeof read) != 0)
                std::abort();
            continue;
        }
        long long v;
        if (!IntegerAt(text, at, v))
            std::abort();
        const int t = int(o.type);
        if (double(v) < lows[t] || double(v) > highs[t])
            std::abort();
    }
    while (at < text.size() && std::strchr(" ,\r\n", text[at]))
        ++at;
    if (text.compare(at, 2, "};") != 0) // no value more than the samples
        std::abort();
}
