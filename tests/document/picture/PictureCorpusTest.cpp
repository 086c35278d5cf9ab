#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "PictureLoader.h"
#include "PngReader.h"
#include "TestData.h"

namespace azuz {
namespace {

namespace fs = std::filesystem;

struct ManifestRow {
  std::string file;
  std::string format;
  std::string variant;
  std::string expected;  // decode, reject or either
};

std::vector<ManifestRow> ReadManifest(const fs::path& path) {
  std::vector<ManifestRow> rows;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) {
      cells.push_back(cell);
    }
    if (cells.size() >= 4) {
      rows.push_back({cells[0], cells[1], cells[2], cells[3]});
    }
  }
  return rows;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Per-channel tolerance: bit-field channels narrower than 8 bits expand by one of several
// rules (within 1), wider ones lose precision (within 2); everything else is exact.
int Tolerance(const ManifestRow& row) {
  if (row.format != "bmp") {
    return 0;
  }
  if (row.variant.find("16 bpp") != std::string::npos) {
    return 1;
  }
  return row.variant.find("BITFIELDS") != std::string::npos ? 2 : 0;
}

// The product takes a GIF's first image at its own size, so the image-only picture wins.
fs::path ExpectedPicture(const fs::path& input) {
  fs::path frame = input;
  frame += ".expected-frame.png";
  if (fs::exists(frame)) {
    return frame;
  }
  fs::path whole = input;
  whole += ".expected.png";
  return fs::exists(whole) ? whole : fs::path();
}

// Largest channel difference over the compared pixels (alpha 0 in the expected picture marks
// a pixel nobody can predict); -1 when the sizes differ.
int MaxDifference(const Picture& picture, const test::PngPicture& expected) {
  if (picture.width != expected.width || picture.height != expected.height) {
    return -1;
  }
  int worst = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* e = expected.At(x, y);
      if (expected.hasAlpha && e[3] != 255) {
        continue;
      }
      const std::uint32_t p = picture.At(x, y);
      const int got[3] = {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                          static_cast<int>(p & 0xFF)};
      for (int c = 0; c < 3; ++c) {
        worst = std::max(worst, std::abs(got[c] - e[c]));
      }
    }
  }
  return worst;
}

TEST(PictureCorpus, EveryListedFileDecodesMatchesOrIsRefusedAsListed) {
  AZUZ_REQUIRE_TESTDATA("images");
  const fs::path root = test::TestDataDir() / "images";
  const std::vector<ManifestRow> rows = ReadManifest(root / "MANIFEST.tsv");
  ASSERT_GT(rows.size(), 100u);

  int decodeMatched = 0, decodeRows = 0, rejectRefused = 0, rejectRows = 0;
  int eitherDecoded = 0, eitherMatched = 0, eitherUnchecked = 0, eitherRefused = 0, eitherRows = 0;
  for (const ManifestRow& row : rows) {
    SCOPED_TRACE(row.file);
    const fs::path input = root / row.file;
    std::string why;
    const std::optional<Picture> picture = DecodePicture(ReadBytes(input), &why);
    const fs::path expectedPath = ExpectedPicture(input);
    int difference = -2;  // no expected picture to compare with
    if (picture && !expectedPath.empty()) {
      const auto expected = test::ReadPng(expectedPath.string());
      ASSERT_TRUE(expected.has_value()) << expectedPath;
      difference = MaxDifference(*picture, *expected);
      if (difference < 0) {
        std::cout << row.file << ": size " << picture->width << "x" << picture->height
                  << ", expected " << expected->width << "x" << expected->height << "\n";
      } else if (difference > 0) {
        std::cout << row.file << ": max channel difference " << difference << "\n";
      }
    }
    const bool matches = difference >= 0 && difference <= Tolerance(row);
    if (row.expected == "decode") {
      ++decodeRows;
      EXPECT_TRUE(picture.has_value()) << why;
      EXPECT_NE(difference, -2) << "an expected picture belongs to every decode row";
      EXPECT_TRUE(!picture || difference == -2 || matches) << "difference " << difference;
      decodeMatched += matches ? 1 : 0;
    } else if (row.expected == "reject") {
      ++rejectRows;
      EXPECT_FALSE(picture.has_value());
      rejectRefused += picture ? 0 : 1;
    } else {
      ++eitherRows;
      if (picture) {
        ++eitherDecoded;
        eitherMatched += matches ? 1 : 0;
        eitherUnchecked += difference == -2 ? 1 : 0;
        EXPECT_TRUE(difference == -2 || matches) << "difference " << difference;
      } else {
        ++eitherRefused;
        std::cout << row.file << ": refused (" << why << ")\n";
      }
    }
  }
  std::cout << "decode rows matched " << decodeMatched << "/" << decodeRows
            << "; reject rows refused " << rejectRefused << "/" << rejectRows
            << "; either rows decoded " << eitherDecoded << " (matched " << eitherMatched
            << ", no expected picture " << eitherDecoded - eitherMatched << "), refused "
            << eitherRefused << "/" << eitherRows << "\n";
  RecordProperty("decode_matched", decodeMatched);
  RecordProperty("reject_refused", rejectRefused);
  RecordProperty("either_decoded", eitherDecoded);
  RecordProperty("either_refused", eitherRefused);
}

}  // namespace
}  // namespace azuz
