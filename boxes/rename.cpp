// Renaming an input box label or a button: the new text is typed into the current text
// window. Worker thread; the box may be closed while the prompt waits.
#include "boxes/boxes.h"

static void AskForName(int i, const char* old, char* answer) {
  KRV_ShowTextWindow();
  KRV_Print("%d '%s' ->", i, old);
  KRV_InputLine(answer);
}

void RenameInputItem(int i) {
  if (!inputBox.window || i < 0 || i >= inputBox.count) return;
  char label[256], answer[256] = "";
  GetWindowNarrowText(inputBox.labels[i], label, sizeof label);
  AskForName(i, label, answer);
  if (!answer[0] || !inputBox.window || i >= inputBox.count) return;
  SetWindowNarrowText(inputBox.labels[i], "                    ");
  SetWindowNarrowText(inputBox.labels[i], answer);
}

void RenameButton(int i) {
  if (!buttonBox.window || i < 0 || i >= buttonBox.count) return;
  char caption[256], answer[256] = "";
  GetWindowNarrowText(buttonBox.buttons[i], caption, sizeof caption);
  AskForName(i, caption, answer);
  if (!answer[0] || !buttonBox.window || i >= buttonBox.count) return;
  SetWindowNarrowText(buttonBox.buttons[i], answer);
}
