// The measuring, transform, pattern and text commands as the image window receives them:
// WM_COMMAND through the window's command table.
#include <vector>

#include "draw/draw.h"
#include "draw/owned_dialog.h"
#include "image/image_fixture.h"

namespace {

HWND WindowOf(int id) { return krv_images[id].window; }

int PixelOf(int id, int x, int y) {
  return ((const int*)krv_pixels[id])[y * krv_images[id].width + x];
}

std::vector<unsigned char> Snapshot(int id) {
  const ImageSlot& slot = krv_images[id];
  const unsigned char* bytes = (const unsigned char*)krv_pixels[id];
  return std::vector<unsigned char>(bytes, bytes + ImageStride(slot.bits, slot.width) * slot.height);
}

}  // namespace

// Image 3, 64 x 48 at zoom 200, all 0x102030.
class ToolCommands : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    krv_ttFont = CreateStartupTTFont();
    ASSERT_EQ(0, KRV_CreateImage(3, "tools", -1, -1, 64, 48, 200));
    for (int i = 0; i < 64 * 48; i++) ((int*)krv_pixels[3])[i] = 0x102030;
  }
  void TearDown() override {
    DeleteObject(krv_ttFont);
    krv_ttFont = NULL;
    ImageTest::TearDown();
  }
  void Run(int command) { SendMessageW(WindowOf(3), WM_COMMAND, command, 0); }
};

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
