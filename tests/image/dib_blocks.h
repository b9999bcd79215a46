// Packed bitmaps as other programs put them on the clipboard, built byte by byte for the tests.
#ifndef KORVEL_DIB_BLOCKS_H
#define KORVEL_DIB_BLOCKS_H

#include <string.h>

#include <vector>

#include "runtime/runtime.h"

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
  const int stride = (int)DibStride(shape.width, shape.bitCount);
  for (int row = 0; row < rows; row++)
    for (int i = 0; i < stride; i++) block.push_back(fill ? fill(row, i) : 0);
  return block;
}

inline BYTE IndexFive(int, int) { return 0x55; }  // 4-bit pixels of index 5, or plain bytes

// Well-formed blocks of every accepted kind, to be damaged.
inline std::vector<std::vector<BYTE>> SeedDibs(void) {
  std::vector<std::vector<BYTE>> seeds;
  DibShape s;
  s.width = 5;
  s.height = 3;
  seeds.push_back(MakeDib(s, IndexFive));
  s.height = -3;
  seeds.push_back(MakeDib(s, IndexFive));
  s.bitCount = 8;
  s.tableEntries = 256;
  seeds.push_back(MakeDib(s, IndexFive));
  s.headerSize = 124;
  s.bitCount = 32;
  s.compression = BI_BITFIELDS;
  s.tableEntries = 0;
  seeds.push_back(MakeDib(s, IndexFive));
  s.headerSize = 40;
  s.masksAfterHeader = true;
  s.bitCount = 16;
  s.masks[0] = 0x7C00;
  s.masks[1] = 0x03E0;
  s.masks[2] = 0x001F;
  seeds.push_back(MakeDib(s, IndexFive));
  DibShape f;
  f.headerSize = 108;
  f.bitCount = 4;
  f.coloursUsed = 16;
  f.tableEntries = 16;
  f.width = 7;
  seeds.push_back(MakeDib(f, IndexFive));
  DibShape m;
  m.bitCount = 1;
  m.tableEntries = 2;
  m.width = 33;
  seeds.push_back(MakeDib(m, IndexFive));
  return seeds;
}

// One to four damages of one kind: any byte (mostly in the header), a telling value in a
// header field, a cut, or a small value in the planes or bit count.
template <typename Random>
std::vector<BYTE> Mutated(std::vector<BYTE> block, Random& random) {
  static const DWORD telling[] = {0,      1,       2,          3,          4,          8,
                                  12,     16,      24,         32,         40,         52,
                                  108,    124,     255,        256,        257,        0x7FFF,
                                  0x8000, 0xFFFF,  0x10000,    0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                  0xFFFFFFFE};
  const int kind = random() % 4;
  const int edits = 1 + random() % 4;
  for (int e = 0; e < edits; e++) {
    if (kind == 0) {
      const size_t limit = random() % 3 ? (block.size() < 64 ? block.size() : 64) : block.size();
      if (limit) block[random() % limit] = (BYTE)random();
    } else if (kind == 1 && block.size() >= 4) {
      const size_t field = (random() % 15) * 4;
      const DWORD value = telling[random() % (sizeof telling / sizeof *telling)];
      if (field + 4 <= block.size()) memcpy(block.data() + field, &value, 4);
    } else if (kind == 2) {
      block.resize(random() % (block.size() + 1));
    } else if (block.size() >= 16) {
      const WORD value = (WORD)telling[random() % 12];
      memcpy(block.data() + (random() % 2 ? 12 : 14), &value, 2);
    }
  }
  return block;
}

#endif
