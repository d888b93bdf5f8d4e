#include "tests/fuzz/ReferenceReader.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <stdlib.h>

namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

double NumberAtStart(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r')))
        ++i;
    std::string text;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        text += line[i++];
    bool digits = false, point = false;
    for (; i < line.size(); ++i) {
        if (Digit(line[i]))
            digits = true;
        else if (line[i] == '.' && !point)
            point = true;
        else
            break;
        text += line[i];
    }
    if (!digits)
        return 0.0;
    if (i < line.size() && (line[i] == 'e' || line[i] == 'E' || line[i] == 'd' || line[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < line.size() && (line[j] == '+' || line[j] == '-'))
            exponent += line[j++];
        if (j < line.size() && Digit(line[j])) {
            while (j < line.size() && Digit(line[j]))
                exponent += line[j++];
            text += exponent;
        }
    }
    // Correctly rounded, and with "." whatever the process locale is.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const double v = strtod_l(text.c_str(), nullptr, c);
    if (std::isinf(v))
        return v < 0 ? -DBL_MAX : DBL_MAX;
    return v;
}

} // namespace

std::vector<double> ReferenceRead(const std::string& bytes) {
    std::vector<double> values;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        if (line.empty() || line[0] != '\0')
            values.push_back(NumberAtStart(line));
        start = end + 1;
    }
    return values;
}
