// Frames of devices that deliver 24-bit RGB (Wine's own capture source, which has no converter
// to 32 bits behind it), expanded into the frame buffer's 0x00RRGGBB words, top row first.
// Pure; the sink calls it on the streaming thread.
#include <string.h>

#include "capture/capture.h"
#include "runtime/runtime.h"

enum { LargestRgb24Side = 16384 };

long long Rgb24Stride(int width) { return DibStride(width, 24); }

bool Rgb24LayoutOf(const AM_MEDIA_TYPE* type, Rgb24Layout* layout) {
  if (!type || !layout || type->subtype != MEDIASUBTYPE_RGB24 ||
      type->formattype != FORMAT_VideoInfo || !type->pbFormat ||
      type->cbFormat < sizeof(VIDEOINFOHEADER))
    return false;
  const BITMAPINFOHEADER& header = ((const VIDEOINFOHEADER*)type->pbFormat)->bmiHeader;
  LONG width = header.biWidth, height = header.biHeight;
  if (header.biBitCount != 24 || header.biCompression != BI_RGB) return false;
  if (width <= 0 || width > LargestRgb24Side || height == 0 || height < -LargestRgb24Side ||
      height > LargestRgb24Side)
    return false;
  layout->width = width;
  layout->height = height < 0 ? -height : height;
  layout->bottomUp = height > 0;  // a positive height stores the bottom row first
  return true;
}

// Four pixels are three little-endian words B0G0R0B1 G1R1B2G2 R2B3G3R3; unaligned rows are
// read through memcpy, which compilers turn into plain loads.
void ExpandRgb24Row(const BYTE* source, int count, DWORD* out) {
  int x = 0;
  for (; x + 4 <= count; x += 4, source += 12, out += 4) {
    DWORD w[3];
    memcpy(w, source, 12);
    out[0] = w[0] & 0xFFFFFF;
    out[1] = (w[0] >> 24) | ((w[1] & 0xFFFF) << 8);
    out[2] = (w[1] >> 16) | ((w[2] & 0xFF) << 16);
    out[3] = w[2] >> 8;
  }
  for (; x < count; x++, source += 3, out++)
    *out = (DWORD)source[0] | ((DWORD)source[1] << 8) | ((DWORD)source[2] << 16);
}

long long Rgb24Pitch(long length, const Rgb24Layout& layout) {
  if (layout.width <= 0 || layout.height <= 0) return 0;
  long long padded = Rgb24Stride(layout.width), packed = (long long)layout.width * 3;
  // The last row may come without its padding.
  if (length >= padded * (layout.height - 1) + packed) return padded;
  // Wine's capture source packs its rows tight whatever the width, in samples of exactly that
  // size; any other length is a broken frame.
  if (length == packed * layout.height) return packed;
  return 0;
}

long Rgb24FrameBytes(long length, const Rgb24Layout& layout, int width, int height) {
  if (width <= 0 || height <= 0 || Rgb24Pitch(length, layout) == 0) return 0;
  int rows = layout.height < height ? layout.height : height;
  return (long)((long long)rows * width * 4);
}

long ExpandRgb24FrameTopDown(const BYTE* source, long length, const Rgb24Layout& layout,
                             int width, int height, BYTE* frame) {
  long valid = Rgb24FrameBytes(length, layout, width, height);
  if (!source || !frame || valid == 0) return 0;
  int rows = layout.height < height ? layout.height : height;
  int columns = layout.width < width ? layout.width : width;
  long long pitch = Rgb24Pitch(length, layout);
  for (int y = 0; y < rows; y++) {
    int row = layout.bottomUp ? layout.height - 1 - y : y;
    ExpandRgb24Row(source + pitch * row, columns, (DWORD*)(frame + (size_t)y * width * 4));
  }
  return valid;
}
