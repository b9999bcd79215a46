#include "pictures.h"

#include <objidl.h>
#include <gdiplus.h>
#include <string.h>

using namespace Gdiplus;

std::vector<int> ReadPicture(const std::wstring& path, int* width, int* height) {
  UseGdiplus();
  std::vector<int> pixels;
  *width = *height = 0;
  GpBitmap* bitmap = NULL;
  if (DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Ok || !bitmap) return pixels;
  UINT w = 0, h = 0;
  DllExports::GdipGetImageWidth(bitmap, &w);
  DllExports::GdipGetImageHeight(bitmap, &h);
  // Reading every row makes a lazy decoder go through the whole file.
  Rect all(0, 0, (INT)w, (INT)h);
  BitmapData data = {};
  if (w > 0 && h > 0 &&
      DllExports::GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppRGB,
                                     &data) == Ok) {
    pixels.resize((size_t)w * h);
    for (UINT y = 0; y < h; y++) {
      const UINT* row = (const UINT*)((const BYTE*)data.Scan0 + (INT_PTR)y * data.Stride);
      for (UINT x = 0; x < w; x++) pixels[(size_t)y * w + x] = (int)(row[x] & 0xFFFFFF);
    }
    DllExports::GdipBitmapUnlockBits(bitmap, &data);
    *width = (int)w;
    *height = (int)h;
  }
  DllExports::GdipDisposeImage(bitmap);
  return pixels;
}

bool DecodesWhole(const std::wstring& path, int width, int height) {
  int w = 0, h = 0;
  return !ReadPicture(path, &w, &h).empty() && w == width && h == height;
}

bool EndsLikeAPng(const std::wstring& path) {
  static const unsigned char end[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  unsigned char last[12] = {};
  DWORD read = 0;
  const bool placed = SetFilePointer(file, -12, NULL, FILE_END) != INVALID_SET_FILE_POINTER;
  const bool got = placed && ReadFile(file, last, sizeof last, &read, NULL) && read == sizeof last;
  CloseHandle(file);
  return got && memcmp(last, end, sizeof end) == 0;
}
