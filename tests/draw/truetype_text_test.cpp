// TrueType text in images: style codes, sizes, double-byte characters and the cell position.
#include <string.h>

#include <algorithm>

#include "draw/draw.h"
#include "draw/text_state.h"
#include "image/image_fixture.h"

namespace {

struct InkBox {
  int count, left, top, right, bottom;
};

// Non-black pixels of image id and their bounding box.
InkBox InkOf(int id) {
  InkBox box = {0, 1 << 30, 1 << 30, -1, -1};
  const ImageSlot& slot = krv_images[id];
  const int* pixels = (const int*)krv_pixels[id];
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < slot.width; x++)
      if (pixels[y * slot.width + x] != 0) {
        box.count++;
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
  return box;
}

LOGFONTW CurrentFont(void) {
  LOGFONTW font = {};
  GetObjectW(krv_ttFont, sizeof font, &font);
  return font;
}

}  // namespace

TEST(TrueTypeCodes, LeadBytesJoinTheirTrailBytes) {
  const char* text = "a\x82\xa0\xb1\xe0\x40\xfc\xfc";
  EXPECT_EQ('a', NextTTCode(&text));
  EXPECT_EQ(0x82A0, NextTTCode(&text));
  EXPECT_EQ(0xB1, NextTTCode(&text));  // a half-width katakana stands alone
  EXPECT_EQ(0xE040, NextTTCode(&text));
  EXPECT_EQ(0xFCFC, NextTTCode(&text));
  EXPECT_EQ(0, NextTTCode(&text));
  const char* cut = "\x03Z\x9f";
  EXPECT_EQ(3, NextTTCode(&cut));
  EXPECT_EQ('Z', NextTTCode(&cut));
  EXPECT_EQ(0, NextTTCode(&cut));  // a lead byte without its trail ends the text
  EXPECT_EQ(0, NextTTCode(&cut));
  EXPECT_STREQ("\x9f", cut);
  const char* none = NULL;
  EXPECT_EQ(0, NextTTCode(&none));
}

TEST(TrueTypeCodes, EachStyleCodeChangesOneField) {
  LOGFONTW font;
  DescribeStartupTTFont(&font);
  EXPECT_EQ(16, font.lfHeight);
  EXPECT_EQ(8, font.lfWidth);
  EXPECT_EQ(OUT_TT_ONLY_PRECIS, font.lfOutPrecision);
  EXPECT_STREQ(L"ＭＳ ゴシック", font.lfFaceName);
  LOGFONTW changed = font;
  EXPECT_EQ(1, ApplyTTStyleCode(&changed, 1));
  EXPECT_TRUE(changed.lfItalic);
  EXPECT_EQ(1, ApplyTTStyleCode(&changed, 5));
  EXPECT_TRUE(changed.lfUnderline);
  EXPECT_EQ(1, ApplyTTStyleCode(&changed, 3));
  EXPECT_EQ(700, changed.lfWeight);
  EXPECT_EQ(1, ApplyTTStyleCode(&changed, 2));
  EXPECT_FALSE(changed.lfItalic);
  EXPECT_TRUE(changed.lfUnderline);  // styles accumulate until switched off
  EXPECT_EQ(1, ApplyTTStyleCode(&changed, 6));
  EXPECT_EQ(1, ApplyTTStyleCode(&changed, 4));
  EXPECT_EQ(400, changed.lfWeight);
  for (int code : {0, 7, 9, 10, 11, 31}) EXPECT_EQ(0, ApplyTTStyleCode(&changed, code)) << code;
  changed.lfWeight = font.lfWeight;
  EXPECT_EQ(0, memcmp(&font, &changed, sizeof font));
}

class TrueTypeText : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    ResetTextState();
    ASSERT_NE(nullptr, krv_ttFont);
    ASSERT_EQ(0, KRV_CreateImage(0, "tt", -1, -1, 160, 80, 100));
  }
  void TearDown() override {
    ForgetTextState();
    ImageTest::TearDown();
  }
  void At(int x, int y) {
    krv_textX = krv_textLeft = x;
    krv_textY = y;
  }
};

TEST_F(TrueTypeText, FontSizeHalvesTheCellWidth) {
  EXPECT_EQ(0, KRV_SetTTFontSize(17, 30));
  EXPECT_EQ(8, krv_ttWidth);
  EXPECT_EQ(30, krv_ttHeight);
  LOGFONTW font = CurrentFont();
  EXPECT_EQ(8, font.lfWidth);
  EXPECT_EQ(30, font.lfHeight);
  EXPECT_STREQ(L"ＭＳ ゴシック", font.lfFaceName);
  EXPECT_EQ(0, KRV_SetTTFontSize(-5, 20));
  EXPECT_EQ(-2, krv_ttWidth);  // truncated toward zero
}

TEST_F(TrueTypeText, BoxFromTenTwentyToFortyOneFiftyOneFillsOneCell) {
  // The box the "Draw" command picks: one cell 32 high, a double-byte character 32 wide.
  At(10, 51);
  ASSERT_EQ(0, KRV_SetTTFontSize(41 - 10 + 1, 51 - 20 + 1));
  EXPECT_EQ(16, CurrentFont().lfWidth);
  EXPECT_EQ(32, CurrentFont().lfHeight);
  KRV_DrawTTString("■");
  const InkBox ink = InkOf(0);
  ASSERT_GT(ink.count, 200);
  EXPECT_GE(ink.top, 20);
  EXPECT_LE(ink.top, 26);
  EXPECT_LE(ink.bottom, 51);
  EXPECT_GE(ink.bottom, 44);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 41);
  EXPECT_EQ(42, krv_textX);
  EXPECT_EQ(51, krv_textY);
}

TEST_F(TrueTypeText, JapaneseTextDrawsInTheTextColour) {
  krv_tttc = 0x00FF00;
  At(4, 30);
  KRV_DrawTTString("日本語");
  const InkBox ink = InkOf(0);
  ASSERT_GT(ink.count, 60);
  EXPECT_GE(ink.top, 15);
  EXPECT_LE(ink.bottom, 30);
  EXPECT_EQ(4 + 3 * 16, krv_textX);  // full-width characters advance twice the width
  int green = 0;
  for (int y = 0; y < 80; y++)
    for (int x = 0; x < 160; x++) green += KRV_GetPixel(x, y) == 0x00FF00;
  EXPECT_GT(green, 30);
}

TEST_F(TrueTypeText, CodeThreeDrawsTheRestBoldAndLeavesTheFontBold) {
  ASSERT_EQ(0, KRV_CreateImage(1, "plain", -1, -1, 160, 80, 100));
  At(4, 40);
  KRV_DrawTTString("HHH");
  const InkBox plain = InkOf(1);
  KRV_SelectImage(0);
  At(4, 40);
  HFONT before = krv_ttFont;
  KRV_DrawTTString("\x03HHH");
  const InkBox bold = InkOf(0);
  EXPECT_NE(before, krv_ttFont);
  EXPECT_EQ(700, CurrentFont().lfWeight);
  EXPECT_GT(plain.count, 30);
  EXPECT_GT(bold.count, plain.count);
  KRV_DrawTTChar(4);
  EXPECT_EQ(400, CurrentFont().lfWeight);
}

TEST_F(TrueTypeText, StyleCodesReplaceTheFontAndOtherCodesDoNot) {
  KRV_DrawTTString("\x01\x05");
  LOGFONTW font = CurrentFont();
  EXPECT_TRUE(font.lfItalic);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_EQ(16, font.lfHeight);
  HFONT current = krv_ttFont;
  KRV_DrawTTChar(7);
  KRV_DrawTTChar(0);
  EXPECT_EQ(current, krv_ttFont);
  KRV_DrawTTChar(2);
  font = CurrentFont();
  EXPECT_FALSE(font.lfItalic);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_EQ(0, InkOf(0).count);  // codes draw nothing
}

TEST_F(TrueTypeText, NewLineReturnsToTheMarginOneCellDown) {
  KRV_SetTTFontSize(20, 24);
  At(6, 30);
  KRV_DrawTTString("AB\nC");
  EXPECT_EQ(54, krv_textY);
  EXPECT_GT(krv_textX, 6);
  EXPECT_LT(krv_textX, 6 + 2 * 10 + 1);
  const InkBox ink = InkOf(0);
  EXPECT_GE(ink.top, 7);
  EXPECT_LE(ink.bottom, 54);
  EXPECT_GT(ink.bottom, 40);  // "C" stands in the second line's cell
}

TEST_F(TrueTypeText, ATrailingLeadByteEndsTheString) {
  At(4, 30);
  KRV_DrawTTString("A");
  const int afterA = krv_textX;
  const InkBox a = InkOf(0);
  KRV_ClearImage(0);
  At(4, 30);
  KRV_DrawTTString("A\x82");
  EXPECT_EQ(afterA, krv_textX);
  EXPECT_EQ(a.count, InkOf(0).count);
}

TEST_F(TrueTypeText, NothingHappensWithoutACurrentImage) {
  KRV_DestroyImage(0);
  At(4, 30);
  KRV_DrawTTString("AB");
  EXPECT_EQ(4, krv_textX);
}
