// The krv_bb window procedure: press counters from clicks and digit keys, the keys it hands
// to the main window, and the Destroy and Rename menus. Worker thread.
#include "boxes/boxes.h"

static void OnSize(int clientWidth, int clientHeight) {
  if (buttonBox.nx < 1 || buttonBox.ny < 1) return;
  SIZE size = ButtonSizeForClient(clientWidth, clientHeight, buttonBox.nx, buttonBox.ny);
  buttonBox.buttonWidth = size.cx;
  buttonBox.buttonHeight = size.cy;
  LayOutButtons();
}

static int DigitOfKey(WPARAM key) {
  if (key >= '0' && key <= '9') return (int)(key - '0');
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return (int)(key - VK_NUMPAD0);
  return -1;
}

static void OnKeyDown(HWND window, WPARAM key, LPARAM lParam) {
  if (CtrlHeld()) {
    if (key == 'Q') PostMessageW(window, WM_CLOSE, 0, 0);
    return;
  }
  if (key == 'X' || key == VK_ESCAPE || key == 'S' || key == 'C') {
    PostMessageW(mainWindow, WM_KEYDOWN, key, lParam);
    return;
  }
  int digit = DigitOfKey(key);
  if (digit >= 0 && digit < buttonBox.count) buttonBox.pressCount[digit]++;
}

static int ButtonAt(LPARAM lParam) {
  return ButtonUnderPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), buttonBox.nx, buttonBox.ny,
                          buttonBox.buttonWidth, buttonBox.buttonHeight);
}

static void OnCommand(HWND window, WPARAM wParam) {
  if (HIWORD(wParam) != 0) return;
  int id = LOWORD(wParam);
  // The focus leaves the button so that digit keys reach the box.
  SetFocus(window);
  int i = id - FirstButtonId;
  if (i >= 0 && i < buttonBox.count) buttonBox.pressCount[i]++;
  if (id == CommandDestroyButtonBox) KRV_CloseButtonBox();
  if (id == CommandRenameButton) RenameButton(buttonBox.renameIndex);
}

LRESULT CALLBACK ButtonBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOVE: RebuildSnapList(); return 0;
    case WM_MOVING: SnapMovingRect((RECT*)lParam, window); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_CLOSE: KRV_CloseButtonBox(); return 0;
    case WM_DESTROY: return 0;
    // The dialog keyboard handling would turn Escape into a cancel command: the box wants
    // its keys itself.
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_NCRBUTTONDOWN:
      TrackSingleItemMenu(window, "&Destroy\tCtrl+Q", CommandDestroyButtonBox);
      return 0;
    case WM_RBUTTONDOWN:
      buttonBox.renameIndex = ButtonAt(lParam);
      TrackSingleItemMenu(window, "Rename", CommandRenameButton);
      return 0;
    case WM_LBUTTONDBLCLK: RenameButton(ButtonAt(lParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(window, wParam, lParam); return 0;
    case WM_COMMAND: OnCommand(window, wParam); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
