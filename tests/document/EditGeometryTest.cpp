#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "EditGeometry.h"
#include "SelectionPress.h"

namespace azuz {
namespace {

DrawObject Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  DrawObject o;
  o.kind = static_cast<std::int32_t>(ObjectKind::Rectangle);
  o.left = l;
  o.top = t;
  o.right = r;
  o.bottom = b;
  return o;
}

TEST(StrictlyInside, EdgesMissAndTheDotInsideHits) {
  const DrawObject o = Rect(10, 20, 50, 60);
  EXPECT_FALSE(HoldsStrictly(o, {10, 40}));
  EXPECT_TRUE(HoldsStrictly(o, {11, 40}));
  EXPECT_FALSE(HoldsStrictly(o, {50, 40}));
  EXPECT_TRUE(HoldsStrictly(o, {49, 40}));
  EXPECT_FALSE(HoldsStrictly(o, {30, 20}));
  EXPECT_TRUE(HoldsStrictly(o, {30, 21}));
  EXPECT_FALSE(HoldsStrictly(o, {30, 60}));
  EXPECT_TRUE(HoldsStrictly(o, {30, 59}));
  // Two dots wide: nothing lies strictly between the edges.
  EXPECT_FALSE(HoldsStrictly(Rect(10, 20, 11, 60), {10, 40}));
}

TEST(StrictlyInside, AnInvertedRectangleHoldsNoPoint) {
  const DrawObject o = Rect(50, 60, 10, 20);
  for (int x = 0; x < 70; ++x) {
    for (int y = 0; y < 70; ++y) {
      ASSERT_FALSE(HoldsStrictly(o, {x, y})) << x << "," << y;
    }
  }
}

TEST(Handles, SquaresAreCentredWithTheRightAndBottomEdgesLeftOut) {
  const DrawObject o = Rect(40, 30, 141, 91);
  const int cx[] = {40, 90, 141, 40, 141, 40, 90, 141};
  const int cy[] = {30, 30, 30, 60, 60, 91, 91, 91};
  for (int h = 1; h <= kHandleCount; ++h) {
    const DotRect r = HandleRect(o, h);
    EXPECT_EQ(r.left, cx[h - 1] - 4) << h;
    EXPECT_EQ(r.top, cy[h - 1] - 4) << h;
    EXPECT_EQ(r.right, cx[h - 1] + 4) << h;
    EXPECT_EQ(r.bottom, cy[h - 1] + 4) << h;
  }

  CORVELIXImageToolDoc doc;
  DrawObject selected = Rect(40, 30, 141, 91);
  doc.selectedObject = &selected;
  EXPECT_EQ(HitTestHandle(doc, {141 - 4, 91 - 4}), 8);
  EXPECT_EQ(HitTestHandle(doc, {141 + 3, 91 + 3}), 8);
  EXPECT_EQ(HitTestHandle(doc, {141 + 4, 91}), 0);
  EXPECT_EQ(HitTestHandle(doc, {141, 91 + 4}), 0);
  EXPECT_EQ(HitTestHandle(doc, {141 - 5, 91}), 0);
  EXPECT_EQ(HitTestHandle(doc, {90, 27}), 2);
  EXPECT_EQ(HitTestHandle(doc, {90, 60}), 0);  // the middle of the object is no handle
}

TEST(Handles, MidpointsTruncateTowardZero) {
  // (1 - 10) / 2 is -4 in C++ (a floor would give -5).
  const DrawObject inverted = Rect(10, 10, 1, 1);
  EXPECT_EQ(HandleRect(inverted, 2).left, 10 - 4 - 4);
  EXPECT_EQ(HandleRect(inverted, 4).top, 10 - 4 - 4);
  EXPECT_EQ(HandleRect(Rect(1, 1, 10, 10), 7).left, 5 - 4);
  // Edges at opposite ends of the 32-bit range do not overflow the midpoint.
  EXPECT_EQ(HandleRect(Rect(INT32_MIN, 0, INT32_MAX, 0), 2).left, -1 - 4);
}

TEST(Handles, WithoutASelectionNoHandleIsHit) {
  CORVELIXImageToolDoc doc;
  EXPECT_EQ(HitTestHandle(doc, {0, 0}), 0);
}

TEST(Handles, OverlappingSquaresGoToTheLowerNumber) {
  // Four dots wide: every square overlaps its neighbours.
  CORVELIXImageToolDoc doc;
  DrawObject small = Rect(0, 0, 4, 4);
  doc.selectedObject = &small;
  EXPECT_EQ(HitTestHandle(doc, {2, 0}), 1);
  EXPECT_EQ(HitTestHandle(doc, {4, 2}), 2);  // squares 2, 3, 5 and 8 hold it
  EXPECT_EQ(HitTestHandle(doc, {5, 5}), 5);
}

TEST(Handles, CursorsFollowTheHandleTable) {
  const HandleSizing expected[] = {
      HandleSizing::NorthWestSouthEast, HandleSizing::NorthSouth,
      HandleSizing::NorthEastSouthWest, HandleSizing::WestEast,
      HandleSizing::WestEast,           HandleSizing::NorthEastSouthWest,
      HandleSizing::NorthSouth,         HandleSizing::NorthWestSouthEast};
  for (int h = 1; h <= kHandleCount; ++h) {
    EXPECT_EQ(SizingOfHandle(h), expected[h - 1]) << h;
  }
  EXPECT_EQ(SizingOfHandle(0), HandleSizing::None);
  EXPECT_EQ(SizingOfHandle(9), HandleSizing::None);
}

TEST(Moves, TheWholeRectangleMovesOffThePageWithoutClamping) {
  DrawObject o = Rect(10, 20, 50, 60);
  MoveRect(o, 37, -12);
  EXPECT_EQ(o.left, 47);
  EXPECT_EQ(o.top, 8);
  EXPECT_EQ(o.right, 87);
  EXPECT_EQ(o.bottom, 48);
  MoveRect(o, -100, -100);
  EXPECT_EQ(o.left, -53);
  EXPECT_EQ(o.bottom, -52);
  DrawObject far = Rect(INT32_MAX, 0, INT32_MAX, 0);
  MoveRect(far, 1, 0);
  EXPECT_EQ(far.left, INT32_MIN);  // wraps as the 32-bit original did
}

TEST(Moves, EdgeHandlesChangeOneDimensionAndCornersTwo) {
  const DotRect expected[] = {
      {10, 20, 50, 60},  // no handle: nothing moves
      {15, 27, 50, 60}, {10, 27, 50, 60}, {10, 27, 55, 60}, {15, 20, 50, 60},
      {10, 20, 55, 60}, {15, 20, 50, 67}, {10, 20, 50, 67}, {10, 20, 55, 67},
  };
  for (int handle = 0; handle <= kHandleCount; ++handle) {
    DrawObject o = Rect(10, 20, 50, 60);
    MoveHandleEdges(o, handle, 5, 7);
    const DotRect& e = expected[handle];
    EXPECT_EQ(o.left, e.left) << handle;
    EXPECT_EQ(o.top, e.top) << handle;
    EXPECT_EQ(o.right, e.right) << handle;
    EXPECT_EQ(o.bottom, e.bottom) << handle;
  }
}

TEST(Moves, DraggingHandleEightPastHandleOneInvertsTheRectangle) {
  DrawObject o = Rect(10, 20, 50, 60);
  MoveHandleEdges(o, 8, -60, -70);
  EXPECT_EQ(o.right, -10);
  EXPECT_EQ(o.bottom, -10);
  EXPECT_EQ(o.left, 10);  // not normalised
  EXPECT_FALSE(HoldsStrictly(o, {0, 0}));
}

// A design listed head first, with the panel's index recorded.
class Press : public ::testing::Test {
 protected:
  CORVELIXImageToolDoc doc;
  std::vector<int> reported;

  void SetUp() override {
    doc.SetSelectedIndex = [this](int i) { reported.push_back(i); };
  }
  DrawObject* Add(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    DrawObject* o = doc.FindOrCreateObject(-1);
    *o = Rect(l, t, r, b);
    doc.AppendAtTail(o);
    return o;
  }
  void Select(DrawObject* o) {
    doc.selectedObject = o;
    o->selectState = 1;
  }
};

TEST_F(Press, OnAnEmptyDesignChangesNothing) {
  const PressOutcome out = SelectByPress(doc, {5, 5});
  EXPECT_EQ(out.kind, PressOutcome::Kind::None);
  EXPECT_TRUE(reported.empty());  // the panel keeps its index
}

TEST_F(Press, OnAnEdgeMissesAndOneDotInsideSelects) {
  DrawObject* o = Add(10, 10, 50, 50);
  EXPECT_EQ(SelectByPress(doc, {10, 30}).kind, PressOutcome::Kind::None);
  EXPECT_EQ(doc.selectedObject, nullptr);
  const PressOutcome out = SelectByPress(doc, {11, 30});
  EXPECT_EQ(out.kind, PressOutcome::Kind::Move);
  EXPECT_EQ(out.position, 0);
  EXPECT_EQ(doc.selectedObject, o);
  EXPECT_EQ(o->selectState, 1);
  EXPECT_EQ(reported, (std::vector<int>{-1, 0}));
}

TEST_F(Press, TheObjectNearerTheHeadWinsWhereTheyOverlap) {
  DrawObject* front = Add(0, 0, 100, 100);
  DrawObject* back = Add(50, 50, 150, 150);
  Select(back);
  const PressOutcome out = SelectByPress(doc, {75, 75});
  EXPECT_EQ(out.position, 0);
  EXPECT_EQ(doc.selectedObject, front);
  EXPECT_EQ(front->selectState, 1);
  EXPECT_EQ(back->selectState, 0);
  EXPECT_EQ(SelectByPress(doc, {120, 120}).position, 1);
  EXPECT_EQ(reported, (std::vector<int>{0, 1}));
}

TEST_F(Press, AHandleBehindAFrontObjectLosesToItButWinsOverObjectsBehind) {
  Add(0, 0, 30, 30);  // in front, covers handle 1 of the selected one
  DrawObject* selected = Add(20, 20, 80, 80);
  Add(70, 70, 200, 200);  // behind, under handle 8
  Select(selected);

  // Handle 1 at (20, 20) lies inside the front object: the front object is selected.
  PressOutcome out = SelectByPress(doc, {21, 21});
  EXPECT_EQ(out.kind, PressOutcome::Kind::Move);
  EXPECT_EQ(out.position, 0);
  EXPECT_EQ(selected->selectState, 0);

  Select(selected);
  doc.objects[0]->selectState = 0;
  // Handle 8 at (80, 80) lies inside the object behind: the resize starts.
  out = SelectByPress(doc, {82, 82});
  EXPECT_EQ(out.kind, PressOutcome::Kind::Resize);
  EXPECT_EQ(out.handle, 8);
  EXPECT_EQ(selected->selectState, 2);
  EXPECT_EQ(doc.selectedObject, selected);
  EXPECT_EQ(reported, (std::vector<int>{0}));  // a resize reports nothing
}

TEST_F(Press, AgainInsideTheSelectedObjectKeepsItAndStartsAMove) {
  Add(0, 0, 10, 10);
  DrawObject* o = Add(20, 20, 80, 80);
  Select(o);
  const PressOutcome out = SelectByPress(doc, {50, 50});
  EXPECT_EQ(out.kind, PressOutcome::Kind::Move);
  EXPECT_EQ(doc.selectedObject, o);
  EXPECT_EQ(o->selectState, 1);
  EXPECT_EQ(reported, (std::vector<int>{1}));
}

TEST_F(Press, OnTheEmptyPageDropsTheSelection) {
  DrawObject* o = Add(20, 20, 80, 80);
  Select(o);
  EXPECT_EQ(SelectByPress(doc, {300, 300}).kind, PressOutcome::Kind::None);
  EXPECT_EQ(doc.selectedObject, nullptr);
  EXPECT_EQ(o->selectState, 0);
  EXPECT_EQ(reported, (std::vector<int>{-1}));
}

TEST_F(Press, AnInvertedObjectCanOnlyBeReachedByItsHandles) {
  DrawObject* o = Add(10, 20, 50, 60);
  Select(o);
  MoveHandleEdges(*o, 8, -60, -70);
  EXPECT_EQ(SelectByPress(doc, {0, 0}).kind, PressOutcome::Kind::None);
  Select(o);
  const PressOutcome out = SelectByPress(doc, {-10, -10});  // handle 8, now top-left of 1
  EXPECT_EQ(out.kind, PressOutcome::Kind::Resize);
  EXPECT_EQ(out.handle, 8);
}

}  // namespace
}  // namespace azuz
