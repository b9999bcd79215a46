// Reading packed bitmaps that other programs put on the clipboard. Pure: bytes and a size in,
// a checked 40-byte description and a pointer to the rows out. Any thread.
// Every offset is checked against the block in 64 bits before anything is read there.
#include <string.h>

#include "image/image.h"

static DWORD WordAt(const BYTE* data, size_t offset) {
  DWORD value;
  memcpy(&value, data + offset, sizeof value);
  return value;
}

static bool KnownHeaderSize(DWORD size) {
  return size == sizeof(BITMAPINFOHEADER) || size == 52 || size == 56 ||
         size == sizeof(BITMAPV4HEADER) || size == sizeof(BITMAPV5HEADER);
}

static bool Drawable(const BITMAPINFOHEADER& header) {
  if (header.biPlanes != 1) return false;
  switch (header.biCompression) {
    case BI_RGB: {
      const int b = header.biBitCount;
      return b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32;
    }
    case BI_BITFIELDS: return header.biBitCount == 16 || header.biBitCount == 32;
  }
  return false;
}

static bool SizeAccepted(const BITMAPINFOHEADER& header) {
  const long long width = header.biWidth;
  const long long rows = header.biHeight < 0 ? -(long long)header.biHeight : header.biHeight;
  return width > 0 && rows > 0 && width <= DibSideLimit && rows <= DibSideLimit &&
         width * rows <= DibPixelLimit;
}

// GDI draws a channel only from one unbroken run of bits inside the pixel.
static bool MaskDrawable(DWORD mask, int bitCount) {
  if (mask == 0 || (bitCount < 32 && (mask >> bitCount) != 0)) return false;
  while ((mask & 1) == 0) mask >>= 1;
  return (mask & (mask + 1)) == 0;
}

// Masks live in the header itself from 52 bytes on; after a 40-byte header they follow it.
static int ReadMasks(const BYTE* data, size_t size, DWORD headerSize, size_t* offset,
                     PackedDib* dib) {
  size_t from = sizeof(BITMAPINFOHEADER);
  if (headerSize == sizeof(BITMAPINFOHEADER)) {
    if (size - *offset < 3 * sizeof(DWORD)) return DibTooShort;
    from = *offset;
    *offset += 3 * sizeof(DWORD);
  }
  DWORD masks[3];
  memcpy(masks, data + from, sizeof masks);
  for (DWORD mask : masks)
    if (!MaskDrawable(mask, dib->header.biBitCount)) return DibNotDrawable;
  memcpy(dib->colours, masks, sizeof masks);
  return DibReadable;
}

// The table's length is the header's colour count (all entries of the bit count when it is 0
// up to 8 bits), whatever of it is used: the rows follow the whole table.
static int ReadColourTable(const BYTE* data, size_t size, size_t* offset, PackedDib* dib) {
  const BITMAPINFOHEADER& header = dib->header;
  unsigned long long entries = header.biClrUsed;
  if (entries == 0 && header.biBitCount <= 8) entries = 1ULL << header.biBitCount;
  if (entries > (size - *offset) / sizeof(RGBQUAD)) return DibTooShort;
  if (header.biBitCount <= 8) {
    const unsigned long long used = 1ULL << header.biBitCount;
    dib->colourCount = (int)(entries < used ? entries : used);
    memcpy(dib->colours, data + *offset, dib->colourCount * sizeof(RGBQUAD));
  }
  *offset += (size_t)entries * sizeof(RGBQUAD);
  return DibReadable;
}

int ReadPackedDib(const void* block, size_t size, PackedDib* dib) {
  memset(dib, 0, sizeof *dib);
  const BYTE* data = (const BYTE*)block;
  if (!data || size < sizeof(DWORD)) return DibTooShort;
  const DWORD headerSize = WordAt(data, 0);
  if (!KnownHeaderSize(headerSize)) return DibUnknownHeader;
  if (size < headerSize) return DibTooShort;
  memcpy(&dib->header, data, sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER& header = dib->header;
  if (!SizeAccepted(header)) return DibBadSize;
  if (!Drawable(header)) return DibNotDrawable;

  size_t offset = headerSize;
  int check = header.biCompression == BI_BITFIELDS
                  ? ReadMasks(data, size, headerSize, &offset, dib)
                  : DibReadable;
  if (check == DibReadable) check = ReadColourTable(data, size, &offset, dib);
  if (check != DibReadable) return check;

  const long long rows = header.biHeight < 0 ? -(long long)header.biHeight : header.biHeight;
  const long long stride = DibStride(header.biWidth, header.biBitCount);
  const unsigned long long rowBytes = (unsigned long long)(stride * rows);
  if (rowBytes > size - offset) return DibBitsMissing;
  dib->bits = data + offset;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biSizeImage = (DWORD)rowBytes;
  header.biClrUsed = (DWORD)dib->colourCount;
  header.biClrImportant = 0;
  return DibReadable;
}
