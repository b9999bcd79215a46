// A framework application for the end-to-end tests. It reports what the runtime does with it
// into the file named by KRV_PROBE_LOG, one line per event; KRV_PROBE_MODE=hang gives an
// AppMain that never returns.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "korvel.h"

static void Report(const char* line) {
  wchar_t path[MAX_PATH];
  if (!GetEnvironmentVariableW(L"KRV_PROBE_LOG", path, MAX_PATH)) return;
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_ALWAYS, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
  CloseHandle(file);
}

static bool Hangs(void) {
  char mode[16] = "";
  GetEnvironmentVariableA("KRV_PROBE_MODE", mode, sizeof mode);
  return strcmp(mode, "hang") == 0;
}

void AppSetup(void) { Report("setup\n"); }

void AppMain(void) {
  char line[64];
  snprintf(line, sizeof line, "enter stop=%d\n", stopRequested);
  Report(line);
  if (Hangs()) {
    for (;;) Sleep(1);
  }
  while (!stopRequested) {
    PumpWorkerMessages();
    Sleep(1);
  }
  Report("leave\n");
}
