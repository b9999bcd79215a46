#include "support/picture_writer.h"

#include <objidl.h>
#include <gdiplus.h>

#include <vector>

using namespace Gdiplus;

void UseGdiplus(void) {
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
  UseGdiplus();
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
