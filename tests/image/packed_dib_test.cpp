// Packed bitmaps from other programs: what is accepted, what is refused, and thousands of
// damaged blocks read right against an inaccessible page, so any read past a block crashes.
#include <gtest/gtest.h>
#include <limits.h>

#include "image/dib_blocks.h"
#include "image/image.h"
#include "support/seeded_random.h"

namespace {

// A block copied so that its last byte is the last one before a page nobody may read.
class GuardedBlock {
 public:
  GuardedBlock() {
    base = (BYTE*)VirtualAlloc(NULL, Capacity + Page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    VirtualProtect(base + Capacity, Page, PAGE_NOACCESS, &old);
  }
  ~GuardedBlock() { VirtualFree(base, 0, MEM_RELEASE); }
  const BYTE* Place(const std::vector<BYTE>& bytes) {
    BYTE* start = base + Capacity - bytes.size();
    if (!bytes.empty()) memcpy(start, bytes.data(), bytes.size());
    return start;
  }
  enum { Page = 4096, Capacity = 64 * 4096 };

 private:
  BYTE* base;
};

struct Parsed {
  int check;
  PackedDib dib;
  size_t bitsOffset;  // of the rows in the block
};

Parsed Read(const std::vector<BYTE>& block) {
  static GuardedBlock guard;
  Parsed parsed;
  const BYTE* start = guard.Place(block);
  parsed.check = ReadPackedDib(start, block.size(), &parsed.dib);
  parsed.bitsOffset = parsed.dib.bits ? (size_t)(parsed.dib.bits - start) : 0;
  return parsed;
}

HBITMAP MakeBitmap(const PackedDib& dib) {
  HDC screen = GetDC(NULL);
  HBITMAP bitmap = CreateDIBitmap(screen, &dib.header, CBM_INIT, dib.bits,
                                  (const BITMAPINFO*)&dib.header, DIB_RGB_COLORS);
  ReleaseDC(NULL, screen);
  return bitmap;
}

// The colour at (x, y) of the bitmap GDI makes of dib, as 0x00RRGGBB.
int DrawnColour(const PackedDib& dib, int x, int y) {
  HBITMAP bitmap = MakeBitmap(dib);
  HDC dc = CreateCompatibleDC(NULL);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// Block row 0 is blue, row 1 red, 3 bytes a pixel (blue, green, red).
BYTE BlueThenRed(int row, int index) {
  static const BYTE blue[3] = {0xFF, 0, 0}, red[3] = {0, 0, 0xFF};
  return row == 0 ? blue[index % 3] : red[index % 3];
}

// 32-bit words 0x000000FF in row 0 and 0x00FF0000 in row 1, little-endian.
BYTE LowByteThenHighByte(int row, int index) {
  return (row == 0 && index % 4 == 0) || (row == 1 && index % 4 == 2) ? 0xFF : 0;
}

}  // namespace

TEST(PackedDibs, PlainHeaderOf24BitsIsReadBottomUpOrTopDown) {
  DibShape shape;
  shape.width = 3;
  Parsed parsed = Read(MakeDib(shape, BlueThenRed));
  ASSERT_EQ(DibReadable, parsed.check);
  EXPECT_EQ(40u, parsed.dib.header.biSize);
  EXPECT_EQ(3, parsed.dib.header.biWidth);
  EXPECT_EQ(2, parsed.dib.header.biHeight);
  EXPECT_EQ(24u, parsed.dib.header.biSizeImage);  // 2 rows of 9 bytes padded to 12
  EXPECT_EQ(0, parsed.dib.colourCount);
  EXPECT_EQ(40u, parsed.bitsOffset);
  EXPECT_EQ(0x0000FF, DrawnColour(parsed.dib, 0, 1));  // the first row is the bottom one
  EXPECT_EQ(0xFF0000, DrawnColour(parsed.dib, 2, 0));

  shape.height = -2;
  parsed = Read(MakeDib(shape, BlueThenRed));
  ASSERT_EQ(DibReadable, parsed.check);
  EXPECT_EQ(-2, parsed.dib.header.biHeight);
  EXPECT_EQ(0x0000FF, DrawnColour(parsed.dib, 0, 0));  // the first row is the top one
  EXPECT_EQ(0xFF0000, DrawnColour(parsed.dib, 1, 1));
}

TEST(PackedDibs, LongerHeadersCarryTheirMasksAndPrecedeTheRows) {
  for (DWORD size : {52u, 56u, 108u, 124u}) {
    DibShape shape;
    shape.headerSize = size;
    shape.bitCount = 32;
    shape.compression = BI_BITFIELDS;
    shape.masks[0] = 0x000000FF;  // red in the low byte: the masks must be obeyed
    shape.masks[2] = 0x00FF0000;
    Parsed parsed = Read(MakeDib(shape, LowByteThenHighByte));
    ASSERT_EQ(DibReadable, parsed.check) << size;
    EXPECT_EQ(size, parsed.bitsOffset);
    EXPECT_EQ(40u, parsed.dib.header.biSize);
    EXPECT_EQ(0x000000FFu, *(const DWORD*)&parsed.dib.colours[0]);
    EXPECT_EQ(0x00FF0000u, *(const DWORD*)&parsed.dib.colours[2]);
    EXPECT_EQ(0xFF0000, DrawnColour(parsed.dib, 0, 1)) << size;
    EXPECT_EQ(0x0000FF, DrawnColour(parsed.dib, 3, 0)) << size;
  }
}

TEST(PackedDibs, MasksAfterAPlainHeaderAreSkippedToTheRows) {
  DibShape shape;
  shape.bitCount = 16;
  shape.compression = BI_BITFIELDS;
  shape.masksAfterHeader = true;
  shape.masks[0] = 0xF800;
  shape.masks[1] = 0x07E0;
  shape.masks[2] = 0x001F;
  Parsed parsed = Read(MakeDib(shape, [](int, int index) -> BYTE {
    return index % 2 ? 0xF8 : 0x00;  // 0xF800: full red
  }));
  ASSERT_EQ(DibReadable, parsed.check);
  EXPECT_EQ(52u, parsed.bitsOffset);
  EXPECT_EQ(0xF800u, *(const DWORD*)&parsed.dib.colours[0]);
  const int colour = DrawnColour(parsed.dib, 1, 1);
  EXPECT_GE(colour >> 16, 0xF8);
  EXPECT_EQ(0, colour & 0xFFFF);
}

TEST(PackedDibs, ColourTablesFollowTheWholeHeaderAndTheirCount) {
  DibShape shape;
  shape.headerSize = 124;
  shape.bitCount = 4;
  shape.coloursUsed = 16;
  shape.tableEntries = 16;
  Parsed parsed = Read(MakeDib(shape, IndexFive));
  ASSERT_EQ(DibReadable, parsed.check);
  EXPECT_EQ(124u + 64u, parsed.bitsOffset);
  EXPECT_EQ(16, parsed.dib.colourCount);
  EXPECT_EQ(16u, parsed.dib.header.biClrUsed);
  EXPECT_EQ(35, parsed.dib.colours[5].rgbRed);
  EXPECT_EQ((5 * 7 << 16) | (5 * 5 << 8) | 5 * 3, DrawnColour(parsed.dib, 1, 0));

  // A count of 0 means the full table of the bit count.
  for (int bits : {1, 4, 8}) {
    DibShape full;
    full.bitCount = bits;
    full.tableEntries = 1 << bits;
    parsed = Read(MakeDib(full, NULL));
    ASSERT_EQ(DibReadable, parsed.check) << bits;
    EXPECT_EQ(1 << bits, parsed.dib.colourCount);
    EXPECT_EQ(40u + 4 * (1u << bits), parsed.bitsOffset);
  }

  // More entries than the bit count can use: the rows still follow them all.
  shape.coloursUsed = 300;
  shape.tableEntries = 300;
  parsed = Read(MakeDib(shape, IndexFive));
  ASSERT_EQ(DibReadable, parsed.check);
  EXPECT_EQ(16, parsed.dib.colourCount);
  EXPECT_EQ(124u + 1200u, parsed.bitsOffset);

  // A table in front of true-colour rows is skipped and not reported.
  DibShape rgb;
  rgb.coloursUsed = 5;
  rgb.tableEntries = 5;
  parsed = Read(MakeDib(rgb, NULL));
  ASSERT_EQ(DibReadable, parsed.check);
  EXPECT_EQ(0, parsed.dib.colourCount);
  EXPECT_EQ(0u, parsed.dib.header.biClrUsed);
  EXPECT_EQ(60u, parsed.bitsOffset);
}

TEST(PackedDibs, WhatCannotBeDrawnSafelyIsRefused) {
  const DibShape plain;
  const std::vector<BYTE> good = MakeDib(plain, NULL);
  EXPECT_EQ(DibTooShort, Read(std::vector<BYTE>(good.begin(), good.begin() + 3)).check);
  EXPECT_EQ(DibTooShort, Read(std::vector<BYTE>(good.begin(), good.begin() + 39)).check);
  EXPECT_EQ(DibBitsMissing, Read(std::vector<BYTE>(good.begin(), good.end() - 1)).check);
  EXPECT_EQ(DibTooShort, Read(std::vector<BYTE>()).check);

  for (DWORD size : {0u, 12u, 16u, 64u, 100u, 125u, 0xFFFFFFFFu}) {
    DibShape shape;
    shape.headerSize = size < 200 ? size : 40;
    std::vector<BYTE> block = MakeDib(shape, NULL);
    memcpy(block.data(), &size, 4);
    EXPECT_EQ(DibUnknownHeader, Read(block).check) << size;
  }

  struct Change {
    int width, height, bitCount;
    DWORD compression;
    int expected;
  } changes[] = {
      {0, 2, 24, BI_RGB, DibBadSize},          {-4, 2, 24, BI_RGB, DibBadSize},
      {4, 0, 24, BI_RGB, DibBadSize},          {4, INT_MIN, 24, BI_RGB, DibBadSize},
      {40000, 1, 24, BI_RGB, DibBadSize},      {9000, 9000, 1, BI_RGB, DibBadSize},
      {4, 2, 0, BI_RGB, DibNotDrawable},       {4, 2, 2, BI_RGB, DibNotDrawable},
      {4, 2, 64, BI_RGB, DibNotDrawable},      {4, 2, 8, BI_RLE8, DibNotDrawable},
      {4, 2, 4, BI_RLE4, DibNotDrawable},      {4, 2, 24, BI_JPEG, DibNotDrawable},
      {4, 2, 24, BI_PNG, DibNotDrawable},      {4, 2, 24, BI_BITFIELDS, DibNotDrawable},
      {4, 2, 32, 6 /* alpha bit fields */, DibNotDrawable},
  };
  for (const Change& change : changes) {
    std::vector<BYTE> block = MakeDib(plain, NULL);
    BITMAPINFOHEADER* header = (BITMAPINFOHEADER*)block.data();
    header->biWidth = change.width;
    header->biHeight = change.height;
    header->biBitCount = (WORD)change.bitCount;
    header->biCompression = change.compression;
    EXPECT_EQ(change.expected, Read(block).check)
        << change.width << "x" << change.height << " " << change.bitCount;
  }

  std::vector<BYTE> planes = MakeDib(plain, NULL);
  ((BITMAPINFOHEADER*)planes.data())->biPlanes = 2;
  EXPECT_EQ(DibNotDrawable, Read(planes).check);

  const struct {
    int bitCount;
    DWORD green;
  } badMasks[] = {{16, 0}, {16, 0x00FF00FF}, {16, 0x1FF00}, {32, 0x00F0F000}};
  for (const auto& bad : badMasks) {
    DibShape shape;  // empty, broken, or outside the pixel
    shape.bitCount = bad.bitCount;
    shape.compression = BI_BITFIELDS;
    shape.masksAfterHeader = true;
    shape.masks[1] = bad.green;
    EXPECT_EQ(DibNotDrawable, Read(MakeDib(shape, NULL)).check) << std::hex << bad.green;
  }

  DibShape masks;  // bit fields after a plain header, but the block ends with the header
  masks.bitCount = 32;
  masks.compression = BI_BITFIELDS;
  masks.width = masks.height = 0;
  std::vector<BYTE> header = MakeDib(masks, NULL);
  ((BITMAPINFOHEADER*)header.data())->biWidth = 1;
  ((BITMAPINFOHEADER*)header.data())->biHeight = 1;
  EXPECT_EQ(DibTooShort, Read(header).check);

  DibShape table;  // a colour count beyond the block
  table.bitCount = 8;
  table.coloursUsed = 0x40000000;
  table.tableEntries = 256;
  EXPECT_EQ(DibTooShort, Read(MakeDib(table, NULL)).check);
  table.coloursUsed = 257;  // 257 entries fit, but then the rows do not
  EXPECT_EQ(DibBitsMissing, Read(MakeDib(table, NULL)).check);
}

// Mutations of well-formed blocks of every accepted kind. Whatever is accepted must lie inside
// its block and must be drawable by GDI without it reading past the block either.
TEST(PackedDibs, DamagedBlocksNeverReadPastTheirEnd) {
  const std::vector<std::vector<BYTE>> seeds = SeedDibs();
  Random random(20261207);
  int accepted = 0, refused = 0;
  for (int round = 0; round < 6000; round++) {
    const std::vector<BYTE> block = Mutated(seeds[random() % seeds.size()], random);
    const Parsed parsed = Read(block);
    if (parsed.check != DibReadable) {
      refused++;
      continue;
    }
    accepted++;
    const BITMAPINFOHEADER& h = parsed.dib.header;
    ASSERT_LE(parsed.bitsOffset + h.biSizeImage, block.size()) << round;
    ASSERT_LE(parsed.dib.colourCount, 256) << round;
    HBITMAP bitmap = MakeBitmap(parsed.dib);
    ASSERT_TRUE(bitmap != NULL) << round << " " << h.biWidth << "x" << h.biHeight << " bits "
                                << h.biBitCount << " comp " << h.biCompression << " used "
                                << h.biClrUsed << " masks " << std::hex
                                << *(const DWORD*)&parsed.dib.colours[0] << " "
                                << *(const DWORD*)&parsed.dib.colours[1] << " "
                                << *(const DWORD*)&parsed.dib.colours[2];
    DeleteObject(bitmap);
  }
  EXPECT_GT(accepted, 300);
  EXPECT_GT(refused, 3000);
}
