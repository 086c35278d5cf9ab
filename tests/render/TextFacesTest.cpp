#include <gtest/gtest.h>

#include <algorithm>

#include "CodePage.h"
#include "FontMatcher.h"
#include "TextFaces.h"
#include "TextHelpers.h"

namespace azuz {
namespace {

// What the font chooser offers must be what the renderer then draws with.
TEST(TextFaces, EveryListedFaceIsMatchedAsItself) {
  const std::vector<std::string> names = TextFaceNames();
  ASSERT_FALSE(names.empty()) << "no scalable fonts installed";
  EXPECT_NE(std::find(names.begin(), names.end(), "Liberation Sans"), names.end());
  for (std::size_t n = 1; n < names.size(); ++n) {
    EXPECT_LT(AsciiLower(names[n - 1]), AsciiLower(names[n])) << "out of order or repeated";
  }
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  {
    FontMatcher matcher(library);
    for (const std::string& name : names) {
      FontRecord record;
      record.SetFaceName(Utf8ToSystem(name));
      record.pitchAndFamily = 0x31;  // a default would be a mono face: it must not be needed
      const FaceChoice choice = matcher.Match(record);
      ASSERT_FALSE(choice.file.empty()) << name;
      FT_Face face = nullptr;
      ASSERT_EQ(FT_New_Face(library, choice.file.c_str(), choice.index, &face), 0) << name;
      EXPECT_EQ(FontMatcher::FamilyOf(face), name) << choice.file;
      EXPECT_TRUE(FT_IS_SCALABLE(face)) << choice.file;
      FT_Done_Face(face);
    }
  }
  FT_Done_FreeType(library);
}

TEST(TextFaces, PixelsPerEmFollowTheRecordHeight) {
  FontRecord record;
  EXPECT_EQ(TextPixelsPerEm(record), 14);  // height 0 is a 16-dot cell
  record.height = -16;
  EXPECT_EQ(TextPixelsPerEm(record), 16);
  record.height = 24;
  EXPECT_EQ(TextPixelsPerEm(record), 21);
}

}  // namespace
}  // namespace azuz
