// The text state the text tests change, put back as the program starts with it.
#ifndef KORVEL_TEXT_STATE_H
#define KORVEL_TEXT_STATE_H

#include "draw/draw.h"

// The font, size, position and colours of text in images at start-up; the old font is deleted.
inline void ResetTextState(void) {
  if (krv_ttFont) DeleteObject(krv_ttFont);
  krv_ttFont = CreateStartupTTFont();
  krv_ttWidth = 8;
  krv_ttHeight = 16;
  krv_textX = krv_textY = krv_textLeft = 0;
  krv_tc = 0;
  krv_tttc = 0xFFFFFF;
  krv_color = 0xFFFFFF;
}

// After a test: no font left behind.
inline void ForgetTextState(void) {
  ResetTextState();
  DeleteObject(krv_ttFont);
  krv_ttFont = NULL;
}

#endif
