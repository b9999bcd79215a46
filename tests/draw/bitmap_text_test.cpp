// The bitmap font's table and the bitmap text drawn into real images.
#include <string.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "draw/draw.h"
#include "draw/text_state.h"
#include "image/image_fixture.h"

namespace {

typedef std::vector<std::pair<int, int>> PixelList;

// Pixels of the current image whose value is colour, row by row.
PixelList PixelsOf(int colour) {
  PixelList list;
  const ImageSlot& slot = krv_images[krv_current];
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < slot.width; x++)
      if (KRV_GetPixel(x, y) == colour) list.push_back({x, y});
  return list;
}

// Where glyph c drawn with its line y at (left, line) puts its pixels.
PixelList GlyphPixels(int c, int left, int line) {
  PixelList list;
  for (int row = 0; row < 14; row++)
    for (int column = 0; column < 8; column++)
      if (BitmapFont[(c - 0x20) * 14 + row] & (0x80 >> column))
        list.push_back({left + column, line - 14 + row});
  return list;
}

PixelList Joined(PixelList a, const PixelList& b) {
  a.insert(a.end(), b.begin(), b.end());
  std::sort(a.begin(), a.end(), [](const std::pair<int, int>& p, const std::pair<int, int>& q) {
    return p.second != q.second ? p.second < q.second : p.first < q.first;
  });
  return a;
}

// Rows 0..13 of glyph c that hold ink, as a bit set.
int InkedRows(int c) {
  int rows = 0;
  for (int row = 0; row < 14; row++)
    if (GlyphRowBits(c, row)) rows |= 1 << row;
  return rows;
}

int RowSpan(int first, int last) { return ((1 << (last + 1)) - 1) & ~((1 << first) - 1); }

}  // namespace

TEST(BitmapFont, AAndGAreTheGivenGlyphs) {
  const unsigned char a[14] = {0, 0, 0x18, 0x3C, 0x66, 0x66, 0x66, 0x7E, 0x66, 0x66, 0x66, 0, 0, 0};
  const unsigned char g[14] = {0, 0, 0, 0, 0x3E, 0x66, 0x66, 0x66, 0x66, 0x66, 0x3E, 0x06, 0x06,
                               0x7C};
  EXPECT_EQ(0, memcmp(a, BitmapFont + ('A' - 0x20) * 14, 14));
  EXPECT_EQ(0, memcmp(g, BitmapFont + ('g' - 0x20) * 14, 14));
  EXPECT_EQ(0x18, GlyphRowBits('A', 2));
  EXPECT_EQ(0, GlyphRowBits('A', 14));
  EXPECT_EQ(0, GlyphRowBits(0x80, 5));
  EXPECT_EQ(0, GlyphRowBits(0x1F, 5));
}

TEST(BitmapFont, GlyphsKeepTheCellConventions) {
  for (int c = 'A'; c <= 'Z'; c++) EXPECT_EQ(RowSpan(2, 10), InkedRows(c)) << (char)c;
  for (int c = '0'; c <= '9'; c++) EXPECT_EQ(RowSpan(2, 10), InkedRows(c)) << (char)c;
  for (const char* c = "acemnorsuvwxz"; *c; c++) EXPECT_EQ(RowSpan(4, 10), InkedRows(*c)) << *c;
  for (const char* c = "bdhkl"; *c; c++) EXPECT_EQ(RowSpan(2, 10), InkedRows(*c)) << *c;
  for (const char* c = "gjpqy"; *c; c++) {
    EXPECT_EQ(0, InkedRows(*c) & RowSpan(0, 1)) << *c;
    EXPECT_TRUE(InkedRows(*c) & (1 << 13)) << *c;
  }
  EXPECT_EQ(1 << 13, InkedRows('_'));
  EXPECT_EQ(0, InkedRows(' '));
  EXPECT_EQ(0, InkedRows(0x7F));
  for (int c = 0x21; c < 0x7F; c++) {
    EXPECT_NE(0, InkedRows(c)) << c;
    for (int row = 0; row < 14; row++) EXPECT_EQ(0, GlyphRowBits(c, row) & 0x80) << c;  // gap
  }
}

class BitmapText : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    ASSERT_EQ(0, KRV_CreateImage(0, "text", -1, -1, 100, 80, 100));
    krv_tc = 0xFF0000;
  }
  void TearDown() override {
    ForgetTextState();
    ImageTest::TearDown();
  }
};

TEST_F(BitmapText, ACharacterStandsOnItsLineAndAdvancesEight) {
  krv_textX = 10;
  krv_textY = 40;
  KRV_DrawChar('A');
  const PixelList drawn = PixelsOf(0xFF0000);
  EXPECT_EQ(GlyphPixels('A', 10, 40), drawn);
  int top = 99, bottom = -1, left = 99, right = -1;
  for (const auto& p : drawn) {
    top = std::min(top, p.second);
    bottom = std::max(bottom, p.second);
    left = std::min(left, p.first);
    right = std::max(right, p.first);
  }
  EXPECT_EQ(28, top);
  EXPECT_EQ(36, bottom);
  EXPECT_EQ(11, left);
  EXPECT_EQ(16, right);
  EXPECT_EQ(18, krv_textX);
  EXPECT_EQ(40, krv_textY);
}

TEST_F(BitmapText, TheThirteenthCharacterOfAHundredPixelLineWraps) {
  krv_textLeft = krv_textX = 0;
  krv_textY = 20;
  for (int i = 0; i < 11; i++) KRV_DrawChar('-');
  EXPECT_EQ(88, krv_textX);
  EXPECT_EQ(20, krv_textY);
  KRV_DrawChar('H');  // the twelfth, at 88; 96 > 92 ends the line
  EXPECT_EQ(0, krv_textX);
  EXPECT_EQ(36, krv_textY);
  KRV_DrawChar('H');
  PixelList hs = PixelsOf(0xFF0000);
  PixelList expected = Joined(GlyphPixels('H', 88, 20), GlyphPixels('H', 0, 36));
  PixelList dashes;
  for (int i = 0; i < 11; i++) dashes = Joined(dashes, GlyphPixels('-', 8 * i, 20));
  EXPECT_EQ(Joined(expected, dashes), hs);
}

TEST_F(BitmapText, ALineFeedReturnsToTheLeftMarginSixteenRowsDown) {
  krv_textLeft = 5;
  krv_textX = 30;
  krv_textY = 20;
  KRV_DrawString("A\nB");
  EXPECT_EQ(Joined(GlyphPixels('A', 30, 20), GlyphPixels('B', 5, 36)), PixelsOf(0xFF0000));
  EXPECT_EQ(13, krv_textX);
  EXPECT_EQ(36, krv_textY);
}

TEST_F(BitmapText, CodesOutsideTheFontAreSkippedWithoutAdvancing) {
  krv_textX = 10;
  krv_textY = 30;
  KRV_DrawString("\x01\x1f\x80\xff\x82\xa0");
  KRV_DrawChar(-3);
  KRV_DrawChar(0x100);
  EXPECT_TRUE(PixelsOf(0xFF0000).empty());
  EXPECT_EQ(10, krv_textX);
  KRV_DrawChar(' ');
  KRV_DrawChar(0x7F);
  EXPECT_TRUE(PixelsOf(0xFF0000).empty());
  EXPECT_EQ(26, krv_textX);
}

TEST_F(BitmapText, TextOverTheEdgesIsClippedPixelByPixel) {
  krv_textX = -4;
  krv_textY = 6;
  KRV_DrawChar('H');
  PixelList inside;
  for (const auto& p : GlyphPixels('H', -4, 6))
    if (p.first >= 0 && p.second >= 0) inside.push_back(p);
  EXPECT_FALSE(inside.empty());
  EXPECT_EQ(inside, PixelsOf(0xFF0000));
}

TEST_F(BitmapText, PrintfFormatsAndCutsAt4095Bytes) {
  krv_textX = krv_textLeft = 2;
  krv_textY = 30;
  KRV_DrawPrintf("%d%c", 42, 'x');
  const PixelList formatted = PixelsOf(0xFF0000);
  KRV_ClearImage(0);
  krv_textX = 2;
  krv_textY = 30;
  KRV_DrawString("42x");
  EXPECT_EQ(PixelsOf(0xFF0000), formatted);

  // Line feeds only move the position: 5000 of them count what got through.
  const std::string feeds(5000, '\n');
  krv_textY = 0;
  KRV_DrawPrintf("%s", feeds.c_str());
  EXPECT_EQ(16 * 4095, krv_textY);
  krv_textY = 0;
  KRV_DrawPrintf(feeds.c_str());
  EXPECT_EQ(16 * 4095, krv_textY);
}

TEST_F(BitmapText, EightBitImagesTakeTheLowByteAsTheIndex) {
  ASSERT_EQ(0, KRV_CreateImage8(1, "text8", -1, -1, 40, 40, 100));
  krv_tc = 0x123456;
  krv_textX = 10;
  krv_textY = 40;
  KRV_DrawChar('A');
  EXPECT_EQ(GlyphPixels('A', 10, 40), PixelsOf(0x56));
}
