#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace azuz::gif {

// Checks an image's LZW code stream (its sub-blocks joined) before giflib decodes it: giflib
// quietly makes something of codes that name no table entry and of data that ends early,
// which every other reader refuses. True when the codes give all `pixels` pixels, each code
// naming a literal, an entry already made or the one being made; codes after the last pixel
// are not looked at, as giflib does not read them either.
bool CheckGifLzw(int minimumCodeSize, std::span<const std::uint8_t> data, std::int64_t pixels,
                 std::string& why);

}  // namespace azuz::gif
