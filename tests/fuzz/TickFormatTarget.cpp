#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "files/SignificantDigits.h"
#include "graph/axes/TickFormat.h"
#include "tests/fuzz/FuzzTargets.h"

// Eight bytes of value, then the format text.
void FuzzTickFormat(const std::uint8_t* data, std::size_t size) {
    if (size < 8)
        return;
    double value;
    std::memcpy(&value, data, 8);
    const std::string format(reinterpret_cast<const char*>(data) + 8, size - 8);
    const std::string text = FormatTickValue(format, value);
    if (text.size() > format.size() + 4096) // width and precision are held to three digits
        std::abort();
    // The table's own formatter against the standard one, at the value's bits.
    const int digits = 1 + data[8 % size] % 17;
    char ours[40], theirs[400];
    const std::string_view a(ours, std::size_t(WriteSignificant(ours, value, digits) - ours));
    const std::string_view b(theirs,
                             std::size_t(std::to_chars(theirs, theirs + sizeof theirs, value,
                                                       std::chars_format::general, digits)
                                             .ptr -
                                         theirs));
    if (a != b)
        std::abort();
}
