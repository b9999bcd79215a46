// Inversion, mirrors, quarter turns, rescaling and clipping on real 32-bit and 8-bit images.
#include <stdlib.h>

#include <string>
#include <vector>

#include "draw/draw.h"
#include "image/image_fixture.h"

namespace {

// Every pixel of image id, row by row, without the row padding of 8-bit images.
std::vector<int> PixelsOf(int id) {
  const ImageSlot& slot = krv_images[id];
  std::vector<int> pixels;
  const int previous = UseImage(id);
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < slot.width; x++) pixels.push_back(KRV_GetPixel(x, y));
  RestoreImage(previous);
  return pixels;
}

// Distinct values: 32-bit ones with both high and low channel bits, 8-bit ones below 256.
void FillDistinct(int id) {
  const ImageSlot& slot = krv_images[id];
  const int previous = UseImage(id);
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < slot.width; x++) {
      const int i = y * slot.width + x;
      KRV_PutPixel(x, y, slot.bits == 32 ? 0x010203 * (i + 1) + 0x800000 * (i & 1) : i * 7 + 3);
    }
  RestoreImage(previous);
}

int ThreadWindowCount(void) {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), [](HWND, LPARAM counter) -> BOOL {
    ++*(int*)counter;
    return TRUE;
  }, (LPARAM)&count);
  return count;
}

}  // namespace

TEST(TransformArithmetic, QuarterTurnsMapEveryPixel) {
  // A 3 x 2 image turned clockwise: new (x', y') = old (y', 1 - x').
  int x, y;
  RotatedSource(1, 3, 2, 0, 0, &x, &y);
  EXPECT_EQ(0, x);
  EXPECT_EQ(1, y);
  RotatedSource(1, 3, 2, 1, 2, &x, &y);
  EXPECT_EQ(2, x);
  EXPECT_EQ(0, y);
  RotatedSource(0, 3, 2, 0, 0, &x, &y);
  EXPECT_EQ(2, x);
  EXPECT_EQ(0, y);
  RotatedSource(0, 3, 2, 1, 2, &x, &y);
  EXPECT_EQ(0, x);
  EXPECT_EQ(1, y);
}

TEST(TransformArithmetic, ScaledLengthsRoundHalvesUp) {
  EXPECT_EQ(2, ScaledLength(3, 500));
  EXPECT_EQ(71, ScaledLength(100, 707));
  EXPECT_EQ(141, ScaledLength(100, 1414));
  EXPECT_EQ(200, ScaledLength(100, 2000));
  EXPECT_EQ(1, ScaledLength(1, 500));
  EXPECT_EQ(1, ScaledLength(1, 707));
  EXPECT_EQ(4000000, ScaledLength(2000000, 2000));  // past the int range on the way
  EXPECT_EQ(0, ScaledLength(2000000000, 2000));
}

class Transforms : public ImageTest {};

TEST_F(Transforms, ClockwiseTurnOfThreeByTwo) {
  ASSERT_EQ(0, KRV_CreateImage(0, "turn", -1, -1, 3, 2, 100));
  const int a = 0xA, b = 0xB, c = 0xC, d = 0xD, e = 0xE, f = 0xF;
  const int before[] = {a, b, c, d, e, f};
  for (int i = 0; i < 6; i++) KRV_PutPixel(i % 3, i / 3, before[i]);
  ASSERT_EQ(0, RotateImage(0, 1));
  EXPECT_EQ(2, krv_images[0].width);
  EXPECT_EQ(3, krv_images[0].height);
  EXPECT_EQ((std::vector<int>{d, a, e, b, f, c}), PixelsOf(0));
  ASSERT_EQ(0, RotateImage(0, 0));
  EXPECT_EQ(3, krv_images[0].width);
  EXPECT_EQ((std::vector<int>{a, b, c, d, e, f}), PixelsOf(0));
  EXPECT_EQ(0, krv_current);
}

TEST_F(Transforms, TurnsBackAndFourTurnsRestoreBothDepths) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 7, 5, 100));
  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 7, 5, 100));
  for (int id : {0, 1}) {
    FillDistinct(id);
    const std::vector<int> start = PixelsOf(id);
    ASSERT_EQ(0, RotateImage(id, 0));
    EXPECT_EQ(5, krv_images[id].width);
    EXPECT_EQ(7, krv_images[id].height);
    EXPECT_EQ(PixelsOf(id)[0], start[6]);  // the top right corner comes to the top left
    ASSERT_EQ(0, RotateImage(id, 1));
    EXPECT_EQ(start, PixelsOf(id));
    for (int turn = 0; turn < 4; turn++) ASSERT_EQ(0, RotateImage(id, 1));
    EXPECT_EQ(7, krv_images[id].width);
    EXPECT_EQ(start, PixelsOf(id));
  }
  EXPECT_EQ(8, krv_images[1].bits);
}

TEST_F(Transforms, RescalingGivesTheRoundedSizes) {
  ASSERT_EQ(0, KRV_CreateImage(0, "scale", -1, -1, 3, 3, 100));
  ASSERT_EQ(0, ScaleImage(0, 500));
  EXPECT_EQ(2, krv_images[0].width);
  EXPECT_EQ(2, krv_images[0].height);
  ASSERT_EQ(0, KRV_ResizeImage(0, 100, 100));
  ASSERT_EQ(0, ScaleImage(0, 707));
  EXPECT_EQ(71, krv_images[0].width);
  EXPECT_EQ(71, krv_images[0].height);
  ASSERT_EQ(0, KRV_ResizeImage(0, 100, 100));
  ASSERT_EQ(0, ScaleImage(0, 1414));
  EXPECT_EQ(141, krv_images[0].width);
  EXPECT_EQ(141, krv_images[0].height);
  EXPECT_EQ(1, ScaleImage(9, 500));
}

TEST_F(Transforms, DoublingRepeatsAndHalvingKeepsWholePixels) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 4, 3, 100));
  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 4, 3, 100));
  for (int id : {0, 1}) {
    FillDistinct(id);
    const std::vector<int> start = PixelsOf(id);
    ASSERT_EQ(0, ScaleImage(id, 2000));
    ASSERT_EQ(8, krv_images[id].width);
    ASSERT_EQ(6, krv_images[id].height);
    const std::vector<int> doubled = PixelsOf(id);
    for (int y = 0; y < 6; y++)
      for (int x = 0; x < 8; x++)
        EXPECT_EQ(start[(y / 2) * 4 + x / 2], doubled[y * 8 + x]) << id << " " << x << "," << y;
    ASSERT_EQ(0, ScaleImage(id, 500));
    EXPECT_EQ(start, PixelsOf(id));
  }
}

TEST_F(Transforms, MirrorsTwiceRestoreAndOnceMirror) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 5, 3, 100));
  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 5, 3, 100));
  for (int id : {0, 1}) {
    FillDistinct(id);
    const std::vector<int> start = PixelsOf(id);
    ASSERT_EQ(0, FlipImage(id, 1));
    std::vector<int> flipped = PixelsOf(id);
    for (int y = 0; y < 3; y++)
      for (int x = 0; x < 5; x++) EXPECT_EQ(start[y * 5 + 4 - x], flipped[y * 5 + x]);
    ASSERT_EQ(0, FlipImage(id, 1));
    EXPECT_EQ(start, PixelsOf(id));
    ASSERT_EQ(0, FlipImage(id, 0));
    flipped = PixelsOf(id);
    for (int y = 0; y < 3; y++)
      for (int x = 0; x < 5; x++) EXPECT_EQ(start[(2 - y) * 5 + x], flipped[y * 5 + x]);
    ASSERT_EQ(0, FlipImage(id, 0));
    EXPECT_EQ(start, PixelsOf(id));
  }
  EXPECT_EQ(1, krv_current);  // mirrors select nothing
  EXPECT_EQ(1, FlipImage(7, 1));
}

TEST_F(Transforms, InvertKeepsTheTopByteZero) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 3, 2, 100));
  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 3, 2, 100));
  KRV_SelectImage(0);
  KRV_PutPixel(0, 0, 0x123456);
  KRV_PutPixel(2, 1, 0xFFFFFF);
  KRV_SelectImage(1);
  KRV_PutPixel(1, 0, 10);
  ASSERT_EQ(0, InvertImage(0));
  ASSERT_EQ(0, InvertImage(1));
  EXPECT_EQ(1, krv_current);
  EXPECT_EQ((std::vector<int>{0xEDCBA9, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0}),
            PixelsOf(0));
  EXPECT_EQ((std::vector<int>{255, 245, 255, 255, 255, 255}), PixelsOf(1));
  ASSERT_EQ(0, InvertImage(0));
  EXPECT_EQ(0x123456, PixelsOf(0)[0]);
  EXPECT_EQ(1, InvertImage(-1));
}

TEST_F(Transforms, ClippingOnePixelMakesAOneByOneImage) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 6, 5, 100));
  FillDistinct(0);
  const int clip = ClipImage(0, 3, 4, 3, 4);
  ASSERT_EQ(1, clip);
  EXPECT_EQ(1, krv_current);
  EXPECT_EQ(1, krv_images[1].width);
  EXPECT_EQ(1, krv_images[1].height);
  EXPECT_EQ(32, krv_images[1].bits);
  EXPECT_STREQ("(3,4)-(3,4)", krv_images[1].title);
  EXPECT_EQ(PixelsOf(0)[4 * 6 + 3], PixelsOf(1)[0]);
  const RECT outer = WindowRectOf(krv_images[1].window);
  EXPECT_EQ(0, outer.left);
  EXPECT_EQ(0, outer.top);
}

TEST_F(Transforms, ClippingAnEightBitBoxKeepsItsColourTable) {
  ASSERT_EQ(0, KRV_CreateImage(0, "first", -1, -1, 4, 4, 100));
  ASSERT_EQ(0, KRV_CreateImage8(2, "grey", -1, -1, 6, 5, 100));
  FillDistinct(2);
  RGBQUAD colours[256];
  for (int i = 0; i < 256; i++) colours[i] = {(BYTE)i, (BYTE)(255 - i), (BYTE)(i / 2), 0};
  KRV_SetPalette(colours, 256);
  const int clip = ClipImage(2, 1, 2, 4, 3);
  ASSERT_EQ(1, clip);  // the lowest free id
  EXPECT_EQ(8, krv_images[1].bits);
  EXPECT_EQ(4, krv_images[1].width);
  EXPECT_EQ(2, krv_images[1].height);
  const std::vector<int> source = PixelsOf(2), copy = PixelsOf(1);
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 4; x++) EXPECT_EQ(source[(2 + y) * 6 + 1 + x], copy[y * 4 + x]);
  RGBQUAD copied[256];
  ASSERT_EQ(0, KRV_GetPalette(copied));
  EXPECT_EQ(0, memcmp(colours, copied, sizeof colours));
  EXPECT_STREQ("(1,2)-(4,3)", krv_images[1].title);
}

TEST_F(Transforms, NoFreeIdMeansNoClipAndNoPlot) {
  for (int id = 0; id < 256; id++) ASSERT_EQ(0, KRV_CreateImage(id, "full", 0, 0, 8, 8, 100));
  const int windowsBefore = ThreadWindowCount();
  EXPECT_GE(windowsBefore, 256);
  KRV_SelectImage(5);
  EXPECT_EQ(-1, ClipImage(5, 0, 0, 3, 3));
  EXPECT_EQ(-1, RunLineProfile(5, 2, ProfileRgb));
  EXPECT_EQ(-1, RunRowCrCb(5, 2));
  EXPECT_EQ(-1, RunAreaCrCb(5, 0, 0, 3, 3));
  EXPECT_EQ(5, krv_current);
  EXPECT_EQ(windowsBefore, ThreadWindowCount());
  for (int id = 0; id < 256; id++) EXPECT_EQ(8, krv_images[id].width);
}

TEST_F(Transforms, RescalingKeepsTheStretchMode) {
  ASSERT_EQ(0, KRV_CreateImage(0, "halftone", -1, -1, 4, 4, 100));
  ASSERT_EQ(0, KRV_SetStretchMode(HALFTONE, 0));
  ASSERT_EQ(0, ScaleImage(0, 500));
  EXPECT_EQ(2, krv_images[0].width);
  EXPECT_EQ(HALFTONE, KRV_GetStretchMode(0));
  EXPECT_EQ(HALFTONE, GetStretchBltMode(krv_images[0].memDC));
  const std::wstring caption = CaptionOf(krv_images[0].window);
  EXPECT_EQ(L'*', caption.back());
}
