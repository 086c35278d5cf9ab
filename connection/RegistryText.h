#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace azuz {

// UTF-16LE bytes to UTF-8; unpaired surrogates become U+FFFD and an odd last byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);
// UTF-8 to UTF-16LE bytes; a byte that starts no valid sequence becomes U+FFFD.
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text);

}  // namespace azuz
