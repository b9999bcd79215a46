// Lines, boxes, circles, discs and flood fills, pixel for pixel, on real images.
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "draw/draw.h"
#include "image/image_fixture.h"
#include "support/seeded_random.h"

namespace {

typedef std::vector<std::pair<int, int>> PixelList;

const int side = 120;

// Every pixel of the current 32-bit image that is not 0, row by row.
PixelList SetPixels(void) {
  PixelList list;
  for (int y = 0; y < krv_images[krv_current].height; y++)
    for (int x = 0; x < krv_images[krv_current].width; x++)
      if (KRV_GetPixel(x, y) != 0) list.push_back({x, y});
  return list;
}

PixelList Sorted(PixelList list) {
  std::sort(list.begin(), list.end(), [](const std::pair<int, int>& a,
                                         const std::pair<int, int>& b) {
    return a.second != b.second ? a.second < b.second : a.first < b.first;
  });
  return list;
}

// Pixels whose value is exactly value.
int CountOf(int value) {
  int count = 0;
  for (int y = 0; y < krv_images[krv_current].height; y++)
    for (int x = 0; x < krv_images[krv_current].width; x++)
      if (KRV_GetPixel(x, y) == value) count++;
  return count;
}

std::vector<unsigned char> Snapshot(int id) {
  const ImageSlot& slot = krv_images[id];
  const unsigned char* bytes = (const unsigned char*)krv_pixels[id];
  return std::vector<unsigned char>(bytes, bytes + ImageStride(slot.bits, slot.width) * slot.height);
}

}  // namespace

class Primitives : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    ASSERT_EQ(0, KRV_CreateImage(0, "draw", -1, -1, side, side, 100));
    krv_color = 0xFFFFFF;
  }
  void TearDown() override {
    krv_color = 0xFFFFFF;
    ImageTest::TearDown();
  }
};

TEST_F(Primitives, AnXMajorLineAndItsReverse) {
  KRV_Line(0x0000FF, 2, 2, 12, 6);
  const PixelList expected = {{2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 4}, {7, 4},
                              {8, 4}, {9, 5}, {10, 5}, {11, 6}, {12, 6}};
  EXPECT_EQ(expected, SetPixels());
  EXPECT_EQ(11, CountOf(0x0000FF));
  EXPECT_EQ(12, currentPointX);
  EXPECT_EQ(6, currentPointY);
  KRV_ClearImage(0);
  KRV_Line(0x0000FF, 12, 6, 2, 2);
  EXPECT_EQ(expected, SetPixels());
  EXPECT_EQ(2, currentPointX);
  EXPECT_EQ(2, currentPointY);
}

TEST_F(Primitives, AYMajorLine) {
  KRV_Line(1, 3, 3, 5, 12);
  const PixelList expected = {{3, 3}, {3, 4}, {3, 5}, {4, 6}, {4, 7}, {4, 8},
                              {4, 9}, {5, 10}, {5, 11}, {5, 12}};
  EXPECT_EQ(expected, SetPixels());
  KRV_ClearImage(0);
  KRV_Line(1, 5, 12, 3, 3);
  EXPECT_EQ(expected, SetPixels());
}

TEST_F(Primitives, DiagonalsAndStraightLines) {
  KRV_Line(1, 0, 0, 7, 7);
  PixelList expected;
  for (int i = 0; i <= 7; i++) expected.push_back({i, i});
  EXPECT_EQ(expected, SetPixels());
  KRV_ClearImage(0);
  KRV_Line(1, 9, 4, 2, 4);
  EXPECT_EQ(8u, SetPixels().size());
  EXPECT_EQ(2, SetPixels().front().first);
  EXPECT_EQ(2, currentPointX);
  KRV_ClearImage(0);
  KRV_Line(1, 6, 9, 6, 1);
  EXPECT_EQ(9u, SetPixels().size());
  EXPECT_EQ(1, currentPointY);
  KRV_ClearImage(0);
  KRV_Line(1, 4, 4, 4, 4);
  EXPECT_EQ(PixelList({{4, 4}}), SetPixels());
}

TEST_F(Primitives, LinesAreClippedPixelByPixel) {
  KRV_Line(1, -5, -5, 3, 3);
  PixelList expected;
  for (int i = 0; i <= 3; i++) expected.push_back({i, i});
  EXPECT_EQ(expected, SetPixels());
  KRV_ClearImage(0);
  KRV_Line(1, -1000000, 5, 1000000, 5);
  EXPECT_EQ(side, CountOf(1));
  EXPECT_EQ(1000000, currentPointX);
}

TEST_F(Primitives, CirclesOfRadiusZeroAndOne) {
  KRV_Circle(1, 50, 50, 0);
  EXPECT_EQ(PixelList({{50, 50}}), SetPixels());
  KRV_ClearImage(0);
  KRV_Circle(1, 50, 50, 1);
  EXPECT_EQ(PixelList({{50, 49}, {49, 50}, {51, 50}, {50, 51}}), SetPixels());
}

TEST_F(Primitives, ACircleOfRadiusFive) {
  KRV_Circle(1, 50, 50, 5);
  PixelList expected;
  const int octant[4][2] = {{0, 5}, {1, 5}, {2, 5}, {3, 4}};
  std::set<std::pair<int, int>> unique;
  for (const auto& p : octant)
    for (int sx : {-1, 1})
      for (int sy : {-1, 1}) {
        unique.insert({50 + sx * p[0], 50 + sy * p[1]});
        unique.insert({50 + sx * p[1], 50 + sy * p[0]});
      }
  expected.assign(unique.begin(), unique.end());
  EXPECT_EQ(Sorted(expected), SetPixels());
  EXPECT_EQ(28u, SetPixels().size());
  for (int x = 48; x <= 52; x++) {
    EXPECT_EQ(1, KRV_GetPixel(x, 45)) << x;
    EXPECT_EQ(1, KRV_GetPixel(x, 55)) << x;
  }
  for (int y = 48; y <= 52; y++) {
    EXPECT_EQ(1, KRV_GetPixel(45, y)) << y;
    EXPECT_EQ(1, KRV_GetPixel(55, y)) << y;
  }
  EXPECT_EQ(46, currentPointX);  // the last point plotted: (cx - y, cy - x) at x 3, y 4
  EXPECT_EQ(47, currentPointY);
}

TEST_F(Primitives, XorCirclesInvertEachOutlinePixelOnce) {
  for (int r = 1; r <= 55; r++) {
    KRV_ClearImage(0);
    KRV_Circle(0x123456, 60, 60, r);
    const PixelList outline = SetPixels();
    KRV_ClearImage(0);
    KRV_XorCircle(60, 60, r);
    ASSERT_EQ(outline, SetPixels()) << r;
    ASSERT_EQ((int)outline.size(), CountOf(0xFFFFFF)) << r;
    KRV_XorCircle(60, 60, r);
    ASSERT_TRUE(SetPixels().empty()) << r;
  }
  KRV_XorCircle(60, 60, 0);
  EXPECT_TRUE(SetPixels().empty());
  KRV_XorFillCircle(60, 60, 0);
  EXPECT_TRUE(SetPixels().empty());
}

TEST_F(Primitives, DiscsCoverTheOutlineAndEverythingInside) {
  for (int r = 1; r <= 55; r++) {
    KRV_ClearImage(0);
    KRV_Circle(1, 60, 60, r);
    std::vector<int> left(side, side), right(side, -1);
    for (const auto& p : SetPixels()) {
      left[p.second] = std::min(left[p.second], p.first);
      right[p.second] = std::max(right[p.second], p.first);
    }
    PixelList inside;
    for (int y = 0; y < side; y++)
      for (int x = left[y]; x <= right[y]; x++) inside.push_back({x, y});
    KRV_ClearImage(0);
    krv_color = 0x00FF00;
    KRV_FillCircle(60, 60, r);
    ASSERT_EQ(inside, SetPixels()) << r;
    ASSERT_EQ((int)inside.size(), CountOf(0x00FF00)) << r;
    KRV_ClearImage(0);
    KRV_XorFillCircle(60, 60, r);  // every pixel once: the spans never overlap
    ASSERT_EQ(inside, SetPixels()) << r;
    ASSERT_EQ((int)inside.size(), CountOf(0xFFFFFF)) << r;
  }
}

TEST_F(Primitives, BoxesInDrawingOrder) {
  krv_color = 7;
  KRV_Box(9, 8, 3, 2);  // unsorted corners
  EXPECT_EQ(9, currentPointX);
  EXPECT_EQ(8, currentPointY);
  EXPECT_EQ(2 * 7 + 2 * 5, CountOf(7));
  EXPECT_EQ(7, KRV_GetPixel(3, 2));
  EXPECT_EQ(7, KRV_GetPixel(9, 5));
  EXPECT_EQ(0, KRV_GetPixel(5, 5));
}

TEST_F(Primitives, XorBoxesInvertTheOutlineOnce) {
  KRV_XorBox(9, 8, 3, 2);
  EXPECT_EQ(2 * 7 + 2 * 5, CountOf(0xFFFFFF));
  EXPECT_EQ(2 * 7 + 2 * 5, (int)SetPixels().size());
  EXPECT_EQ(0, KRV_GetPixel(5, 5));
  KRV_XorBox(3, 2, 9, 8);
  EXPECT_TRUE(SetPixels().empty());
  KRV_XorBox(4, 1, 4, 6);  // coinciding sides cancel: only the end pixels stay
  EXPECT_EQ(PixelList({{4, 1}, {4, 6}}), SetPixels());
  KRV_ClearImage(0);
  KRV_XorBox(1, 3, 5, 3);
  EXPECT_EQ(5, CountOf(0xFFFFFF));
  KRV_ClearImage(0);
  KRV_XorBox(1, 3, 5, 4);
  EXPECT_EQ(10, CountOf(0xFFFFFF));
}

TEST_F(Primitives, FilledBoxes) {
  KRV_FillBox(10, 10, 2, 4, 0x0000FF, 0x00FF00);
  EXPECT_EQ(2 * 9 + 2 * 5, CountOf(0x0000FF));
  EXPECT_EQ(7 * 5, CountOf(0x00FF00));
  EXPECT_EQ(0x00FF00, KRV_GetPixel(3, 5));
  EXPECT_EQ(0x0000FF, KRV_GetPixel(2, 5));
  KRV_ClearImage(0);
  KRV_FillBox(5, 5, 6, 9, 0x0000FF, 0x00FF00);  // no interior
  EXPECT_EQ(10, CountOf(0x0000FF));
  EXPECT_EQ(0, CountOf(0x00FF00));
  KRV_ClearImage(0);
  KRV_FillBox(0, 0, side - 1, side - 1, 0x010101, 0x010101);  // a whole frame
  EXPECT_EQ(side * side, CountOf(0x010101));
  KRV_ClearImage(0);
  KRV_XorFillBox(8, 7, 2, 3);
  EXPECT_EQ(7 * 5, CountOf(0xFFFFFF));
  EXPECT_EQ(7 * 5, (int)SetPixels().size());
}

// A box of one colour is filled row by row; it must leave the pixels and the current point as
// its outline and interior lines do.
void BoxByLines(int x1, int y1, int x2, int y2, int colour) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  KRV_Line(colour, x1, y1, x2, y1);
  KRV_Line(colour, x2, y1, x2, y2);
  KRV_Line(colour, x2, y2, x1, y2);
  KRV_Line(colour, x1, y2, x1, y1);
  if (x2 - x1 >= 2 && y2 - y1 >= 2)
    for (int y = y1 + 1; y <= y2 - 1; y++) KRV_Line(colour, x1 + 1, y, x2 - 1, y);
}

TEST_F(Primitives, OneColourBoxesEqualTheirLines) {
  ASSERT_EQ(0, KRV_CreateImage8(1, "draw8", -1, -1, 123, 117, 100));
  Random random(777);
  for (int id = 0; id < 2; id++) {
    KRV_SelectImage(id);
    unsigned char* bytes = (unsigned char*)krv_pixels[id];
    for (int round = 0; round < 200; round++) {
      int x1 = random.Below(200) - 40, y1 = random.Below(200) - 40;
      int x2 = random.Below(200) - 40, y2 = random.Below(200) - 40;
      if (round % 10 == 1) x2 = x1 + random.Below(3);  // no interior
      if (round % 10 == 2) y2 = y1 - random.Below(3);
      const int colour = round % 7 == 0 ? 0 : (int)(random() & 0xFFFFFF);
      std::vector<unsigned char> start = Snapshot(id);
      for (size_t i = 0; i < start.size(); i++)
        bytes[i] = id == 0 && i % 4 == 3 ? 0 : (unsigned char)random();
      start = Snapshot(id);
      BoxByLines(x1, y1, x2, y2, colour);
      const std::vector<unsigned char> expected = Snapshot(id);
      const int pointX = currentPointX, pointY = currentPointY;
      memcpy(bytes, start.data(), start.size());
      currentPointX = currentPointY = -99;
      KRV_FillBox(x1, y1, x2, y2, colour, colour);
      ASSERT_EQ(expected, Snapshot(id)) << id << " " << x1 << "," << y1 << " " << x2 << "," << y2;
      ASSERT_EQ(pointX, currentPointX) << round;
      ASSERT_EQ(pointY, currentPointY) << round;
    }
  }
  // Corners far outside cover the image without walking the whole box.
  KRV_SelectImage(0);
  KRV_FillBox(-2000000000, -2000000000, 2000000000, 2000000000, 0x123456, 0x123456);
  EXPECT_EQ(side * side, CountOf(0x123456));
  EXPECT_EQ(1999999999, currentPointX);
}

TEST_F(Primitives, XorFiguresDrawnTwiceRestoreTheImage) {
  ASSERT_EQ(0, KRV_CreateImage8(1, "draw8", -1, -1, 123, 117, 100));
  Random random(12345);
  for (int id = 0; id < 2; id++) {
    KRV_SelectImage(id);
    unsigned char* bytes = (unsigned char*)krv_pixels[id];
    std::vector<unsigned char> noise = Snapshot(id);
    for (size_t i = 0; i < noise.size(); i++) bytes[i] = (unsigned char)random();
    if (id == 0) {
      for (size_t i = 3; i < noise.size(); i += 4) bytes[i] = 0;  // 0x00RRGGBB
    }
    const std::vector<unsigned char> before = Snapshot(id);
    int figures[300][6];
    for (auto& f : figures) {
      f[0] = random.Below(7);
      for (int k = 1; k < 5; k++) f[k] = random.Below(180) - 30;
      f[5] = 1 + random.Below(60);
    }
    for (int pass = 0; pass < 2; pass++) {
      for (const auto& f : figures) {
        switch (f[0]) {
          case 0: KRV_XorLine(f[1], f[2], f[3], f[4]); break;
          case 1: KRV_XorBox(f[1], f[2], f[3], f[4]); break;
          case 2: KRV_XorFillBox(f[1], f[2], f[3], f[4]); break;
          case 3: KRV_XorCircle(f[1], f[2], f[5]); break;
          case 4: KRV_XorFillCircle(f[1], f[2], f[5]); break;
          case 5: KRV_XorPixel(f[1], f[2]); break;
          default: KRV_XorLine(f[1], f[2], f[1] + f[5], f[2] - f[5]); break;
        }
      }
      if (pass == 0) {
        ASSERT_NE(before, Snapshot(id)) << id;
      }
    }
    EXPECT_EQ(before, Snapshot(id)) << id;
  }
}

TEST_F(Primitives, PaintFillsUpToTheBorder) {
  krv_color = 0xFF0000;
  KRV_Paint(5, 7);
  EXPECT_EQ(side * side, CountOf(0xFF0000));
}

TEST_F(Primitives, PaintStopsAtOtherColours) {
  krv_color = 0x0000FF;
  KRV_Box(10, 10, 40, 30);
  KRV_Line(0x0000FF, 20, 10, 20, 30);  // splits the box in two
  krv_color = 0x00FF00;
  KRV_Paint(15, 15);
  EXPECT_EQ(9 * 19, CountOf(0x00FF00));
  EXPECT_EQ(0x00FF00, KRV_GetPixel(11, 11));
  EXPECT_EQ(0x00FF00, KRV_GetPixel(19, 29));
  EXPECT_EQ(0, KRV_GetPixel(21, 11));
  EXPECT_EQ(0, KRV_GetPixel(5, 5));
  // Four-connected: a diagonal gap is a wall.
  KRV_ClearImage(0);
  krv_color = 1;
  KRV_Line(1, 0, 60, 60, 0);
  krv_color = 2;
  KRV_Paint(0, 0);
  EXPECT_EQ(0, KRV_GetPixel(side - 1, side - 1));
  EXPECT_EQ(60 * 61 / 2, CountOf(2));  // x + y < 60
}

TEST_F(Primitives, PaintDoesNothingOnTheDrawingColour) {
  KRV_FillBox(0, 0, 9, 9, 0x123456, 0x123456);
  krv_color = 0x123456;
  KRV_Paint(3, 3);
  EXPECT_EQ(100, CountOf(0x123456));
  KRV_Paint(-1, 3);
  KRV_Paint(side, 3);
  EXPECT_EQ(100, (int)SetPixels().size());

  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 121, 110, 100));
  memset(krv_pixels[1], 255, 124 * 110);
  krv_color = 0xFFFFFF;  // stored as index 255 here
  KRV_Paint(3, 3);
  EXPECT_EQ(255, KRV_GetPixel(3, 3));
  krv_color = 0xABCD40;
  KRV_Paint(3, 3);
  EXPECT_EQ(0x40, KRV_GetPixel(120, 109));
  EXPECT_EQ(0x40, KRV_GetPixel(0, 0));
  EXPECT_EQ(255, ((unsigned char*)krv_pixels[1])[121]);  // padding is not the image
}

TEST_F(Primitives, PaintRefusesASeedThatLooksLikeTheOutside) {
  KRV_FillBox(0, 0, 19, 19, -1, -1);  // 0xFFFFFFFF pixels
  krv_color = 0x00FF00;
  KRV_Paint(5, 5);
  EXPECT_EQ(0, CountOf(0x00FF00));
  EXPECT_EQ(400, CountOf(-1));
  KRV_Paint(50, 50);  // elsewhere the fill runs as usual, around them
  EXPECT_EQ(side * side - 400, CountOf(0x00FF00));
}

TEST_F(Primitives, PaintDropsSeedsBeyondItsStack) {
  // A comb of 4500 teeth hanging from one row: the row's span pushes one seed per tooth.
  ASSERT_EQ(0, KRV_CreateImage8FL(1, "comb", 0, 0, 9000, 9, 100));
  unsigned char* bytes = (unsigned char*)krv_pixels[1];
  const int stride = ImageStride(8, 9000);
  for (int y = 1; y < 9; y++)
    for (int x = 1; x < 9000; x += 2) bytes[y * stride + x] = 1;
  krv_color = 2;
  KRV_Paint(0, 0);
  for (int x = 0; x < 9000; x++) ASSERT_EQ(2, bytes[x]) << x;
  for (int y = 1; y < 9; y++)
    for (int x = 0; x < 9000; x++) {
      const int expected = x % 2 ? 1 : x < 8000 ? 2 : 0;
      ASSERT_EQ(expected, bytes[y * stride + x]) << x << "," << y;
    }
}
