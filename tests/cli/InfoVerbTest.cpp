#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CORVELIXImageToolDoc.h"
#include "RunAzuz.h"
#include "TestData.h"
#include "WatermarkFile.h"

namespace azuz {
namespace {

using nlohmann::json;

TEST(AzuzInfo, JsonListsHeaderAndEveryObjectInListOrder) {
  test::TempDir dir;
  CORVELIXImageToolDoc doc;
  doc.designName = "Caf\xE9";  // cp1252 byte, printed as UTF-8
  DrawObject* text = doc.FindOrCreateObject(-1);
  text->SetText("Hi", FontRecord{}, 0x000000FF, 2, 10);
  doc.AppendAtTail(text);
  DrawObject* rect = doc.FindOrCreateObject(-1);
  rect->kind = 3;
  rect->fillColour = 0x00FFFFFF;
  doc.AppendAtTail(rect);
  ASSERT_TRUE(SaveWatermarkFile(dir / "d.bwi", doc));

  const auto result = test::RunAzuz("info --json d.bwi", dir.Path().string());
  ASSERT_EQ(result.status, 0) << result.out;
  const json j = json::parse(result.out);
  EXPECT_EQ(j["designName"], "Café");
  EXPECT_EQ(j["headerValue"], 100);
  EXPECT_EQ(j["objectCount"], 2);
  EXPECT_EQ(j["fadeLevel"], 50);
  ASSERT_EQ(j["objects"].size(), 2u);
  EXPECT_EQ(j["objects"][0]["kind"], 1);
  EXPECT_EQ(j["objects"][0]["text"], "Hi");
  EXPECT_EQ(j["objects"][0]["rotation"], 2);
  EXPECT_EQ(j["objects"][0]["font"]["faceName"], "Arial");
  EXPECT_EQ(j["objects"][0]["font"]["weight"], 400);
  EXPECT_EQ(j["objects"][1]["penColour"], -1);  // colours as the signed integers stored
  EXPECT_EQ(j["objects"][1]["fillColour"], 0xFFFFFF);
  EXPECT_FALSE(j.contains("error"));
}

TEST(AzuzInfo, MalformedFilePrintsWhatWasReadAndFails) {
  test::TempDir dir;
  CORVELIXImageToolDoc doc;
  DrawObject* line = doc.FindOrCreateObject(-1);
  line->kind = 2;
  doc.AppendAtTail(line);
  ASSERT_TRUE(SaveWatermarkFile(dir / "d.bwi", doc));
  std::filesystem::resize_file(dir / "d.bwi", std::filesystem::file_size(dir / "d.bwi") - 3);

  const auto result = test::RunAzuz("info --json d.bwi", dir.Path().string());
  EXPECT_NE(result.status, 0);
  const json j = json::parse(result.out);
  EXPECT_EQ(j["objectCount"], 1);
  EXPECT_TRUE(j["objects"].empty());
  EXPECT_NE(j["error"].get<std::string>().find("end of file"), std::string::npos);

  const auto text = test::RunAzuz("info d.bwi", dir.Path().string());
  EXPECT_NE(text.status, 0);
  EXPECT_NE(text.out.find("error:"), std::string::npos);
  EXPECT_NE(test::RunAzuz("info absent.bwi", dir.Path().string()).status, 0);
}

TEST(AzuzInfo, ReadsTheReferenceDesigns) {
  AZUZ_REQUIRE_TESTDATA("gdiref");
  const std::string gdiref = (test::TestDataDir() / "gdiref").string();
  const json wide = json::parse(test::RunAzuz("info --json text_wide_string.bwi", gdiref).out);
  ASSERT_EQ(wide["objects"].size(), 1u);
  EXPECT_FALSE(wide["objects"][0]["text"].get<std::string>().empty());

  const auto truncated = test::RunAzuz("info --json truncated_count.bwi", gdiref);
  EXPECT_NE(truncated.status, 0);
  const json t = json::parse(truncated.out);
  EXPECT_EQ(t["objectCount"], 3);
  EXPECT_EQ(t["objects"].size(), 2u);
}

}  // namespace
}  // namespace azuz
