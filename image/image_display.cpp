// Showing images: redraw, stretching mode, zoom changes, the colour table of 8-bit images and
// reading rectangles of pixels. Worker thread.
#include <string.h>

#include "image/image.h"

int KRV_RedrawImage(int id) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  if (slot->zoom == 100)
    BitBlt(slot->windowDC, 0, 0, slot->width, slot->height, slot->memDC, 0, 0, SRCCOPY);
  else
    StretchBlt(slot->windowDC, 0, 0, slot->dispWidth, slot->dispHeight, slot->memDC, 0, 0,
               slot->width, slot->height, SRCCOPY);
  return 0;
}

int KRV_GetStretchMode(int id) {
  ImageSlot* slot = ImageInUse(id);
  return slot ? GetStretchBltMode(slot->windowDC) : 0;
}

void SetDcStretchMode(HDC dc, int mode) {
  SetStretchBltMode(dc, mode);
  SetBrushOrgEx(dc, 0, 0, NULL);
}

int KRV_SetStretchMode(int mode, int id) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  if (mode == COLORONCOLOR || mode == HALFTONE) {
    SetDcStretchMode(slot->windowDC, mode);
    SetDcStretchMode(slot->memDC, mode);
  }
  InvalidateRect(slot->window, NULL, FALSE);
  SetImageTitle(id);
  return 0;
}

int KRV_ZoomImage(int zoom, int id) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  // Paint messages sent while the window changes size find no image and draw nothing.
  slot->inUse = 0;
  ZoomFit fit;
  if (FitZoom(zoom, slot->width, slot->height, ScreenLimits(slot->fitScreen), &fit) != 0) {
    slot->inUse = 1;
    return 2;
  }
  slot->zoom = fit.zoom;
  const RECT outer = WindowRectOf(slot->window);
  SetWindowPos(slot->window, NULL, 0, 0,
               outer.right - outer.left + fit.dispWidth - slot->dispWidth,
               outer.bottom - outer.top + fit.dispHeight - slot->dispHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
  slot->dispWidth = fit.dispWidth;
  slot->dispHeight = fit.dispHeight;
  slot->inUse = 1;
  InvalidateRect(slot->window, NULL, FALSE);
  SetImageTitle(id);
  RebuildSnapList();
  return 0;
}

// The current image when it is an 8-bit image in use; code 1 or 2 otherwise.
static int PaletteImage(ImageSlot** slot) {
  *slot = ImageInUse(krv_current);
  if (!*slot) return 1;
  return (*slot)->bits == 8 ? 0 : 2;
}

int KRV_SetPalette(const RGBQUAD* entries, int count) {
  ImageSlot* slot;
  const int code = PaletteImage(&slot);
  if (code != 0) return code;
  if (count > PaletteSize) count = PaletteSize;
  if (entries && count > 0) SetDIBColorTable(slot->memDC, 0, count, entries);
  InvalidateRect(slot->window, NULL, FALSE);
  return 0;
}

int KRV_GetPalette(RGBQUAD* entries) {
  ImageSlot* slot;
  const int code = PaletteImage(&slot);
  if (code != 0) return code;
  if (entries) GetDIBColorTable(slot->memDC, 0, PaletteSize, entries);
  return 0;
}

void KRV_ReadImageRect(void* buffer, int x0, int y0, int w, int h) {
  ImageSlot* slot = ImageInUse(krv_current);
  if (!slot || !buffer) return;
  const unsigned char* pixels = (const unsigned char*)krv_pixels[krv_current];
  const int stride = ImageStride(slot->bits, slot->width);
  int* words = (int*)buffer;
  unsigned char* bytes = (unsigned char*)buffer;
  long long out = 0;
  for (int j = 0; j < h; j++) {
    const long long y = (long long)y0 + j;
    for (int i = 0; i < w; i++, out++) {
      const long long x = (long long)x0 + i;
      const bool inside = x >= 0 && x < slot->width && y >= 0 && y < slot->height;
      if (slot->bits == 32)
        words[out] = inside ? ((const int*)(pixels + y * stride))[x] : 0;
      else
        bytes[out] = inside ? pixels[y * stride + x] : 0;
    }
  }
}
