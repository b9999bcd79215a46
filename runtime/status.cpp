// The main window's status label: text centred about column 18 of a blank field.
#include <stdio.h>
#include <string.h>

#include "runtime/runtime.h"

void FormatStatusText(const char* text, char* out) {
  memset(out, ' ', StatusFieldLength);
  out[StatusFieldLength] = 0;
  int length = (int)strlen(text);
  int column = 18 - length / 2;
  if (column < 0) column = 0;
  // A text too long for the field is cut at its end, never inside a double-byte character.
  int kept = NarrowPrefixLength(text, StatusFieldLength - column);
  memcpy(out + column, text, kept);
}

void SetStatusText(const char* text) {
  // During Exit the GUI thread waits without pumping: a worker setting the label would block
  // on it until it is terminated, and the label is about to go anyway.
  if (quitState != QuitRunning) return;
  char field[StatusFieldLength + 1];
  FormatStatusText(text, field);
  SetWindowNarrowText(statusLabel, field);
}

void ShowColourDepthStatus(void) {
  char depth[16];
  snprintf(depth, sizeof depth, "%d-bit color", colourDepth);
  SetStatusText(depth);
}
