// The ring of typed units between the text window procedure and the line input, and the
// paste that feeds it from the clipboard.
#include "text/text.h"

KeyRing keyRing = {{}, -1, 0};

void PushKey(KeyRing* ring, wchar_t unit) {
  if (ring->writeIndex == ring->readIndex) return;
  ring->units[ring->writeIndex] = unit;
  if (ring->readIndex == -1) ring->readIndex = ring->writeIndex;
  ring->writeIndex = (ring->writeIndex + 1) % KeyRingSize;
}

wchar_t PopKey(KeyRing* ring) {
  if (ring->readIndex == -1) return 0;
  wchar_t unit = ring->units[ring->readIndex];
  ring->readIndex = (ring->readIndex + 1) % KeyRingSize;
  if (ring->readIndex == ring->writeIndex) ring->readIndex = -1;
  return unit;
}

static bool IsFull(const KeyRing* ring) { return ring->writeIndex == ring->readIndex; }

void PasteClipboardLine(void) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(NULL)) return;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* text = data ? (const wchar_t*)GlobalLock(data) : NULL;
  if (text) {
    // The block may lack its terminator; never read past its end.
    SIZE_T units = GlobalSize(data) / sizeof(wchar_t);
    for (SIZE_T i = 0; i < units && !IsFull(&keyRing); i++) {
      wchar_t unit = text[i];
      if (unit == 0 || unit == 10 || unit == 13) break;
      PushKey(&keyRing, unit);
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
}
