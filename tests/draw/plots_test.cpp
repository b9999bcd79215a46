// Profile and Cr-Cb plots of picked rows and boxes, and the "Pixel" report.
#include <string.h>

#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/text_state.h"
#include "image/image_fixture.h"

namespace {

// Rows of column x of image id that hold colour.
std::vector<int> RowsWith(int id, int x, int colour) {
  std::vector<int> rows;
  const int previous = UseImage(id);
  for (int y = 0; y < krv_images[id].height; y++)
    if (KRV_GetPixel(x, y) == colour) rows.push_back(y);
  RestoreImage(previous);
  return rows;
}

int CountOf(int id, int colour) {
  int count = 0;
  const int previous = UseImage(id);
  for (int y = 0; y < krv_images[id].height; y++)
    for (int x = 0; x < krv_images[id].width; x++) count += KRV_GetPixel(x, y) == colour;
  RestoreImage(previous);
  return count;
}

}  // namespace

TEST(PlotGeometry, LevelsRunFromTheBottomRowToTheTop) {
  EXPECT_EQ(127, ProfileRow(0, 255));
  EXPECT_EQ(0, ProfileRow(255, 255));
  EXPECT_EQ(64, ProfileRow(128, 255));  // 128 x 127 / 255 = 63
  EXPECT_EQ(0, ProfileRow(359, 359));
  EXPECT_EQ(359, ProfileScale(ChannelHue));
  EXPECT_EQ(255, ProfileScale(ChannelCb));
  EXPECT_EQ(255, ProfileLevel(0xFF0000, ChannelRed));
  EXPECT_EQ(0, ProfileLevel(0xFF0000, ChannelGreen));
  EXPECT_EQ(240, ProfileLevel(0xFF00FF, ChannelHue) - 60);
  EXPECT_EQ(128, ProfileLevel(0x808080, ChannelCr));
  EXPECT_EQ(128, ProfileLevel(0x808080, ChannelCb));
  EXPECT_EQ(0x7F, ProfileLevel(0x12347F, ChannelByte));
  EXPECT_EQ(20, ProfileMargin(ProfileYCrCb));
  EXPECT_EQ(12, ProfileMargin(ProfileRgb));
  int x, y;
  CrCbPoint(0x808080, &x, &y);
  EXPECT_EQ(128, x);
  EXPECT_EQ(128, y);
  CrCbPoint(0x0000FF, &x, &y);  // Cb 128 - 0.5 rounds to 128; Cr is -21
  EXPECT_EQ(128 + ChromaCb(0, 0, 255), x);
  EXPECT_EQ(128 - ChromaCr(0, 0, 255), y);
}

TEST(PixelReport, WhiteInEveryColourSpace) {
  char text[512];
  FormatPixelReport(text, sizeof text, 32, 3, 4, 0xFFFFFF);
  EXPECT_STREQ(
      "(X,Y)=(3,4)\n(R,G,B)=(255,255,255)\n(H,S,V)=(0,0,255)\n(Y,Cr,Cb)=(255,0,0)\n"
      "(Y,u,v)=(255,0,0)\n(Y,I,Q)=(255,0,0)\n\n",
      text);
  FormatPixelReport(text, sizeof text, 32, 0, 0, 0xFF0000);
  EXPECT_STREQ(
      "(X,Y)=(0,0)\n(R,G,B)=(255,0,0)\n(H,S,V)=(0,255,255)\n(Y,Cr,Cb)=(76,128,-42)\n"
      "(Y,u,v)=(76,-36,157)\n(Y,I,Q)=(76,152,53)\n\n",
      text);
  FormatPixelReport(text, sizeof text, 8, 7, 1, 200);
  EXPECT_STREQ("(X,Y)=(7,1)\n(Luminance)=(200)\n\n", text);
  FormatPixelReport(text, 8, 32, 0, 0, 0);
  EXPECT_STREQ("(X,Y)=(", text);
}

class Plots : public ImageTest {
 protected:
  void TearDown() override {
    ForgetTextState();
    ImageTest::TearDown();
  }
};

TEST_F(Plots, RgbProfileOfARedPixel) {
  ASSERT_EQ(0, KRV_CreateImage(0, "source", -1, -1, 100, 20, 100));
  KRV_PutPixel(0, 7, 0xFF0000);
  const int plot = RunLineProfile(0, 7, ProfileRgb);
  ASSERT_EQ(1, plot);
  EXPECT_EQ(1, krv_current);
  EXPECT_EQ(112, krv_images[1].width);
  EXPECT_EQ(128, krv_images[1].height);
  EXPECT_EQ(100, krv_images[1].zoom);
  EXPECT_STREQ("RGB(Y=7)", krv_images[1].title);
  // Red rises from row 0 at x 12 to the black rest on row 127; green and blue stay at the bottom.
  EXPECT_EQ(std::vector<int>({127}), RowsWith(1, 111, 0x0000FF));
  // Blue is drawn last, so the bottom row is blue; green shows only in its label.
  EXPECT_TRUE(RowsWith(1, 11, 0x0000FF).empty());
  EXPECT_EQ(0xFF0000, KRV_GetPixel(12, 0));
  EXPECT_EQ(0x0000FF, KRV_GetPixel(12, 127));
  EXPECT_EQ(0, KRV_GetPixel(13, 0));
  for (int x = 13; x < 112; x++) EXPECT_EQ(0x0000FF, KRV_GetPixel(x, 127)) << x;
  // Labels in their curves' colours, within the margin.
  EXPECT_GT(CountOf(1, 0x00FF00), 10);
  for (int y = 58; y < 72; y++)
    for (int x = 0; x < 12; x++) {
      const int pixel = KRV_GetPixel(x, y);
      EXPECT_TRUE(pixel == 0 || pixel == 0x00FF00) << x << "," << y;
    }
  EXPECT_EQ(0x0000FF, krv_tc);
  EXPECT_EQ(104, krv_textY);
  EXPECT_EQ(10, krv_textX);
}

TEST_F(Plots, ProfilesOfEachKindAndDepth) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 30, 4, 100));
  ASSERT_EQ(0, KRV_CreateImage8(2, "grey", -1, -1, 30, 4, 100));
  KRV_SelectImage(0);
  for (int x = 0; x < 30; x++) KRV_PutPixel(x, 1, 0x808080);
  ASSERT_EQ(1, RunLineProfile(0, 1, ProfileYCrCb));
  EXPECT_EQ(50, krv_images[1].width);
  EXPECT_STREQ("YCrCb(Y=1)", krv_images[1].title);
  // Grey: Cr and Cb on row 127 - 128 x 127 / 255 = 64, Y (128) likewise; Cb is drawn last.
  EXPECT_EQ(0x8888FF, KRV_GetPixel(20, 64));
  EXPECT_EQ(0x8888FF, KRV_GetPixel(49, 64));
  ASSERT_EQ(3, RunLineProfile(0, 1, ProfileHsv));
  EXPECT_STREQ("HSV(Y=1)", krv_images[3].title);
  EXPECT_EQ(42, krv_images[3].width);
  EXPECT_EQ(0x00FFFF, KRV_GetPixel(12, 64));  // value 128, drawn last
  EXPECT_EQ(-1, RunLineProfile(0, 1, ProfileLumi));
  EXPECT_EQ(-1, RunLineProfile(2, 1, ProfileRgb));
  KRV_SelectImage(2);
  KRV_PutPixel(5, 2, 255);
  ASSERT_EQ(4, RunLineProfile(2, 2, ProfileLumi));
  EXPECT_STREQ("Luminance(Y=2)", krv_images[4].title);
  EXPECT_EQ(42, krv_images[4].width);
  EXPECT_EQ(32, krv_images[4].bits);
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(17, 0));
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(12, 127));
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(41, 127));
  EXPECT_EQ(-1, RunLineProfile(9, 0, ProfileRgb));
}

TEST_F(Plots, CrCbOfAGreyRowIsOnePoint) {
  ASSERT_EQ(0, KRV_CreateImage(0, "grey row", -1, -1, 40, 3, 100));
  for (int x = 0; x < 40; x++) KRV_PutPixel(x, 2, 0x101010 * (x % 16));
  ASSERT_EQ(1, RunRowCrCb(0, 2));
  EXPECT_EQ(256, krv_images[1].width);
  EXPECT_EQ(256, krv_images[1].height);
  EXPECT_STREQ("CrCb(Y=2)", krv_images[1].title);
  // Every point is the centre; the last of the 40 ends an odd segment.
  EXPECT_EQ(0xFF00FF, KRV_GetPixel(128, 128));
  EXPECT_EQ(1, CountOf(1, 0xFF00FF));
  EXPECT_EQ(0, CountOf(1, 0xFFFFFF));
  EXPECT_EQ(0x808080, KRV_GetPixel(0, 128));
  EXPECT_EQ(0x808080, KRV_GetPixel(255, 128));
  EXPECT_EQ(0x808080, KRV_GetPixel(128, 0));
  EXPECT_GT(CountOf(1, 0xFF8888), 10);
  EXPECT_GT(CountOf(1, 0x8888FF), 10);
  EXPECT_EQ(-1, RunRowCrCb(7, 0));
}

TEST_F(Plots, CrCbSegmentsAlternateInARowAndNotInABox) {
  ASSERT_EQ(0, KRV_CreateImage(0, "colours", -1, -1, 3, 2, 100));
  const int row[] = {0x808080, 0xFF0000, 0x00FF00};
  for (int x = 0; x < 3; x++) KRV_PutPixel(x, 0, row[x]);
  ASSERT_EQ(1, RunRowCrCb(0, 0));
  int rx, ry, gx, gy;
  CrCbPoint(0xFF0000, &rx, &ry);
  CrCbPoint(0x00FF00, &gx, &gy);
  EXPECT_EQ(86, rx);
  EXPECT_EQ(0, ry);
  EXPECT_EQ(45, gx);
  EXPECT_EQ(234, gy);
  EXPECT_EQ(0xFF00FF, KRV_GetPixel(128, 128));  // the first segment, odd, covers the start
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(rx, ry));      // the second, even, starts on the red point
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(gx, gy));
  EXPECT_GT(CountOf(1, 0xFF00FF), 100);
  ASSERT_EQ(2, RunAreaCrCb(0, 0, 0, 2, 1));
  EXPECT_STREQ("CrCb(0,0)-(2,1)", krv_images[2].title);
  EXPECT_EQ(0, CountOf(2, 0xFF00FF));
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(rx, ry));
  EXPECT_EQ(0xFFFFFF, KRV_GetPixel(128, 128));  // the black second row starts afresh there
  EXPECT_GT(CountOf(2, 0xFFFFFF), 200);
  EXPECT_EQ(-1, RunAreaCrCb(0, 2, 0, 1, 0));
}
