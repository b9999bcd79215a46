// Message boxes without owner: the framework's errors, the instance limit and KRV_Pause.
#include "runtime/runtime.h"

void ShowMessageW(const wchar_t* text, const wchar_t* caption) {
  MessageBoxW(NULL, text, caption, MB_OK);
}

void ShowMessage(const char* text, const char* caption) {
  wchar_t wideText[256], wideCaption[256];
  NarrowToWide(text, wideText, 256);
  NarrowToWide(caption, wideCaption, 256);
  ShowMessageW(wideText, wideCaption);
}

void KRV_Pause(const char* text) { ShowMessage(text, "Pause"); }

RECT WindowRectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

void ShowErrorMessage(const char* text, const char* caption) {
  wchar_t wideText[256], wideCaption[256];
  NarrowToWide(text, wideText, 256);
  NarrowToWide(caption, wideCaption, 256);
  MessageBoxW(mainWindow, wideText, wideCaption, MB_OK | MB_ICONERROR);
}
