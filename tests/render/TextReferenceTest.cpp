// Text designs of the GDI reference corpus, rendered into printer images, compared byte for byte.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "DesignRenderer.h"
#include "TestData.h"
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

TEST(TextReference, EveryTextCaseMatchesDotForDot) {
  AZUZ_REQUIRE_TESTDATA("gdiref");
  const auto dir = test::TestDataDir() / "gdiref";
  const auto cases = TextCases(dir);
  ASSERT_FALSE(cases.empty());
  int matched = 0;
  for (const ReferenceCase& c : cases) {
    CORVELIXImageToolDoc doc;
    if (LoadWatermarkFile((dir / (c.name + ".bwi")).string(), doc) == LoadResult::CannotOpen) {
      ADD_FAILURE() << c.name << ": cannot open";
      continue;
    }
    doc.pageWidth = c.width;
    doc.pageHeight = c.height;
    const auto expected = ReadBytes(dir / (c.name + ".bin"));
    const auto start = std::chrono::steady_clock::now();
    const std::optional<WatermarkImage> image = RenderWatermarkImage(doc);
    const auto took =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(image.has_value()) << c.name;
    const std::vector<std::uint8_t>& actual = *image;
    if (actual == expected) {
      ++matched;
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
  std::printf("  %d of %zu text cases match byte for byte\n", matched, cases.size());
}

}  // namespace
}  // namespace azuz
