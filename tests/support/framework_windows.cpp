// Lets in-process tests create framework windows on the test thread, which then plays the
// worker thread: the module handle and the window classes are set up once.
#include "support/framework_windows.h"

#include "runtime/runtime.h"

void UseFrameworkWindows(void) {
  static bool registered;
  if (registered) return;
  moduleInstance = GetModuleHandleW(NULL);
  lstrcpyW(mainClassName, L"korvel_test_mw");
  RegisterWindowClasses();
  registered = true;
}

void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    PumpWorkerMessages();
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}
