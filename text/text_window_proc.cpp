// The krv_twi window procedure: painting from the off-screen bitmap, resizing, keys for a
// waiting line input and the shortcuts, and the popup menu of the text-window tools.
// Owning thread of the text windows.
#include <stdio.h>

#include "image/image.h"
#include "text/text.h"

// Minimising and restoring keep the text: only a real new size re-creates the bitmap.
static void OnSize(TextWindowSlot* slot, WPARAM kind, LPARAM lParam) {
  int width = LOWORD(lParam), height = HIWORD(lParam);
  if (kind == SIZE_MINIMIZED || (width == slot->width && height == slot->height)) return;
  slot->width = width;
  slot->height = height;
  ReleaseTextBitmap(slot);
  MakeTextBitmap(slot);
  slot->x = slot->y = 0;
  RebuildSnapList();
  InvalidateRect(slot->window, NULL, FALSE);
  AwaitTextPaint(slot);
}

static void OnPaint(TextWindowSlot* slot) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(slot->window, &paint);
  const RECT& r = paint.rcPaint;
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, slot->memoryDC, r.left, r.top,
         SRCCOPY);
  EndPaint(slot->window, &paint);
  TextPainted(slot, r);
}

static void OnChar(WPARAM unit) {
  if (inputPending != 0 && !CtrlHeld()) PushKey(&keyRing, (wchar_t)unit);
}

static void OnKeyForLineInput(WPARAM key) {
  if (lineInputCommand != LineCommandNone) return;
  if (key == VK_UP) lineInputCommand = LineCommandReplay;
  if (key == 'V' && CtrlHeld()) lineInputCommand = LineCommandPaste;
}

static void PostShortcut(HWND window, WPARAM key) {
  static const struct {
    WPARAM key;
    int command;
  } shortcuts[] = {{'A', CommandAbout},      {'C', CommandCopyLog},    {'W', CommandWindowInfo},
                   {'Q', CommandDestroyText}, {'S', CommandSelectText}};
  for (const auto& shortcut : shortcuts)
    if (shortcut.key == key) PostMessageW(window, WM_COMMAND, shortcut.command, 0);
}

static void OnKeyDown(HWND window, int n, WPARAM key) {
  if (inputPending != 0) {
    OnKeyForLineInput(key);
    return;
  }
  if (CtrlHeld()) {
    PostShortcut(window, key);
    return;
  }
  switch (key) {
    case 'X':
    case VK_ESCAPE:
    case 'S':
    case 'C': PostMessageW(mainWindow, WM_KEYDOWN, key, 0); break;
    case VK_SPACE:
      KRV_SelectTextWindow(n);
      RunCommandPrompt();
      break;
  }
}

static void ShowTextMenu(HWND window, int n, const TextWindowSlot* slot) {
  char copyItem[64];
  snprintf(copyItem, sizeof copyItem, "&Copy KORVEL%d%d.LOG\tCtrl+C", instanceNumber, n);
  HMENU menu = CreatePopupMenu();
  AppendMenuText(menu, "&Select\tCtrl+S", CommandSelectText,
                 n == currentTextWindow ? MenuChecked : MenuEnabled);
  AppendMenuText(menu, "&Window Info.\tCtrl+W", CommandWindowInfo, MenuEnabled);
  AppendMenuText(menu, "Command", CommandPrompt, MenuEnabled);
  AppendMenuSeparator(menu);
  AppendMenuText(menu, "Start Log", CommandStartLog,
                 slot->logState == LogOn ? MenuChecked : MenuEnabled);
  AppendMenuText(menu, "Stop Log", CommandStopLog,
                 slot->logState == LogPaused ? MenuChecked : MenuEnabled);
  AppendMenuText(menu, copyItem, CommandCopyLog, MenuEnabled);
  AppendMenuSeparator(menu);
  AppendMenuText(menu, "&About KORVEL\tCtrl+A", CommandAbout, MenuEnabled);
  AppendMenuSeparator(menu);
  AppendMenuText(menu, "&Destroy\tCtrl+Q", CommandDestroyText, MenuEnabled);
  TrackMenuAtCursor(menu, window);
}

static void OnCommand(int n, int id) {
  switch (id) {
    case CommandDestroyText: KRV_CloseTextWindow(n); break;
    case CommandAbout: PrintVersionBanner(); break;
    case CommandStartLog: KRV_StartLog(n); break;
    case CommandStopLog: KRV_StopLog(n); break;
    case CommandPrompt: RunCommandPrompt(); break;
    case CommandCopyLog: KRV_CopyLog(n); break;
    case CommandWindowInfo:
      KRV_SelectTextWindow(n);
      ShowWindowInfo();
      break;
    case CommandSelectText: KRV_SelectTextWindow(n); break;
  }
}

// Messages that arrive before the window has its slot (sizing during creation) are ignored.
LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE || message == WM_DESTROY) return 0;
  int n = TextWindowIndexOf(window);
  if (n < 0) return DefWindowProcW(window, message, wParam, lParam);
  TextWindowSlot* slot = &textWindows[n];
  switch (message) {
    case WM_MOVE: RebuildSnapList(); return 0;
    case WM_MOVING: SnapMovingRect((RECT*)lParam, window); return TRUE;
    case WM_SIZE: OnSize(slot, wParam, lParam); return 0;
    case WM_PAINT: OnPaint(slot); return 0;
    case WM_CHAR: OnChar(wParam); return 0;
    case WM_KEYDOWN: OnKeyDown(window, n, wParam); return 0;
    case WM_CLOSE: KRV_CloseTextWindow(n); return 0;
    case WM_RBUTTONDOWN:
      if (inputPending == 0 && !PickState.active) ShowTextMenu(window, n, slot);
      return 0;
    case WM_COMMAND: OnCommand(n, LOWORD(wParam)); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
