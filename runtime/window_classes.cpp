// The five window classes, registered in this order. Classes whose windows are not built yet
// use the default procedure.
#include "boxes/boxes.h"
#include "image/image.h"
#include "text/text.h"
#include "runtime/runtime.h"

struct WindowClassEntry {
  const wchar_t* name;  // NULL: the main window's numbered class
  WNDPROC procedure;
  UINT style;
  int background;  // COLOR_ system colour + 1, or -1 for the stock black brush
};

static const WindowClassEntry windowClasses[] = {
    {NULL, MainWindowProc, CS_CLASSDC, COLOR_BTNFACE + 1},
    {L"krv_iw", ImageWindowProc, CS_OWNDC, -1},
    {L"krv_twi", TextWindowProc, CS_OWNDC, -1},
    {L"krv_ib", InputBoxProc, CS_OWNDC | CS_DBLCLKS, COLOR_BTNFACE + 1},
    {L"krv_bb", ButtonBoxProc, CS_OWNDC | CS_DBLCLKS, COLOR_BTNFACE + 1},
};

static HBRUSH BackgroundBrush(int background) {
  if (background < 0) return (HBRUSH)GetStockObject(BLACK_BRUSH);
  return (HBRUSH)(INT_PTR)background;
}

int RegisterWindowClasses(void) {
  for (const WindowClassEntry& entry : windowClasses) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = entry.style;
    windowClass.lpfnWndProc = entry.procedure;
    windowClass.hInstance = moduleInstance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = BackgroundBrush(entry.background);
    windowClass.lpszClassName = entry.name ? entry.name : mainClassName;
    if (!RegisterClassExW(&windowClass)) return 1;
  }
  return 0;
}
