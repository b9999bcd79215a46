// Whole-image transforms: inversion, mirrors, quarter turns, rescaling and clipping into a new
// image. Worker thread.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "draw/draw.h"

void RotatedSource(int clockwise, int width, int height, int x, int y, int* oldX, int* oldY) {
  if (clockwise) {
    *oldX = y;
    *oldY = height - 1 - x;
  } else {
    *oldX = width - 1 - y;
    *oldY = x;
  }
}

int ScaledLength(int n, int permille) {
  const long long length = ((long long)n * permille + 500) / 1000;
  return length > INT_MAX || length < INT_MIN ? 0 : (int)length;
}

static unsigned char* RowOf(int id, int y) {
  const ImageSlot& slot = krv_images[id];
  return (unsigned char*)krv_pixels[id] + (size_t)y * ImageStride(slot.bits, slot.width);
}

// Done in memory rather than with GDI's inversion, which also flips the top byte of 32-bit
// pixels; kept 0, an inverted pixel never reads as the -1 the flood fill sees outside.
int InvertImage(int id) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  GdiFlush();
  for (int y = 0; y < slot->height; y++) {
    unsigned char* row = RowOf(id, y);
    if (slot->bits == 32)
      for (int x = 0; x < slot->width; x++) ((int*)row)[x] ^= 0xFFFFFF;
    else
      for (int x = 0; x < slot->width; x++) row[x] = (unsigned char)(255 - row[x]);
  }
  InvalidateRect(slot->window, NULL, FALSE);
  return 0;
}

static void SwapBytes(unsigned char* a, unsigned char* b, int count) {
  for (int i = 0; i < count; i++) {
    const unsigned char t = a[i];
    a[i] = b[i];
    b[i] = t;
  }
}

// Mirrors are swaps in memory: an overlapping GDI stretch onto itself is not exact everywhere.
int FlipImage(int id, int horizontal) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  GdiFlush();
  const int size = slot->bits / 8;
  if (horizontal) {
    for (int y = 0; y < slot->height; y++) {
      unsigned char* row = RowOf(id, y);
      for (int x = 0; x < slot->width / 2; x++)
        SwapBytes(row + x * size, row + (slot->width - 1 - x) * size, size);
    }
  } else {
    const int rowBytes = slot->width * size;
    for (int y = 0; y < slot->height / 2; y++)
      SwapBytes(RowOf(id, y), RowOf(id, slot->height - 1 - y), rowBytes);
  }
  InvalidateRect(slot->window, NULL, FALSE);
  return 0;
}

int RotateImage(int id, int clockwise) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  const int width = slot->width, height = slot->height, size = slot->bits / 8;
  unsigned char* copy = (unsigned char*)malloc((size_t)width * height * size);
  if (!copy) return 3;
  GdiFlush();
  const size_t rowBytes = (size_t)width * size;
  for (int y = 0; y < height; y++) memcpy(copy + y * rowBytes, RowOf(id, y), rowBytes);
  const int result = KRV_ResizeImage(id, height, width);
  if (result == 0) {
    for (int y = 0; y < width; y++) {
      unsigned char* row = RowOf(id, y);
      for (int x = 0; x < height; x++) {
        int oldX, oldY;
        RotatedSource(clockwise, width, height, x, y, &oldX, &oldY);
        memcpy(row + x * size, copy + ((size_t)oldY * width + oldX) * size, size);
      }
    }
  }
  free(copy);
  if (ImageInUse(id)) InvalidateRect(slot->window, NULL, FALSE);
  return result;
}

int ScaleImage(int id, int permille) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  const int width = slot->width, height = slot->height;
  const int newWidth = ScaledLength(width, permille), newHeight = ScaledLength(height, permille);
  HDC copyDC = CreateCompatibleDC(slot->memDC);
  HBITMAP copy = copyDC ? CreateCompatibleBitmap(slot->memDC, width, height) : NULL;
  if (!copy) {
    if (copyDC) DeleteDC(copyDC);
    return 3;
  }
  HGDIOBJ previous = SelectObject(copyDC, copy);
  BitBlt(copyDC, 0, 0, width, height, slot->memDC, 0, 0, SRCCOPY);
  const int result = KRV_ResizeImage(id, newWidth, newHeight);
  if (result == 0) {
    // The image's own stretch mode decides: whole pixels, or averaged under HALFTONE.
    StretchBlt(slot->memDC, 0, 0, newWidth, newHeight, copyDC, 0, 0, width, height, SRCCOPY);
    GdiFlush();
    InvalidateRect(slot->window, NULL, FALSE);
  }
  SelectObject(copyDC, previous);
  DeleteObject(copy);
  DeleteDC(copyDC);
  return result;
}

int CreateImageInFirstFreeSlot(const char* title, int width, int height, int bits) {
  for (int id = 0; id < SlotCount; id++) {
    const int result = bits == 8 ? KRV_CreateImage8(id, title, 0, 0, width, height, 100)
                                 : KRV_CreateImage(id, title, 0, 0, width, height, 100);
    if (result == 0) return id;
  }
  return -1;
}

int ClipImage(int id, int x1, int y1, int x2, int y2) {
  ImageSlot* source = ImageInUse(id);
  if (!source) return -1;
  char title[ImageCaptionSize];
  snprintf(title, sizeof title, "(%d,%d)-(%d,%d)", x1, y1, x2, y2);
  const long long w = (long long)x2 - x1 + 1, h = (long long)y2 - y1 + 1;
  if (w < 1 || h < 1 || w > INT_MAX || h > INT_MAX) return -1;
  const int clip = CreateImageInFirstFreeSlot(title, (int)w, (int)h, source->bits);
  if (clip < 0) return -1;
  if (source->bits == 8) {
    RGBQUAD colours[PaletteSize];
    GetDIBColorTable(source->memDC, 0, PaletteSize, colours);
    SetDIBColorTable(krv_images[clip].memDC, 0, PaletteSize, colours);
  }
  GdiFlush();
  // Rows are read as the new image's rows, so pixels outside the source come out 0.
  const int previous = UseImage(id);
  for (int y = 0; y < (int)h; y++) KRV_ReadImageRect(RowOf(clip, y), x1, y1 + y, (int)w, 1);
  RestoreImage(previous);
  KRV_RedrawImage(clip);
  return clip;
}
