// KRV_Print and the drawing it does: runs of text into the off-screen bitmap, new lines with
// the one-line scroll, and the single glyphs of the line input.
#include <stdarg.h>
#include <stdio.h>

#include "text/text.h"

bool NewTextLine(TextWindowSlot* slot) {
  slot->x = 0;
  slot->y += slot->lineHeight;
  if (slot->y + slot->lineHeight < slot->height) return false;
  int kept = slot->y - slot->lineHeight;
  if (kept > 0)
    BitBlt(slot->memoryDC, 0, 0, slot->width, kept, slot->memoryDC, 0, slot->lineHeight,
           SRCCOPY);
  // A window lower than one line keeps its only line at the top instead of drifting above it.
  slot->y = kept > 0 ? kept : 0;
  PatBlt(slot->memoryDC, 0, slot->y, slot->width, slot->height - slot->y, PATCOPY);
  NoteTextChange(slot, 0, 0, slot->width, slot->height);
  return true;
}

void DrawInputGlyph(TextWindowSlot* slot, wchar_t unit, int cells) {
  TextOutW(slot->memoryDC, slot->x, slot->y, &unit, 1);
  AwaitTextPaint(slot);
  RECT cell = {slot->x, slot->y, slot->x + cells * slot->charWidth, slot->y + slot->lineHeight};
  InvalidateRect(slot->window, &cell, FALSE);
}

// Steps are static because they are large; a nested print only starts once drawing is over.
static void DrawText(TextWindowSlot* slot, const wchar_t* text, int length) {
  static TextStep steps[MaxTextSteps];
  int endX = slot->x;
  int count = LayOutText(text, length, slot->x, slot->width, slot->charWidth, steps, &endX);
  for (int i = 0; i < count; i++) {
    if (steps[i].count == 0) {
      NewTextLine(slot);
    } else {
      TextOutW(slot->memoryDC, steps[i].x, slot->y, text + steps[i].first, steps[i].count);
      NoteTextChange(slot, 0, slot->y, slot->width, slot->y + slot->lineHeight);
    }
  }
  slot->x = endX;
}

// Empty prints are how a program keeps its windows answering from a loop (rimview makes 22 a
// pass, one per button it polls), and under Wine every pump costs a trip to the server. A print
// that leaves something to repaint pumps at once. So does the first of a run of prints that
// change nothing on the screen (an empty one, or the same text again over a cleared window),
// and after it one a millisecond.
static bool PumpDue(const TextWindowSlot* slot) {
  static bool quietRun;
  static unsigned int quietPumpTime;
  if (ShowTextChanges() || slot->awaitingPaint) {
    quietRun = false;
    return true;
  }
  unsigned int now = KRV_GetTime();
  if (quietRun && now == quietPumpTime) return false;
  quietRun = true;
  quietPumpTime = now;
  return true;
}

void KRV_Print(const char* format, ...) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (!slot || !format) return;
  char text[FormatBufferSize];
  va_list arguments;
  va_start(arguments, format);
  int length = vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (length < 0) return;
  // Output too long for the buffer is cut at the last whole character that fits.
  if (length >= FormatBufferSize) text[NarrowPrefixLength(text, FormatBufferSize - 1)] = 0;
  wchar_t wide[FormatBufferSize];
  int units = NarrowToWide(text, wide, FormatBufferSize);
  if (slot->logState == LogOn) WriteToLog(slot, text);
  DrawText(slot, wide, units);
  if (PumpDue(slot)) PumpWorkerMessages();
}

void KRV_ClearTextWindow(void) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (!slot) return;
  PatBlt(slot->memoryDC, 0, 0, slot->width, slot->height, PATCOPY);
  // Shown by the next pump, which finds nothing to repaint when the same text is back by then.
  NoteTextChange(slot, 0, 0, slot->width, slot->height);
  slot->x = slot->y = 0;
  WriteToLog(slot, "\n");
}
