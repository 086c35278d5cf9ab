#include <gtest/gtest.h>

#include <cstring>

#include "CORVELIXImageToolDoc.h"
#include "ModelName.h"

namespace azuz {
namespace {

struct Rect {
  std::int32_t l, t, r, b;
  bool operator==(const Rect&) const = default;
};
Rect RectOf(const DrawObject& o) {
  return {o.left, o.top, o.right, o.bottom};
}

TEST(NewDocument, PageWidthFollowsTheModelName) {
  const std::string saved = CurrentModelName();
  for (const auto& [model, width] : std::vector<std::pair<std::string, int>>{
           {"QPT-L710", 512}, {"QPT-L712", 576}, {"qpt-l710", 576}, {"", 576}}) {
    SetCurrentModelName(model);
    CORVELIXImageToolDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.pageWidth, width) << model;
    EXPECT_EQ(doc.pageHeight, 330);
  }
  SetCurrentModelName(saved);
}

TEST(NewDocument, StartsWithTheDocumentedValues) {
  CORVELIXImageToolDoc doc;
  EXPECT_EQ(doc.fadeLevel, 50);
  EXPECT_EQ(doc.designName, "ORVELIX Watermark");
  EXPECT_EQ(doc.fileTitle, "New");
  EXPECT_EQ(doc.filePath, "NONE");
  EXPECT_EQ(doc.headerValue, 100);
  EXPECT_EQ(doc.selectedObject, nullptr);

  const DrawObject o;
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 100, 100}));
  EXPECT_EQ(o.rotation, -1);
  EXPECT_EQ(o.penWidth, 1);
  EXPECT_EQ(o.penColour, kNoColour);
  EXPECT_EQ(o.fillColour, kNoColour);
  EXPECT_EQ(o.textColour, 0u);
  EXPECT_EQ(o.font.FaceName(), "Arial");
  EXPECT_EQ(o.font.weight, 400);
  EXPECT_EQ(o.font.charSet, 1);
  EXPECT_EQ(o.font.outPrecision, 2);
  EXPECT_EQ(o.font.clipPrecision, 1);
}

TEST(FindOrCreateObject, NegativeIndexMakesAnUnlistedObjectTheCallerLists) {
  CORVELIXImageToolDoc doc;
  DrawObject* first = doc.FindOrCreateObject(-1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(doc.ObjectCount(), 0u);
  doc.InsertAtHead(first);
  DrawObject* second = doc.FindOrCreateObject(-1);
  doc.InsertAtHead(second);
  EXPECT_EQ(doc.FindOrCreateObject(0), second);  // the most recently added is the head
  EXPECT_EQ(doc.FindOrCreateObject(1), first);
  EXPECT_EQ(doc.FindOrCreateObject(2), nullptr);  // count objects: none at index count
  EXPECT_EQ(doc.IndexOf(first), 1);
}

TEST(FindOrCreateObject, DestroyingAnUnlistedObjectLeavesTheListAlone) {
  CORVELIXImageToolDoc doc;
  doc.InsertAtHead(doc.FindOrCreateObject(-1));
  DrawObject* dropped = doc.FindOrCreateObject(-1);
  doc.DestroyObject(dropped);
  EXPECT_EQ(doc.ObjectCount(), 1u);
}

TEST(DeleteAllObjects, EmptiesListClearsSelectionKeepsPageAndRedraws) {
  CORVELIXImageToolDoc doc;
  int redraws = 0;
  doc.RedrawPage = [&] { ++redraws; };
  for (int i = 0; i < 3; ++i) {
    doc.InsertAtHead(doc.FindOrCreateObject(-1));
  }
  doc.selectedObject = doc.FindOrCreateObject(1);
  doc.fadeLevel = 70;
  doc.pageWidth = 576;
  doc.DeleteAllObjects();
  EXPECT_EQ(doc.ObjectCount(), 0u);
  EXPECT_EQ(doc.selectedObject, nullptr);
  EXPECT_EQ(doc.fadeLevel, 70);
  EXPECT_EQ(doc.pageWidth, 576);
  EXPECT_EQ(redraws, 1);
}

TEST(SetText, NewTextTakesItsBoxFromLengthAndPointSize) {
  DrawObject upright;
  upright.SetText("TEXT", FontRecord{}, 0, 0, 10);
  EXPECT_EQ(RectOf(upright), (Rect{0, 0, 140, 150}));
  EXPECT_EQ(upright.kind, 1);

  DrawObject turned;
  turned.SetText("TEXT", FontRecord{}, 0, 1, 10);
  EXPECT_EQ(RectOf(turned), (Rect{0, 0, 150, 140}));

  DrawObject upsideDown;
  upsideDown.SetText("TEXT", FontRecord{}, 0, 3, 10);
  EXPECT_EQ(RectOf(upsideDown), (Rect{0, 0, 140, 150}));
}

TEST(SetText, BoxSwapsOnlyBetweenUprightAndTurnedGroups) {
  DrawObject o;
  o.SetText("TEXT", FontRecord{}, 0, 0, 10);
  o.SetText("TEXT", FontRecord{}, 0, 2, 10);
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 150, 140}));
  o.SetText("TEXT", FontRecord{}, 0, 1, 10);  // turned to turned: unchanged
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 150, 140}));
  o.SetText("TEXT", FontRecord{}, 0, 0, 10);
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 140, 150}));
  o.SetText("A much longer text than before", FontRecord{}, 0, 3, 10);
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 140, 150}));
  EXPECT_EQ(o.rotation, 3);
}

TEST(SetText, SwapUsesTheNewTextsLength) {
  DrawObject o;
  o.left = 5;
  o.top = 7;
  o.SetText("AB", FontRecord{}, 0, 0, 12);  // e = 24
  EXPECT_EQ(RectOf(o), (Rect{5, 7, 124, 150}));
  o.SetText("ABCDEF", FontRecord{}, 0, 1, 12);  // e = 72: right += 50-72, bottom += 72-50
  EXPECT_EQ(RectOf(o), (Rect{5, 7, 102, 172}));
}

TEST(SetText, UnknownOldRotationLeavesTheBox) {
  DrawObject o;
  o.rotation = 7;
  o.SetText("TEXT", FontRecord{}, 0, 1, 10);
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 100, 100}));
  o.rotation = 9;
  o.SetText("TEXT", FontRecord{}, 0, 0, 10);
  EXPECT_EQ(RectOf(o), (Rect{0, 0, 100, 100}));
}

TEST(SetText, ArithmeticWrapsAs32BitSigned) {
  DrawObject o;
  o.right = 2147483600;
  o.SetText("TEXT", FontRecord{}, 0, 0, 1000);  // e = 4000 overflows the right edge
  EXPECT_EQ(o.right, static_cast<std::int32_t>(2147483600u + 4000u));
  DrawObject big;
  big.SetText(std::string(1000, 'x'), FontRecord{}, 0, 0, 3000000);  // e itself wraps
  EXPECT_EQ(big.right, static_cast<std::int32_t>(100u + 3000000000u));
}

TEST(FontRecordBytes, RoundTripKeepsEveryByteIncludingAfterTheFaceName) {
  std::uint8_t bytes[FontRecord::kSize];
  for (std::size_t i = 0; i < sizeof bytes; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  bytes[30] = 0;  // face name terminator early; the rest is leftover bytes
  std::uint8_t out[FontRecord::kSize];
  FontRecord::FromBytes(bytes).ToBytes(out);
  EXPECT_EQ(0, std::memcmp(bytes, out, sizeof bytes));
  EXPECT_EQ(FontRecord::FromBytes(bytes).FaceName().size(), 2u);
}

}  // namespace
}  // namespace azuz
