// Metafiles whose shapes lie beyond GDI's coordinate range, or whose curves are more than 2^20
// units across, are refused before any decoder sees them: one bit flipped in an ellipse's box
// once held the load inside the metafile playback for minutes.
#include <gtest/gtest.h>

#include <vector>

#include "image/image.h"
#include "image/picture_files.h"

namespace {

void Put32(std::vector<unsigned char>* bytes, unsigned int value) {
  for (int i = 0; i < 4; i++) bytes->push_back((unsigned char)(value >> (8 * i)));
}

// A header, one shape record of type with the box, and the end record.
std::vector<unsigned char> MetafileWithShape(unsigned int type, int left, int top, int right,
                                             int bottom) {
  std::vector<unsigned char> bytes;
  const unsigned int headerBytes = 88, shapeBytes = type == 44 ? 32 : 24, endBytes = 20;
  Put32(&bytes, 1);
  Put32(&bytes, headerBytes);
  for (int v : {0, 0, 99, 79, 0, 0, 2000, 1600}) Put32(&bytes, (unsigned int)v);
  Put32(&bytes, 0x464D4520u);  // " EMF"
  Put32(&bytes, 0x10000);
  Put32(&bytes, headerBytes + shapeBytes + endBytes);
  Put32(&bytes, 3);             // records
  Put32(&bytes, 1);             // handles, and the reserved half
  Put32(&bytes, 0);             // description
  Put32(&bytes, 0);
  Put32(&bytes, 0);             // palette entries
  for (int v : {1280, 1024, 339, 271}) Put32(&bytes, (unsigned int)v);
  Put32(&bytes, type);
  Put32(&bytes, shapeBytes);
  for (int v : {left, top, right, bottom}) Put32(&bytes, (unsigned int)v);
  if (type == 44) Put32(&bytes, 5), Put32(&bytes, 5);
  Put32(&bytes, 14);
  Put32(&bytes, endBytes);
  Put32(&bytes, 0);
  Put32(&bytes, 16);
  Put32(&bytes, endBytes);
  return bytes;
}

int Damaged(const std::vector<unsigned char>& bytes) {
  return PictureFileIsDamaged(bytes.data(), (long long)bytes.size());
}

}  // namespace

TEST(PictureCheck, MetafileShapesBeyondGdiCoordinatesAreRefused) {
  const int limit = 1 << 27;
  for (unsigned int type : {42u, 43u, 44u, 47u, 55u}) {
    EXPECT_EQ(0, Damaged(MetafileWithShape(type, 20, 10, 89, 69))) << type;
    EXPECT_EQ(0, Damaged(MetafileWithShape(type, -limit, 10, -limit + 69, 69))) << type;
    EXPECT_EQ(0, Damaged(MetafileWithShape(type, limit - 70, 10, limit - 1, 69))) << type;
    EXPECT_EQ(1, Damaged(MetafileWithShape(type, 0x08000014, 10, 89, 69))) << type;
    EXPECT_EQ(1, Damaged(MetafileWithShape(type, 20, -limit - 1, 89, 69))) << type;
    EXPECT_EQ(1, Damaged(MetafileWithShape(type, 20, 10, 89, (int)0x80000000u))) << type;
  }
  // A rectangle may span the whole range; a curve no more than 2^20 units.
  EXPECT_EQ(0, Damaged(MetafileWithShape(43, -limit, 10, limit - 1, 69)));
  EXPECT_EQ(0, Damaged(MetafileWithShape(42, -(1 << 19), 10, 1 << 19, 69)));
  EXPECT_EQ(1, Damaged(MetafileWithShape(42, -(1 << 19), 10, (1 << 19) + 1, 69)));
  EXPECT_EQ(1, Damaged(MetafileWithShape(47, 0, -limit, 10, limit - 1)));
  // Other records keep whatever their parameters say.
  EXPECT_EQ(0, Damaged(MetafileWithShape(27, 0x08000014, 0, 0, 0)));
}

namespace {

void PutBig32(std::vector<unsigned char>* bytes, unsigned int value) {
  for (int i = 3; i >= 0; i--) bytes->push_back((unsigned char)(value >> (8 * i)));
}

void PutChunk(std::vector<unsigned char>* bytes, const char* type, unsigned int length,
              unsigned int stated) {
  PutBig32(bytes, stated);
  bytes->insert(bytes->end(), type, type + 4);
  bytes->insert(bytes->end(), length, 0);
  PutBig32(bytes, 0);  // the checksum is the decoder's business
}

std::vector<unsigned char> PngOfChunks(unsigned int idatLength, unsigned int idatStated,
                                       bool withEnd) {
  std::vector<unsigned char> bytes = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
  PutChunk(&bytes, "IHDR", 13, 13);
  PutChunk(&bytes, "IDAT", idatLength, idatStated);
  if (withEnd) PutChunk(&bytes, "IEND", 0, 0);
  return bytes;
}

}  // namespace

// Damaged lengths once crashed Wine's decoder; what happens inside a chunk is left to it.
TEST(PictureCheck, PngChunksMustLieInsideTheFileUpToTheEndChunk) {
  EXPECT_EQ(0, Damaged(PngOfChunks(20, 20, true)));
  std::vector<unsigned char> trailing = PngOfChunks(20, 20, true);
  trailing.insert(trailing.end(), 100, 0xEE);
  EXPECT_EQ(0, Damaged(trailing));
  EXPECT_EQ(1, Damaged(PngOfChunks(20, 21, true)));           // one byte too long
  EXPECT_EQ(1, Damaged(PngOfChunks(20, 1330691933, true)));   // far beyond
  EXPECT_EQ(1, Damaged(PngOfChunks(20, 0x80000000u, true)));  // negative to a signed reader
  EXPECT_EQ(1, Damaged(PngOfChunks(20, 20, false)));          // cut at a chunk's end
  std::vector<unsigned char> cut = PngOfChunks(20, 20, true);
  cut.resize(cut.size() - 5);
  EXPECT_EQ(1, Damaged(cut));
}

namespace {

// An 8-bit run-length BMP of two colours whose rows each hold one run and end.
std::vector<unsigned char> RunLengthBmp(int width, int height) {
  std::vector<unsigned char> pixels;
  for (int y = 0; y < 5; y++) pixels.insert(pixels.end(), {(unsigned char)width, 1, 0, 0});
  pixels.insert(pixels.end(), {0, 1});
  const unsigned int tableBytes = 2 * 4, pixelsAt = 14 + 40 + tableBytes;
  std::vector<unsigned char> bytes = {'B', 'M'};
  Put32(&bytes, pixelsAt + (unsigned int)pixels.size());
  Put32(&bytes, 0);
  Put32(&bytes, pixelsAt);
  Put32(&bytes, 40);
  Put32(&bytes, (unsigned int)width);
  Put32(&bytes, (unsigned int)height);
  Put32(&bytes, 1 | (8 << 16));  // planes, bits
  Put32(&bytes, 1);              // BI_RLE8
  Put32(&bytes, (unsigned int)pixels.size());
  Put32(&bytes, 2834);
  Put32(&bytes, 2834);
  Put32(&bytes, 2);  // colours
  Put32(&bytes, 0);
  Put32(&bytes, 0x000000);
  Put32(&bytes, 0xFFFFFF);
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

}  // namespace

// A run-length picture may be tiny and still claim millions of rows; one whose decoded pixels
// could never fit an image is refused, however few bytes it has.
TEST(PictureCheck, PicturesTooLargeForAnyImageAreRefused) {
  EXPECT_EQ(0, Damaged(RunLengthBmp(10, 5)));
  EXPECT_EQ(0, Damaged(RunLengthBmp(200, -5)));
  EXPECT_EQ(0, Damaged(RunLengthBmp(16384, 16384)));            // 1 GiB decoded
  EXPECT_EQ(1, Damaged(RunLengthBmp(10, 67108869)));             // one bit flipped in 5
  EXPECT_EQ(1, Damaged(RunLengthBmp(40000, -20000)));
  EXPECT_EQ(1, Damaged(RunLengthBmp(0x7FFFFFFF, 1)));
}

namespace {
int Diagonal(int x, int y) { return (x + y) % 4; }
}  // namespace

// Depths and tables the platform's decoder reads are no damage: 2 bits, and tables longer than
// the pixels can index while they lie inside the file. A table cut off by the file's end, or a
// depth no decoder knows, still is.
TEST(PictureCheck, PaletteTablesLongerThanThePixelsIndexAreNoDamage) {
  std::vector<int> table(300, 0x336699);
  EXPECT_EQ(0, Damaged(MakeTableBmp(2, 9, 5, 4, table, Diagonal)));
  EXPECT_EQ(0, Damaged(MakeTableBmp(2, 9, 5, 300, table, Diagonal)));
  EXPECT_EQ(0, Damaged(MakeTableBmp(8, 9, 5, 300, table, Diagonal)));
  EXPECT_EQ(0, Damaged(MakeTableBmp(24, 9, 5, 300, table, Diagonal)));
  std::vector<unsigned char> cut = MakeTableBmp(8, 9, 5, 300, table, Diagonal);
  cut.resize(54 + 4 * 200);
  EXPECT_EQ(1, Damaged(cut));
  std::vector<unsigned char> threeBits = MakeTableBmp(2, 9, 5, 4, table, Diagonal);
  threeBits[28] = 3;
  EXPECT_EQ(1, Damaged(threeBits));
  std::vector<unsigned char> pixelsCut = MakeTableBmp(24, 9, 5, 300, table, Diagonal);
  pixelsCut.resize(pixelsCut.size() - 1);
  EXPECT_EQ(1, Damaged(pixelsCut));
}
