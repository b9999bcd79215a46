// Renaming an input box label or a button: the new text is typed into the current text
// window. Worker thread; the box may be closed while the prompt waits.
#include <string.h>

#include "boxes/boxes.h"

static void ReadNarrowText(HWND window, char* out, int size) {
  wchar_t text[512];
  GetWindowTextW(window, text, 512);
  WideToNarrow(text, out, size);
}

static void SetNarrowText(HWND window, const char* text) {
  wchar_t wide[256];
  NarrowToWide(text, wide, 256);
  SetWindowTextW(window, wide);
}

static void AskForName(int i, const char* old, char* answer) {
  KRV_ShowTextWindow();
  KRV_Print("%d '%s' ->", i, old);
  KRV_InputLine(answer);
}

void RenameInputItem(int i) {
  if (!inputBox.window || i < 0 || i >= inputBox.count) return;
  char label[256], answer[256] = "";
  ReadNarrowText(inputBox.labels[i], label, sizeof label);
  AskForName(i, label, answer);
  if (!answer[0] || !inputBox.window || i >= inputBox.count) return;
  SetNarrowText(inputBox.labels[i], "                    ");
  SetNarrowText(inputBox.labels[i], answer);
}

void RenameButton(int i) {
  if (!buttonBox.window || i < 0 || i >= buttonBox.count) return;
  char caption[256], answer[256] = "";
  ReadNarrowText(buttonBox.buttons[i], caption, sizeof caption);
  AskForName(i, caption, answer);
  if (!answer[0] || !buttonBox.window || i >= buttonBox.count) return;
  SetNarrowText(buttonBox.buttons[i], answer);
}
