// The measuring, transform, pattern and text commands as the image window receives them:
// WM_COMMAND (or Ctrl+R) through the window's command table, picks driven by a second thread.
#include "draw/owned_dialog.h"
#include "draw/pick_fixture.h"
#include "draw/text_state.h"
#include "text/text.h"

namespace {

void HoldCtrl(bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

// Once a typed line is asked for, types text and Enter into the text window reading it.
MouseStep TypeLine(const wchar_t* text) {
  return Then([text] {
    WaitFor([] { return *(volatile int*)&inputPending != 0; }, 2000);
    HWND window = TextWindowAt(inputPending - 1);
    for (const wchar_t* c = text; *c; c++) PostMessageW(window, WM_CHAR, *c, 1);
    PostMessageW(window, WM_CHAR, 13, 1);
  });
}

}  // namespace

class ToolCommands : public PickTest {
 protected:
  void SetUp() override {
    PickTest::SetUp();
    ResetTextState();
  }
  void TearDown() override {
    ForgetTextState();
    KRV_CloseTextWindow(0);
    PickTest::TearDown();
  }
  // The command as the menu delivers it, with the user's steps during its pick.
  void Run(int command, std::vector<MouseStep> steps) {
    MouseDriver driver([] { return WindowOf(3); }, steps);
    SendMessageW(WindowOf(3), WM_COMMAND, command, 0);
  }
  void Run(int command) { SendMessageW(WindowOf(3), WM_COMMAND, command, 0); }
};

TEST_F(ToolCommands, PixelPrintsFiveLinesForTheClickedPixel) {
  Run(CommandPixel, {Move(20, 10), Click(20, 10)});
  TextWindowSlot* slot = TextSlot(0);
  ASSERT_NE(nullptr, slot);
  EXPECT_EQ(7 * slot->lineHeight, slot->y);  // the point, five values, a blank line
  EXPECT_EQ(3, krv_current);
}

TEST_F(ToolCommands, ProfilesOfThePickedRowOpenInTheLowestFreeId) {
  ((int*)krv_pixels[3])[7 * 64] = 0xFF0000;
  const std::vector<unsigned char> source = Snapshot(3);
  Run(CommandLineRgb, {Move(30, 14), Click(30, 14)});
  ASSERT_TRUE(ImageInUse(0));
  EXPECT_STREQ("RGB(Y=7)", krv_images[0].title);
  EXPECT_EQ(76, krv_images[0].width);
  EXPECT_EQ(128, krv_images[0].height);
  EXPECT_EQ(0, krv_current);
  EXPECT_EQ(0xFF0000, PixelOf(0, 12, 0));
  EXPECT_EQ(source, Snapshot(3));  // the row cursor is gone
  Run(CommandLineHsv, {Click(0, 4)});
  EXPECT_STREQ("HSV(Y=2)", krv_images[1].title);
  Run(CommandLineYCrCb, {Click(0, 6)});
  EXPECT_STREQ("YCrCb(Y=3)", krv_images[2].title);
  EXPECT_EQ(84, krv_images[2].width);
  Run(CommandLineCrCb, {Click(0, 8)});
  EXPECT_STREQ("CrCb(Y=4)", krv_images[4].title);
  EXPECT_EQ(256, krv_images[4].width);
  Run(CommandAreaCrCb, {Click(10, 20), Click(4, 2)});
  EXPECT_STREQ("CrCb(2,1)-(5,10)", krv_images[5].title);
  EXPECT_EQ(0xFFFFFF, PixelOf(5, 128 + ChromaCb(0x10, 0x20, 0x30), 128 - ChromaCr(0x10, 0x20, 0x30)));
}

TEST_F(ToolCommands, LumiProfileOfAnEightBitImage) {
  KRV_DestroyImage(3);
  ASSERT_EQ(0, KRV_CreateImage8(3, "grey", -1, -1, 64, 48, 200));
  Run(CommandLineLumi, {Click(2, 2)});
  ASSERT_TRUE(ImageInUse(0));
  EXPECT_STREQ("Luminance(Y=1)", krv_images[0].title);
  EXPECT_EQ(32, krv_images[0].bits);
  EXPECT_EQ(0xFFFFFF, PixelOf(0, 12, 127));
}

TEST_F(ToolCommands, CancelledOrStoppedPicksMakeNothing) {
  Run(CommandClipping, {RightClick(5, 5)});
  Run(CommandLineRgb, {RightClick(5, 5)});
  EXPECT_EQ(before, Snapshot(3));
  Run(CommandAreaCrCb, {Click(2, 2), Move(20, 20), PressStop()});
  stopRequested = 0;
  for (int id = 0; id < 3; id++) EXPECT_FALSE(ImageInUse(id)) << id;
}

TEST_F(ToolCommands, ClippingOfOnePixelAndCtrlR) {
  ((int*)krv_pixels[3])[5 * 64 + 10] = 0x123456;
  Run(CommandClipping, {Click(20, 10), Click(21, 11)});
  ASSERT_TRUE(ImageInUse(0));
  EXPECT_STREQ("(10,5)-(10,5)", krv_images[0].title);
  EXPECT_EQ(1, krv_images[0].width);
  EXPECT_EQ(1, krv_images[0].height);
  EXPECT_EQ(0x123456, PixelOf(0, 0, 0));
  EXPECT_EQ(0, krv_current);

  MouseDriver driver([] { return WindowOf(3); }, {Click(40, 20), Click(20, 10)});
  HoldCtrl(true);
  SendMessageW(WindowOf(3), WM_KEYDOWN, 'R', 1);
  HoldCtrl(false);
  for (int waited = 0; waited < 3000 && !ImageInUse(1); waited += 10) PumpFor(10);
  ASSERT_TRUE(ImageInUse(1));
  EXPECT_STREQ("(10,5)-(20,10)", krv_images[1].title);
  EXPECT_EQ(11, krv_images[1].width);
  EXPECT_EQ(6, krv_images[1].height);
}

TEST_F(ToolCommands, InvertAndMirrorsLeaveTheSelectionAlone) {
  ASSERT_EQ(0, KRV_CreateImage(5, "other", -1, -1, 8, 8, 100));
  ((int*)krv_pixels[3])[0] = 0x00FF00;
  Run(CommandInvert);
  EXPECT_EQ(5, krv_current);
  EXPECT_EQ(0xFF00FF, PixelOf(3, 0, 0));
  EXPECT_EQ(0xEFDFCF, PixelOf(3, 1, 0));
  Run(CommandHorizontalFlip);
  EXPECT_EQ(0xFF00FF, PixelOf(3, 63, 0));
  Run(CommandVerticalFlip);
  EXPECT_EQ(0xFF00FF, PixelOf(3, 63, 47));
  EXPECT_EQ(5, krv_current);
}

TEST_F(ToolCommands, RotationsAndSizesSelectTheImage) {
  ASSERT_EQ(0, KRV_CreateImage(5, "other", -1, -1, 8, 8, 100));
  Run(CommandRotateRight);
  EXPECT_EQ(3, krv_current);
  EXPECT_EQ(48, krv_images[3].width);
  EXPECT_EQ(64, krv_images[3].height);
  Run(CommandRotateLeft);
  EXPECT_EQ(64, krv_images[3].width);
  const int sizes[][3] = {{CommandSize50, 32, 24}, {CommandSize200, 64, 48},
                          {CommandSize71, 45, 34}, {CommandSize141, 64, 48}};
  for (const auto& size : sizes) {
    KRV_SelectImage(5);
    Run(size[0]);
    EXPECT_EQ(3, krv_current);
    EXPECT_EQ(size[1], krv_images[3].width) << size[0];
    EXPECT_EQ(size[2], krv_images[3].height) << size[0];
  }
}

TEST_F(ToolCommands, EachTestPatternCommandFillsTheImage) {
  const int commands[][2] = {{CommandPatternRgb, PatternRgb},     {CommandPatternHsv, PatternHsv},
                             {CommandPatternYCrCb, PatternYCrCb}, {CommandPatternYuv, PatternYuv},
                             {CommandPatternYiq, PatternYiq},     {CommandPatternGrey, PatternGrey}};
  ASSERT_EQ(0, KRV_CreateImage(5, "other", -1, -1, 8, 8, 100));
  ASSERT_EQ(0, KRV_CreateImage(6, "expected", -1, -1, 64, 48, 100));
  for (const auto& command : commands) {
    KRV_SelectImage(5);
    Run(command[0]);
    EXPECT_EQ(3, krv_current);
    FillTestPattern(6, command[1]);
    EXPECT_EQ(Snapshot(6), Snapshot(3)) << command[0];
  }
}

TEST_F(ToolCommands, DrawTextPutsTheTypedLineOnThePoint) {
  krv_color = 0x00FF00;
  Run(CommandDrawText, {Click(8, 60), TypeLine(L"Hi")});
  EXPECT_EQ(20, krv_textX);
  EXPECT_EQ(30, krv_textY);
  EXPECT_EQ(0x00FF00, krv_tc);
  EXPECT_EQ(0x00FF00, PixelOf(3, 4 + 1, 30 - 14 + 2));  // 'H' from row 2, column 1
  EXPECT_EQ(3, krv_current);
}

TEST_F(ToolCommands, TrueTypeDrawFillsThePickedBox) {
  Run(CommandTrueTypeDraw, {Click(20, 20), Click(82, 82), TypeLine(L"■")});
  EXPECT_EQ(16, krv_ttWidth);
  EXPECT_EQ(32, krv_ttHeight);
  EXPECT_EQ(41, krv_textY);
  EXPECT_EQ(42, krv_textX);
  int top = 99;
  for (int y = 0; y < 48 && top == 99; y++)
    for (int x = 0; x < 64; x++)
      if (PixelOf(3, x, y) != 0x102030) top = y;
  EXPECT_GE(top, 10);
  EXPECT_LE(top, 16);
}

TEST_F(ToolCommands, FontChangeRemakesTheFont) {
  KRV_DrawTTChar(5);
  HANDLE closer = CreateThread(NULL, 0, [](LPVOID) -> DWORD {
    HWND dialog = FindOwnedDialog(WindowOf(3));
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return dialog ? 0 : 1;
  }, NULL, 0, NULL);
  Run(CommandFontChange);
  WaitForSingleObject(closer, 10000);
  DWORD found = 1;
  GetExitCodeThread(closer, &found);
  CloseHandle(closer);
  EXPECT_EQ(0u, found);
  ASSERT_NE(nullptr, krv_ttFont);
  LOGFONTW font = {};
  GetObjectW(krv_ttFont, sizeof font, &font);
  EXPECT_TRUE(font.lfUnderline);
  EXPECT_EQ(16, font.lfHeight);
}
