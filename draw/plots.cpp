// Plot images of the measuring tools: channel profiles of a row and Cr-Cb scatters of a row or
// a box, each in a new image in the first free id. Worker thread; the geometry is pure.
#include <stdio.h>
#include <stdlib.h>

#include "draw/draw.h"

enum { PlotHeight = 128, PlotBottom = 127, ScatterSize = 256, ScatterCentre = 128,
       PlotTitleSize = 512 };

int ProfileLevel(int pixel, int channel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  switch (channel) {
    case ChannelRed: return r;
    case ChannelGreen: return g;
    case ChannelBlue: return b;
    case ChannelHue: return KRV_Hue(pixel);
    case ChannelSaturation: return KRV_Saturation(pixel);
    case ChannelValue: return KRV_Value(pixel);
    case ChannelLuma: return LumaY(r, g, b);
    case ChannelCr: return ChromaCr(r, g, b) + 128;
    case ChannelCb: return ChromaCb(r, g, b) + 128;
    default: return pixel & 0xFF;
  }
}

int ProfileScale(int channel) { return channel == ChannelHue ? 359 : 255; }

int ProfileRow(int level, int scale) { return PlotBottom - level * PlotBottom / scale; }

void PlotProfile(const void* values, int x0, int count, int channel, int colour) {
  for (int i = 0; i < count; i++) {
    const int pixel = channel == ChannelByte ? ((const unsigned char*)values)[i]
                                             : ((const int*)values)[i];
    const int y = ProfileRow(ProfileLevel(pixel, channel), ProfileScale(channel));
    if (i == 0)
      KRV_PutPixel(x0, y, colour);
    else
      KRV_Line(colour, currentPointX, currentPointY, x0 + i, y);
  }
}

static void DrawLabel(const char* text, int x, int y, int colour) {
  krv_tc = colour;
  krv_textX = krv_textLeft = x;
  krv_textY = y;
  KRV_DrawString(text);
}

struct ProfileCurve {
  int channel, colour;
  const char* label;
  int labelX, labelY;
};

struct ProfileLayout {
  const char* titleFormat;
  int margin, bits, curveCount;
  ProfileCurve curves[3];
};

static const ProfileLayout profileLayouts[] = {
    {"RGB(Y=%d)", 12, 32, 3,
     {{ChannelRed, 0xFF0000, "R", 2, 40},
      {ChannelGreen, 0x00FF00, "G", 2, 72},
      {ChannelBlue, 0x0000FF, "B", 2, 104}}},
    {"HSV(Y=%d)", 12, 32, 3,
     {{ChannelHue, 0xFFFF00, "H", 2, 40},
      {ChannelSaturation, 0xFF00FF, "S", 2, 72},
      {ChannelValue, 0x00FFFF, "V", 2, 104}}},
    {"YCrCb(Y=%d)", 20, 32, 3,
     {{ChannelLuma, 0xFFFFFF, "Y", 4, 40},
      {ChannelCr, 0xFF8888, "Cr", 2, 72},
      {ChannelCb, 0x8888FF, "Cb", 2, 104}}},
    {"Luminance(Y=%d)", 12, 8, 1, {{ChannelByte, 0xFFFFFF, "L", 2, 40}}},
};

int ProfileMargin(int kind) {
  return kind >= 0 && kind <= ProfileLumi ? profileLayouts[kind].margin : 0;
}

// Row y of image id into a new buffer of width ints (bytes of 8-bit images fill its start).
static int* CopyRow(int id, int y) {
  const ImageSlot* slot = ImageInUse(id);
  int* row = (int*)malloc((size_t)slot->width * sizeof(int));
  if (!row) return NULL;
  const int previous = UseImage(id);
  KRV_GetRow(row, y, slot->width);
  RestoreImage(previous);
  return row;
}

int RunLineProfile(int id, int y, int kind) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || kind < 0 || kind > ProfileLumi) return -1;
  const ProfileLayout& layout = profileLayouts[kind];
  if (slot->bits != layout.bits) return -1;
  char title[PlotTitleSize];
  snprintf(title, sizeof title, layout.titleFormat, y);
  const int width = slot->width;
  int* row = CopyRow(id, y);
  if (!row) return -1;
  const int plot = width <= 0x7FFFFFFF - layout.margin
                       ? CreateImageInFirstFreeSlot(title, width + layout.margin, PlotHeight, 32)
                       : -1;
  if (plot >= 0) {
    for (int i = 0; i < layout.curveCount; i++) {
      const ProfileCurve& curve = layout.curves[i];
      PlotProfile(row, layout.margin, width, curve.channel, curve.colour);
      DrawLabel(curve.label, curve.labelX, curve.labelY, curve.colour);
    }
    InvalidateRect(krv_images[plot].window, NULL, FALSE);
  }
  free(row);
  return plot;
}

void CrCbPoint(int pixel, int* x, int* y) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  *x = ScatterCentre + ChromaCb(r, g, b);
  *y = ScatterCentre - ChromaCr(r, g, b);
}

void CrCbScatter(const int* pixels, int cols, int rows, int alternate) {
  KRV_Line(0x808080, 0, ScatterCentre, ScatterSize, ScatterCentre);
  KRV_Line(0x808080, ScatterCentre, 0, ScatterCentre, ScatterSize);
  DrawLabel("Cr", 110, 16, 0xFF8888);
  DrawLabel("Cb", 238, 144, 0x8888FF);
  for (int j = 0; j < rows; j++) {
    for (int i = 0; i < cols; i++) {
      int x, y;
      CrCbPoint(pixels[(size_t)j * cols + i], &x, &y);
      if (i == 0)
        KRV_PutPixel(x, y, 0xFFFFFF);
      else
        KRV_Line(alternate && (i & 1) ? 0xFF00FF : 0xFFFFFF, currentPointX, currentPointY, x, y);
    }
  }
}

int RunRowCrCb(int id, int y) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || slot->bits != 32) return -1;
  char title[PlotTitleSize];
  snprintf(title, sizeof title, "CrCb(Y=%d)", y);
  const int width = slot->width;
  int* row = CopyRow(id, y);
  if (!row) return -1;
  const int plot = CreateImageInFirstFreeSlot(title, ScatterSize, ScatterSize, 32);
  if (plot >= 0) {
    CrCbScatter(row, width, 1, 1);
    InvalidateRect(krv_images[plot].window, NULL, FALSE);
  }
  free(row);
  return plot;
}

int RunAreaCrCb(int id, int x1, int y1, int x2, int y2) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || slot->bits != 32) return -1;
  char title[PlotTitleSize];
  snprintf(title, sizeof title, "CrCb(%d,%d)-(%d,%d)", x1, y1, x2, y2);
  const long long cols = (long long)x2 - x1 + 1, rows = (long long)y2 - y1 + 1;
  if (cols < 1 || rows < 1 || cols * rows > 0x7FFFFFFF / (long long)sizeof(int)) return -1;
  int* box = (int*)malloc((size_t)(cols * rows) * sizeof(int));
  if (!box) return -1;
  const int previous = UseImage(id);
  KRV_ReadImageRect(box, x1, y1, (int)cols, (int)rows);
  RestoreImage(previous);
  const int plot = CreateImageInFirstFreeSlot(title, ScatterSize, ScatterSize, 32);
  if (plot >= 0) {
    CrCbScatter(box, (int)cols, (int)rows, 0);
    KRV_RedrawImage(plot);
  }
  free(box);
  return plot;
}
