// The six test patterns against a per-pixel computation written out here from the formulas.
#include <math.h>

#include <vector>

#include "draw/draw.h"
#include "image/image_fixture.h"

namespace {

int Clamp(long long sum) {
  const long long channel = sum / 65536;
  return channel < 0 ? 0 : channel > 255 ? 255 : (int)channel;
}

// Coefficients of N and P per channel, R, G, B, for YCrCb, Yuv and YIQ.
const long long chroma[3][3][2] = {
    {{91881, 0}, {-46793, -22544}, {0, 116130}},
    {{74711, 0}, {-38076, -25952}, {0, 132973}},
    {{62187, 42998}, {-17334, -44872}, {-73859, 118292}},
};

int ExpectedChroma(int space, int x, int y, int w, int h) {
  const long long p = (x - w / 2) * 255 / w, b = (y - h / 2) * 255 / h, n = -b;
  const long long level = (long long)floor(sqrt((double)(5 * b * b + 5 * p * p)));
  int rgb = 0;
  for (int c = 0; c < 3; c++)
    rgb = rgb * 256 +
          Clamp(65536 * level + 32768 + chroma[space][c][0] * n + chroma[space][c][1] * p);
  return rgb;
}

int ExpectedRgb(int x, int y, int w, int h) {
  const int r = x * 255 / w, g = y * 255 / h, b = 255 - 255 * (x + y) / (w + h);
  return r * 65536 + g * 256 + b;
}

int ExpectedHsv(int x, int y, int w, int h) {
  const int n = h / 2;
  const int hue = x * 359 / w;
  const int s = y < n ? y * 255 / n : 255;
  const int v = y < n || n == 0 ? 255 : 255 - (y - n) * 255 / n;
  return KRV_HsvToRgb(v, s, hue);
}

int ExpectedGrey(int x, int y, int w, int h) {
  const int level = x * 255 / w;
  return y < h / 2 ? level * 0x010101 : 0xFFFFFF - level * 0x010101;
}

int Expected(int pattern, int x, int y, int w, int h) {
  switch (pattern) {
    case PatternRgb: return ExpectedRgb(x, y, w, h);
    case PatternHsv: return ExpectedHsv(x, y, w, h);
    case PatternGrey: return ExpectedGrey(x, y, w, h);
    case PatternYCrCb: return ExpectedChroma(0, x, y, w, h);
    case PatternYuv: return ExpectedChroma(1, x, y, w, h);
    default: return ExpectedChroma(2, x, y, w, h);
  }
}

const int patterns[] = {PatternRgb, PatternHsv, PatternYCrCb, PatternYuv, PatternYiq, PatternGrey};

}  // namespace

TEST(PatternPixels, RgbCornersOfTwoFiftySix) {
  EXPECT_EQ(0x0000FF, RgbPatternPixel(0, 0, 256, 256));
  EXPECT_EQ((254 << 16) | 128, RgbPatternPixel(255, 0, 256, 256));
  EXPECT_EQ(0xFEFE01, RgbPatternPixel(255, 255, 256, 256));
}

TEST(PatternPixels, HsvHalvesAndAOneRowImage) {
  EXPECT_EQ(0xFFFFFF, HsvPatternPixel(0, 0, 10, 10));    // white at the top
  EXPECT_EQ(0xFF0000, HsvPatternPixel(0, 5, 10, 10));    // full colour in the middle
  EXPECT_EQ(0x330000, HsvPatternPixel(0, 9, 10, 10));    // 255 - 4 x 255 / 5 = 51
  EXPECT_EQ(0xFF0000, HsvPatternPixel(0, 0, 10, 1));     // one row: full colour, no division
  EXPECT_EQ(KRV_HsvToRgb(255, 255, 179), HsvPatternPixel(5, 0, 10, 1));
  EXPECT_EQ(0xFFFFFF, HsvPatternPixel(0, 0, 1, 2));
  EXPECT_EQ(0xFF0000, HsvPatternPixel(0, 1, 1, 2));
}

TEST(PatternPixels, ChromaCentreIsDarkAndNeutral) {
  for (int space : {ChromaYCrCb, ChromaYuv, ChromaYIQ}) {
    EXPECT_EQ(0, ChromaPatternPixel(space, 50, 50, 100, 100)) << space;
    for (int x : {0, 13, 99})
      for (int y : {0, 41, 99})
        EXPECT_EQ(ExpectedChroma(space, x, y, 100, 100), ChromaPatternPixel(space, x, y, 100, 100));
  }
  EXPECT_EQ(127, GreyPatternLevel(50, 100));
}

class Patterns : public ImageTest {
 protected:
  void CheckAll(int id) {
    const ImageSlot& slot = krv_images[id];
    const int mask = slot.bits == 8 ? 0xFF : 0xFFFFFF;
    for (int pattern : patterns) {
      KRV_ClearImage(id);
      ASSERT_EQ(0, FillTestPattern(id, pattern));
      const int previous = UseImage(id);
      int wrong = 0;
      for (int y = 0; y < slot.height; y++)
        for (int x = 0; x < slot.width; x++) {
          const int expected = Expected(pattern, x, y, slot.width, slot.height) & mask;
          if (KRV_GetPixel(x, y) != expected && wrong++ < 3)
            ADD_FAILURE() << "pattern " << pattern << " at " << x << "," << y << " of "
                          << slot.width << "x" << slot.height << "/" << slot.bits << ": "
                          << std::hex << KRV_GetPixel(x, y) << " not " << expected;
        }
      RestoreImage(previous);
      EXPECT_EQ(0, wrong) << pattern;
    }
  }
};

TEST_F(Patterns, EveryPatternOnOddSizes) {
  const int sizes[][2] = {{7, 5}, {13, 9}, {1, 1}, {3, 1}, {1, 4}, {33, 17}};
  for (const auto& size : sizes) {
    ASSERT_EQ(0, KRV_CreateImage(3, "pattern", -1, -1, size[0], size[1], 100));
    CheckAll(3);
    KRV_DestroyImage(3);
  }
}

TEST_F(Patterns, EveryPatternOnAnEightBitImageStoresTheLowByte) {
  ASSERT_EQ(0, KRV_CreateImage8(4, "pattern8", -1, -1, 11, 7, 100));
  RGBQUAD red[256] = {};
  for (RGBQUAD& entry : red) entry.rgbRed = 255;
  KRV_SelectImage(4);
  KRV_SetPalette(red, 256);
  CheckAll(4);
  RGBQUAD table[256];
  ASSERT_EQ(0, KRV_GetPalette(table));  // "Grey" has put the grey ramp back
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(i, table[i].rgbRed);
    EXPECT_EQ(i, table[i].rgbBlue);
  }
}

TEST_F(Patterns, GreyOnAnOddHeightHasTheSmallerBandOnTop) {
  ASSERT_EQ(0, KRV_CreateImage(0, "grey", -1, -1, 4, 7, 100));
  ASSERT_EQ(0, FillTestPattern(0, PatternGrey));
  for (int y = 0; y < 7; y++) EXPECT_EQ(y < 3 ? 0x3F3F3F : 0xC0C0C0, KRV_GetPixel(1, y)) << y;
  EXPECT_EQ(1, FillTestPattern(9, PatternGrey));
}

TEST_F(Patterns, FillingAnotherImageLeavesTheSelectionAlone) {
  ASSERT_EQ(0, KRV_CreateImage(0, "a", -1, -1, 5, 5, 100));
  ASSERT_EQ(0, KRV_CreateImage(1, "b", -1, -1, 5, 5, 100));
  const int history0 = krv_history[0];
  ASSERT_EQ(0, FillTestPattern(0, PatternRgb));
  EXPECT_EQ(1, krv_current);
  EXPECT_EQ(history0, krv_history[0]);
  EXPECT_EQ(0, KRV_GetPixel(0, 0));
}
