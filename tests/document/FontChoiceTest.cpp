#include <gtest/gtest.h>

#include "FontChoice.h"

namespace azuz {
namespace {

TEST(FontChoice, MulDivRoundsHalfAwayFromZeroAndRefusesWhatDoesNotFit) {
  EXPECT_EQ(MulDiv(120, 96, 720), 16);
  EXPECT_EQ(MulDiv(105, 96, 720), 14);
  EXPECT_EQ(MulDiv(1, 3, 2), 2);    // 1.5
  EXPECT_EQ(MulDiv(-1, 3, 2), -2);  // -1.5
  EXPECT_EQ(MulDiv(1, -3, -2), 2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);  // 1.25
  EXPECT_EQ(MulDiv(7, 1, 0), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 2), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
}

TEST(FontChoice, SizesAndHeightsOnANinetySixDotScreen) {
  EXPECT_EQ(HeightForPointTenths(120), -16);
  EXPECT_EQ(HeightForPointTenths(100), -13);  // 13.33
  EXPECT_EQ(HeightForPointTenths(105), -14);
  EXPECT_EQ(HeightForPointTenths(720), -96);
  EXPECT_EQ(PointTenthsForPixelsPerEm(16), 120);
  EXPECT_EQ(PointTenthsForPixelsPerEm(14), 105);
  EXPECT_EQ(PointTenthsForPixelsPerEm(13), 98);  // 97.5
}

FontRecord Unusual() {
  FontRecord f;
  f.height = 20;  // a cell height: the chooser shows it as an em size
  f.width = 7;
  f.escapement = 900;
  f.orientation = 450;
  f.weight = 600;
  f.italic = 255;
  f.underline = 0;
  f.strikeOut = 3;
  f.charSet = 238;
  f.outPrecision = 7;
  f.clipPrecision = 4;
  f.quality = 3;
  f.pitchAndFamily = 0x31;
  f.SetFaceName("Liberation Mono");
  f.faceName[30] = 'x';  // bytes past the terminator ride along too
  return f;
}

TEST(FontChoice, NothingChangedHandsBackTheRecordItCameWith) {
  const FontRecord record = Unusual();
  const FontChoice shown = ChoiceFromRecord(record, 0x00123456, 18);
  EXPECT_EQ(shown.face, "Liberation Mono");
  EXPECT_TRUE(shown.bold);
  EXPECT_TRUE(shown.italic);
  EXPECT_FALSE(shown.underline);
  EXPECT_TRUE(shown.strikeOut);
  EXPECT_EQ(shown.sizeTenths, 135);
  EXPECT_EQ(shown.colour, 0x00123456u);
  EXPECT_EQ(ApplyFontChoice(record, shown, shown), record);
}

TEST(FontChoice, OnlyTheChangedFieldsAreWritten) {
  const FontRecord record = Unusual();
  const FontChoice shown = ChoiceFromRecord(record, 0, 18);

  FontChoice sized = shown;
  sized.sizeTenths = 120;
  FontRecord expected = record;
  expected.height = -16;
  EXPECT_EQ(ApplyFontChoice(record, shown, sized), expected);

  FontChoice restyled = shown;
  restyled.bold = false;
  restyled.underline = true;
  expected = record;
  expected.weight = 400;
  expected.underline = 1;
  EXPECT_EQ(ApplyFontChoice(record, shown, restyled), expected);

  FontChoice renamed = shown;
  renamed.face = "DejaVu Serif";
  renamed.italic = false;
  renamed.strikeOut = false;
  const FontRecord out = ApplyFontChoice(record, shown, renamed);
  EXPECT_EQ(out.FaceName(), "DejaVu Serif");
  EXPECT_EQ(out.faceName[30], '\0');
  EXPECT_EQ(out.italic, 0);
  EXPECT_EQ(out.strikeOut, 0);
  EXPECT_EQ(out.weight, 600);
  EXPECT_EQ(out.charSet, 238);
  EXPECT_EQ(out.pitchAndFamily, 0x31);
  EXPECT_EQ(out.escapement, 900);
  EXPECT_EQ(out.height, 20);

  FontChoice bolder = ChoiceFromRecord(FontRecord{}, 0, 14);
  FontChoice chosen = bolder;
  chosen.bold = true;
  EXPECT_EQ(ApplyFontChoice(FontRecord{}, bolder, chosen).weight, 700);
}

}  // namespace
}  // namespace azuz
