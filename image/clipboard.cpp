// Images to and from the system clipboard as packed bitmaps (CF_DIB), and the pasting of a
// clipboard picture for the main window (request 9004). Worker thread, except
// KRV_GetClipboardBitmap, which the main window also calls on the GUI thread.
#include <string.h>

#include "image/image.h"

static size_t CopiedStride(int bits, int width) {
  return (size_t)DibStride(width, bits == 8 ? 8 : 24);
}

static size_t CopiedTableSize(int bits) { return bits == 8 ? PaletteSize * sizeof(RGBQUAD) : 0; }

size_t CopiedDibSize(int bits, int width, int height) {
  return sizeof(BITMAPINFOHEADER) + CopiedTableSize(bits) +
         CopiedStride(bits, width) * (size_t)height;
}

// The system turns the top-down pixels into bottom-up rows of the header's format. It may note
// sizes and colour counts in the header as it goes, so the header is written again afterwards.
static bool FillCopiedDib(const ImageSlot* slot, BYTE* data) {
  const int rowBits = slot->bits == 8 ? 8 : 24;
  const BITMAPINFOHEADER header = DibHeader(slot->width, slot->height, rowBits);
  memcpy(data, &header, sizeof header);
  RGBQUAD* table = (RGBQUAD*)(data + sizeof header);
  if (slot->bits == 8) GetDIBColorTable(slot->memDC, 0, PaletteSize, table);
  BYTE* rows = data + sizeof header + CopiedTableSize(slot->bits);
  const int copied = GetDIBits(slot->memDC, slot->bitmap, 0, slot->height, rows,
                               (BITMAPINFO*)data, DIB_RGB_COLORS);
  memcpy(data, &header, sizeof header);
  return copied == slot->height;
}

void KRV_CopyImage(int id) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || !OpenClipboard(NULL)) return;
  EmptyClipboard();
  HGLOBAL block;
  BYTE* data = (BYTE*)LockNewClipboardBlock(CopiedDibSize(slot->bits, slot->width, slot->height),
                                            &block);
  if (!data) {
    CloseClipboard();
    KRV_Pause("No enough memory for copy");
    return;
  }
  // Rows the system could not deliver would be uninitialised memory: nothing goes out then.
  if (FillCopiedDib(slot, data)) {
    HandBlockToClipboard(block, CF_DIB);
  } else {
    GlobalUnlock(block);
    GlobalFree(block);
  }
  CloseClipboard();
}

static HBITMAP BitmapOfDib(const PackedDib& dib) {
  HDC screen = GetDC(NULL);
  HBITMAP bitmap = CreateDIBitmap(screen, &dib.header, CBM_INIT, dib.bits,
                                  (const BITMAPINFO*)&dib.header, DIB_RGB_COLORS);
  ReleaseDC(NULL, screen);
  return bitmap;
}

// The block belongs to another program: it is read only within the size the system reports.
static HBITMAP BitmapOfBlock(HANDLE data, RGBQUAD* colours, int* count) {
  const void* bytes = GlobalLock(data);
  if (!bytes) return NULL;
  PackedDib dib;
  HBITMAP bitmap = NULL;
  if (ReadPackedDib(bytes, GlobalSize(data), &dib) == DibReadable) bitmap = BitmapOfDib(dib);
  if (bitmap && colours && count) {
    memcpy(colours, dib.colours, dib.colourCount * sizeof(RGBQUAD));
    *count = dib.colourCount;
  }
  GlobalUnlock(data);
  return bitmap;
}

HBITMAP KRV_GetClipboardBitmap(RGBQUAD colours[256], int* count) {
  if (count) *count = 0;
  if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(NULL)) return NULL;
  HANDLE data = GetClipboardData(CF_DIB);
  HBITMAP bitmap = data ? BitmapOfBlock(data, colours, count) : NULL;
  CloseClipboard();
  return bitmap;
}

static SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectW(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

// The picture's corner: as given, or centred where the user clicks. false when cancelled or
// stopped (a pick ended by Stop holds no chosen point).
static bool PlacePicture(int id, SIZE size, int* x, int* y) {
  if (*x != -1 && *y != -1) return true;
  int cx, cy;
  if (KRV_PickArea(id, size.cx, size.cy, &cx, &cy) != 0 || stopRequested) return false;
  *x = cx - size.cx / 2;
  *y = cy - size.cy / 2;
  return true;
}

// The part of the image that a picture of size placed at (x, y) covers; false when none.
static bool PastedArea(const ImageSlot* slot, int x, int y, SIZE size, RECT* area) {
  const long long right = (long long)x + size.cx, bottom = (long long)y + size.cy;
  area->left = x > 0 ? x : 0;
  area->top = y > 0 ? y : 0;
  area->right = right < slot->width ? (LONG)right : slot->width;
  area->bottom = bottom < slot->height ? (LONG)bottom : slot->height;
  return area->right > area->left && area->bottom > area->top;
}

// Pictures with alpha bring it along in the fourth byte; pixels of 32-bit images are
// 0x00RRGGBB, so the byte is cleared wherever the picture landed.
static void ClearFourthBytes(int id, int x, int y, SIZE size) {
  const ImageSlot* slot = &krv_images[id];
  RECT area;
  if (slot->bits != 32 || !PastedArea(slot, x, y, size, &area)) return;
  GdiFlush();
  for (int row = area.top; row < area.bottom; row++) {
    int* line = (int*)krv_pixels[id] + (size_t)row * slot->width;
    for (int column = area.left; column < area.right; column++) line[column] &= 0xFFFFFF;
  }
}

// Wine matches colours into an 8-bit DIB only roughly (a grey copy pasted back came out a
// step lighter, black as grey 4), so an 8-bit image takes the picture through 32 bits and each
// colour then finds its exact or nearest colour-table entry. false when that cannot be done.
static bool PasteIndexed(int id, HDC source, int x, int y, SIZE size) {
  const ImageSlot* slot = &krv_images[id];
  RECT area;
  if (!PastedArea(slot, x, y, size, &area)) return true;
  const int w = area.right - area.left, h = area.bottom - area.top;
  const BITMAPINFOHEADER header = DibHeader(w, -h, 32);
  void* bits = NULL;
  HBITMAP canvas =
      CreateDIBSection(NULL, (const BITMAPINFO*)&header, DIB_RGB_COLORS, &bits, NULL, 0);
  if (!canvas || !bits) {
    if (canvas) DeleteObject(canvas);
    return false;
  }
  HDC dc = CreateCompatibleDC(slot->memDC);
  HGDIOBJ old = dc ? SelectObject(dc, canvas) : NULL;
  const bool copied = old && BitBlt(dc, 0, 0, w, h, source, area.left - x, area.top - y, SRCCOPY);
  if (copied) {
    GdiFlush();
    RGBQUAD table[PaletteSize];
    GetDIBColorTable(slot->memDC, 0, PaletteSize, table);
    BYTE* pixels = (BYTE*)krv_pixels[id];
    const int stride = ImageStride(8, slot->width);
    for (int row = 0; row < h; row++)
      MapToPalette((const int*)bits + (size_t)row * w, w, table,
                   pixels + (size_t)(area.top + row) * stride + area.left);
  }
  if (old) SelectObject(dc, old);
  if (dc) DeleteDC(dc);
  DeleteObject(canvas);
  return copied;
}

void KRV_PasteImage(int id, int x, int y) {
  if (!ImageInUse(id)) return;
  RGBQUAD colours[PaletteSize];
  int count;
  HBITMAP bitmap = KRV_GetClipboardBitmap(colours, &count);
  if (!bitmap) return;
  HDC source = CreateCompatibleDC(krv_images[id].memDC);
  HGDIOBJ old = SelectObject(source, bitmap);
  const SIZE size = BitmapSize(bitmap);
  // The pick pumps messages: the image may be gone when it returns.
  if (PlacePicture(id, size, &x, &y) && ImageInUse(id)) {
    const ImageSlot* slot = &krv_images[id];
    if (count > 0) SetDIBColorTable(slot->memDC, 0, count, colours);
    if (slot->bits != 8 || !PasteIndexed(id, source, x, y, size))
      BitBlt(slot->memDC, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
    ClearFourthBytes(id, x, y, size);
    InvalidateRect(slot->window, NULL, FALSE);
  }
  SelectObject(source, old);
  DeleteObject(bitmap);
  DeleteDC(source);
}

void CutImage(int id) {
  KRV_CopyImage(id);
  KRV_ClearImage(id);
  const ImageSlot* slot = ImageInUse(id);
  if (slot) InvalidateRect(slot->window, NULL, FALSE);
}

void PasteImagePlaced(int id) { KRV_PasteImage(id, -1, -1); }

void PasteImageAtCorner(int id) { KRV_PasteImage(id, 0, 0); }

// The poster handed the bitmap over: it is deleted here whether or not an image takes it.
void PastePendingBitmap(RequestBlock* block) {
  HBITMAP bitmap = block->bitmap;
  block->bitmap = NULL;
  if (!bitmap) return;
  const ImageSlot* slot = ImageInUse(krv_current);
  if (slot) {
    HDC source = CreateCompatibleDC(slot->memDC);
    HGDIOBJ old = SelectObject(source, bitmap);
    const SIZE size = BitmapSize(bitmap);
    BitBlt(slot->memDC, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
    ClearFourthBytes(krv_current, 0, 0, size);
    SelectObject(source, old);
    DeleteDC(source);
  }
  DeleteObject(bitmap);
}
