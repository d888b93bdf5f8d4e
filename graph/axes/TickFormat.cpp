#include "graph/axes/TickFormat.h"

#include <cstdio>
#include <cstring>

#include "graph/axes/CLocale.h"

namespace {

constexpr int MaxField = 999; // widths and precisions beyond this are not formats

bool IsConversion(char c) {
    return c && std::strchr("fFeEgGaA", c) != nullptr;
}

// Length of a conversion "%[flags][width][.precision][l]c" at s (s[0] == '%'), or 0.
std::size_t ConversionLength(const char* s) {
    std::size_t i = 1;
    while (s[i] && std::strchr("-+ #0", s[i]))
        ++i;
    auto number = [&] {
        int value = 0;
        while (s[i] >= '0' && s[i] <= '9') {
            value = value * 10 + (s[i++] - '0');
            if (value > MaxField)
                return false;
        }
        return true;
    };
    if (!number())
        return 0;
    if (s[i] == '.') {
        ++i;
        if (!number())
            return 0;
    }
    if (s[i] == 'l')
        ++i;
    return IsConversion(s[i]) ? i + 1 : 0;
}

} // namespace

std::string FormatTickValue(const std::string& format, double value) {
    std::string out;
    bool used = false;
    const char* s = format.c_str();
    const char* end = s + format.size();
    while (s < end) {
        if (*s != '%') {
            out += *s++;
            continue;
        }
        if (s[1] == '%') {
            out += '%';
            s += 2;
            continue;
        }
        const std::size_t n = used ? 0 : ConversionLength(s);
        if (n == 0) {
            out += *s++;
            continue;
        }
        std::string conversion(s, n);
        if (conversion[n - 2] == 'l') // "%lf" is "%f" for a double
            conversion.erase(n - 2, 1);
        char buffer[2 * MaxField + 400];
        CLocaleScope c;
        const int written = std::snprintf(buffer, sizeof buffer, conversion.c_str(), value);
        if (written > 0)
            out.append(buffer, std::size_t(std::min<int>(written, int(sizeof buffer) - 1)));
        used = true;
        s += n;
    }
    return out;
}
