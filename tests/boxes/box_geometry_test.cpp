#include <gtest/gtest.h>

#include "boxes/boxes.h"

TEST(ButtonBoxGeometry, PanoramaPanelOfTwoByElevenIs208By334) {
  SIZE client = ButtonBoxClientSize(2, 11, 98, 26);
  EXPECT_EQ(208, client.cx);
  EXPECT_EQ(334, client.cy);
  RECT last = ButtonRect(21, 2, 98, 26);
  EXPECT_EQ(106, last.left);
  EXPECT_EQ(304, last.top);
  EXPECT_EQ(204, last.right);
  EXPECT_EQ(330, last.bottom);
}

TEST(ButtonBoxGeometry, ButtonUnderPointClampsToTheGrid) {
  EXPECT_EQ(0, ButtonUnderPoint(0, 0, 2, 11, 98, 26));
  EXPECT_EQ(1, ButtonUnderPoint(102, 0, 2, 11, 98, 26));
  EXPECT_EQ(0, ButtonUnderPoint(101, 29, 2, 11, 98, 26));
  EXPECT_EQ(3, ButtonUnderPoint(150, 30, 2, 11, 98, 26));
  EXPECT_EQ(21, ButtonUnderPoint(5000, 5000, 2, 11, 98, 26));
  EXPECT_EQ(0, ButtonUnderPoint(-20, -3, 2, 11, 98, 26));
}

TEST(ButtonBoxGeometry, WideningByTwentyWithTwoColumnsWidensEachButtonByTen) {
  SIZE size = ButtonSizeForClient(208 + 20, 334, 2, 11);
  EXPECT_EQ(108, size.cx);
  EXPECT_EQ(26, size.cy);
  SIZE tiny = ButtonSizeForClient(3, 3, 2, 11);  // never a button of no size
  EXPECT_EQ(1, tiny.cx);
  EXPECT_EQ(1, tiny.cy);
}

TEST(InputBoxGeometry, ThreeItemsAre162By86) {
  SIZE client = InputBoxClientSize(3, 80, 70);
  EXPECT_EQ(162, client.cx);
  EXPECT_EQ(86, client.cy);
  RECT label = InputLabelRect(2, 80);
  EXPECT_EQ(4, label.left);
  EXPECT_EQ(63, label.top);
  EXPECT_EQ(84, label.right);
  RECT field = InputFieldRect(2, 80, 70);
  EXPECT_EQ(88, field.left);
  EXPECT_EQ(60, field.top);
  EXPECT_EQ(158, field.right);
  EXPECT_EQ(84, field.bottom);
}

TEST(InputBoxGeometry, CountIsClampedToOneToThirty) {
  EXPECT_EQ(1, ClampInputItemCount(0));
  EXPECT_EQ(1, ClampInputItemCount(-4));
  EXPECT_EQ(30, ClampInputItemCount(30));
  EXPECT_EQ(30, ClampInputItemCount(45));
  EXPECT_EQ(7, ClampInputItemCount(7));
}

TEST(InputBoxGeometry, LeftEdgesChangeTheLabelColumnOthersTheFieldColumn) {
  int isize = 80, esize = 70;
  InputColumnsForClient(182, WMSZ_LEFT, &isize, &esize);
  EXPECT_EQ(100, isize);
  EXPECT_EQ(70, esize);
  InputColumnsForClient(182, WMSZ_RIGHT, &isize, &esize);
  EXPECT_EQ(100, isize);
  EXPECT_EQ(70, esize);
  InputColumnsForClient(232, WMSZ_BOTTOMRIGHT, &isize, &esize);
  EXPECT_EQ(120, esize);
  InputColumnsForClient(50, WMSZ_TOPLEFT, &isize, &esize);
  EXPECT_EQ(1, isize);  // never below one pixel
}
