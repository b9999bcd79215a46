// The krv_ib window procedure: committing fields, column widths that follow the frame, and
// the Destroy and Rename menus. Worker thread.
#include "boxes/boxes.h"

static void OnSizing(RECT* proposed, int edge, HWND window) {
  RECT current = WindowRectOf(window);
  proposed->top = current.top;
  proposed->bottom = current.bottom;
  inputBox.sizingEdge = edge;
}

static void OnSize(int clientWidth) {
  InputColumnsForClient(clientWidth, inputBox.sizingEdge, &inputBox.isize, &inputBox.esize);
  LayOutInputBox();
}

// Activation and deactivation alike put the focus back on the last field and select field 0.
static void OnActivate(void) {
  if (inputBox.count < 1) return;
  if (!inputBox.focusedField) inputBox.focusedField = inputBox.fields[0];
  SetFocus(inputBox.focusedField);
  char narrow[InputBoxValueSize];
  int length = GetWindowNarrowText(inputBox.fields[0], narrow, InputBoxValueSize);
  PostMessageW(inputBox.fields[0], EM_SETSEL, 0, length);
}

static void OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND control = (HWND)lParam;
  int id = LOWORD(wParam), notification = HIWORD(wParam);
  if (!control && id == CommandEnterInBox) {
    CommitInputField(inputBox.focusedField);
    return;
  }
  if (control && notification == EN_SETFOCUS) {
    inputBox.focusedField = control;
    return;
  }
  if (control && notification == EN_KILLFOCUS) {
    CommitInputField(control);
    return;
  }
  if (id == CommandDestroyInputBox) KRV_CloseInputBox();
  if (id == CommandRenameInputItem) RenameInputItem(inputBox.renameIndex);
}

LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOVE: RebuildSnapList(); return 0;
    case WM_MOVING: SnapMovingRect((RECT*)lParam, window); return 0;
    case WM_SIZING: OnSizing((RECT*)lParam, (int)wParam, window); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(); return 0;
    case WM_CLOSE: KRV_CloseInputBox(); return 0;
    case WM_DESTROY: return 0;
    case WM_NCRBUTTONDOWN: TrackSingleItemMenu(window, "Destroy", CommandDestroyInputBox); return 0;
    case WM_RBUTTONDOWN:
      inputBox.renameIndex = GET_Y_LPARAM(lParam) / InputBoxRowHeight;
      TrackSingleItemMenu(window, "Rename", CommandRenameInputItem);
      return 0;
    case WM_LBUTTONDBLCLK: RenameInputItem(GET_Y_LPARAM(lParam) / InputBoxRowHeight); return 0;
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
