// Text designs of the GDI reference corpus, rendered and packed, compared dot for dot.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Canvas.h"
#include "TestData.h"
#include "TextRenderer.h"
#include "WatermarkFile.h"

namespace azuz {
namespace {

struct ReferenceCase {
  std::string name;
  int width = 0;
  int height = 0;
};

std::vector<ReferenceCase> TextCases(const std::filesystem::path& dir) {
  std::vector<ReferenceCase> cases;
  std::ifstream index(dir / "index.tsv");
  std::string line;
  std::getline(index, line);  // column names
  while (std::getline(index, line)) {
    std::istringstream fields(line);
    ReferenceCase c;
    std::string page;
    std::getline(fields, c.name, '\t');
    std::getline(fields, page, '\t');
    if (c.name.rfind("text_", 0) == 0 &&
        std::sscanf(page.c_str(), "%dx%d", &c.width, &c.height) == 2) {
      cases.push_back(c);
    }
  }
  return cases;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Printed(const std::vector<std::uint8_t>& image, int width, int x, int y) {
  const std::size_t rowBytes = static_cast<std::size_t>((width + 7) / 8);
  const std::size_t at =
      9 + static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(x / 8);
  return at < image.size() && (image[at] & (0x80 >> (x % 8))) != 0;
}

// Text only, back to front, each object's rectangle thinned by the fade pattern, then packed:
// the whole pipeline for designs made of nothing but text.
std::vector<std::uint8_t> RenderTextDesign(const CORVELIXImageToolDoc& doc, int width, int height) {
  static constexpr int kFade[9] = {1, 5, 8, 7, 9, 3, 4, 2, 6};
  Canvas canvas(width, height);
  const int level = doc.fadeLevel;
  for (auto it = doc.objects.rbegin(); it != doc.objects.rend(); ++it) {
    const DrawObject& object = **it;
    DrawTextObject(canvas, object);
    if (level > 0 && level <= 100) {
      for (int y = std::max(object.top, 0); y < std::min(object.bottom, height); ++y) {
        for (int x = std::max(object.left, 0); x < std::min(object.right, width); ++x) {
          if (kFade[(x % 3) * 3 + (y % 3)] <= level / 10) {
            canvas.SetPixel(x, y, kWhitePixel);
          }
        }
      }
    }
  }
  const std::size_t rowBytes = static_cast<std::size_t>((width + 7) / 8);
  std::vector<std::uint8_t> image(9 + rowBytes * static_cast<std::size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((canvas.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
        image[9 + y * rowBytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  return image;
}

TEST(TextReference, EveryTextCaseMatchesDotForDot) {
  AZUZ_REQUIRE_TESTDATA("gdiref");
  const auto dir = test::TestDataDir() / "gdiref";
  const auto cases = TextCases(dir);
  ASSERT_FALSE(cases.empty());
  int compared = 0;
  for (const ReferenceCase& c : cases) {
    CORVELIXImageToolDoc doc;
    if (LoadWatermarkFile((dir / (c.name + ".bwi")).string(), doc) == LoadResult::CannotOpen) {
      ADD_FAILURE() << c.name << ": cannot open";
      continue;
    }
    const bool textOnly = std::all_of(doc.objects.begin(), doc.objects.end(), [](const auto& o) {
      return o->Is(ObjectKind::Text) && o->fillColour == kNoColour;
    });
    if (!textOnly) {
      continue;  // shapes under the text: the design rasterizer's own comparison covers it
    }
    const auto expected = ReadBytes(dir / (c.name + ".bin"));
    const auto start = std::chrono::steady_clock::now();
    const auto actual = RenderTextDesign(doc, c.width, c.height);
    const auto took =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    ++compared;
    // The header is the packer's; the rows are what the text made.
    if (actual.size() == expected.size() &&
        std::equal(actual.begin() + 9, actual.end(), expected.begin() + 9)) {
      std::printf("  %-28s match (%.1f ms)\n", c.name.c_str(), took.count());
      continue;
    }
    int agree = 0;
    int printed = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const bool e = Printed(expected, c.width, x, y);
        const bool a = Printed(actual, c.width, x, y);
        printed += (e || a) ? 1 : 0;
        agree += (e && a) ? 1 : 0;
      }
    }
    ADD_FAILURE() << c.name << ": " << agree << " of " << printed << " printed dots agree";
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace azuz
