#include <gtest/gtest.h>

#include <map>

#include "RenderTestUtil.h"

namespace azuz {
namespace {

// A w x h picture whose dot (x, y) is 0xFF00xxyy, never white.
Picture Numbered(int w, int h) {
  Picture p;
  p.width = w;
  p.height = h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x << 8) |
                         static_cast<std::uint32_t>(y));
    }
  }
  return p;
}

constexpr std::uint32_t kBelow = 0xFF123456u;

// Copies onto a 30x30 canvas of kBelow; returns the dots that changed, with their values.
std::map<test::Dot, std::uint32_t> Copied(const Picture* picture, int l, int t, int r, int b) {
  Canvas canvas(30, 30, kBelow);
  DrawPicture(canvas, picture, l, t, r, b);
  std::map<test::Dot, std::uint32_t> changed;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      if (canvas.Pixel(x, y) != kBelow) {
        changed[{x, y}] = canvas.Pixel(x, y);
      }
    }
  }
  return changed;
}

std::uint32_t At(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x << 8) | static_cast<std::uint32_t>(y);
}

TEST(PictureCopy, CopiesOneToOneAndLeavesWhatLiesBeyondThePicture) {
  const Picture p = Numbered(6, 4);
  const auto larger = Copied(&p, 3, 5, 20, 25);
  EXPECT_EQ(larger.size(), 24u);
  EXPECT_EQ(larger.at({3, 5}), At(0, 0));
  EXPECT_EQ(larger.at({8, 8}), At(5, 3));
  const auto smaller = Copied(&p, 3, 5, 5, 8);
  EXPECT_EQ(smaller.size(), 6u);
  EXPECT_EQ(smaller.at({4, 7}), At(1, 2));
}

TEST(PictureCopy, ReversedSidesCopyOnlyTheFirstColumnOrRow) {
  const Picture p = Numbered(6, 4);
  const auto columns = Copied(&p, 10, 5, 2, 20);
  EXPECT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns.at({10, 8}), At(0, 3));
  const auto rows = Copied(&p, 10, 5, 20, 1);
  EXPECT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows.at({15, 5}), At(5, 0));
  const auto corner = Copied(&p, 10, 5, 9, 4);
  EXPECT_EQ(corner.size(), 1u);
  EXPECT_EQ(corner.at({10, 5}), At(0, 0));
  EXPECT_TRUE(Copied(&p, 10, 5, 10, 20).empty());
}

TEST(PictureCopy, IsCutAtThePageEdgeAndNeedsAPicture) {
  const Picture p = Numbered(6, 4);
  const auto cut = Copied(&p, -4, -2, 2, 2);
  EXPECT_EQ(cut.size(), 4u);
  EXPECT_EQ(cut.at({0, 0}), At(4, 2));
  EXPECT_EQ(cut.at({1, 1}), At(5, 3));
  EXPECT_TRUE(Copied(&p, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX).empty());
  EXPECT_TRUE(Copied(&p, 31, 2, 40, 10).empty());  // right of the canvas
  EXPECT_TRUE(Copied(&p, 2, 31, 10, 40).empty());  // below it
  EXPECT_TRUE(Copied(&p, 31, 2, 20, 10).empty());
  EXPECT_EQ(Copied(&p, 28, 29, INT32_MAX, INT32_MAX).size(), 2u);
  EXPECT_TRUE(Copied(nullptr, 0, 0, 10, 10).empty());
  Picture broken = Numbered(6, 4);
  broken.pixels.resize(5);
  EXPECT_TRUE(Copied(&broken, 0, 0, 10, 10).empty());
}

}  // namespace
}  // namespace azuz
