#pragma once

#include <string>

namespace azuz {

// Texts in designs are bytes in the system code page: Windows-1252 unless AZUZ_CODEPAGE names
// another iconv encoding. Characters the target cannot hold become '?'.
// The name is settled on first use, which the programs make at start: an encoding iconv does
// not know gives Windows-1252 and a warning on stderr.
const std::string& SystemCodePageName();

std::string Utf16ToSystem(const std::u16string& text);
std::string SystemToUtf8(const std::string& text);
std::string Utf8ToSystem(const std::string& text);
std::u32string SystemToUnicode(const std::string& text);

}  // namespace azuz
