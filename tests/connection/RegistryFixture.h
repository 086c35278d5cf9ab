#pragma once

#include <fstream>
#include <string>

#include "TestData.h"

namespace azuz::test {

// .reg fixtures written into a temp dir, in the three encodings the store accepts.
enum class RegEncoding { Ansi, Utf8, Utf16 };

inline std::string EncodeRegText(const std::string& utf8, RegEncoding encoding) {
  if (encoding != RegEncoding::Utf16) {
    return utf8;
  }
  // UTF-16LE with a byte order mark; the fixtures keep to the Basic Multilingual Plane.
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    unsigned unit = c;
    if (c >= 0xE0) {
      unit = ((c & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3Fu);
      i += 3;
    } else if (c >= 0xC0) {
      unit = ((c & 0x1Fu) << 6) | (utf8[i + 1] & 0x3Fu);
      i += 2;
    } else {
      ++i;
    }
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

inline std::string WriteRegFile(const TempDir& dir, const std::string& name,
                                const std::string& body, RegEncoding encoding) {
  const std::string header =
      encoding == RegEncoding::Ansi ? "REGEDIT4" : "Windows Registry Editor Version 5.00";
  const std::string path = dir / name;
  std::ofstream(path, std::ios::binary) << EncodeRegText(header + "\r\n\r\n" + body, encoding);
  return path;
}

}  // namespace azuz::test
