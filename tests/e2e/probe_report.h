// The reports of the end-to-end test programs: one line per event appended to the file named
// by KRV_PROBE_LOG, and the mode asked for in KRV_PROBE_MODE.
#ifndef KORVEL_PROBE_REPORT_H
#define KORVEL_PROBE_REPORT_H

#include <windows.h>

#include <string.h>

inline void Report(const char* line) {
  wchar_t path[MAX_PATH];
  if (!GetEnvironmentVariableW(L"KRV_PROBE_LOG", path, MAX_PATH)) return;
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_ALWAYS, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
  CloseHandle(file);
}

inline bool ModeIs(const char* wanted) {
  char mode[16] = "";
  GetEnvironmentVariableA("KRV_PROBE_MODE", mode, sizeof mode);
  return strcmp(mode, wanted) == 0;
}

#endif
