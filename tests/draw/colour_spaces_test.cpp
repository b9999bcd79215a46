// The fixed-point conversions, value for value.
#include <gtest/gtest.h>

#include <vector>

#include "draw/draw.h"

namespace {

std::vector<int> Hsv(int colour) {
  int h = -1, s = -1, v = -1;
  KRV_RgbToHsv(colour, &h, &s, &v);
  return {h, s, v};
}

int Rgb(int r, int g, int b) { return (r << 16) | (g << 8) | b; }

}  // namespace

TEST(ColourSpaces, HsvOfPrimariesGreysAndMagenta) {
  EXPECT_EQ(std::vector<int>({0, 255, 255}), Hsv(0xFF0000));
  EXPECT_EQ(std::vector<int>({120, 255, 255}), Hsv(0x00FF00));
  EXPECT_EQ(std::vector<int>({240, 255, 255}), Hsv(0x0000FF));
  EXPECT_EQ(std::vector<int>({0, 0, 128}), Hsv(0x808080));
  EXPECT_EQ(std::vector<int>({300, 255, 255}), Hsv(0xFF00FF));
  EXPECT_EQ(std::vector<int>({60, 255, 255}), Hsv(0xFFFF00));
  EXPECT_EQ(std::vector<int>({180, 255, 255}), Hsv(0x00FFFF));
  EXPECT_EQ(std::vector<int>({0, 0, 0}), Hsv(0));
}

TEST(ColourSpaces, HueRowsAndTheirTruncation) {
  // max R, min B: (G - B) x 60 / d
  EXPECT_EQ(std::vector<int>({14, 200, 210}), Hsv(Rgb(210, 57, 10)));  // 47 x 60 / 200 = 14.1
  // max G, min B: (G - R) x 60 / d + 60
  EXPECT_EQ(60 + (200 - 150) * 60 / 190, KRV_Hue(Rgb(150, 200, 10)));
  // max G, min R
  EXPECT_EQ(120 + (90 - 5) * 60 / 195, KRV_Hue(Rgb(5, 200, 90)));
  // max B, min R
  EXPECT_EQ(180 + (250 - 100) * 60 / 230, KRV_Hue(Rgb(20, 100, 250)));
  // max B, min G
  EXPECT_EQ(240 + (100 - 20) * 60 / 230, KRV_Hue(Rgb(100, 20, 250)));
  // max R, min G
  EXPECT_EQ(300 + (250 - 100) * 60 / 230, KRV_Hue(Rgb(250, 20, 100)));
  EXPECT_EQ(230, KRV_Saturation(Rgb(250, 20, 100)));
  EXPECT_EQ(250, KRV_Value(Rgb(250, 20, 100)));
  // The top byte plays no part.
  EXPECT_EQ(Hsv(Rgb(250, 20, 100)), Hsv((int)0xAB000000 | Rgb(250, 20, 100)));
}

TEST(ColourSpaces, HueStaysInWholeDegrees) {
  for (int colour = 0; colour < 0x1000000; colour += 4099) {
    std::vector<int> hsv = Hsv(colour);
    ASSERT_GE(hsv[0], 0) << std::hex << colour;
    ASSERT_LE(hsv[0], 359) << std::hex << colour;
    EXPECT_EQ(hsv[0], KRV_Hue(colour));
    EXPECT_EQ(hsv[1], KRV_Saturation(colour));
    EXPECT_EQ(hsv[2], KRV_Value(colour));
  }
}

TEST(ColourSpaces, HsvToRgbSectors) {
  EXPECT_EQ(Rgb(100, 50, 0), KRV_HsvToRgb(100, 200, 30));  // m is 0, d is 100
  EXPECT_EQ(Rgb(255, 0, 4), KRV_HsvToRgb(255, 255, 359));
  EXPECT_EQ(Rgb(80 + 120 * 30 / 60, 200, 80), KRV_HsvToRgb(200, 120, 90));
  EXPECT_EQ(Rgb(80, 200, 80 + 120 * 50 / 60), KRV_HsvToRgb(200, 120, 170));
  EXPECT_EQ(Rgb(80, 80 + 120 * 40 / 60, 200), KRV_HsvToRgb(200, 120, 200));
  EXPECT_EQ(Rgb(80 + 120 * 19 / 60, 80, 200), KRV_HsvToRgb(200, 120, 259));
  EXPECT_EQ(Rgb(200, 80, 80 + 120 * 60 / 60), KRV_HsvToRgb(200, 120, 300));
  EXPECT_EQ(Rgb(200, 80 + 120 * 59 / 60, 80), KRV_HsvToRgb(200, 120, 59));
  EXPECT_EQ(Rgb(128, 128, 128), KRV_HsvToRgb(128, 0, 0));
  for (int colour : {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x808080}) {
    std::vector<int> hsv = Hsv(colour);
    EXPECT_EQ(colour, KRV_HsvToRgb(hsv[2], hsv[1], hsv[0])) << std::hex << colour;
  }
}

TEST(ColourSpaces, LuminanceAndDifferencesOfPureColours) {
  EXPECT_EQ(255, LumaY(255, 255, 255));
  EXPECT_EQ(76, LumaY(255, 0, 0));
  EXPECT_EQ(29, LumaY(0, 0, 255));
  EXPECT_EQ(150, LumaY(0, 255, 0));
  EXPECT_EQ(128, ChromaCr(255, 0, 0));
  EXPECT_EQ(128, ChromaCb(0, 0, 255));
  EXPECT_EQ(-127, ChromaCb(255, 255, 0));
  EXPECT_EQ(-42, ChromaCb(255, 0, 0));  // -42.6 truncated toward zero
  EXPECT_EQ(-106, ChromaCr(0, 255, 0));
  EXPECT_EQ(111, ChromaU(0, 0, 255));
  EXPECT_EQ(157, ChromaV(255, 0, 0));
  EXPECT_EQ(-130, ChromaV(0, 255, 0));
  EXPECT_EQ(152, ChromaI(255, 0, 0));
  EXPECT_EQ(-126, ChromaQ(0, 255, 0));
  EXPECT_EQ(74, ChromaQ(0, 0, 255));
}

TEST(ColourSpaces, DifferencesOfEveryGreyAreZero) {
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(i, LumaY(i, i, i)) << i;
    EXPECT_EQ(0, ChromaCr(i, i, i)) << i;
    EXPECT_EQ(0, ChromaCb(i, i, i)) << i;
    EXPECT_EQ(0, ChromaU(i, i, i)) << i;
    EXPECT_EQ(0, ChromaV(i, i, i)) << i;
    EXPECT_EQ(0, ChromaI(i, i, i)) << i;
    EXPECT_EQ(0, ChromaQ(i, i, i)) << i;
  }
}

TEST(ColourSpaces, RangesOverAllColours) {
  int low[7] = {999, 999, 999, 999, 999, 999, 999}, high[7] = {-999, -999, -999, -999, -999,
                                                              -999, -999};
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 3) {
        const int values[7] = {LumaY(r, g, b),  ChromaCr(r, g, b), ChromaCb(r, g, b),
                               ChromaU(r, g, b), ChromaV(r, g, b),  ChromaI(r, g, b),
                               ChromaQ(r, g, b)};
        for (int i = 0; i < 7; i++) {
          if (values[i] < low[i]) low[i] = values[i];
          if (values[i] > high[i]) high[i] = values[i];
        }
      }
  // 255 is a multiple of 3, so every corner of the cube is visited.
  EXPECT_EQ(std::vector<int>({0, -127, -127, -110, -156, -151, -126}),
            std::vector<int>(low, low + 7));
  EXPECT_EQ(std::vector<int>({255, 128, 128, 111, 157, 152, 127}),
            std::vector<int>(high, high + 7));
}

TEST(ColourSpaces, ChromaPlanesBackToRgb) {
  EXPECT_EQ(Rgb(128, 128, 128), ChromaPlaneToRgb(ChromaYCrCb, 128, 0, 0));
  EXPECT_EQ(Rgb(128, 128, 128), ChromaPlaneToRgb(ChromaYuv, 128, 0, 0));
  EXPECT_EQ(Rgb(128, 128, 128), ChromaPlaneToRgb(ChromaYIQ, 128, 0, 0));
  // YCrCb, Y 100, Cb 20, Cr -30: R = (6586368 - 2756430) / 65536 = 58.4
  EXPECT_EQ(Rgb(58, 115, 135), ChromaPlaneToRgb(ChromaYCrCb, 100, 20, -30));
  // Yuv, Y 100, u 20, v -30
  EXPECT_EQ(Rgb(66, 110, 141), ChromaPlaneToRgb(ChromaYuv, 100, 20, -30));
  // YIQ, Y 100, Q 20, I -30
  EXPECT_EQ(Rgb(85, 94, 170), ChromaPlaneToRgb(ChromaYIQ, 100, 20, -30));
  // Clamped at both ends.
  EXPECT_EQ(Rgb(255, 0, 255), ChromaPlaneToRgb(ChromaYCrCb, 250, 100, 100) & 0xFF00FF);
  EXPECT_EQ(Rgb(0, 0, 0), ChromaPlaneToRgb(ChromaYCrCb, 0, -100, -100) & 0xFF00FF);
  EXPECT_EQ(0xFF, ChromaPlaneToRgb(ChromaYuv, 200, 127, 0) & 0xFF);
}
