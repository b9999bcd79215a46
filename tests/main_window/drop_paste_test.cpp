// Files dropped on the main window and bitmaps pasted as new images, in the real runtime.
#include "main_window/running_framework.h"

namespace {

void ImageZero(void) { KRV_CreateImage(0, "zero", 0, 0, 16, 16, 100); }

class DropAndPaste : public RunningFramework {
 protected:
  void TearDown() override {
    RunningFramework::TearDown();
    for (const wchar_t* name : {L"a.png", L"b.jpg", L"notes.txt"}) DeleteFileW(name);
  }
  void Drop(const std::vector<std::wstring>& paths) {
    PostMessageW(mainWindow, WM_DROPFILES, (WPARAM)MakeDrop(paths), 0);
  }
};

}  // namespace

TEST_F(DropAndPaste, EachDroppedImageOpensInAWindowOfItsSizeAndOtherFilesAreSkipped) {
  Start();
  ASSERT_TRUE(WritePicture(L"a.png", 40, 30, PatternColour, L"image/png"));
  ASSERT_TRUE(WritePicture(L"b.jpg", 50, 20, PatternColour, L"image/jpeg"));
  FILE* text = _wfopen(L"notes.txt", L"w");
  ASSERT_TRUE(text);
  fputs("not a picture\n", text);
  fclose(text);
  Drop({FullPath(L"a.png"), FullPath(L"notes.txt"), FullPath(L"b.jpg")});
  Sentinel();
  ASSERT_TRUE(ImageInUse(0));
  ASSERT_TRUE(ImageInUse(1));
  EXPECT_FALSE(ImageInUse(2));
  EXPECT_EQ("000 a.png", TitleOf(0));
  EXPECT_EQ("001 b.jpg", TitleOf(1));
  EXPECT_EQ(40, krv_images[0].width);
  EXPECT_EQ(30, krv_images[0].height);
  EXPECT_EQ(50, krv_images[1].width);
  EXPECT_EQ(20, krv_images[1].height);
  EXPECT_EQ(32, krv_images[1].bits);
  // Each shows its file: the PNG exactly, the JPEG within its loss.
  const int* a = (const int*)krv_pixels[0];
  for (int y = 0; y < 30; y++)
    for (int x = 0; x < 40; x++) ASSERT_EQ(PatternColour(x, y), a[y * 40 + x]) << x << "," << y;
  const int* b = (const int*)krv_pixels[1];
  for (int y = 2; y < 20; y += 8) {
    for (int x = 2; x < 50; x += 8) {
      int want = PatternColour(x, y), got = b[y * 50 + x];
      for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR((want >> shift) & 0xFF, (got >> shift) & 0xFF, 24) << x << "," << y;
    }
  }
  EXPECT_EQ(0, krv_current);  // the last creation's image gave way to the one before
  // Reading sizes leaves no file open.
  EXPECT_TRUE(DeleteFileW(L"notes.txt"));
  EXPECT_TRUE(DeleteFileW(L"b.jpg"));
}

// Names longer than the buffers are skipped, never cut into the name of another file; slots
// run out after 256 windows and the rest of the drop is skipped.
TEST_F(DropAndPaste, ThreeHundredFilesAndOverlongNamesOverrunNothing) {
  Start();
  ASSERT_TRUE(WritePicture(L"a.png", 4, 3, PatternColour, L"image/png"));
  std::wstring shortened = FullPath(L"a.png");
  std::wstring overlong = shortened.substr(0, shortened.size() - 5) + std::wstring(300, L'x') +
                          L"\\a.png";
  std::vector<std::wstring> paths = {overlong, FullPath(L"aaaa") + std::wstring(270, L'a')};
  for (int i = 0; i < 300; i++) paths.push_back(shortened);
  Drop(paths);
  Sentinel();
  for (int id = 0; id < SlotCount; id++) {
    char title[16];
    snprintf(title, sizeof title, "%03d a.png", id);
    ASSERT_EQ(title, TitleOf(id));
  }
}

// The loading takes the path as narrow text: a name the code page cannot spell would open
// another file, or none, into a window already made.
TEST_F(DropAndPaste, NamesOutsideTheCodePageAreSkippedJapaneseOnesOpen) {
  Start(ImageZero);
  const wchar_t* japanese = L"\u753B\u50CF.png";  // 画像
  const wchar_t* foreign = L"\u00FCber\u0394.png";
  ASSERT_TRUE(WritePicture(japanese, 6, 5, PatternColour, L"image/png"));
  ASSERT_TRUE(WritePicture(foreign, 6, 5, PatternColour, L"image/png"));
  Drop({FullPath(foreign), FullPath(japanese)});
  Sentinel();
  EXPECT_EQ("001 画像.png", TitleOf(1));
  EXPECT_FALSE(ImageInUse(2));
  ASSERT_TRUE(ImageInUse(1));
  EXPECT_EQ(PatternColour(5, 4), ((const int*)krv_pixels[1])[4 * 6 + 5]);
  EXPECT_TRUE(DeleteFileW(japanese));
  EXPECT_TRUE(DeleteFileW(foreign));
}

TEST_F(DropAndPaste, CtrlVTurnsTheClipboardPictureIntoTheNextImage) {
  Start(ImageZero);
  ASSERT_TRUE(PutPatternOnClipboard(100, 50));
  CtrlKey('V');
  ASSERT_TRUE(WaitFor([] { return ImageInUse(1) != NULL; }));
  Sentinel();
  ImageSlot* slot = ImageInUse(1);
  ASSERT_TRUE(slot);
  EXPECT_EQ("001", TitleOf(1));
  EXPECT_EQ(100, slot->width);
  EXPECT_EQ(50, slot->height);
  const int* pixels = (const int*)krv_pixels[1];
  for (int y = 0; y < 50; y++)
    for (int x = 0; x < 100; x++) ASSERT_EQ(PatternColour(x, y), pixels[y * 100 + x]) << x << "," << y;
  EXPECT_EQ(0, krv_current);
}

TEST_F(DropAndPaste, CtrlVWithoutAPictureMakesNothing) {
  Start();
  ASSERT_TRUE(OpenClipboard(NULL));
  EmptyClipboard();
  CloseClipboard();
  CtrlKey('V');
  Sentinel();
  EXPECT_FALSE(ImageInUse(0));
}

TEST_F(DropAndPaste, BitmapTakesTheFirstFreeSlotAndTheFormerCurrentImageStays) {
  Start(ImageZero);
  HDC screen = GetDC(NULL);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 50);
  ReleaseDC(NULL, screen);
  EXPECT_EQ(1, PasteBitmapAsImage(bitmap));
  ImageSlot* slot = ImageInUse(1);
  ASSERT_TRUE(slot);
  EXPECT_EQ("001", TitleOf(1));
  EXPECT_EQ(100, slot->width);
  EXPECT_EQ(50, slot->height);
  EXPECT_EQ(32, slot->bits);
  EXPECT_EQ(0, krv_current);
}

TEST_F(DropAndPaste, ABitmapNoImageCanHoldIsDeleted) {
  Start();
  HBITMAP bitmap = CreateBitmap(60000, 1, 1, 1, NULL);  // too wide for any zoom
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(-1, PasteBitmapAsImage(bitmap));
  BITMAP info;
  EXPECT_EQ(0, GetObjectW(bitmap, sizeof info, &info));
  EXPECT_FALSE(ImageInUse(0));
}
