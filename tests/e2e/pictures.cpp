#include "pictures.h"

#include <objidl.h>
#include <gdiplus.h>
#include <string.h>

using namespace Gdiplus;

bool DecodesWhole(const std::wstring& path, int width, int height) {
  UseGdiplus();
  GpBitmap* bitmap = NULL;
  if (DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Ok || !bitmap) return false;
  UINT w = 0, h = 0;
  DllExports::GdipGetImageWidth(bitmap, &w);
  DllExports::GdipGetImageHeight(bitmap, &h);
  bool whole = (int)w == width && (int)h == height;
  if (whole) {
    // Reading every row makes a lazy decoder go through the whole file.
    Rect all(0, 0, width, height);
    BitmapData data = {};
    whole = DllExports::GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppRGB,
                                           &data) == Ok;
    if (whole) DllExports::GdipBitmapUnlockBits(bitmap, &data);
  }
  DllExports::GdipDisposeImage(bitmap);
  return whole;
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
