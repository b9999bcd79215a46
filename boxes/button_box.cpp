// The button box: a grid of numbered push buttons whose presses application code polls.
// Worker thread only.
#include <stdio.h>

#include "boxes/boxes.h"

ButtonBoxSlot buttonBox = {NULL, 0, 0, 0, 98, 26, {}, {}, 0};

static HWND CreateButton(HWND box, int i) {
  char caption[16];
  snprintf(caption, sizeof caption, "%d", i);
  wchar_t wide[16];
  NarrowToWide(caption, wide, 16);
  RECT rect = ButtonRect(i, buttonBox.nx, buttonBox.buttonWidth, buttonBox.buttonHeight);
  return CreateWindowExW(0, L"BUTTON", wide, WS_CHILD | WS_VISIBLE | BS_MULTILINE, rect.left,
                         rect.top, rect.right - rect.left, rect.bottom - rect.top, box,
                         (HMENU)(INT_PTR)(FirstButtonId + i), moduleInstance, NULL);
}

int KRV_OpenButtonBox(int x, int y, int nx, int ny) {
  if (buttonBox.window) return 1;
  // Divided, not multiplied: typed numbers can be large enough to overflow the product.
  if (nx <= 0 || ny <= 0 || nx > ButtonBoxMaxButtons || ny > ButtonBoxMaxButtons / nx) return 2;
  buttonBox.count = nx * ny;
  buttonBox.nx = nx;
  buttonBox.ny = ny;
  SIZE size = BoxWindowSize(ButtonBoxClientSize(nx, ny, buttonBox.buttonWidth, buttonBox.buttonHeight));
  HWND box = CreateWindowExW(0, L"krv_bb", L"ButtonBox", BoxWindowStyle, x, y, size.cx, size.cy,
                             mainWindow, NULL, moduleInstance, NULL);
  if (!box) return 3;
  buttonBox.window = box;
  for (int i = 0; i < buttonBox.count; i++) {
    buttonBox.buttons[i] = CreateButton(box, i);
    buttonBox.pressCount[i] = 0;
  }
  dialogKeyboardWindows[DialogButtonBox] = box;
  RebuildSnapList();
  UpdateWindow(box);
  SetForegroundWindow(box);
  return 0;
}

int KRV_CloseButtonBox(void) {
  if (!buttonBox.window) return 1;
  if (!DestroyWindow(buttonBox.window)) ShowErrorMessage("DestroyWindow[BB] error", "KORVEL error!");
  buttonBox.window = NULL;
  dialogKeyboardWindows[DialogButtonBox] = NULL;
  return 0;
}

static bool IsButton(int i) { return buttonBox.window && i >= 0 && i < buttonBox.count; }

int KRV_ButtonPressed(int i) {
  if (!IsButton(i)) return 0;
  int presses = buttonBox.pressCount[i];
  buttonBox.pressCount[i] = 0;
  return presses;
}

int KRV_SetButtonBoxTitle(int i, const char* text) {
  if (!IsButton(i) || !text) return 1;
  SetWindowNarrowText(buttonBox.buttons[i], text);
  return 0;
}

// The window keeps its place; its WM_SIZE works out the new button size.
int KRV_ResizeButtonBox(int width, int height) {
  if (!buttonBox.window) return 1;
  if (width < 1 || height < 1) return 2;
  SIZE size = BoxWindowSize({width, height});
  SetWindowPos(buttonBox.window, NULL, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

void LayOutButtons(void) {
  for (int i = 0; i < buttonBox.count; i++) {
    RECT rect = ButtonRect(i, buttonBox.nx, buttonBox.buttonWidth, buttonBox.buttonHeight);
    MoveWindow(buttonBox.buttons[i], rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, TRUE);
  }
}

void ServeOpenButtonBox(RequestBlock* block) {
  if (buttonBox.window) KRV_CloseButtonBox();
  KRV_OpenButtonBox(block->x, block->y, block->width, block->height);
}

HWND ButtonBoxWindowAt(int) { return buttonBox.window; }
