// The six test patterns that fill a whole image with colour ramps. Worker thread; the pixel
// formulas are pure.
#include <math.h>

#include "draw/draw.h"

int RgbPatternPixel(int x, int y, int width, int height) {
  return ((x * 255 / width) << 16) + ((y * 255 / height) << 8) + 255 -
         (255 * (x + y)) / (width + height);
}

// An image one row high has no halves: its row is the meeting line, full colour at full value.
int HsvPatternPixel(int x, int y, int width, int height) {
  const int half = height / 2;
  int saturation = 255, value = 255;
  if (y < half)
    saturation = y * 255 / half;
  else if (half > 0)
    value = 255 - (y - half) * 255 / half;
  return KRV_HsvToRgb(value, saturation, x * 359 / width);
}

int ChromaPatternPixel(int space, int x, int y, int width, int height) {
  const int p = (x - width / 2) * 255 / width;
  const int b = (y - height / 2) * 255 / height;
  const int level = (int)sqrt(5.0 * b * b + 5.0 * p * p);
  return ChromaPlaneToRgb(space, level, p, -b);
}

int GreyPatternLevel(int x, int width) { return x * 255 / width; }

static void FillGrey(const ImageSlot* slot) {
  if (slot->bits == 8) {
    RGBQUAD ramp[PaletteSize];
    for (int i = 0; i < PaletteSize; i++) {
      ramp[i].rgbRed = ramp[i].rgbGreen = ramp[i].rgbBlue = (BYTE)i;
      ramp[i].rgbReserved = 0;
    }
    KRV_SetPalette(ramp, PaletteSize);
  }
  const int half = slot->height / 2;
  for (int x = 0; x < slot->width; x++) {
    const int grey = GreyPatternLevel(x, slot->width) * 0x010101;
    KRV_Line(grey, x, 0, x, half - 1);
    KRV_Line(0xFFFFFF - grey, x, half, x, slot->height - 1);
  }
}

static int PatternPixel(int pattern, int x, int y, int width, int height) {
  switch (pattern) {
    case PatternRgb: return RgbPatternPixel(x, y, width, height);
    case PatternHsv: return HsvPatternPixel(x, y, width, height);
    case PatternYCrCb: return ChromaPatternPixel(ChromaYCrCb, x, y, width, height);
    case PatternYuv: return ChromaPatternPixel(ChromaYuv, x, y, width, height);
    default: return ChromaPatternPixel(ChromaYIQ, x, y, width, height);
  }
}

int FillTestPattern(int id, int pattern) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  const int previous = UseImage(id);
  if (pattern == PatternGrey) {
    FillGrey(slot);
  } else {
    for (int y = 0; y < slot->height; y++)
      for (int x = 0; x < slot->width; x++)
        KRV_PutPixel(x, y, PatternPixel(pattern, x, y, slot->width, slot->height));
  }
  RestoreImage(previous);
  InvalidateRect(slot->window, NULL, FALSE);
  return 0;
}
