// A framework application for the end-to-end tests. It reports what the runtime does with it
// into the file named by KRV_PROBE_LOG, one line per event. KRV_PROBE_MODE=hang gives an
// AppMain that never returns; KRV_PROBE_MODE=boxes opens the control panel's boxes and
// reports button presses and committed values while running; KRV_PROBE_MODE=text opens a
// console with ASCII and Japanese text; KRV_PROBE_MODE=image shows a drawn figure in two
// image windows, at zoom 100 and 200; KRV_PROBE_MODE=capture starts the capture in AppSetup,
// counts new frames in AppMain and stops the capture when AppMain ends; KRV_PROBE_MODE=pick
// runs a box pick and a circle pick in AppMain on a grey image and reports their results;
// KRV_PROBE_MODE=layout arranges one window of each kind, some moved and resized as a user
// would, with titles that need escaping in source text; KRV_PROBE_MODE=lines prints the lines
// of KRV_PROBE_TEXT (separated by '|') into a 198 x 198 console.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "korvel.h"
#include "probe_report.h"


// The figure of the image windows' end-to-end test: every primitive once.
static void DrawFigure(void) {
  KRV_FillBox(0, 0, 119, 89, 0x202020, 0x000040);
  krv_color = 0xFFFF00;
  KRV_FillCircle(30, 30, 20);
  KRV_Circle(0xFF0000, 30, 30, 25);
  KRV_Line(0x00FF00, 2, 87, 57, 62);
  KRV_XorBox(70, 5, 110, 35);
  KRV_XorFillBox(75, 10, 105, 30);
  krv_color = 0x00FFFF;
  KRV_Box(70, 50, 110, 85);
  krv_color = 0xFF00FF;
  KRV_Paint(90, 70);
  KRV_PutPixel(60, 45, 0xFFFFFF);
}

static void PrintProbeLines(void) {
  // Read wide: Wine's narrow read cuts double-byte text short.
  wchar_t wide[512] = L"";
  GetEnvironmentVariableW(L"KRV_PROBE_TEXT", wide, 512);
  char text[1024] = "";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
  KRV_OpenTextWindow(0, 300, 560, 198, 198);
  for (char* line = strtok(text, "|"); line; line = strtok(NULL, "|")) KRV_Print("%s\n", line);
}

static void ShowFigures(void) {
  char line[64];
  const int zooms[2] = {100, 200};
  const int x[2] = {0, 200};
  for (int id = 0; id < 2; id++) {
    int result = KRV_CreateImage(id, "figure", x[id], 0, 120, 90, zooms[id]);
    if (result == 0) DrawFigure();
    KRV_RedrawImage(id);
    snprintf(line, sizeof line, "image %d %d\n", id, result);
    Report(line);
  }
}

// Windows moved and sized after their creation, as by dragging.
static void ArrangeLayout(void) {
  KRV_OpenTextWindow(0, 10, 20, 400, 300);
  SetWindowPos(FindWindowW(L"krv_twi", L"TextWindow 0"), NULL, 30, 40, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  KRV_CreateImage(0, "000", 0, 0, 64, 48, 100);
  SetWindowPos(krv_images[0].window, NULL, 460, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  KRV_CreateImage8FL(3, "say \"hi\" c:\\tmp", 500, 400, 120, 90, 200);
  KRV_CreateImageFL(5, "ソフト表示", 760, 100, 30, 20, 300);
  KRV_OpenInputBox(20, 500, 2);
  KRV_SetInputBoxTitle(0, "Gain \"g\"");
  KRV_ResizeInputBox(90, 60);
  KRV_OpenButtonBox(300, 600, 2, 2);
  KRV_SetButtonBoxTitle(1, "Two\nlines");
  HWND box = FindWindowW(L"krv_bb", NULL);
  RECT rect;
  GetWindowRect(box, &rect);
  SetWindowPos(box, NULL, 0, 0, rect.right - rect.left + 31, rect.bottom - rect.top + 17,
               SWP_NOMOVE | SWP_NOZORDER);
}

static void RunPicks(void) {
  char line[96];
  int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
  int result = KRV_PickBox(0, &x1, &y1, &x2, &y2);
  snprintf(line, sizeof line, "box %d %d %d %d %d\n", result, x1, y1, x2, y2);
  Report(line);
  result = KRV_PickCircle(0, &x1, &y1, &x2);
  KRV_RedrawImage(0);
  snprintf(line, sizeof line, "circle %d %d %d %d stop=%d\n", result, x1, y1, x2,
           stopRequested);
  Report(line);
}

void AppSetup(void) {
  if (ModeIs("image")) ShowFigures();
  if (ModeIs("layout")) ArrangeLayout();
  if (ModeIs("pick") && KRV_CreateImage(0, "pick", 0, 0, 120, 90, 100) == 0) {
    KRV_FillBox(0, 0, 119, 89, 0x808080, 0x808080);
    KRV_RedrawImage(0);
  }
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
  if (ModeIs("capture")) {
    char line[96];
    int code = KRV_StartCapture(10.0);
    snprintf(line, sizeof line, "capture %d devices %d bytes %ld\n", code,
             krv_captureDeviceCount, krv_frameByteCount[0]);
    Report(line);
  }
  if (ModeIs("lines")) PrintProbeLines();
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
  if (ModeIs("pick")) RunPicks();
  int frames = 0;
  long taken = krv_frameSequence[0];
  while (!stopRequested) {
    PumpWorkerMessages();
    if (ModeIs("boxes")) ReportBoxes();
    if (ModeIs("capture") && krv_captureRunning && krv_frameSequence[0] != taken) {
      taken = krv_frameSequence[0];
      if (++frames == 3) Report("frames 3\n");
    }
    Sleep(1);
  }
  if (ModeIs("capture")) {
    snprintf(line, sizeof line, "stop %d\n", KRV_StopCapture());
    Report(line);
  }
  Report("leave\n");
}
