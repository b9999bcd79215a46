// The two non-blocking pumps. PumpWorkerMessages gives the input box and the button box their
// dialog keyboard handling (Tab, Shift+Tab, Enter) on the worker thread.
#include "runtime/runtime.h"

HWND dialogKeyboardWindows[2];

// A nested pump must not swallow WM_QUIT, or the main loop would never end: note it and put
// it back so that the next GetMessageW sees it too.
static bool TakeQuit(const MSG& message) {
  if (message.message != WM_QUIT) return false;
  quitMessageSeen = 1;
  PostQuitMessage((int)message.wParam);
  return true;
}

void PumpMessages(void) {
  MSG message;
  while (PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE)) {
    if (!PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) break;
    if (TakeQuit(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

static bool TakenByDialog(MSG* message) {
  for (HWND box : dialogKeyboardWindows)
    if (box && IsDialogMessageW(box, message)) return true;
  return false;
}

void PumpWorkerMessages(void) {
  BeforeWorkerPump();
  MSG message;
  while (PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE)) {
    if (!PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) break;
    if (TakeQuit(message)) return;
    if (TakenByDialog(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
