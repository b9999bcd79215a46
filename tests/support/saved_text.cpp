#include "support/saved_text.h"

#include <windows.h>

#include <stdio.h>

std::string FileText(const char* name) {
  FILE* file = fopen(name, "rb");
  if (!file) return "<missing>";
  std::string text;
  char buffer[512];
  size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
  fclose(file);
  return text;
}

std::string ClipboardText(void) {
  if (!OpenClipboard(NULL)) return "<busy>";
  std::string text = "<none>";
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data) {
    text = (const char*)GlobalLock(data);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}
