// What the text and "Pixel" commands do once their pick is done: drawing typed text, the font
// dialog, and the pixel report in the current text window.
#include <thread>

#include "draw/draw.h"
#include "draw/owned_dialog.h"
#include "draw/text_state.h"
#include "image/image_fixture.h"
#include "text/text.h"

namespace {

LOGFONTW CurrentFont(void) {
  LOGFONTW font = {};
  GetObjectW(krv_ttFont, sizeof font, &font);
  return font;
}

}  // namespace

class TextCommands : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    ResetTextState();
    ASSERT_EQ(0, KRV_CreateImage(0, "commands", -1, -1, 120, 80, 100));
  }
  void TearDown() override {
    ForgetTextState();
    KRV_CloseTextWindow(0);
    ImageTest::TearDown();
  }
};

TEST_F(TextCommands, BitmapTextStandsOnThePointInTheDrawingColour) {
  krv_color = 0x00FF00;
  DrawBitmapTextAt(20, 30, "A%d");
  EXPECT_EQ(0x00FF00, krv_tc);
  EXPECT_EQ(20, krv_textLeft);
  EXPECT_EQ(44, krv_textX);  // "%d" is drawn as it stands
  EXPECT_EQ(0x00FF00, KRV_GetPixel(20 + 3, 30 - 14 + 2));  // the apex of 'A'
  EXPECT_EQ(0, KRV_GetPixel(20 + 3, 30 - 14 + 1));
}

TEST_F(TextCommands, TrueTypeBoxSetsTheCellAndTheFirstCellsCorner) {
  EXPECT_EQ(0, DrawTTTextInBox(10, 20, 41, 51, "■"));
  EXPECT_EQ(16, krv_ttWidth);
  EXPECT_EQ(32, krv_ttHeight);
  EXPECT_EQ(51, krv_textY);
  EXPECT_EQ(10, krv_textLeft);
  EXPECT_EQ(42, krv_textX);
  int top = 99;
  for (int y = 0; y < 80 && top == 99; y++)
    for (int x = 0; x < 120; x++)
      if (KRV_GetPixel(x, y)) top = y;
  EXPECT_GE(top, 20);
  EXPECT_LE(top, 26);
}

TEST_F(TextCommands, FontDialogCancelledKeepsTheDescriptionInANewFont) {
  KRV_SetTTFontSize(20, 30);
  KRV_DrawTTChar(3);
  const LOGFONTW described = CurrentFont();
  HWND owner = krv_images[0].window;
  bool seen = false;
  std::thread closer([&] {
    HWND dialog = FindOwnedDialog(owner);
    seen = dialog != NULL;
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  ChangeTTFont(owner);
  closer.join();
  EXPECT_TRUE(seen);
  ASSERT_NE(nullptr, krv_ttFont);
  EXPECT_EQ(OBJ_FONT, (int)GetObjectType(krv_ttFont));
  const LOGFONTW after = CurrentFont();
  EXPECT_EQ(described.lfHeight, after.lfHeight);
  EXPECT_EQ(described.lfWidth, after.lfWidth);
  EXPECT_EQ(700, after.lfWeight);
  EXPECT_STREQ(described.lfFaceName, after.lfFaceName);
  EXPECT_EQ(10, krv_ttWidth);
  EXPECT_EQ(30, krv_ttHeight);
}

TEST_F(TextCommands, FontDialogConfirmedMakesTheChosenFont) {
  HWND owner = krv_images[0].window;
  std::thread closer([&] {
    HWND dialog = FindOwnedDialog(owner);
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  ChangeTTFont(owner);
  closer.join();
  ASSERT_NE(nullptr, krv_ttFont);
  EXPECT_EQ(8, krv_ttWidth);
  EXPECT_EQ(16, krv_ttHeight);
  krv_textX = 4;
  krv_textY = 40;
  krv_tttc = 0xFFFFFF;
  KRV_DrawTTString("AB");
  EXPECT_GT(krv_textX, 4);
}

TEST_F(TextCommands, PixelReportGoesToTheCurrentTextWindow) {
  KRV_PutPixel(3, 4, 0xFFFFFF);
  ReportPixel(0, 3, 4);
  TextWindowSlot* slot = TextSlot(0);
  ASSERT_NE(nullptr, slot);
  EXPECT_EQ(7 * slot->lineHeight, slot->y);  // six lines and a blank one
  EXPECT_EQ(0, slot->x);
  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 10, 10, 100));
  ReportPixel(1, 2, 2);
  EXPECT_EQ(10 * slot->lineHeight, slot->y);
  ReportPixel(9, 0, 0);
  EXPECT_EQ(10 * slot->lineHeight, slot->y);
}
