#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Archive.h"
#include "RunAzuz.h"
#include "TestData.h"

namespace azuz {
namespace {

// An empty design whose name is stored as a wide (UTF-16LE) string.
void WriteDesignNamed(const std::string& path, const std::u16string& name) {
  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  writer.WriteU8(0xFF);
  writer.WriteU16(0xFFFE);
  writer.WriteU8(static_cast<std::uint8_t>(name.size()));
  for (const char16_t unit : name) {
    writer.WriteU16(unit);
  }
  for (const std::int32_t field : {100, 0, 50}) {
    writer.WriteI32(field);
  }
  std::ofstream(path, std::ios::binary) << buffer.str();
}

// azuz run with AZUZ_CODEPAGE set to `codePage`, its standard error included.
test::CommandResult InfoWithCodePage(const char* codePage, const test::TempDir& dir) {
  setenv("AZUZ_CODEPAGE", codePage, 1);
  const auto result = test::RunAzuz("info d.bwi", dir.Path().string(), true);
  unsetenv("AZUZ_CODEPAGE");
  return result;
}

TEST(AzuzCodePage, AnUnknownEncodingIsReplacedByWindows1252WithAWarning) {
  test::TempDir dir;
  WriteDesignNamed(dir / "d.bwi", u"Caf\u00e9 \u20ac");
  const auto result = InfoWithCodePage("NO-SUCH-CODEPAGE", dir);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out.rfind("warning: AZUZ_CODEPAGE names the encoding \"NO-SUCH-CODEPAGE\"", 0),
            0u)
      << result.out;
  EXPECT_NE(result.out.find("texts are read and written as WINDOWS-1252"), std::string::npos);
  // The wide name went through Windows-1252, which holds both characters.
  EXPECT_NE(result.out.find("designName: Caf\xC3\xA9 \xE2\x82\xAC\n"), std::string::npos)
      << result.out;
}

TEST(AzuzCodePage, AKnownEncodingIsUsedWithoutAWord) {
  test::TempDir dir;
  WriteDesignNamed(dir / "d.bwi", u"\u65e5\u672c \u20ac");
  const auto result = InfoWithCodePage("CP932", dir);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out.find("warning"), std::string::npos) << result.out;
  // CP932 holds the two ideographs and no euro sign, which becomes '?'.
  EXPECT_NE(result.out.find("designName: \xE6\x97\xA5\xE6\x9C\xAC ?\n"), std::string::npos)
      << result.out;
}

}  // namespace
}  // namespace azuz
