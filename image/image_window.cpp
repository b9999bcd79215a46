// The image window procedure and the requests that make and redraw images for the GUI thread.
// Worker thread. The procedure keeps no state: it finds its image at each message.
#include "image/image.h"

static void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  KRV_RedrawImage(ImageIdOfWindow(window));
  EndPaint(window, &paint);
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
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ServeCreateImage(RequestBlock* block) {
  block->result = MakeImage(block->id, block->title, WindowCoordinate(block->x),
                            WindowCoordinate(block->y), block->width, block->height, block->zoom,
                            block->bits, 1);
}

void ServeRedrawImage(RequestBlock* block) { KRV_RedrawImage(block->id); }
