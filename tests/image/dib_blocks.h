// Packed bitmaps as other programs put them on the clipboard, built byte by byte for the tests.
#ifndef KORVEL_DIB_BLOCKS_H
#define KORVEL_DIB_BLOCKS_H

#include <string.h>

#include <vector>

#include <windows.h>

struct DibShape {
  DWORD headerSize = 40;
  int width = 4, height = 2;  // negative: top-down
  int bitCount = 24;
  DWORD compression = BI_RGB;
  DWORD coloursUsed = 0;
  int tableEntries = 0;        // entries actually written after the header (and masks)
  bool masksAfterHeader = false;  // three masks after a 40-byte header
  DWORD masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
};

inline int DibStride(int width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

// Header, masks and table as shaped; rows of the full size, each byte from fill(row, i).
inline std::vector<BYTE> MakeDib(const DibShape& shape, BYTE (*fill)(int row, int index)) {
  std::vector<BYTE> block(shape.headerSize, 0);
  BITMAPV5HEADER header = {};
  header.bV5Size = shape.headerSize;
  header.bV5Width = shape.width;
  header.bV5Height = shape.height;
  header.bV5Planes = 1;
  header.bV5BitCount = (WORD)shape.bitCount;
  header.bV5Compression = shape.compression;
  header.bV5ClrUsed = shape.coloursUsed;
  header.bV5RedMask = shape.masks[0];
  header.bV5GreenMask = shape.masks[1];
  header.bV5BlueMask = shape.masks[2];
  memcpy(block.data(), &header, shape.headerSize < sizeof header ? shape.headerSize : sizeof header);
  if (shape.masksAfterHeader) {
    const BYTE* masks = (const BYTE*)shape.masks;
    block.insert(block.end(), masks, masks + sizeof shape.masks);
  }
  for (int i = 0; i < shape.tableEntries; i++) {
    const BYTE entry[4] = {(BYTE)(i * 3), (BYTE)(i * 5), (BYTE)(i * 7), 0};
    block.insert(block.end(), entry, entry + 4);
  }
  const int rows = shape.height < 0 ? -shape.height : shape.height;
  const int stride = DibStride(shape.width, shape.bitCount);
  for (int row = 0; row < rows; row++)
    for (int i = 0; i < stride; i++) block.push_back(fill ? fill(row, i) : 0);
  return block;
}

#endif
