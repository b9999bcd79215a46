// A framework application for the end-to-end tests. It reports what the runtime does with it
// into the file named by KRV_PROBE_LOG, one line per event. KRV_PROBE_MODE=hang gives an
// AppMain that never returns; KRV_PROBE_MODE=boxes opens the control panel's boxes and
// reports button presses and committed values while running; KRV_PROBE_MODE=text opens a
// console with ASCII and Japanese text.
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

static bool ModeIs(const char* wanted) {
  char mode[16] = "";
  GetEnvironmentVariableA("KRV_PROBE_MODE", mode, sizeof mode);
  return strcmp(mode, wanted) == 0;
}

void AppSetup(void) {
  if (ModeIs("boxes")) {
    KRV_OpenButtonBox(200, 0, 2, 11);
    KRV_OpenInputBox(0, 400, 3);
  }
  if (ModeIs("text")) {
    KRV_OpenTextWindow(0, 20, 300, 400, 300);
    KRV_Print("KORVEL console: ASCII 0123456789 !?#$%%&\n");
    KRV_Print("日本語のテキスト、全角ＡＢＣ と半角ｶﾅ\n");
    KRV_PushTextColor(0xFFFF00, 0x000080);
    KRV_Print("yellow on navy");
    KRV_PopTextColor();
    KRV_Print("\n");
  }
  Report("setup\n");
}

static char lastValues[3][256];

static void ReportBoxes(void) {
  char line[300];
  for (int i = 0; i < 22; i++) {
    int presses = KRV_ButtonPressed(i);
    if (presses == 0) continue;
    snprintf(line, sizeof line, "button %d %d\n", i, presses);
    Report(line);
  }
  for (int i = 0; i < 3; i++) {
    char value[256];
    if (KRV_GetInputBoxValue(i, value, sizeof value) != 0 || strcmp(value, lastValues[i]) == 0)
      continue;
    strcpy(lastValues[i], value);
    snprintf(line, sizeof line, "value %d %s\n", i, value);
    Report(line);
  }
}

void AppMain(void) {
  char line[64];
  snprintf(line, sizeof line, "enter stop=%d\n", stopRequested);
  Report(line);
  if (ModeIs("hang")) {
    for (;;) Sleep(1);
  }
  while (!stopRequested) {
    PumpWorkerMessages();
    if (ModeIs("boxes")) ReportBoxes();
    Sleep(1);
  }
  Report("leave\n");
}
