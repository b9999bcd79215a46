// The main window's status label: text centred about column 18 of a blank field.
#include <string.h>

#include "runtime/runtime.h"

void FormatStatusText(const char* text, char* out) {
  memset(out, ' ', StatusFieldLength);
  out[StatusFieldLength] = 0;
  int length = (int)strlen(text);
  int column = 18 - length / 2;
  if (column < 0) column = 0;
  // A text too long for the field is cut at its end, never inside a double-byte character.
  int room = StatusFieldLength - column, kept = 0;
  while (kept < length) {
    int step = IsDBCSLeadByte((BYTE)text[kept]) && text[kept + 1] ? 2 : 1;
    if (kept + step > room) break;
    kept += step;
  }
  memcpy(out + column, text, kept);
}

void SetStatusText(const char* text) {
  char field[StatusFieldLength + 1];
  wchar_t wide[StatusFieldLength + 1];
  FormatStatusText(text, field);
  NarrowToWide(field, wide, StatusFieldLength + 1);
  SetWindowTextW(statusLabel, wide);
}
