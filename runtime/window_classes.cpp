// Registration of the window classes of wiring/window_classes.cpp, in their order. GUI thread.
#include "runtime/runtime.h"

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
