#include "TextCharacters.h"

#include <strings.h>

#include "CodePage.h"

namespace azuz {

namespace {

// 0x80-0x9F of Windows-1252; the undefined bytes stand for the C1 control of the same value.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsWindows1252(const std::string& name) {
  return strcasecmp(name.c_str(), "WINDOWS-1252") == 0 || strcasecmp(name.c_str(), "CP1252") == 0;
}

}  // namespace

std::u32string DecodeWindows1252(const std::string& bytes) {
  std::u32string out(bytes.size(), U'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char32_t{b};
  }
  return out;
}

std::u32string DecodeTextBytes(const std::string& bytes) {
  if (IsWindows1252(SystemCodePageName())) {
    return DecodeWindows1252(bytes);
  }
  return SystemToUnicode(bytes);
}

}  // namespace azuz
