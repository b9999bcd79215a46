// The plain rules of image files: formats, extensions, palette sizes, the save dialog's
// filters, the indexed copy that GIF files are written from and the mapping of decoded colours
// onto an 8-bit image's colour table. No window or file is touched.
#include <limits.h>
#include <string.h>
#include <wctype.h>

#include "image/image.h"

const ImageFileType imageFileTypes[ImageFileFormatCount] = {
    {L"image/bmp", L".bmp"},  {L"image/jpeg", L".jpg"}, {L"image/gif", L".gif"},
    {L"image/png", L".png"},  {L"image/tiff", L".tif"},
};

int AppendExtension(wchar_t* name, const wchar_t* extension) {
  const size_t length = wcslen(name);
  if (length >= 4) {
    wchar_t tail[5];
    for (int i = 0; i < 4; i++) tail[i] = (wchar_t)towlower(name[length - 4 + i]);
    tail[4] = 0;
    if (wcscmp(tail, extension) == 0) return 0;
  }
  const size_t added = wcslen(extension);
  if (length + added >= (size_t)PathUnits) return 1;
  memcpy(name + length, extension, (added + 1) * sizeof(wchar_t));
  return 0;
}

int PaletteEntryCount(int bytes) {
  if (bytes < 8) return 0;
  return (bytes - 8) / 4;
}

int FormatOfSaveFilter(int filterIndex) {
  switch (filterIndex) {
    case 3: return ImageFileJpeg;
    case 4: return ImageFileGif;
    case 5: return ImageFilePng;
    case 6: return ImageFileTiff;
  }
  return ImageFileBmp;
}

static RGBQUAD QuadOf(int rgb) {
  RGBQUAD quad = {(BYTE)(rgb & 0xFF), (BYTE)((rgb >> 8) & 0xFF), (BYTE)((rgb >> 16) & 0xFF), 0};
  return quad;
}

// Open addressing over the colours seen so far; -1 once a 257th colour turns up, else the
// number of colours.
static int IndexExactly(const int* pixels, long long count, RGBQUAD* palette,
                        unsigned char* indexes) {
  enum { TableSize = 1024, Empty = -1 };
  int colours[TableSize];
  unsigned char slots[TableSize];
  for (int& colour : colours) colour = Empty;
  int used = 0;
  for (long long i = 0; i < count; i++) {
    const int rgb = pixels[i] & 0xFFFFFF;
    unsigned int at = ((unsigned int)rgb * 2654435761u) >> 22;
    while (colours[at] != Empty && colours[at] != rgb) at = (at + 1) & (TableSize - 1);
    if (colours[at] == Empty) {
      if (used == PaletteSize) return -1;
      colours[at] = rgb;
      slots[at] = (unsigned char)used;
      palette[used++] = QuadOf(rgb);
    }
    indexes[i] = slots[at];
  }
  return used;
}

// Nearest of levels evenly spread over 0..255.
static int NearestLevel(int value, int levels) { return (value * (levels - 1) + 127) / 255; }
static int LevelValue(int level, int levels) { return level * 255 / (levels - 1); }

enum { CubeRed = 6, CubeGreen = 7, CubeBlue = 6 };

static void IndexByCube(const int* pixels, long long count, RGBQUAD* palette,
                        unsigned char* indexes) {
  for (int r = 0; r < CubeRed; r++)
    for (int g = 0; g < CubeGreen; g++)
      for (int b = 0; b < CubeBlue; b++) {
        const int rgb = (LevelValue(r, CubeRed) << 16) | (LevelValue(g, CubeGreen) << 8) |
                        LevelValue(b, CubeBlue);
        palette[(r * CubeGreen + g) * CubeBlue + b] = QuadOf(rgb);
      }
  for (long long i = 0; i < count; i++) {
    const int rgb = pixels[i];
    const int r = NearestLevel((rgb >> 16) & 0xFF, CubeRed);
    const int g = NearestLevel((rgb >> 8) & 0xFF, CubeGreen);
    const int b = NearestLevel(rgb & 0xFF, CubeBlue);
    indexes[i] = (unsigned char)((r * CubeGreen + g) * CubeBlue + b);
  }
}

int IndexPixels(const int* pixels, long long count, RGBQUAD* palette, unsigned char* indexes) {
  memset(palette, 0, PaletteSize * sizeof(RGBQUAD));
  const int used = IndexExactly(pixels, count, palette, indexes);
  if (used >= 0) return used;
  memset(palette, 0, PaletteSize * sizeof(RGBQUAD));
  IndexByCube(pixels, count, palette, indexes);
  return CubeRed * CubeGreen * CubeBlue;
}

int NearestPaletteIndex(const RGBQUAD* palette, int rgb) {
  const int red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  int best = 0, bestDistance = INT_MAX;
  for (int i = 0; i < PaletteSize && bestDistance > 0; i++) {
    const int dr = palette[i].rgbRed - red, dg = palette[i].rgbGreen - green,
              db = palette[i].rgbBlue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

void MapToPalette(const int* colours, long long count, const RGBQUAD* palette,
                  unsigned char* indexes) {
  enum { CacheSize = 4096 };
  int cachedColour[CacheSize];
  unsigned char cachedIndex[CacheSize];
  for (int& colour : cachedColour) colour = -1;
  for (long long i = 0; i < count; i++) {
    const int rgb = colours[i] & 0xFFFFFF;
    const unsigned int at = ((unsigned int)rgb * 2654435761u) >> 20;
    if (cachedColour[at] != rgb) {
      cachedColour[at] = rgb;
      cachedIndex[at] = (unsigned char)NearestPaletteIndex(palette, rgb);
    }
    indexes[i] = cachedIndex[at];
  }
}
