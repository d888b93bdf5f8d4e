#include <cstring>
#include <string>

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
}
