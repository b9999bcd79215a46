// Image window captions: the title, the zoom and the depth, and "*" while HALFTONE stretches.
// Worker thread (SetImageTitle); the formatting is pure.
#include <stdio.h>
#include <string.h>

#include "image/image.h"

void FormatImageCaption(const char* title, int zoom, int bits, int halftone,
                        char out[ImageCaptionSize]) {
  char suffix[32];
  snprintf(suffix, sizeof suffix, bits == 8 ? "(%d%%)[8bit]%s" : "(%d%%)%s", zoom,
           halftone ? "*" : "");
  // An over-long title gives way, so that the zoom stays readable.
  const int suffixLength = (int)strlen(suffix);
  CopyNarrowText(out, title ? title : "", ImageCaptionSize - suffixLength);
  strcat(out, suffix);
}

void SetImageTitle(int id) {
  ImageSlot* slot = ImageInUse(id);
  if (!slot) return;
  char caption[ImageCaptionSize];
  FormatImageCaption(slot->title, slot->zoom, slot->bits,
                     GetStretchBltMode(slot->memDC) == HALFTONE, caption);
  SetWindowNarrowText(slot->window, caption);
}
