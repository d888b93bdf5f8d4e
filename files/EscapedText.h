#pragma once
// Bytes of a file shown in a message: printable ASCII as it stands, a quote and a backslash
// escaped, every other byte as \xNN, so that no message carries raw bytes.

#include <cstddef>
#include <string>
#include <string_view>

// At most `most` bytes of `text` are shown; "..." stands for the rest.
std::string Escaped(std::string_view text, std::size_t most = 40);
