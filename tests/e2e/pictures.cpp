#include "pictures.h"

#include <objidl.h>
#include <gdiplus.h>
#include <string.h>

#include <vector>

using namespace Gdiplus;

static void StartGdiplusOnce(void) {
  static ULONG_PTR token;
  if (token) return;
  GdiplusStartupInput input;
  GdiplusStartup(&token, &input, NULL);
}

static bool FindEncoderOf(const wchar_t* mime, CLSID* encoder) {
  UINT count = 0, size = 0;
  if (DllExports::GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  ImageCodecInfo* codecs = (ImageCodecInfo*)buffer.data();
  if (DllExports::GdipGetImageEncoders(count, size, codecs) != Ok) return false;
  for (UINT i = 0; i < count; i++) {
    if (lstrcmpW(codecs[i].MimeType, mime) == 0) {
      *encoder = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

bool WritePicture(const std::wstring& path, int width, int height, int (*colour)(int x, int y),
                  const wchar_t* mime) {
  StartGdiplusOnce();
  CLSID encoder;
  if (!FindEncoderOf(mime, &encoder)) return false;
  std::vector<int> pixels((size_t)width * height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) pixels[(size_t)y * width + x] = colour(x, y);
  GpBitmap* bitmap = NULL;
  if (DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                            (BYTE*)pixels.data(), &bitmap) != Ok)
    return false;
  const bool saved = DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &encoder, NULL) == Ok;
  DllExports::GdipDisposeImage(bitmap);
  return saved;
}

bool DecodesWhole(const std::wstring& path, int width, int height) {
  StartGdiplusOnce();
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
