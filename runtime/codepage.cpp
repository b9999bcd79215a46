// Conversions between the system code page and UTF-16, used at every window-system call.
#include <string.h>

#include "runtime/runtime.h"

int NarrowToWide(const char* text, wchar_t* out, int capacity) {
  if (capacity <= 0) return 0;
  out[0] = 0;
  if (!text || !text[0]) return 0;
  int written = MultiByteToWideChar(CP_ACP, 0, text, -1, out, capacity);
  if (written > 0) return written - 1;
  // Too long for out: convert what fits, never splitting a double-byte character.
  int units = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
  if (units <= 0) return 0;
  wchar_t* whole = (wchar_t*)HeapAlloc(GetProcessHeap(), 0, units * sizeof(wchar_t));
  if (!whole) return 0;
  MultiByteToWideChar(CP_ACP, 0, text, -1, whole, units);
  int keep = capacity - 1;
  if (keep > 0 && IS_HIGH_SURROGATE(whole[keep - 1])) keep--;
  CopyMemory(out, whole, keep * sizeof(wchar_t));
  out[keep] = 0;
  HeapFree(GetProcessHeap(), 0, whole);
  return keep;
}

int WideToNarrow(const wchar_t* text, char* out, int capacity) {
  if (capacity <= 0) return 0;
  out[0] = 0;
  if (!text || !text[0]) return 0;
  int written = WideCharToMultiByte(CP_ACP, 0, text, -1, out, capacity, NULL, NULL);
  if (written > 0) return written - 1;
  // Too long: shorten by whole characters until the conversion fits.
  int length = lstrlenW(text);
  while (length > 0) {
    length--;
    if (length > 0 && IS_LOW_SURROGATE(text[length])) continue;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, NULL, 0, NULL, NULL);
    if (bytes < capacity) {
      WideCharToMultiByte(CP_ACP, 0, text, length, out, capacity, NULL, NULL);
      out[bytes] = 0;
      return bytes;
    }
  }
  return 0;
}

int PathToNarrow(const wchar_t* path, char* out, int capacity) {
  if (capacity <= 0) return 1;
  out[0] = 0;
  if (!path || !path[0]) return 1;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, path, -1, out, capacity, NULL, NULL);
  wchar_t back[MAX_PATH];
  // The way back must give the very same name: a best-fit letter would name another file.
  if (bytes <= 0 || lstrlenW(path) >= MAX_PATH ||
      MultiByteToWideChar(CP_ACP, 0, out, -1, back, MAX_PATH) <= 0 || lstrcmpW(back, path) != 0) {
    out[0] = 0;
    return 1;
  }
  return 0;
}

int NarrowPrefixLength(const char* text, int limit) {
  int kept = 0;
  while (text[kept]) {
    int step = IsDBCSLeadByte((BYTE)text[kept]) && text[kept + 1] ? 2 : 1;
    if (kept + step > limit) break;
    kept += step;
  }
  return kept;
}

void CopyNarrowText(char* out, const char* text, int size) {
  if (size <= 0) return;
  int length = NarrowPrefixLength(text, size - 1);
  memcpy(out, text, length);
  out[length] = 0;
}

int GetWindowNarrowText(HWND window, char* out, int size) {
  wchar_t text[512];
  GetWindowTextW(window, text, 512);
  return WideToNarrow(text, out, size);
}

void SetWindowNarrowText(HWND window, const char* text) {
  wchar_t wide[256];
  NarrowToWide(text, wide, 256);
  SetWindowTextW(window, wide);
}
