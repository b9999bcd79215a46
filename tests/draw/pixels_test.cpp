// Single pixels on real image windows: clipping, depths, the current point and row copies.
#include <vector>

#include "draw/draw.h"
#include "image/image_fixture.h"

class Pixels : public ImageTest {};

TEST_F(Pixels, PutAndGetOnThirtyTwoBitImages) {
  ASSERT_EQ(0, KRV_CreateImage(0, "p", -1, -1, 120, 110, 100));
  KRV_PutPixel(3, 4, 0x123456);
  EXPECT_EQ(0x123456, KRV_GetPixel(3, 4));
  EXPECT_EQ(0x123456, ((int*)krv_pixels[0])[4 * 120 + 3]);
  EXPECT_EQ(3, currentPointX);
  EXPECT_EQ(4, currentPointY);
  KRV_PutPixel(119, 109, 0x7FFFFFFF);  // the whole int is stored
  EXPECT_EQ(0x7FFFFFFF, KRV_GetPixel(119, 109));
  EXPECT_EQ(0, KRV_GetPixel(120, 0));
  EXPECT_EQ(-1, ProbePixel(120, 0));
  EXPECT_EQ(-1, ProbePixel(0, -1));
  EXPECT_EQ(0x123456, ProbePixel(3, 4));
}

TEST_F(Pixels, OutsideWritesStoreNothingButMoveTheCurrentPoint) {
  ASSERT_EQ(0, KRV_CreateImage(0, "p", -1, -1, 120, 110, 100));
  KRV_PutPixel(-1, 5, 0xFFFFFF);
  EXPECT_EQ(-1, currentPointX);
  EXPECT_EQ(5, currentPointY);
  KRV_XorPixel(120, 2);
  EXPECT_EQ(120, currentPointX);
  PlotPixel(0x7FFFFFFF, 0, 1);
  PlotPixel(0, (int)0x80000000, 1);
  TogglePixel(-5, -5);
  const int* words = (const int*)krv_pixels[0];
  for (int i = 0; i < 120 * 110; i++) ASSERT_EQ(0, words[i]) << i;
  EXPECT_EQ(120, currentPointX);  // the internal variants leave it alone
  EXPECT_EQ(2, currentPointY);
}

TEST_F(Pixels, EightBitImagesStoreTheLowByte) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "p8", -1, -1, 121, 110, 100));
  KRV_PutPixel(120, 3, 0xABCD78);
  EXPECT_EQ(0x78, KRV_GetPixel(120, 3));
  EXPECT_EQ(0x78, ((unsigned char*)krv_pixels[0])[3 * 124 + 120]);
  EXPECT_EQ(0, ((unsigned char*)krv_pixels[0])[3 * 124 + 121]);  // padding untouched
  KRV_XorPixel(120, 3);
  EXPECT_EQ(0x87, KRV_GetPixel(120, 3));
  EXPECT_EQ(-1, ProbePixel(121, 3));
  EXPECT_EQ(0, KRV_GetPixel(121, 3));
}

TEST_F(Pixels, XorInvertsTheColourBitsOnly) {
  ASSERT_EQ(0, KRV_CreateImage(0, "x", -1, -1, 120, 110, 100));
  KRV_PutPixel(1, 1, (16 << 16) | (32 << 8) | 48);
  KRV_XorPixel(1, 1);
  EXPECT_EQ((239 << 16) | (223 << 8) | 207, KRV_GetPixel(1, 1));
  KRV_XorPixel(1, 1);
  EXPECT_EQ((16 << 16) | (32 << 8) | 48, KRV_GetPixel(1, 1));
  KRV_PutPixel(2, 1, (int)0x5A000000);
  KRV_XorPixel(2, 1);
  EXPECT_EQ((int)0x5AFFFFFF, KRV_GetPixel(2, 1));  // the top byte is untouched
  EXPECT_EQ(2, currentPointX);
  EXPECT_EQ(1, currentPointY);
}

TEST_F(Pixels, DrawingFollowsTheSelectedImage) {
  ASSERT_EQ(0, KRV_CreateImage(0, "a", -1, -1, 120, 110, 100));
  ASSERT_EQ(0, KRV_CreateImage8(1, "b", -1, -1, 120, 110, 100));
  KRV_PutPixel(5, 5, 0x11);
  KRV_SelectImage(0);
  KRV_PutPixel(5, 5, 0x22);
  EXPECT_EQ(0x22, KRV_GetPixel(5, 5));
  KRV_SelectImage(1);
  EXPECT_EQ(0x11, KRV_GetPixel(5, 5));
  krv_current = 1000;  // an application's slip: nothing is drawn or read
  KRV_PutPixel(5, 5, 0x33);
  EXPECT_EQ(0, KRV_GetPixel(5, 5));
  EXPECT_EQ(-1, ProbePixel(5, 5));
}

TEST_F(Pixels, ADestroyedCurrentImageHasNoPixels) {
  ASSERT_EQ(0, KRV_CreateImage(0, "gone", -1, -1, 120, 110, 100));
  KRV_PutPixel(5, 5, 0x44);
  ASSERT_EQ(0, KRV_DestroyImage(0));
  ASSERT_EQ(0, krv_current);
  ASSERT_EQ(120, krv_images[0].width);  // the slot still has its size
  KRV_PutPixel(5, 5, 0x55);
  KRV_XorPixel(5, 5);
  EXPECT_EQ(0, KRV_GetPixel(5, 5));
  EXPECT_EQ(-1, ProbePixel(5, 5));
  int row[4] = {7, 7, 7, 7};
  KRV_GetRow(row, 5, 4);
  EXPECT_EQ(std::vector<int>({7, 7, 7, 7}), std::vector<int>(row, row + 4));
}

TEST_F(Pixels, ClearingIgnoresBadIds) {
  ASSERT_EQ(0, KRV_CreateImage8(2, "c", -1, -1, 121, 110, 100));
  unsigned char* bytes = (unsigned char*)krv_pixels[2];
  for (int i = 0; i < 124 * 110; i++) bytes[i] = 0xA5;
  KRV_ClearImage(3);
  KRV_ClearImage(-1);
  KRV_ClearImage(256);
  EXPECT_EQ(0xA5, bytes[0]);
  KRV_ClearImage(2);
  for (int i = 0; i < 124 * 110; i++) ASSERT_EQ(0, bytes[i]) << i;
}

TEST_F(Pixels, RowsAreCopiedWithZerosOutside) {
  ASSERT_EQ(0, KRV_CreateImage(0, "r", -1, -1, 120, 110, 100));
  for (int x = 0; x < 120; x++) KRV_PutPixel(x, 7, x + 1);
  std::vector<int> row(125, -1);
  KRV_GetRow(row.data(), 7, 125);
  for (int x = 0; x < 120; x++) EXPECT_EQ(x + 1, row[x]);
  for (int x = 120; x < 125; x++) EXPECT_EQ(0, row[x]);
  KRV_GetRow(row.data(), 110, 3);  // below the image
  EXPECT_EQ(std::vector<int>({0, 0, 0}), std::vector<int>(row.begin(), row.begin() + 3));

  ASSERT_EQ(0, KRV_CreateImage8(1, "r8", -1, -1, 121, 110, 100));
  for (int x = 0; x < 121; x++) KRV_PutPixel(x, 2, 200 + x % 50);
  std::vector<unsigned char> bytes(124, 0xEE);
  KRV_GetRow(bytes.data(), 2, 123);
  for (int x = 0; x < 121; x++) EXPECT_EQ(200 + x % 50, bytes[x]);
  EXPECT_EQ(0, bytes[121]);
  EXPECT_EQ(0, bytes[122]);
  EXPECT_EQ(0xEE, bytes[123]);  // count bytes and no more
}
