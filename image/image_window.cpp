// The image window procedure and the requests that make and redraw images for the GUI thread.
// Worker thread. The procedure keeps no state: it finds its image at each message, and
// reports the mouse into the pick under way and the application's mouse record.
#include "image/image.h"

PickRecord PickState = {0, -1, 0, 0, 0, 0, 0, 0, 0};
MouseReport MouseState = {0, -1, 0, 0, 0, 0, 0, 0};

static void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  KRV_RedrawImage(ImageIdOfWindow(window));
  EndPaint(window, &paint);
}

// ---- Keys ----
static int ZoomReset(int) { return 100; }

// With Ctrl held: a command posted to the window, or a zoom request from the current zoom.
struct CtrlKeyRow {
  WPARAM key;
  int command;
  int (*zoom)(int current);
};
static const CtrlKeyRow ctrlKeys[] = {
    {'X', CommandCut, NULL},          {'C', CommandCopy, NULL},
    {'V', CommandPasteTopLeft, NULL}, {'Q', CommandDestroyImage, NULL},
    {'R', CommandClipping, NULL},     {VK_NUMPAD0, 0, ZoomReset},
    {VK_ADD, 0, ZoomInStep},          {VK_SUBTRACT, 0, ZoomOutStep},
};

// The main window's own shortcuts, handed on to it.
static const WPARAM mainWindowKeys[] = {'X', 'C', 'S', VK_ESCAPE};

static bool OnCtrlKey(HWND window, int id, WPARAM key) {
  for (const CtrlKeyRow& row : ctrlKeys) {
    if (row.key != key) continue;
    if (row.command)
      PostMessageW(window, WM_COMMAND, row.command, 0);
    else
      KRV_ZoomImage(row.zoom(krv_images[id].zoom), id);
    return true;
  }
  return false;
}

static void ToggleHalftone(int id) {
  const int mode = KRV_GetStretchMode(id) == COLORONCOLOR ? HALFTONE : COLORONCOLOR;
  KRV_SetStretchMode(mode, id);
}

static void OnKeyDown(HWND window, WPARAM key) {
  const int id = ImageIdOfWindow(window);
  if (PickState.active || id < 0) return;
  if (CtrlHeld() && OnCtrlKey(window, id, key)) return;
  if (key == VK_TAB) {
    ToggleHalftone(id);
    return;
  }
  for (WPARAM passed : mainWindowKeys)
    if (key == passed) PostMessageW(mainWindow, WM_KEYDOWN, key, 0);
}

// ---- Mouse ----
static void ReportMouse(int id, WPARAM keys, int x, int y) {
  if (!MouseState.enabled) return;
  MouseState.image = id;
  MouseState.x = x;
  MouseState.y = y;
  MouseState.left = (int)(keys & MK_LBUTTON);
  MouseState.middle = (int)(keys & MK_MBUTTON);
  MouseState.shift = (int)(keys & MK_SHIFT);
  MouseState.ctrl = (int)(keys & MK_CONTROL);
}

static bool PickRunsIn(HWND window) {
  const ImageSlot* slot = ImageInUse(PickState.image);
  return PickState.active && slot && slot->window == window;
}

static void ShowPopupMenu(HWND window, int id, bool processing) {
  if (inputPending != 0) return;
  TrackMenuAtCursor(processing ? BuildProcessMenu(id) : BuildImageMenu(id), window);
}

// A right or middle click ends a pick on this window's image; outside a pick it opens a menu.
static void OnRightButton(HWND window, int id, bool processing) {
  if (PickState.active) {
    if (PickRunsIn(window)) PickState.rightClicked = 1;
    return;
  }
  ShowPopupMenu(window, id, processing);
}

static void OnMouse(HWND window, UINT message, WPARAM keys, LPARAM position) {
  const int id = ImageIdOfWindow(window);
  if (id < 0) return;
  const int zoom = krv_images[id].zoom;
  const int x = ImageCoordinate(LOWORD(position), zoom);
  const int y = ImageCoordinate(HIWORD(position), zoom);
  if (message == WM_RBUTTONDOWN) {
    OnRightButton(window, id, (keys & MK_CONTROL) != 0);
    return;
  }
  ReportMouse(id, keys, x, y);
  if (message == WM_MBUTTONDOWN) {
    OnRightButton(window, id, true);
  } else if (PickRunsIn(window) && message == WM_MOUSEMOVE) {
    PickState.moved = 1;
    PickState.moveX = x;
    PickState.moveY = y;
  } else if (PickRunsIn(window) && message == WM_LBUTTONDOWN) {
    PickState.clicked = 1;
    PickState.clickX = x;
    PickState.clickY = y;
    MouseState.shift = (keys & MK_SHIFT) ? 1 : 0;
  }
}

// One zoom step per message, whatever the size of its delta; towards the user zooms in.
static void OnMouseWheel(HWND window, WPARAM wParam) {
  const int id = ImageIdOfWindow(window);
  if (id < 0 || !(GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL)) return;
  const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
  if (delta < 0) KRV_ZoomImage(ZoomInStep(krv_images[id].zoom), id);
  if (delta > 0) KRV_ZoomImage(ZoomOutStep(krv_images[id].zoom), id);
}

// ---- Dropped files ----
enum { DroppedNameUnits = 256 };

// The first file only; a name too long for the buffers, or one the code page cannot spell, is
// skipped rather than cut short or spelt with look-alike letters.
static void LoadFirstDroppedFile(HWND window, HDROP drop) {
  if (DragQueryFileW(drop, 0, NULL, 0) >= (UINT)DroppedNameUnits) return;
  wchar_t name[DroppedNameUnits];
  if (DragQueryFileW(drop, 0, name, DroppedNameUnits) == 0) return;
  char narrow[DroppedNameUnits];
  if (PathToNarrow(name, narrow, DroppedNameUnits) != 0) return;
  if (SelectImageOfWindow(window) < 0) return;
  KRV_LoadImageFile(narrow, 0, 0);
  const ImageSlot* slot = ImageInUse(krv_current);
  if (slot) InvalidateRect(slot->window, NULL, FALSE);
  KRV_SelectPreviousImage();
}

static void OnDropFiles(HWND window, HDROP drop) {
  LoadFirstDroppedFile(window, drop);
  DragFinish(drop);
  SetForegroundWindow(window);
}

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_CLOSE:
      KRV_DestroyImage(ImageIdOfWindow(window));  // destroys the window too
      return 0;
    case WM_MOVE: RebuildSnapList(); return 0;
    case WM_MOVING: SnapMovingRect((RECT*)lParam, window); return 0;
    // The frame cannot be dragged to another size: the zoom alone sets it.
    case WM_SIZING: *(RECT*)lParam = WindowRectOf(window); return 0;
    case WM_KEYDOWN: OnKeyDown(window, wParam); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
      OnMouse(window, message, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(window, wParam); return 0;
    case WM_DROPFILES: OnDropFiles(window, (HDROP)wParam); return 0;
    case WM_COMMAND: RunImageCommand(window, LOWORD(wParam)); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ServeCreateImage(RequestBlock* block) {
  block->result = MakeImage(block->id, block->title, WindowCoordinate(block->x),
                            WindowCoordinate(block->y), block->width, block->height, block->zoom,
                            block->bits, 1);
}

void ServeRedrawImage(RequestBlock* block) { KRV_RedrawImage(block->id); }
