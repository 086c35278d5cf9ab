#pragma once

#include <string>

namespace azuz {

// The characters a Text object's bytes stand for. With the default system code page
// (Windows-1252) every byte maps to one character, the five bytes the code page leaves undefined
// included (0x81 -> U+0081, ...), as the Windows text output does; control bytes are kept and
// later draw the missing-glyph box. Another system code page goes through iconv.
std::u32string DecodeTextBytes(const std::string& bytes);

// Windows-1252 alone, byte for byte.
std::u32string DecodeWindows1252(const std::string& bytes);

}  // namespace azuz
