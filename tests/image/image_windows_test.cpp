// Image windows made, shown, selected, zoomed, re-made and destroyed for real under Wine.
#include <string.h>

#include <vector>

#include "image/image_fixture.h"

namespace {

int ImageWindowsOfThisThread(void) {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM counter) -> BOOL {
        wchar_t name[32] = L"";
        GetClassNameW(window, name, 32);
        if (lstrcmpW(name, L"krv_iw") == 0) ++*(int*)counter;
        return TRUE;
      },
      (LPARAM)&count);
  return count;
}

// What the window system lays down as the smallest image window.
ZoomLimits MetricLimits(void) {
  const int frame = GetSystemMetrics(SM_CXFRAME);
  return {GetSystemMetrics(SM_CXMIN) - 2 * frame,
          GetSystemMetrics(SM_CYMIN) - 2 * frame - GetSystemMetrics(SM_CYCAPTION),
          GetSystemMetrics(SM_CXSCREEN),
          GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION)};
}

int Ceiling(int numerator, int denominator) {
  return (numerator + denominator - 1) / denominator;
}

COLORREF ScreenColourAt(const ImageSlot& slot, int x, int y) {
  return GetPixel(slot.windowDC, x, y);
}

}  // namespace

class ImageWindows : public ImageTest {};

TEST_F(ImageWindows, A640x480ImageAtZoom100IsShownOneToOne) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 640, 480, 100));
  const ImageSlot& slot = krv_images[0];
  EXPECT_EQ(1, slot.inUse);
  EXPECT_EQ(32, slot.bits);
  EXPECT_EQ(640, slot.width);
  EXPECT_EQ(480, slot.height);
  EXPECT_EQ(100, slot.zoom);
  EXPECT_EQ(640, slot.dispWidth);
  EXPECT_EQ(480, slot.dispHeight);
  EXPECT_EQ(1, slot.fitScreen);
  EXPECT_STREQ("000", slot.title);
  EXPECT_EQ(L"000(100%)", CaptionOf(slot.window));
  SIZE client = ClientSizeOf(slot.window);
  EXPECT_EQ(640, client.cx);
  EXPECT_EQ(480, client.cy);
  EXPECT_EQ(ImageWindowStyle, (DWORD)GetWindowLongW(slot.window, GWL_STYLE) & ImageWindowStyle);
  EXPECT_TRUE(GetWindowLongW(slot.window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(COLORONCOLOR, GetStretchBltMode(slot.windowDC));
  EXPECT_EQ(COLORONCOLOR, GetStretchBltMode(slot.memDC));
  const int* pixels = (const int*)krv_pixels[0];
  ASSERT_TRUE(pixels);
  for (int i = 0; i < 640 * 480; i++) ASSERT_EQ(0, pixels[i]) << i;
  EXPECT_EQ(0, krv_current);

  ASSERT_EQ(0, KRV_CreateImage8(1, "000", -1, -1, 640, 480, 100));
  EXPECT_EQ(L"000(100%)[8bit]", CaptionOf(krv_images[1].window));
  EXPECT_EQ(8, krv_images[1].bits);
  EXPECT_EQ(1, krv_current);
}

TEST_F(ImageWindows, FreeLimitVariantsAreMarkedAsSuch) {
  ASSERT_EQ(0, KRV_CreateImageFL(2, "fl", 10, 20, 64, 32, 100));
  ASSERT_EQ(0, KRV_CreateImage8FL(3, "fl8", 10, 20, 64, 32, 100));
  EXPECT_EQ(0, krv_images[2].fitScreen);
  EXPECT_EQ(0, krv_images[3].fitScreen);
  EXPECT_EQ(32, krv_images[2].bits);
  EXPECT_EQ(8, krv_images[3].bits);
  EXPECT_EQ(10, WindowRectOf(krv_images[2].window).left);
  EXPECT_EQ(20, WindowRectOf(krv_images[2].window).top);
}

TEST_F(ImageWindows, EightBitImagesStartWithAGreyRamp) {
  RGBQUAD colours[256];
  EXPECT_EQ(1, KRV_GetPalette(colours));  // no image yet
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 8, 8, 100));
  EXPECT_EQ(2, KRV_GetPalette(colours));
  ASSERT_EQ(0, KRV_CreateImage8(1, "grey", -1, -1, 8, 8, 100));
  memset(colours, 0x55, sizeof colours);
  ASSERT_EQ(0, KRV_GetPalette(colours));
  for (int i = 0; i < 256; i++) {
    EXPECT_EQ(i, colours[i].rgbRed) << i;
    EXPECT_EQ(i, colours[i].rgbGreen) << i;
    EXPECT_EQ(i, colours[i].rgbBlue) << i;
  }
}

TEST_F(ImageWindows, ATinyImageReachesTheMinimumWindow) {
  const ZoomLimits limits = MetricLimits();
  const int side = limits.minWidth > limits.minHeight ? limits.minWidth : limits.minHeight;
  ASSERT_EQ(0, KRV_CreateImage(0, "dot", -1, -1, 1, 1, 100));
  EXPECT_EQ(100 * side, krv_images[0].zoom);
  EXPECT_EQ(side, krv_images[0].dispWidth);
  EXPECT_EQ(side, krv_images[0].dispHeight);
  SIZE client = ClientSizeOf(krv_images[0].window);
  EXPECT_EQ(side, client.cx);
  EXPECT_EQ(side, client.cy);
  ASSERT_EQ(0, KRV_CreateImage(1, "flat", -1, -1, 0, -5, 100));
  EXPECT_EQ(1, krv_images[1].width);
  EXPECT_EQ(1, krv_images[1].height);
}

TEST_F(ImageWindows, AnImageTallerThanTheScreenIsShownSmaller) {
  const ZoomLimits limits = MetricLimits();
  const int height = 2 * limits.maxHeight;
  ASSERT_EQ(0, KRV_CreateImage(0, "tall", 0, 0, 400, height, 100));
  const int zoom = 100 * limits.maxHeight / height;
  EXPECT_EQ(zoom, krv_images[0].zoom);
  EXPECT_EQ(400 * zoom / 100, ClientSizeOf(krv_images[0].window).cx);
  EXPECT_EQ(height * zoom / 100, ClientSizeOf(krv_images[0].window).cy);
  EXPECT_EQ(L"tall(" + std::to_wstring(zoom) + L"%)", CaptionOf(krv_images[0].window));
}

TEST_F(ImageWindows, CreationRefusesBadIdsAndIdsInUse) {
  ASSERT_EQ(0, KRV_CreateImage(4, "first", -1, -1, 120, 120, 100));
  HWND window = krv_images[4].window;
  EXPECT_EQ(1, KRV_CreateImage8(4, "second", -1, -1, 30, 30, 100));
  EXPECT_EQ(window, krv_images[4].window);
  EXPECT_EQ(32, krv_images[4].bits);
  EXPECT_EQ(120, krv_images[4].width);
  EXPECT_EQ(L"first(100%)", CaptionOf(window));
  EXPECT_EQ(4, KRV_CreateImage(256, "x", -1, -1, 20, 20, 100));
  EXPECT_EQ(4, KRV_CreateImage(-1, "x", -1, -1, 20, 20, 100));
  EXPECT_EQ(3, MakeImage(5, "deep", 0, 0, 20, 20, 100, 16, 1));
  EXPECT_EQ(0, krv_images[5].inUse);
  EXPECT_EQ(2, KRV_CreateImage(6, "thin", -1, -1, 1, 100000, 100));
  EXPECT_EQ(1, ImageWindowsOfThisThread());
  EXPECT_EQ(4, krv_current);
}

TEST_F(ImageWindows, PixelMemoryThatCannotBeMadeLeavesNoWindowBehind) {
  // 50000 x 50000 words do not fit the int offsets of the pixel calls.
  EXPECT_EQ(3, KRV_CreateImageFL(7, "huge", 0, 0, 50000, 50000, 100));
  EXPECT_EQ(0, krv_images[7].inUse);
  EXPECT_EQ(NULL, krv_images[7].window);
  EXPECT_EQ(NULL, krv_images[7].title);
  EXPECT_EQ(0, ImageWindowsOfThisThread());
  EXPECT_EQ(0, KRV_CreateImage(7, "after", -1, -1, 10, 10, 100));  // the slot is free again
}

TEST_F(ImageWindows, RequestsCreateAndRedrawImages) {
  request.id = 3;
  request.title = "req";
  request.x = request.y = -1;
  request.width = 140;
  request.height = 130;
  request.zoom = 100;
  request.bits = 8;
  request.done = 0;
  request.code = RequestCodeCreateImage;
  ServeRequest();
  EXPECT_EQ(0, request.result);
  EXPECT_EQ(1, request.done);
  EXPECT_EQ(0, request.code);
  ASSERT_EQ(1, krv_images[3].inUse);
  EXPECT_EQ(L"req(100%)[8bit]", CaptionOf(krv_images[3].window));
  EXPECT_EQ(3, krv_current);

  request.id = 300;
  request.done = 0;
  request.code = RequestCodeCreateImage;
  ServeRequest();
  EXPECT_EQ(4, request.result);
  request.id = 3;
  request.done = 0;
  request.code = RequestCodeCreateImage;
  ServeRequest();
  EXPECT_EQ(1, request.result);

  memset(krv_pixels[3], 200, 140);  // the top row
  request.id = 3;
  request.code = RequestCodeRedrawImage;
  ServeRequest();
  EXPECT_EQ(RGB(200, 200, 200), ScreenColourAt(krv_images[3], 5, 0));
  EXPECT_EQ(RGB(0, 0, 0), ScreenColourAt(krv_images[3], 5, 1));
}

TEST_F(ImageWindows, SelectionKeepsAHistoryOfEight) {
  ASSERT_EQ(0, KRV_CreateImage(3, "3", -1, -1, 10, 10, 100));
  ASSERT_EQ(0, KRV_CreateImage(5, "5", -1, -1, 10, 10, 100));
  EXPECT_EQ(5, krv_current);
  EXPECT_EQ(3, krv_history[0]);
  EXPECT_EQ(0, krv_history[1]);  // current before image 3
  EXPECT_EQ(0, KRV_SelectPreviousImage());
  EXPECT_EQ(3, krv_current);
  EXPECT_EQ(0, krv_history[0]);

  for (int i = 0; i < 8; i++) EXPECT_EQ(0, KRV_SelectImage(i % 2 ? 3 : 5));
  EXPECT_EQ(3, krv_current);
  const std::vector<int> expected = {5, 3, 5, 3, 5, 3, 5, 3};
  EXPECT_EQ(expected, std::vector<int>(krv_history, krv_history + 8));
  EXPECT_EQ(0, KRV_SelectPreviousImage());
  EXPECT_EQ(5, krv_current);
  const std::vector<int> shifted = {3, 5, 3, 5, 3, 5, 3, 3};  // the last entry stays
  EXPECT_EQ(shifted, std::vector<int>(krv_history, krv_history + 8));

  EXPECT_EQ(1, KRV_SelectImage(9));
  EXPECT_EQ(1, KRV_SelectImage(256));
  EXPECT_EQ(1, KRV_SelectImage(-1));
  EXPECT_EQ(5, krv_current);
  EXPECT_EQ(shifted, std::vector<int>(krv_history, krv_history + 8));
}

TEST_F(ImageWindows, APreviousImageThatIsGoneIsNotSelected) {
  ASSERT_EQ(0, KRV_CreateImage(3, "3", -1, -1, 10, 10, 100));
  ASSERT_EQ(0, KRV_CreateImage(5, "5", -1, -1, 10, 10, 100));
  ASSERT_EQ(0, KRV_DestroyImage(3));
  EXPECT_EQ(5, krv_current);  // destroying leaves the current image and the history alone
  EXPECT_EQ(3, krv_history[0]);
  EXPECT_EQ(1, KRV_SelectPreviousImage());
  EXPECT_EQ(5, krv_current);
  EXPECT_EQ(3, krv_history[0]);
  EXPECT_EQ(0, krv_history[1]);
}

TEST_F(ImageWindows, DestroyingReleasesTheWindowAndTheSlot) {
  ASSERT_EQ(0, KRV_CreateImage(2, "gone", -1, -1, 10, 10, 100));
  HWND window = krv_images[2].window;
  EXPECT_EQ(0, KRV_DestroyImage(2));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(0, krv_images[2].inUse);
  EXPECT_EQ(NULL, krv_images[2].title);
  EXPECT_EQ(2, krv_current);
  EXPECT_EQ(1, KRV_DestroyImage(2));
  EXPECT_EQ(1, KRV_DestroyImage(256));
  EXPECT_EQ(1, KRV_RedrawImage(2));

  ASSERT_EQ(0, KRV_CreateImage(2, "closed", -1, -1, 10, 10, 100));
  window = krv_images[2].window;
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(0, krv_images[2].inUse);
}

TEST_F(ImageWindows, WindowsAreFoundByHandle) {
  ASSERT_EQ(0, KRV_CreateImage(9, "9", -1, -1, 10, 10, 100));
  ASSERT_EQ(0, KRV_CreateImage(4, "4", -1, -1, 10, 10, 100));
  EXPECT_EQ(9, ImageIdOfWindow(krv_images[9].window));
  EXPECT_EQ(-1, ImageIdOfWindow(NULL));
  EXPECT_EQ(-1, ImageIdOfWindow(GetDesktopWindow()));
  EXPECT_EQ(9, SelectImageOfWindow(krv_images[9].window));
  EXPECT_EQ(9, krv_current);
  EXPECT_EQ(4, krv_history[0]);
  EXPECT_EQ(-1, SelectImageOfWindow(NULL));
  EXPECT_EQ(9, krv_current);
  EXPECT_EQ(4, krv_history[0]);
}

TEST_F(ImageWindows, EightBitRowsArePaddedToFourBytes) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "odd", -1, -1, 5, 3, 100));
  KRV_PutPixel(4, 1, 0x1278);
  KRV_PutPixel(0, 2, 0x33);
  const unsigned char* bytes = (const unsigned char*)krv_pixels[0];
  EXPECT_EQ(0x78, bytes[1 * 8 + 4]);
  EXPECT_EQ(0x33, bytes[2 * 8 + 0]);
  // GDI reads the same memory through the colour table.
  EXPECT_EQ(RGB(0x78, 0x78, 0x78), GetPixel(krv_images[0].memDC, 4, 1));
  EXPECT_EQ(RGB(0x33, 0x33, 0x33), GetPixel(krv_images[0].memDC, 0, 2));
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(krv_images[0].memDC, 3, 1));
}

TEST_F(ImageWindows, ThirtyTwoBitPixelsAreTopDownRgbWords) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rgb", -1, -1, 7, 5, 100));
  int* words = (int*)krv_pixels[0];
  words[0] = 0x102030;
  words[4 * 7 + 6] = 0xFF0000;
  EXPECT_EQ(RGB(0x10, 0x20, 0x30), GetPixel(krv_images[0].memDC, 0, 0));
  EXPECT_EQ(RGB(0xFF, 0, 0), GetPixel(krv_images[0].memDC, 6, 4));
}

TEST_F(ImageWindows, ThePaletteRecoloursAnEightBitImage) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "pal", -1, -1, 6, 6, 100));
  KRV_PutPixel(1, 1, 2);
  RGBQUAD colours[300] = {};
  colours[2].rgbRed = 255;
  colours[299].rgbGreen = 7;  // beyond the table: ignored
  EXPECT_EQ(0, KRV_SetPalette(colours, 300));
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(krv_images[0].memDC, 1, 1));
  RGBQUAD read[256];
  ASSERT_EQ(0, KRV_GetPalette(read));
  EXPECT_EQ(255, read[2].rgbRed);
  EXPECT_EQ(0, read[255].rgbGreen);
  RGBQUAD one = {9, 8, 7, 0};
  EXPECT_EQ(0, KRV_SetPalette(&one, 1));
  ASSERT_EQ(0, KRV_GetPalette(read));
  EXPECT_EQ(7, read[0].rgbRed);
  EXPECT_EQ(255, read[2].rgbRed);  // entries beyond count are kept
  EXPECT_EQ(0, KRV_SetPalette(NULL, 5));
  ASSERT_EQ(0, KRV_CreateImage(1, "rgb", -1, -1, 6, 6, 100));
  EXPECT_EQ(2, KRV_SetPalette(&one, 1));
  KRV_DestroyImage(1);
  EXPECT_EQ(1, KRV_SetPalette(&one, 1));  // the current image is gone
}

TEST_F(ImageWindows, RectanglesAreReadPackedWithZerosOutside) {
  ASSERT_EQ(0, KRV_CreateImage(0, "rect", -1, -1, 4, 3, 100));
  int* words = (int*)krv_pixels[0];
  for (int i = 0; i < 12; i++) words[i] = 0x010000 * i + 1;
  int out[6] = {-1, -1, -1, -1, -1, -1};
  KRV_ReadImageRect(out, 2, 1, 3, 2);  // columns 2, 3 and outside; rows 1 and 2
  const std::vector<int> expected = {words[6], words[7], 0, words[10], words[11], 0};
  EXPECT_EQ(expected, std::vector<int>(out, out + 6));
  KRV_ReadImageRect(out, -1, -1, 2, 2);
  EXPECT_EQ(std::vector<int>({0, 0, 0, words[0]}), std::vector<int>(out, out + 4));

  ASSERT_EQ(0, KRV_CreateImage8(1, "rect8", -1, -1, 5, 2, 100));
  unsigned char* bytes = (unsigned char*)krv_pixels[1];
  for (int i = 0; i < 16; i++) bytes[i] = (unsigned char)(i + 1);
  unsigned char packed[8];
  memset(packed, 0xEE, sizeof packed);
  KRV_ReadImageRect(packed, 3, 0, 3, 2);
  const std::vector<int> expected8 = {4, 5, 0, 12, 13, 0, 0xEE, 0xEE};
  EXPECT_EQ(expected8, std::vector<int>(packed, packed + 8));
}

TEST_F(ImageWindows, HalftoneIsMarkedInTheCaption) {
  ASSERT_EQ(0, KRV_CreateImage(0, "st", -1, -1, 110, 110, 200));
  EXPECT_EQ(COLORONCOLOR, KRV_GetStretchMode(0));
  EXPECT_EQ(0, KRV_SetStretchMode(HALFTONE, 0));
  EXPECT_EQ(HALFTONE, KRV_GetStretchMode(0));
  EXPECT_EQ(HALFTONE, GetStretchBltMode(krv_images[0].memDC));
  EXPECT_EQ(L"st(200%)*", CaptionOf(krv_images[0].window));
  EXPECT_EQ(0, KRV_SetStretchMode(BLACKONWHITE, 0));  // not offered: nothing changes
  EXPECT_EQ(HALFTONE, KRV_GetStretchMode(0));
  EXPECT_EQ(0, KRV_SetStretchMode(COLORONCOLOR, 0));
  EXPECT_EQ(L"st(200%)", CaptionOf(krv_images[0].window));
  EXPECT_EQ(1, KRV_SetStretchMode(HALFTONE, 1));
  EXPECT_EQ(0, KRV_GetStretchMode(1));
  EXPECT_EQ(0, KRV_GetStretchMode(-3));
}

TEST_F(ImageWindows, ZoomingResizesTheWindowInPlace) {
  ASSERT_EQ(0, KRV_CreateImage(0, "z", 30, 40, 200, 100, 100));
  EXPECT_EQ(0, KRV_ZoomImage(200, 0));
  EXPECT_EQ(200, krv_images[0].zoom);
  EXPECT_EQ(400, krv_images[0].dispWidth);
  EXPECT_EQ(200, krv_images[0].dispHeight);
  SIZE client = ClientSizeOf(krv_images[0].window);
  EXPECT_EQ(400, client.cx);
  EXPECT_EQ(200, client.cy);
  EXPECT_EQ(30, WindowRectOf(krv_images[0].window).left);
  EXPECT_EQ(40, WindowRectOf(krv_images[0].window).top);
  EXPECT_EQ(L"z(200%)", CaptionOf(krv_images[0].window));
  EXPECT_EQ(1, krv_images[0].inUse);
  EXPECT_EQ(1, KRV_ZoomImage(100, 1));
}

TEST_F(ImageWindows, ZoomingBelowTheMinimumWindowStopsAtIt) {
  const ZoomLimits limits = MetricLimits();
  const int width = limits.minWidth + 20;  // half of it is too narrow
  ASSERT_EQ(0, KRV_CreateImage(0, "half", -1, -1, width, 300, 100));
  EXPECT_EQ(0, KRV_ZoomImage(50, 0));
  const int zoom = Ceiling(100 * limits.minWidth, width);
  EXPECT_EQ(zoom, krv_images[0].zoom);
  EXPECT_EQ(width * zoom / 100, ClientSizeOf(krv_images[0].window).cx);
  EXPECT_EQ(300 * zoom / 100, ClientSizeOf(krv_images[0].window).cy);
}

TEST_F(ImageWindows, ResizingKeepsEverythingButThePixels) {
  ASSERT_EQ(0, KRV_CreateImage8(6, "again", 50, 60, 60, 60, 200));
  RGBQUAD colours[256] = {};
  for (int i = 0; i < 256; i++) colours[i].rgbRed = (BYTE)(255 - i);
  ASSERT_EQ(0, KRV_SetPalette(colours, 256));
  ASSERT_EQ(0, KRV_SetStretchMode(HALFTONE, 6));
  memset(krv_pixels[6], 9, 60 * 60);
  ASSERT_EQ(0, KRV_CreateImage(1, "other", -1, -1, 10, 10, 100));

  EXPECT_EQ(0, KRV_ResizeImage(6, 70, 61));
  const ImageSlot& slot = krv_images[6];
  EXPECT_EQ(1, slot.inUse);
  EXPECT_EQ(8, slot.bits);
  EXPECT_EQ(70, slot.width);
  EXPECT_EQ(61, slot.height);
  EXPECT_EQ(200, slot.zoom);
  SIZE client = ClientSizeOf(slot.window);
  EXPECT_EQ(140, client.cx);
  EXPECT_EQ(122, client.cy);
  EXPECT_EQ(50, WindowRectOf(slot.window).left);
  EXPECT_EQ(60, WindowRectOf(slot.window).top);
  EXPECT_EQ(HALFTONE, KRV_GetStretchMode(6));
  EXPECT_EQ(L"again(200%)[8bit]*", CaptionOf(slot.window));
  EXPECT_EQ(6, krv_current);
  EXPECT_EQ(1, krv_history[0]);
  RGBQUAD read[256];
  ASSERT_EQ(0, KRV_GetPalette(read));
  for (int i = 0; i < 256; i++) EXPECT_EQ(255 - i, read[i].rgbRed) << i;
  const unsigned char* bytes = (const unsigned char*)krv_pixels[6];
  for (int i = 0; i < 72 * 61; i++) ASSERT_EQ(0, bytes[i]) << i;
  EXPECT_EQ(1, KRV_ResizeImage(7, 10, 10));
}

TEST_F(ImageWindows, AFailedResizeLeavesTheIdFree) {
  ASSERT_EQ(0, KRV_CreateImage(2, "lost", -1, -1, 40, 30, 100));
  EXPECT_EQ(2, KRV_ResizeImage(2, 1, 100000));
  EXPECT_EQ(0, krv_images[2].inUse);
  EXPECT_EQ(0, ImageWindowsOfThisThread());
}

TEST_F(ImageWindows, TheScreenShowsThePixelsAtEachZoom) {
  ASSERT_EQ(0, KRV_CreateImage(0, "one", 0, 0, 120, 120, 100));
  ASSERT_EQ(0, KRV_CreateImage(1, "two", 300, 0, 100, 100, 200));
  for (int id = 0; id < 2; id++) {
    int* words = (int*)krv_pixels[id];
    words[3 * krv_images[id].width + 5] = 0x00FF00;
  }
  EXPECT_TRUE(PumpUntilHandled());
  EXPECT_EQ(0, KRV_RedrawImage(0));
  EXPECT_EQ(0, KRV_RedrawImage(1));
  EXPECT_EQ(RGB(0, 255, 0), ScreenColourAt(krv_images[0], 5, 3));
  EXPECT_EQ(RGB(0, 0, 0), ScreenColourAt(krv_images[0], 4, 3));
  for (int dy = 0; dy < 2; dy++)
    for (int dx = 0; dx < 2; dx++)
      EXPECT_EQ(RGB(0, 255, 0), ScreenColourAt(krv_images[1], 10 + dx, 6 + dy));
  EXPECT_EQ(RGB(0, 0, 0), ScreenColourAt(krv_images[1], 12, 6));
  EXPECT_EQ(RGB(0, 0, 0), ScreenColourAt(krv_images[1], 10, 8));
}

TEST_F(ImageWindows, ImageWindowsJoinTheSnapList) {
  ASSERT_EQ(0, KRV_CreateImage(3, "snap", 100, 120, 50, 40, 100));
  const RECT rect = WindowRectOf(krv_images[3].window);
  bool found = false;
  for (int i = SnapWallCount; i < snapList.count; i++)
    found = found || (snapList.left[i] == rect.left && snapList.top[i] == rect.top &&
                      snapList.right[i] == rect.right && snapList.bottom[i] == rect.bottom);
  EXPECT_TRUE(found);
}

TEST_F(ImageWindows, JapaneseTitlesReachTheCaption) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "画像", -1, -1, 120, 120, 100));
  EXPECT_EQ(L"\u753B\u50CF(100%)[8bit]", CaptionOf(krv_images[0].window));
}

TEST_F(ImageWindows, AZoomThatCannotFitLeavesTheImageAsItWas) {
  // A free-limit image taller than the screen, later held to the screen: no zoom fits it.
  const ZoomLimits limits = MetricLimits();
  const int height = limits.maxHeight + 300;
  ASSERT_EQ(0, KRV_CreateImageFL(0, "free", 0, 0, 120, height, 100));
  const ImageSlot before = krv_images[0];
  const RECT outer = WindowRectOf(before.window);
  const std::wstring caption = CaptionOf(before.window);
  krv_images[0].fitScreen = 1;
  EXPECT_EQ(2, KRV_ZoomImage(1, 0));
  const ImageSlot& after = krv_images[0];
  EXPECT_EQ(1, after.inUse);
  EXPECT_EQ(before.zoom, after.zoom);
  EXPECT_EQ(before.dispWidth, after.dispWidth);
  EXPECT_EQ(before.dispHeight, after.dispHeight);
  EXPECT_EQ(outer.right, WindowRectOf(after.window).right);
  EXPECT_EQ(outer.bottom, WindowRectOf(after.window).bottom);
  EXPECT_EQ(caption, CaptionOf(after.window));
}
