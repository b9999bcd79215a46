// In-process tests that create framework windows on the test thread.
#ifndef KORVEL_FRAMEWORK_WINDOWS_H
#define KORVEL_FRAMEWORK_WINDOWS_H

#include <windows.h>

void UseFrameworkWindows(void);  // module handle and window classes, once
void PumpFor(DWORD milliseconds);  // PumpWorkerMessages for about that long
// A plain window on the test thread that can stand in for the main window, which the worker's
// windows hand some keys to; made once.
HWND StandInMainWindow(void);

#endif
