// In-process tests that create framework windows on the test thread.
#ifndef KORVEL_FRAMEWORK_WINDOWS_H
#define KORVEL_FRAMEWORK_WINDOWS_H

#include <windows.h>

void UseFrameworkWindows(void);  // module handle and window classes, once
void PumpFor(DWORD milliseconds);  // PumpWorkerMessages for about that long

#endif
