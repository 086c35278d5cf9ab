#include "CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace azuz {

namespace {

constexpr const char* kDefaultCodePage = "WINDOWS-1252";

// iconv_open reports failure as (iconv_t)-1.
bool Failed(iconv_t cd) {
  return cd == reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
}

// Whether iconv converts between `name` and every encoding the conversions below use.
bool Usable(const std::string& name) {
  const std::pair<const char*, const char*> pairs[] = {{name.c_str(), "UTF-8"},
                                                       {"UTF-8", name.c_str()},
                                                       {name.c_str(), "UTF-16LE"},
                                                       {"UTF-32LE", name.c_str()}};
  for (const auto& [to, from] : pairs) {
    iconv_t cd = iconv_open(to, from);
    if (Failed(cd)) {
      return false;
    }
    iconv_close(cd);
  }
  return true;
}

// Converts with iconv; an input unit that cannot be converted becomes '?' in the output
// encoding and conversion goes on after it.
std::string Convert(const char* to, const char* from, const char* data, std::size_t size,
                    std::size_t unitSize, const std::string& replacement) {
  iconv_t cd = iconv_open(to, from);
  if (Failed(cd)) {
    // Both names were checked at start; only a lack of resources gets here. Never pass the
    // bytes on as if they were text: every unit becomes the replacement.
    std::string out;
    for (std::size_t i = 0; i < size / unitSize; ++i) {
      out += replacement;
    }
    return out;
  }
  // Closed however the conversion ends: the allocations below may throw.
  const std::unique_ptr<void, int (*)(iconv_t)> closer(cd, iconv_close);
  std::string out;
  out.reserve(size * 2);
  char* in = const_cast<char*>(data);
  std::size_t inLeft = size;
  std::vector<char> buffer(4096);
  while (inLeft > 0) {
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer.data(), buffer.size() - dstLeft);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) {
        continue;
      }
      // EILSEQ or EINVAL (a truncated sequence): replace one unit and go on.
      out += replacement;
      const std::size_t skip = std::min(unitSize, inLeft);
      in += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::string QuestionMarkIn(const char* encoding) {
  return Convert(encoding, "UTF-8", "?", 1, 1, "?");
}

}  // namespace

const std::string& SystemCodePageName() {
  static const std::string name = [] {
    const char* env = std::getenv("AZUZ_CODEPAGE");
    if (env == nullptr || *env == '\0') {
      return std::string(kDefaultCodePage);
    }
    if (!Usable(env)) {
      std::fprintf(stderr,
                   "warning: AZUZ_CODEPAGE names the encoding \"%s\", which iconv does not know; "
                   "texts are read and written as %s\n",
                   env, kDefaultCodePage);
      return std::string(kDefaultCodePage);
    }
    return std::string(env);
  }();
  return name;
}

std::string Utf16ToSystem(const std::u16string& text) {
  static const std::string mark = QuestionMarkIn(SystemCodePageName().c_str());
  return Convert(SystemCodePageName().c_str(), "UTF-16LE",
                 reinterpret_cast<const char*>(text.data()), text.size() * 2, 2, mark);
}

std::string SystemToUtf8(const std::string& text) {
  return Convert("UTF-8", SystemCodePageName().c_str(), text.data(), text.size(), 1, "?");
}

std::string Utf8ToSystem(const std::string& text) {
  static const std::string mark = QuestionMarkIn(SystemCodePageName().c_str());
  return Convert(SystemCodePageName().c_str(), "UTF-8", text.data(), text.size(), 1, mark);
}

std::u32string SystemToUnicode(const std::string& text) {
  const std::string utf32 = Convert("UTF-32LE", SystemCodePageName().c_str(), text.data(),
                                    text.size(), 1, std::string("?\0\0\0", 4));
  std::u32string out(utf32.size() / 4, U'\0');
  std::memcpy(out.data(), utf32.data(), out.size() * 4);
  return out;
}

}  // namespace azuz
