// The eight-deep colour stack of a text window; popping past the bottom keeps the oldest pair.
#include "text/text.h"

void PushColours(TextWindowSlot* slot, int text, int back) {
  for (int i = ColorStackDepth - 1; i > 0; i--) {
    slot->textColorStack[i] = slot->textColorStack[i - 1];
    slot->backColorStack[i] = slot->backColorStack[i - 1];
  }
  slot->textColorStack[0] = slot->textColor;
  slot->backColorStack[0] = slot->backColor;
  slot->textColor = text;
  slot->backColor = back;
}

void PopColours(TextWindowSlot* slot) {
  slot->textColor = slot->textColorStack[0];
  slot->backColor = slot->backColorStack[0];
  for (int i = 0; i < ColorStackDepth - 1; i++) {
    slot->textColorStack[i] = slot->textColorStack[i + 1];
    slot->backColorStack[i] = slot->backColorStack[i + 1];
  }
}

void KRV_PushTextColor(int text, int back) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (!slot) return;
  PushColours(slot, text, back);
  ApplyTextColours(slot);
}

void KRV_PopTextColor(void) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (!slot) return;
  PopColours(slot);
  ApplyTextColours(slot);
}
