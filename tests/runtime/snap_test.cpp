#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {

// A 1280 x 1000 visible area with one window at (300, 200)-(500, 400).
SnapList ListWithOneWindow() {
  SnapList list;
  RECT other = {300, 200, 500, 400};
  BuildSnapList(&list, 1280, 1000, &other, 1);
  return list;
}

RECT Snapped(RECT proposed, RECT current) {
  SnapList list = ListWithOneWindow();
  SnapRectAgainst(&proposed, current, list);
  return proposed;
}

void ExpectRect(const RECT& expected, const RECT& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

const RECT FarAway = {900, 600, 1000, 700};

}  // namespace

TEST(SnapList, WallsComeFirstThenWindowsInOrder) {
  SnapList list = ListWithOneWindow();
  ASSERT_EQ(5, list.count);
  EXPECT_EQ(-1000, list.left[0]);
  EXPECT_EQ(0, list.right[0]);
  EXPECT_EQ(1000, list.bottom[0]);
  EXPECT_EQ(-1000, list.top[1]);
  EXPECT_EQ(1280, list.right[1]);
  EXPECT_EQ(1280, list.left[2]);
  EXPECT_EQ(2280, list.right[2]);
  EXPECT_EQ(1000, list.top[3]);
  EXPECT_EQ(2000, list.bottom[3]);
  EXPECT_EQ(300, list.left[4]);
  EXPECT_EQ(400, list.bottom[4]);
}

TEST(SnapList, NeverHoldsMoreThanItsCapacity) {
  static RECT many[400];
  for (int i = 0; i < 400; i++) many[i] = {i, i, i + 10, i + 10};
  SnapList list;
  BuildSnapList(&list, 1280, 1000, many, 400);
  EXPECT_EQ(SnapCapacity, list.count);
  EXPECT_EQ(255, list.left[SnapCapacity - 1]);
}

TEST(Snapping, LeftEdgeFiveRightOfAnotherWindowJumpsFlush) {
  // Left edge at 505, five pixels right of the other window's right edge at 500.
  ExpectRect({500, 250, 600, 350}, Snapped({505, 250, 605, 350}, FarAway));
}

TEST(Snapping, EightPixelsAwayDoesNotSnap) {
  ExpectRect({508, 250, 608, 350}, Snapped({508, 250, 608, 350}, FarAway));
}

TEST(Snapping, RightEdgeAgainstLeftEdge) {
  ExpectRect({200, 250, 300, 350}, Snapped({196, 250, 296, 350}, FarAway));
}

TEST(Snapping, SideBySideSnapAlsoAlignsTopsWithinSevenPixels) {
  // Arriving three pixels over the other window's right edge.
  ExpectRect({500, 200, 600, 300}, Snapped({497, 207, 597, 307}, FarAway));
  // Bottoms aligned when the tops are too far apart.
  ExpectRect({500, 300, 600, 400}, Snapped({497, 295, 597, 395}, FarAway));
  // Overlap is judged on the arriving rectangle: arriving clear of it, tops stay apart.
  ExpectRect({500, 207, 600, 307}, Snapped({503, 207, 603, 307}, FarAway));
}

TEST(Snapping, TopWithinSevenOfTheVisibleTopSnapsToZero) {
  ExpectRect({700, 0, 800, 100}, Snapped({700, 7, 800, 107}, FarAway));
  ExpectRect({700, 8, 800, 108}, Snapped({700, 8, 800, 108}, FarAway));
}

TEST(Snapping, TopAgainstBottomThenLeftsAligned) {
  // Two pixels into the other window's bottom and four right of its left edge.
  ExpectRect({300, 400, 400, 500}, Snapped({304, 398, 404, 498}, FarAway));
  // Arriving three pixels below it, the lefts are not aligned.
  ExpectRect({304, 400, 404, 500}, Snapped({304, 403, 404, 503}, FarAway));
}

TEST(Snapping, AWindowIsNeverSnappedToItsOwnPosition) {
  // The moving window is the listed one: nothing else is near.
  ExpectRect({303, 203, 503, 403}, Snapped({303, 203, 503, 403}, {300, 200, 500, 400}));
}

TEST(Snapping, SizeNeverChangesAndEachAxisSnapsOnce) {
  RECT result = Snapped({-5, -3, 95, 97}, FarAway);
  ExpectRect({0, 0, 100, 100}, result);
}

TEST(Snapping, OnlyWhileControlIsHeld) {
  SnapList saved = snapList;
  snapList = ListWithOneWindow();
  RECT rect = {505, 250, 605, 350};
  SnapMovingRect(&rect, GetDesktopWindow());  // Ctrl is not down in the test
  snapList = saved;
  ExpectRect({505, 250, 605, 350}, rect);
}
