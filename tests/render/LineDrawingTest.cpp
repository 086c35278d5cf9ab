#include <gtest/gtest.h>

#include <random>

#include "ClippedPainter.h"
#include "RenderTestUtil.h"
#include "ThinLine.h"

namespace azuz {
namespace {

using test::Dot;
using test::InkOf;
using test::Style;

constexpr std::uint32_t kInk = 0xFF000000u;

// The same line as the stepping form with the Windows bias: octants 3, 5, 6 and 8 (clockwise
// from +x, y down) lean the other way at exact halves.
std::set<Dot> SteppedLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  std::int64_t dx = x2 - x1;
  std::int64_t dy = y2 - y1;
  int octant = 0;
  if (dy > 0) {
    octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  } else {
    octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  }
  const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const std::int64_t sx = dx > 0 ? 1 : -1;
  const std::int64_t sy = dy > 0 ? 1 : -1;
  dx = std::abs(dx);
  dy = std::abs(dy);
  const bool xMajor = dx > dy;
  std::int64_t major = xMajor ? dx : dy;
  std::int64_t minor = xMajor ? dy : dx;
  std::int64_t err = 2 * minor - major;
  std::int64_t x = x1;
  std::int64_t y = y1;
  std::set<Dot> dots;
  for (std::int64_t k = 0; k < major; ++k) {
    dots.insert({x, y});
    if (err + bias > 0) {
      (xMajor ? y : x) += xMajor ? sy : sx;
      err += 2 * minor - 2 * major;
    } else {
      err += 2 * minor;
    }
    (xMajor ? x : y) += xMajor ? sx : sy;
  }
  return dots;
}

std::set<Dot> Drawn(int width, int height, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                    std::int64_t y2) {
  Canvas canvas(width, height);
  ClippedPainter painter(canvas);
  DrawThinLine(painter, x1, y1, x2, y2, kInk);
  return InkOf(canvas);
}

TEST(ThinLine, RoundsHalvesTowardsTheSmallerCoordinateInEveryDirection) {
  for (int dx = -25; dx <= 25; ++dx) {
    for (int dy = -25; dy <= 25; ++dy) {
      if (dx == 0 || dy == 0) {
        continue;
      }
      EXPECT_EQ(Drawn(64, 64, 30, 30, 30 + dx, 30 + dy), SteppedLine(30, 30, 30 + dx, 30 + dy))
          << dx << "," << dy;
    }
  }
}

TEST(ThinLine, ClippingKeepsExactlyTheDotsOfTheWholeLine) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-40000, 40000);
  for (int i = 0; i < 300; ++i) {
    const int x1 = coordinate(random), y1 = coordinate(random) / 100;
    const int x2 = coordinate(random), y2 = coordinate(random);
    if (x1 == x2 || y1 == y2) {
      continue;
    }
    std::set<Dot> inside;
    for (const Dot& d : SteppedLine(x1, y1, x2, y2)) {
      if (d.first >= 0 && d.first < 200 && d.second >= 0 && d.second < 100) {
        inside.insert(d);
      }
    }
    EXPECT_EQ(Drawn(200, 100, x1, y1, x2, y2), inside) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(ThinLine, AxisLinesOmitTheEndPointWhicheverWayTheyRun) {
  EXPECT_EQ(Drawn(20, 20, 3, 5, 7, 5), (std::set<Dot>{{3, 5}, {4, 5}, {5, 5}, {6, 5}}));
  EXPECT_EQ(Drawn(20, 20, 7, 5, 3, 5), (std::set<Dot>{{4, 5}, {5, 5}, {6, 5}, {7, 5}}));
  EXPECT_EQ(Drawn(20, 20, 2, 9, 2, 6), (std::set<Dot>{{2, 7}, {2, 8}, {2, 9}}));
  EXPECT_TRUE(Drawn(20, 20, 4, 4, 4, 4).empty());
}

std::set<Dot> DrawnLine(const DrawObject& o) {
  Canvas canvas(120, 120);
  DrawObjectShape(canvas, o);
  return InkOf(canvas);
}

DrawObject LineObject(int x1, int y1, int x2, int y2, int width) {
  DrawObject o;
  o.kind = static_cast<std::int32_t>(ObjectKind::Line);
  o.left = x1;
  o.top = y1;
  o.right = x2;
  o.bottom = y2;
  o.penWidth = width;
  o.penColour = test::kBlack;
  return o;
}

TEST(WideLine, PenDotsMatchTheRoundCapOfEachWidth) {
  // Zero-length lines leave just the pen dot D(w) around their point (60, 60).
  const std::vector<std::vector<std::string>> shapes = {
      {".#.", "###", ".#."},
      {".##.", "####", "####", ".##."},
      {".###.", "#####", "#####", "#####", ".###."},
      {"..##..", ".####.", "######", "######", ".####.", "..##.."}};
  for (const auto& rows : shapes) {
    const int w = static_cast<int>(rows.size());
    std::set<Dot> expected;
    for (int r = 0; r < w; ++r) {
      for (int c = 0; c < w; ++c) {
        if (rows[r][c] == '#') {
          expected.insert({60 - w / 2 + c, 60 - w / 2 + r});
        }
      }
    }
    EXPECT_EQ(DrawnLine(LineObject(60, 60, 60, 60, w)), expected) << w;
  }
}

TEST(WideLine, LooksTheSameDrawnEitherWay) {
  for (int w = 2; w <= 10; ++w) {
    for (const auto& [dx, dy] : std::vector<std::pair<int, int>>{
             {30, 0}, {0, 30}, {30, 30}, {30, 8}, {8, 30}, {-30, 8}, {17, -29}, {1, 1}}) {
      EXPECT_EQ(DrawnLine(LineObject(40, 40, 40 + dx, 40 + dy, w)),
                DrawnLine(LineObject(40 + dx, 40 + dy, 40, 40, w)))
          << w << ": " << dx << "," << dy;
    }
  }
}

TEST(WideLine, HorizontalBandSitsHalfADotTowardsSmallerCoordinates) {
  for (int w = 2; w <= 10; ++w) {
    const std::set<Dot> ink = DrawnLine(LineObject(20, 60, 100, 60, w));
    for (int y = 40; y < 80; ++y) {
      EXPECT_EQ(ink.count({60, y}) == 1, y >= 60 - w / 2 && y < 60 - w / 2 + w) << w << "," << y;
    }
    EXPECT_EQ(ink.count({100, 60}), 1u) << "round cap covers the end point, w" << w;
  }
}

TEST(WideLine, ZeroAndNegativeWidthsDrawAsTheirAbsoluteValue) {
  EXPECT_EQ(DrawnLine(LineObject(10, 10, 90, 40, 0)), DrawnLine(LineObject(10, 10, 90, 40, 1)));
  EXPECT_EQ(DrawnLine(LineObject(10, 10, 90, 40, -1)), DrawnLine(LineObject(10, 10, 90, 40, 1)));
  EXPECT_EQ(DrawnLine(LineObject(10, 10, 90, 40, -3)), DrawnLine(LineObject(10, 10, 90, 40, 3)));
  DrawObject none = LineObject(10, 10, 90, 40, 3);
  none.penColour = kNoColour;
  none.fillColour = test::kBlack;
  EXPECT_TRUE(DrawnLine(none).empty());
}

}  // namespace
}  // namespace azuz
