// Making, destroying and re-making image windows with their DIB sections. Worker thread.
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "image/image.h"

const DWORD ImageWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;

// Top-down, with the grey ramp that 8-bit images start with.
static void DescribeBitmap(PaletteDibInfo* info, int width, int height, int bits) {
  memset(info, 0, sizeof *info);
  info->header = DibHeader(width, -height, bits);
  for (int i = 0; i < PaletteSize; i++) {
    info->colours[i].rgbBlue = info->colours[i].rgbGreen = info->colours[i].rgbRed = (BYTE)i;
  }
}

static char* CopyTitle(const char* title) {
  const size_t length = strlen(title);
  char* copy = (char*)malloc(length + 1);
  if (copy) memcpy(copy, title, length + 1);
  return copy;
}

// Whatever of the window was made before the pixel memory failed.
static void ReleaseWindowParts(ImageSlot* slot) {
  if (slot->memDC) DeleteDC(slot->memDC);
  if (slot->windowDC) ReleaseDC(slot->window, slot->windowDC);
  if (slot->window) DestroyWindow(slot->window);
  free(slot->title);
  slot->memDC = slot->windowDC = NULL;
  slot->window = NULL;
  slot->title = NULL;
}

static HBITMAP MakePixels(ImageSlot* slot, void** pixels) {
  // Pixel offsets are ints in every drawing call.
  const long long stride = DibStride(slot->width, slot->bits);
  if (stride * slot->height > INT_MAX) return NULL;
  PaletteDibInfo info;
  DescribeBitmap(&info, slot->width, slot->height, slot->bits);
  return CreateDIBSection(slot->memDC, (BITMAPINFO*)&info, DIB_RGB_COLORS, pixels, NULL, 0);
}

int MakeImage(int id, const char* title, int x, int y, int width, int height, int zoom, int bits,
              int fitScreen) {
  if (id < 0 || id >= SlotCount) return 4;
  ImageSlot* slot = &krv_images[id];
  if (slot->inUse) return 1;
  if (bits != 8 && bits != 32) return 3;
  if (!title) title = "";
  slot->bits = bits;
  slot->fitScreen = fitScreen;
  slot->width = width > 1 ? width : 1;
  slot->height = height > 1 ? height : 1;
  ZoomFit fit;
  if (FitZoom(zoom, slot->width, slot->height, ScreenLimits(fitScreen), &fit) != 0) return 2;
  slot->zoom = fit.zoom;
  slot->dispWidth = fit.dispWidth;
  slot->dispHeight = fit.dispHeight;

  RECT outer = {0, 0, fit.dispWidth, fit.dispHeight};
  AdjustWindowRect(&outer, ImageWindowStyle, FALSE);
  slot->title = CopyTitle(title);
  slot->memDC = slot->windowDC = NULL;
  if (!slot->title) return 3;
  char caption[ImageCaptionSize];
  FormatImageCaption(title, fit.zoom, bits, 0, caption);
  wchar_t wideCaption[ImageCaptionSize];
  NarrowToWide(caption, wideCaption, ImageCaptionSize);
  slot->window = CreateWindowExW(0, L"krv_iw", wideCaption, ImageWindowStyle, x, y,
                                 outer.right - outer.left, outer.bottom - outer.top, mainWindow,
                                 NULL, moduleInstance, NULL);
  if (!slot->window) {
    ReleaseWindowParts(slot);
    return 3;
  }
  UpdateWindow(slot->window);
  SetForegroundWindow(slot->window);
  DragAcceptFiles(slot->window, TRUE);

  slot->windowDC = GetDC(slot->window);
  SetDcStretchMode(slot->windowDC, COLORONCOLOR);
  slot->memDC = CreateCompatibleDC(slot->windowDC);
  SetDcStretchMode(slot->memDC, COLORONCOLOR);
  void* pixels = NULL;
  slot->bitmap = slot->memDC ? MakePixels(slot, &pixels) : NULL;
  if (!slot->bitmap || !pixels) {
    if (slot->bitmap) DeleteObject(slot->bitmap);
    slot->bitmap = NULL;
    ReleaseWindowParts(slot);
    return 3;
  }
  krv_pixels[id] = pixels;
  slot->oldBitmap = (HBITMAP)SelectObject(slot->memDC, slot->bitmap);
  memset(pixels, 0, (size_t)ImageStride(bits, slot->width) * slot->height);

  slot->inUse = 1;
  RebuildSnapList();
  KRV_SelectImage(id);
  return 0;
}

int KRV_CreateImage(int id, const char* title, int x, int y, int width, int height, int zoom) {
  return MakeImage(id, title, WindowCoordinate(x), WindowCoordinate(y), width, height, zoom, 32,
                   1);
}

int KRV_CreateImage8(int id, const char* title, int x, int y, int width, int height, int zoom) {
  return MakeImage(id, title, WindowCoordinate(x), WindowCoordinate(y), width, height, zoom, 8,
                   1);
}

int KRV_CreateImageFL(int id, const char* title, int x, int y, int width, int height, int zoom) {
  return MakeImage(id, title, WindowCoordinate(x), WindowCoordinate(y), width, height, zoom, 32,
                   0);
}

int KRV_CreateImage8FL(int id, const char* title, int x, int y, int width, int height, int zoom) {
  return MakeImage(id, title, WindowCoordinate(x), WindowCoordinate(y), width, height, zoom, 8,
                   0);
}

int KRV_DestroyImage(int id) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  slot->inUse = 0;
  SelectObject(slot->memDC, slot->oldBitmap);
  DeleteObject(slot->bitmap);
  DeleteDC(slot->memDC);
  ReleaseDC(slot->window, slot->windowDC);
  free(slot->title);
  slot->title = NULL;
  krv_pixels[id] = NULL;
  DestroyWindow(slot->window);
  return 0;
}

int KRV_ResizeImage(int id, int width, int height) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  char title[ImageCaptionSize];
  CopyNarrowText(title, slot->title, ImageCaptionSize);
  const RECT outer = WindowRectOf(slot->window);
  const int zoom = slot->zoom, bits = slot->bits;
  const int mode = GetStretchBltMode(slot->windowDC);
  RGBQUAD colours[PaletteSize];
  if (bits == 8) GetDIBColorTable(slot->memDC, 0, PaletteSize, colours);
  KRV_DestroyImage(id);
  // The corner goes to the window system as it is: a window at -1 stays at -1.
  const int result = MakeImage(id, title, outer.left, outer.top, width, height, zoom, bits, 1);
  if (result != 0) return result;
  if (bits == 8) SetDIBColorTable(slot->memDC, 0, PaletteSize, colours);
  KRV_SetStretchMode(mode, id);
  return 0;
}
