// The decoders trust some of what a file says about itself: a metafile's record sizes and
// point counts, a TIFF's directory and strip offsets, a BMP's pixel offset, colour count and
// size, a PNG's chunk lengths, a JPEG's segment lengths. Damaged ones made them read past their
// buffers and brought the program down, so those files are walked here first and refused when
// they point outside themselves; metafile shapes also when drawing them would never end.
// Pure; any thread.
#include <limits.h>
#include <string.h>

#include "image/image.h"

static unsigned int Word16(const unsigned char* at) { return at[0] | (at[1] << 8); }
static unsigned int Word32(const unsigned char* at) { return Word16(at) | (Word16(at + 2) << 16); }

enum {
  PlaceableKey = 0x9AC6CDD7u,
  PlaceableHeadBytes = 22,
  WmfHeaderWords = 9,
  WmfEof = 0x0000,
  WmfPolygon = 0x0324,
  WmfPolyline = 0x0325,
  WmfPolyPolygon = 0x0538,
  WmfSelectObject = 0x012D,
  WmfDeleteObject = 0x01F0,
  EmfHeader = 1,
  EmfEof = 14,
  EmfSignature = 0x464D4520u,  // " EMF"
  EmfHeaderMinBytes = 88,
  EmfStockObject = 0x80000000u,
  EmfLastStockObject = 0x80000013u,
  EmfAngleArc = 41,
  EmfEllipse = 42,
  EmfRectangle = 43,
  EmfRoundRect = 44,
  EmfPie = 47,
  EmfArcTo = 55,
  EmfCurveSpan = 1 << 20,
};
static const int GdiCoordinateLimit = 1 << 27;  // GDI keeps world coordinates to 27 bits

// Whether the point counts of a polygon or polyline record fit in its bytes.
static bool PolyRecordFits(const unsigned char* record, long long bytes, unsigned int function) {
  const long long parameters = bytes - 6;
  const unsigned char* at = record + 6;
  if (function == WmfPolygon || function == WmfPolyline)
    return parameters >= 2 && 2 + 4LL * Word16(at) <= parameters;
  if (function == WmfPolyPolygon) {
    if (parameters < 2) return false;
    const long long polygons = Word16(at);
    if (2 + 2 * polygons > parameters) return false;
    long long points = 0;
    for (long long i = 0; i < polygons; i++) points += Word16(at + 2 + 2 * i);
    return 2 + 2 * polygons + 4 * points <= parameters;
  }
  return true;
}

// The records up to the end record, inside both the file and the size its header states:
// playback copies only the stated size and then walks the records through it.
static bool WmfRecordsFit(const unsigned char* bytes, long long size, long long header) {
  if (header + 2 * WmfHeaderWords > size || Word16(bytes + header + 2) != WmfHeaderWords)
    return false;
  const long long end = header + 2LL * Word32(bytes + header + 6);
  if (end > size) return false;
  const unsigned int objects = Word16(bytes + header + 10);
  for (long long at = header + 2 * WmfHeaderWords;;) {
    if (at + 6 > end) return false;
    const long long recordBytes = 2LL * Word32(bytes + at);
    const unsigned int function = Word16(bytes + at + 4);
    if (recordBytes < 6 || at + recordBytes > end) return false;
    if (function == WmfEof) return true;
    if (!PolyRecordFits(bytes + at, recordBytes, function)) return false;
    if ((function == WmfSelectObject || function == WmfDeleteObject) &&
        (recordBytes < 8 || Word16(bytes + at + 6) >= objects))
      return false;
    at += recordBytes;
  }
}

// Records whose first parameter is an index into the table of objects: the selections and
// deletions may also name a stock object; the creations only a table entry above 0.
static bool EmfObjectIndexFits(unsigned int type, unsigned int index, unsigned int handles) {
  static const unsigned int creations[] = {38, 39, 49, 82, 93, 94, 95};
  const bool selection = type == 37 || type == 40 || type == 48;  // select, delete, select palette
  if (selection) return (index >= EmfStockObject && index <= EmfLastStockObject) || index < handles;
  for (unsigned int creation : creations)
    if (type == creation) return index > 0 && index < handles;
  return true;
}

static bool WithinCurveSpan(long long from, long long to) {
  return to - from <= EmfCurveSpan && from - to <= EmfCurveSpan;
}

// The box of an ellipse, rectangle, round rectangle, arc, chord or pie. A box beyond GDI's
// coordinate range is no picture, and Wine's playback spent minutes on such a shape. Wine also
// draws a curve point by point along its whole outline, however little of it shows: inside
// that range an ellipse 120 million units across, or an arc 1.4 million across, never ended.
// So the curves (all but the rectangle) may be at most 2^20 units across.
static bool EmfBoxFits(unsigned int type, const unsigned char* record, long long recordBytes) {
  if (type == EmfAngleArc) return recordBytes < 20 || Word32(record + 16) <= EmfCurveSpan / 2;
  if (!((type >= EmfEllipse && type <= EmfPie) || type == EmfArcTo)) return true;
  if (recordBytes < 24) return false;
  int box[4];
  for (int i = 0; i < 4; i++) {
    box[i] = (int)Word32(record + 8 + 4 * i);
    if (box[i] >= GdiCoordinateLimit || box[i] < -GdiCoordinateLimit) return false;
  }
  if (type == EmfRectangle) return true;
  if (!WithinCurveSpan(box[0], box[2]) || !WithinCurveSpan(box[1], box[3])) return false;
  return type != EmfRoundRect || recordBytes < 32 ||
         (WithinCurveSpan(0, (int)Word32(record + 24)) &&
          WithinCurveSpan(0, (int)Word32(record + 28)));
}

static bool EmfRecordsFit(const unsigned char* bytes, long long size) {
  if (size < EmfHeaderMinBytes || Word32(bytes + 4) < EmfHeaderMinBytes ||
      Word32(bytes + 48) > (unsigned long long)size)
    return false;
  for (long long at = 0;;) {
    if (at + 8 > size) return false;
    const unsigned int type = Word32(bytes + at);
    const long long recordBytes = Word32(bytes + at + 4);
    if (recordBytes < 8 || recordBytes % 4 != 0 || at + recordBytes > size) return false;
    if (type == EmfEof) return true;
    if (recordBytes >= 12 && !EmfObjectIndexFits(type, Word32(bytes + at + 8), Word16(bytes + 56)))
      return false;
    if (!EmfBoxFits(type, bytes + at, recordBytes)) return false;
    at += recordBytes;
  }
}

// ---- TIFF ----
struct TiffReader {
  const unsigned char* bytes;
  long long size;
  bool bigEndian;
  unsigned int U16(long long at) const {
    return bigEndian ? (bytes[at] << 8) | bytes[at + 1] : Word16(bytes + at);
  }
  unsigned int U32(long long at) const {
    return bigEndian ? (U16(at) << 16) | U16(at + 2) : Word32(bytes + at);
  }
};

static long long TiffTypeBytes(unsigned int type) {
  static const int sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type < sizeof sizes / sizeof sizes[0] ? sizes[type] : 0;
}

enum { TiffStripOffsets = 273, TiffStripByteCounts = 279, TiffMaxDirectories = 64 };

// Value i of an entry of SHORT or LONG values that lie at valueAt.
static long long TiffValue(const TiffReader& tiff, unsigned int type, long long valueAt, long long i) {
  return type == 3 ? tiff.U16(valueAt + 2 * i) : tiff.U32(valueAt + 4 * i);
}

// Whether every entry's values and every strip lie inside the file.
static bool TiffDirectoryFits(const TiffReader& tiff, long long at) {
  const long long entries = tiff.U16(at);
  if (at + 2 + 12 * entries + 4 > tiff.size) return false;
  long long offsetsAt = -1, countsAt = -1, offsetsCount = 0, countsCount = 0;
  unsigned int offsetsType = 0, countsType = 0;
  for (long long i = 0; i < entries; i++) {
    const long long entry = at + 2 + 12 * i;
    const unsigned int tag = tiff.U16(entry), type = tiff.U16(entry + 2);
    const long long count = tiff.U32(entry + 4), bytes = TiffTypeBytes(type) * count;
    const long long valueAt = bytes <= 4 ? entry + 8 : (long long)tiff.U32(entry + 8);
    if (bytes > 4 && valueAt + bytes > tiff.size) return false;
    if ((tag == TiffStripOffsets || tag == TiffStripByteCounts) && type != 3 && type != 4)
      return false;
    if (tag == TiffStripOffsets) offsetsAt = valueAt, offsetsCount = count, offsetsType = type;
    if (tag == TiffStripByteCounts) countsAt = valueAt, countsCount = count, countsType = type;
  }
  if (offsetsAt < 0 || countsAt < 0 || offsetsCount != countsCount) return false;
  for (long long i = 0; i < offsetsCount; i++)
    if (TiffValue(tiff, offsetsType, offsetsAt, i) + TiffValue(tiff, countsType, countsAt, i) >
        tiff.size)
      return false;
  return true;
}

static bool TiffFits(const unsigned char* bytes, long long size) {
  const TiffReader tiff = {bytes, size, bytes[0] == 'M'};
  long long at = tiff.U32(4);
  for (int directories = 0; at != 0; directories++) {
    if (directories == TiffMaxDirectories || at < 8 || at + 2 > size) return false;
    if (!TiffDirectoryFits(tiff, at)) return false;
    at = tiff.U32(at + 2 + 12LL * tiff.U16(at));
  }
  return true;
}

static bool IsTiff(const unsigned char* bytes, long long size) {
  return size >= 8 && ((bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0) ||
                       (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42));
}

// ---- BMP ----
enum { BmpFileHeadBytes = 14, BmpCoreHeaderBytes = 12, MaxBmpColours = 256 };

// A packed bitmap (header, colour table, pixels) of size bytes whose pixels start at pixelsAt.
// An icon's bitmap is twice its picture's height: the colour rows, then the mask's rows. A
// file's table may state more colours than its pixels can index, as long as it lies inside the
// file (the decoder reads it whole and uses the first ones); an icon's may not.
static bool PackedBitmapFits(const unsigned char* bytes, long long size, long long pixelsAt,
                             bool icon) {
  if (size < BmpCoreHeaderBytes) return false;
  const long long header = Word32(bytes);
  long long width, height, bits, compression = 0, colours = 0, masks = 0;
  if (header == BmpCoreHeaderBytes) {
    width = Word16(bytes + 4);
    height = Word16(bytes + 6);
    bits = Word16(bytes + 10);
  } else {
    if (header < 40 || header > 124 || size < 40) return false;
    width = (int)Word32(bytes + 4);
    height = (int)Word32(bytes + 8);
    bits = Word16(bytes + 14);
    compression = Word32(bytes + 16);
    colours = Word32(bytes + 32);
    if (header == 40 && (compression == BI_BITFIELDS || compression == 6)) masks = 12;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height == 0 || (icon && colours > MaxBmpColours)) return false;
  // Nothing larger can become an image, and the decoders' sizes overflow past it: a height
  // damaged to 67 million rows of a small run-length picture crashed the program.
  if (width * 4 * height > INT_MAX) return false;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return false;
  if (colours == 0 && bits <= 8) colours = 1LL << bits;
  const long long entryBytes = header == BmpCoreHeaderBytes ? 3 : 4;
  const long long tableEnd = header + masks + colours * entryBytes;
  if (tableEnd > size) return false;
  if (pixelsAt < 0) pixelsAt = tableEnd;
  if (pixelsAt >= size) return false;
  if (compression == BI_RLE8 || compression == BI_RLE4) return true;
  // width is below INT_MAX / 4 here, so the strides take it as an int.
  const long long stride = DibStride((int)width, (int)bits);
  if (!icon) return pixelsAt + stride * height <= size;
  const long long rows = height / 2;
  return pixelsAt + stride * rows + DibStride((int)width, 1) * rows <= size;
}

static bool BmpFits(const unsigned char* bytes, long long size) {
  if (size < BmpFileHeadBytes + BmpCoreHeaderBytes) return false;
  return PackedBitmapFits(bytes + BmpFileHeadBytes, size - BmpFileHeadBytes,
                          (long long)Word32(bytes + 10) - BmpFileHeadBytes, false);
}

// ---- PNG ----
static const unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};

static unsigned int Big32(const unsigned char* at) {
  return ((unsigned int)at[0] << 24) | (at[1] << 16) | (at[2] << 8) | at[3];
}

static bool IsPng(const unsigned char* bytes, long long size) {
  return size >= 8 && memcmp(bytes, PngSignature, 8) == 0;
}

// Every chunk up to the end chunk inside the file. A damaged palette picture whose chunks ran
// past its end brought the program down inside Wine's decoder.
static bool PngChunksFit(const unsigned char* bytes, long long size) {
  for (long long at = 8; at + 12 <= size;) {
    const long long length = Big32(bytes + at);
    if (length > 0x7FFFFFFF || at + 12 + length > size) return false;
    if (memcmp(bytes + at + 4, "IEND", 4) == 0) return true;
    at += 12 + length;
  }
  return false;
}

// ---- ICO ----
// Each picture of the directory inside the file; packed bitmaps with their pixels and mask.
static bool IconFits(const unsigned char* bytes, long long size) {
  const long long count = Word16(bytes + 4);
  if (count == 0 || 6 + 16 * count > size) return false;
  for (long long i = 0; i < count; i++) {
    const unsigned char* entry = bytes + 6 + 16 * i;
    const long long length = Word32(entry + 8), at = Word32(entry + 12);
    if (length < 8 || at + length > size) return false;
    if (IsPng(bytes + at, length)) {
      if (!PngChunksFit(bytes + at, length)) return false;
    } else if (!PackedBitmapFits(bytes + at, length, -1, true)) {
      return false;
    }
  }
  return true;
}

static bool IsIcon(const unsigned char* bytes, long long size) {
  return size >= 6 && Word16(bytes) == 0 && (Word16(bytes + 2) == 1 || Word16(bytes + 2) == 2);
}

// ---- JPEG ----
enum { JpegStartOfScan = 0xDA, JpegEnd = 0xD9 };

static unsigned int BigEndian16(const unsigned char* at) { return (at[0] << 8) | at[1]; }

static bool IsJpegFrame(unsigned int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The segments before the scan, each inside the file, frames with room for their components.
static bool JpegFits(const unsigned char* bytes, long long size) {
  for (long long at = 2;;) {
    while (at < size && bytes[at] == 0xFF && at + 1 < size && bytes[at + 1] == 0xFF) at++;
    if (at + 4 > size || bytes[at] != 0xFF) return false;
    const unsigned int marker = bytes[at + 1];
    if (marker == JpegEnd) return false;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    const long long length = BigEndian16(bytes + at + 2);
    if (length < 2 || at + 2 + length > size) return false;
    if (IsJpegFrame(marker) && (length < 8 || length < 8 + 3LL * bytes[at + 9])) return false;
    if (marker == JpegStartOfScan) return true;
    at += 2 + length;
  }
}

int PictureFileIsDamaged(const unsigned char* bytes, long long size) {
  if (!bytes || size < 4) return 0;
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) return !JpegFits(bytes, size);
  if (bytes[0] == 'B' && bytes[1] == 'M') return !BmpFits(bytes, size);
  if (IsIcon(bytes, size)) return !IconFits(bytes, size);
  if (IsPng(bytes, size)) return !PngChunksFit(bytes, size);
  if (IsTiff(bytes, size)) return !TiffFits(bytes, size);
  if (Word32(bytes) == PlaceableKey) return !WmfRecordsFit(bytes, size, PlaceableHeadBytes);
  if (size >= 44 && Word32(bytes) == EmfHeader && Word32(bytes + 40) == EmfSignature)
    return !EmfRecordsFit(bytes, size);
  return 0;
}
