// Bitmap-font text drawn pixel by pixel into the current image, and the text position it
// shares with the TrueType text. Worker thread.
#include <stdarg.h>
#include <stdio.h>

#include "draw/draw.h"

int krv_textX;
int krv_textY;
int krv_textLeft;

int GlyphRowBits(int c, int row) {
  if (c < FirstBitmapGlyph || c > LastBitmapGlyph || row < 0 || row >= BitmapGlyphRows) return 0;
  return BitmapFont[(c - FirstBitmapGlyph) * BitmapGlyphRows + row];
}

static void NewBitmapLine(void) {
  krv_textX = krv_textLeft;
  krv_textY += BitmapLinePitch;
}

void KRV_DrawChar(int c) {
  if (c == '\n') {
    NewBitmapLine();
    return;
  }
  if (c < FirstBitmapGlyph || c > LastBitmapGlyph) return;
  for (int row = 0; row < BitmapGlyphRows; row++) {
    const int bits = GlyphRowBits(c, row);
    for (int column = 0; column < BitmapGlyphWidth; column++)
      if (bits & (0x80 >> column))
        KRV_PutPixel(krv_textX + column, krv_textY + row - BitmapGlyphRows, krv_tc);
  }
  krv_textX += BitmapGlyphWidth;
  const ImageSlot* slot = ImageInUse(krv_current);
  // The next character would not fit.
  if (slot && krv_textX > slot->width - BitmapGlyphWidth) NewBitmapLine();
}

void KRV_DrawString(const char* text) {
  if (!text) return;
  for (const unsigned char* c = (const unsigned char*)text; *c; c++) KRV_DrawChar(*c);
}

void KRV_DrawPrintf(const char* format, ...) {
  if (!format) return;
  char text[DrawFormatSize];
  text[0] = 0;
  va_list arguments;
  va_start(arguments, format);
  // Longer output is cut at 4095 bytes; the terminator is set here because some C libraries
  // leave it out (and return -1) when the output does not fit.
  vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  text[DrawFormatSize - 1] = 0;
  KRV_DrawString(text);
}
