// The input box: up to 30 labelled fields whose committed texts application code reads.
// Worker thread only.
#include <stdio.h>
#include <string.h>

#include "boxes/boxes.h"

InputBoxSlot inputBox = {NULL, 0, 80, 70, {}, {}, {}, NULL, 0, 0};

static HWND CreateLabel(HWND box, int i) {
  char text[32];
  snprintf(text, sizeof text, "Item %d", i);
  wchar_t wide[32];
  NarrowToWide(text, wide, 32);
  RECT rect = InputLabelRect(i, inputBox.isize);
  return CreateWindowExW(0, L"STATIC", wide, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP,
                         rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         box, NULL, moduleInstance, NULL);
}

static HWND CreateField(HWND box, int i) {
  RECT rect = InputFieldRect(i, inputBox.isize, inputBox.esize);
  return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                         WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
                         rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         box, NULL, moduleInstance, NULL);
}

static bool CreateItems(HWND box) {
  for (int i = 0; i < inputBox.count; i++) {
    inputBox.labels[i] = CreateLabel(box, i);
    inputBox.values[i] = (char*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, InputBoxValueSize);
    if (!inputBox.values[i]) return false;
    strcpy(inputBox.values[i], "0");
    inputBox.fields[i] = CreateField(box, i);
  }
  return true;
}

static void FreeValues(void) {
  for (char*& value : inputBox.values) {
    if (value) HeapFree(GetProcessHeap(), 0, value);
    value = NULL;
  }
}

int KRV_OpenInputBox(int x, int y, int count) {
  if (inputBox.window) return 1;
  inputBox.count = ClampInputItemCount(count);
  SIZE size = BoxWindowSize(InputBoxClientSize(inputBox.count, inputBox.isize, inputBox.esize));
  HWND box = CreateWindowExW(0, L"krv_ib", L"InputBox", BoxWindowStyle, x, y, size.cx, size.cy,
                             mainWindow, NULL, moduleInstance, NULL);
  if (!box) return 2;
  inputBox.window = box;
  inputBox.focusedField = NULL;
  if (!CreateItems(box)) {
    KRV_CloseInputBox();
    return 3;
  }
  dialogKeyboardWindows[DialogInputBox] = box;
  RebuildSnapList();
  UpdateWindow(box);
  SetForegroundWindow(box);
  SetFocus(inputBox.fields[0]);
  return 0;
}

int KRV_CloseInputBox(void) {
  if (!inputBox.window) return 1;
  if (!DestroyWindow(inputBox.window)) ShowErrorMessage("DestroyWindow[IB] Error", "KORVEL Error!");
  FreeValues();
  inputBox.window = NULL;
  inputBox.focusedField = NULL;
  dialogKeyboardWindows[DialogInputBox] = NULL;
  return 0;
}

static bool IsItem(int i) { return inputBox.window && i >= 0 && i < inputBox.count; }

int KRV_SetInputBoxTitle(int i, const char* text) {
  if (!IsItem(i) || !text) return 1;
  SetWindowNarrowText(inputBox.labels[i], text);
  return 0;
}

int KRV_GetInputBoxValue(int i, char* buffer, int size) {
  if (!buffer || size <= 0) return 1;
  buffer[0] = 0;
  if (!IsItem(i) || !inputBox.values[i]) return 1;
  lstrcpynA(buffer, inputBox.values[i], size);
  return 0;
}

// An open box takes the new widths at once: its window is sized to the new client width and
// its items are laid out again.
int KRV_ResizeInputBox(int isize, int esize) {
  if (isize < 1 || esize < 1) return 2;
  inputBox.isize = isize;
  inputBox.esize = esize;
  if (!inputBox.window) return 0;
  inputBox.sizingEdge = 0;
  SIZE size = BoxWindowSize(InputBoxClientSize(inputBox.count, isize, esize));
  SetWindowPos(inputBox.window, NULL, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOutInputBox();
  return 0;
}

void CommitInputField(HWND field) {
  for (int i = 0; i < inputBox.count; i++) {
    if (inputBox.fields[i] != field || !inputBox.values[i]) continue;
    GetWindowNarrowText(field, inputBox.values[i], InputBoxValueSize);
    return;
  }
}

void LayOutInputBox(void) {
  for (int i = 0; i < inputBox.count; i++) {
    RECT label = InputLabelRect(i, inputBox.isize);
    SetWindowPos(inputBox.labels[i], NULL, 0, 0, label.right - label.left, 24,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT field = InputFieldRect(i, inputBox.isize, inputBox.esize);
    MoveWindow(inputBox.fields[i], field.left, field.top, field.right - field.left, 24, TRUE);
  }
}

// The main window's menu replaces any open box.
void ServeOpenInputBox(RequestBlock* block) {
  if (inputBox.window) KRV_CloseInputBox();
  KRV_OpenInputBox(block->x, block->y, block->id);
}

HWND InputBoxWindowAt(int) { return inputBox.window; }
