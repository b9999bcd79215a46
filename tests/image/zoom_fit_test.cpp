// The zoom fit and the caption as plain arithmetic, with limits given.
#include <gtest/gtest.h>

#include <string>

#include "image/image.h"

namespace {

const ZoomLimits screen1920 = {104, 1, 1920, 1057};
const ZoomLimits tall = {112, 27, 1280, 1005};

ZoomFit Fit(int zoom, int width, int height, const ZoomLimits& limits = screen1920) {
  ZoomFit fit = {-1, -1, -1};
  EXPECT_EQ(0, FitZoom(zoom, width, height, limits, &fit)) << width << "x" << height;
  return fit;
}

std::string Caption(const char* title, int zoom, int bits, int halftone) {
  char caption[ImageCaptionSize];
  FormatImageCaption(title, zoom, bits, halftone, caption);
  return caption;
}

const char wideA[] = "\x82\xa0";  // a double-byte character of code page 932

}  // namespace

TEST(ZoomFit, AWindowThatFitsKeepsTheRequestedZoom) {
  ZoomFit fit = Fit(100, 640, 480);
  EXPECT_EQ(100, fit.zoom);
  EXPECT_EQ(640, fit.dispWidth);
  EXPECT_EQ(480, fit.dispHeight);
  fit = Fit(200, 320, 240);
  EXPECT_EQ(200, fit.zoom);
  EXPECT_EQ(640, fit.dispWidth);
  EXPECT_EQ(480, fit.dispHeight);
  fit = Fit(150, 101, 33);
  EXPECT_EQ(150, fit.zoom);
  EXPECT_EQ(151, fit.dispWidth);  // 101 x 150 / 100, truncated
  EXPECT_EQ(49, fit.dispHeight);
}

TEST(ZoomFit, ALargeImageGetsTheLargestZoomThatFits) {
  ZoomFit fit = Fit(100, 2000, 2000);
  EXPECT_EQ(52, fit.zoom);
  EXPECT_EQ(1040, fit.dispWidth);
  EXPECT_EQ(1040, fit.dispHeight);
  fit = Fit(300, 1000, 100);
  EXPECT_EQ(192, fit.zoom);  // the width bounds it: 1920 / 1000
  EXPECT_EQ(1920, fit.dispWidth);
  EXPECT_EQ(192, fit.dispHeight);
}

TEST(ZoomFit, PercentagesThatDoublesMissAreKeptExactly) {
  // In double arithmetic 640 x 23 / 100 x 100 / 640 comes out just below 23.
  ZoomFit fit = Fit(23, 640, 480);
  EXPECT_EQ(23, fit.zoom);
  EXPECT_EQ(147, fit.dispWidth);
  EXPECT_EQ(110, fit.dispHeight);
  const ZoomLimits roomy = {1, 1, 1920, 1057};
  for (int zoom = 1; zoom <= 300; zoom++) EXPECT_EQ(zoom, Fit(zoom, 320, 240, roomy).zoom);
  for (int zoom = 15; zoom <= 300; zoom++) EXPECT_EQ(zoom, Fit(zoom, 7, 100, roomy).zoom);
}

TEST(ZoomFit, ATinyImageIsRaisedToTheMinimumWindow) {
  ZoomFit fit = Fit(100, 1, 1);
  EXPECT_EQ(10400, fit.zoom);
  EXPECT_EQ(104, fit.dispWidth);
  EXPECT_EQ(104, fit.dispHeight);
  fit = Fit(100, 1, 1, tall);
  EXPECT_EQ(11200, fit.zoom);
  EXPECT_EQ(112, fit.dispWidth);
  EXPECT_EQ(112, fit.dispHeight);
  fit = Fit(50, 150, 100, tall);  // 75 wide would be too narrow
  EXPECT_EQ(75, fit.zoom);        // the ceiling of 112 x 100 / 150 = 74.67
  EXPECT_EQ(112, fit.dispWidth);
  EXPECT_EQ(75, fit.dispHeight);
  fit = Fit(100, 40, 2, tall);  // the height raises it
  EXPECT_EQ(1350, fit.zoom);
  EXPECT_EQ(540, fit.dispWidth);
  EXPECT_EQ(27, fit.dispHeight);
}

TEST(ZoomFit, ARaisedZoomThatOverflowsTheLimitsFails) {
  ZoomFit fit = {7, 7, 7};
  EXPECT_EQ(2, FitZoom(10, 3, 1000, tall, &fit));  // raised to 3734: 37340 high
  EXPECT_EQ(2, FitZoom(100, 1, 5000, tall, &fit));
  EXPECT_EQ(2, FitZoom(100, 1, 2000000000, tall, &fit));  // 2.24e11 high, without overflow
  EXPECT_EQ(2, FitZoom(100, 1, 5000, {1, 1, 2560, 2048}, &fit));
  EXPECT_EQ(7, fit.zoom);
  EXPECT_EQ(7, fit.dispWidth);
  EXPECT_EQ(7, fit.dispHeight);
}

TEST(ImageCaption, ShowsTitleZoomDepthAndHalftone) {
  EXPECT_EQ("000(100%)", Caption("000", 100, 32, 0));
  EXPECT_EQ("000(100%)[8bit]", Caption("000", 100, 8, 0));
  EXPECT_EQ("000(52%)*", Caption("000", 52, 32, 1));
  EXPECT_EQ("abc(200%)[8bit]*", Caption("abc", 200, 8, 1));
  EXPECT_EQ("(100%)", Caption(NULL, 100, 32, 0));
  EXPECT_EQ("100%(100%)", Caption("100%", 100, 32, 0));  // the title is not a format
}

TEST(ImageCaption, AnOverLongTitleIsCutSoTheZoomStays) {
  std::string caption = Caption(std::string(300, 'a').c_str(), 100, 8, 1);
  EXPECT_EQ(255u, caption.size());
  EXPECT_EQ(std::string(242, 'a') + "(100%)[8bit]*", caption);
  std::string title;
  for (int i = 0; i < 150; i++) title += wideA;
  caption = Caption(title.c_str(), 100, 32, 0);
  // 249 bytes are left for the title: 124 whole characters, not half of the 125th.
  EXPECT_EQ(254u, caption.size());
  EXPECT_EQ(title.substr(0, 248) + "(100%)", caption);
}

TEST(ImageCaption, NarrowCopiesDoNotSplitDoubleByteCharacters) {
  char out[8] = "zzzzzzz";
  CopyNarrowText(out, "a\x82\xa0" "b", 4);
  EXPECT_STREQ("a\x82\xa0", out);
  CopyNarrowText(out, "a\x82\xa0" "b", 3);
  EXPECT_STREQ("a", out);
  CopyNarrowText(out, "abcdefghij", 8);
  EXPECT_STREQ("abcdefg", out);
  CopyNarrowText(out, "x", 1);
  EXPECT_STREQ("", out);
}
