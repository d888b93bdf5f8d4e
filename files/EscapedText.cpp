#include "files/EscapedText.h"

std::string Escaped(std::string_view text, std::size_t most) {
    static const char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < most; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            shown += '\\';
            shown += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            shown += char(c);
        } else {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 15];
        }
    }
    if (text.size() > most)
        shown += "...";
    return shown;
}
