// The input box and the button box: one of each at most, created and served on the worker
// thread. Geometry lives in pure functions so it is tested without windows.
#ifndef KORVEL_BOXES_H
#define KORVEL_BOXES_H

#include <windowsx.h>

#include "runtime/runtime.h"

enum {
  InputBoxMaxItems = 30,
  InputBoxRowHeight = 28,
  InputBoxValueSize = 256,
  ButtonBoxMaxButtons = 256,
  ButtonGap = 4,
  FirstButtonId = 3000,
};

enum BoxCommand {
  CommandEnterInBox = 1,  // IDOK, sent by the dialog keyboard handling for Enter
  CommandDestroyInputBox = 1023,
  CommandDestroyButtonBox = 1050,
  CommandRenameInputItem = 1056,
  CommandRenameButton = 1057,
};

struct InputBoxSlot {
  HWND window;
  int count;
  int isize, esize;  // label and field column widths; they size the next box too
  HWND labels[InputBoxMaxItems];
  HWND fields[InputBoxMaxItems];
  char* values[InputBoxMaxItems];  // committed text, InputBoxValueSize bytes each
  HWND focusedField;
  int sizingEdge;
  int renameIndex;
};

struct ButtonBoxSlot {
  HWND window;
  int count, nx, ny;
  int buttonWidth, buttonHeight;  // they size the next box too
  HWND buttons[ButtonBoxMaxButtons];
  int pressCount[ButtonBoxMaxButtons];
  int renameIndex;
};

extern InputBoxSlot inputBox;
extern ButtonBoxSlot buttonBox;

// ---- Geometry (pure) ----
int ClampInputItemCount(int count);
SIZE InputBoxClientSize(int count, int isize, int esize);
RECT InputLabelRect(int i, int isize);
RECT InputFieldRect(int i, int isize, int esize);
SIZE ButtonBoxClientSize(int nx, int ny, int buttonWidth, int buttonHeight);
RECT ButtonRect(int i, int nx, int buttonWidth, int buttonHeight);
int ButtonUnderPoint(int px, int py, int nx, int ny, int buttonWidth, int buttonHeight);
// New button size for a client area; never below 1 pixel.
SIZE ButtonSizeForClient(int clientWidth, int clientHeight, int nx, int ny);
// Column widths after the frame was dragged at edge to the given client width.
void InputColumnsForClient(int clientWidth, int edge, int* isize, int* esize);
// Window size for a client size with the boxes' style.
SIZE BoxWindowSize(SIZE client);
extern const DWORD BoxWindowStyle;

// ---- Worker thread ----
LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CommitInputField(HWND field);
void LayOutInputBox(void);
void LayOutButtons(void);
void ServeOpenInputBox(RequestBlock* block);
void ServeOpenButtonBox(RequestBlock* block);
HWND InputBoxWindowAt(int index);
// Renaming asks for the new text in the current text window (worker thread, pumps meanwhile).
void RenameInputItem(int i);
void RenameButton(int i);
HWND ButtonBoxWindowAt(int index);

#endif
