// A framework application for the reliability tests. AppSetup opens a logged console (text
// window 0, log started, one line printed), an image and a button box, so that every state has
// windows, a log and a prompt to reach. It reports into KRV_PROBE_LOG like the probe.
// KRV_PROBE_MODE: "idle" (default) waits for Stop; "prompt" waits in a line input;
// "capture" starts the capture on each Start at KRV_SOAK_FPS frames a second (10 when unset),
// counts the new frames and those missed (gaps in the sample times) and stops it again on the
// way out.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "korvel.h"
#include "resource_report.h"


static double FramesPerSecond(void) {
  char text[16] = "";
  GetEnvironmentVariableA("KRV_SOAK_FPS", text, sizeof text);
  const double fps = atof(text);
  return fps > 0 ? fps : 10.0;
}

void AppSetup(void) {
  KRV_OpenTextWindow(0, 0, 300, 400, 200);
  KRV_StartLog(0);
  KRV_Print("soak log line\n");
  KRV_CreateImage(0, "soak", 450, 0, 64, 48, 100);
  KRV_OpenButtonBox(450, 200, 2, 2);
  Report("setup\n");
}

static int runs;

// The capture of one run: new frames counted until Stop, then stopped.
static void CaptureUntilStop(void) {
  char line[96];
  snprintf(line, sizeof line, "capture %d run %d\n", KRV_StartCapture(FramesPerSecond()), ++runs);
  Report(line);
  int frames = 0, missed = 0;
  long last = krv_frameSequence[0];
  unsigned int lastReport = KRV_GetTime();
  while (!stopRequested) {
    PumpWorkerMessages();
    if (KRV_GetTime() - lastReport >= 5000) {
      lastReport = KRV_GetTime();
      ReportResources(frames, missed);
    }
    if (krv_captureRunning && krv_frameSequence[0] != last) {
      const long now = krv_frameSequence[0];
      if (now - last > 1 && frames > 0) missed += (int)(now - last - 1);
      last = now;
      if (++frames == 3) Report("frames 3\n");
    }
    Sleep(1);
  }
  snprintf(line, sizeof line, "stop %d frames %d missed %d\n", KRV_StopCapture(), frames, missed);
  Report(line);
  ReportResources(frames, missed);
}

void AppMain(void) {
  Report("enter\n");
  if (ModeIs("capture")) {
    CaptureUntilStop();
  } else if (ModeIs("prompt")) {
    char line[256];
    while (!stopRequested) {
      KRV_Print("answer? ");
      KRV_InputLine(line);
    }
  } else {
    while (!stopRequested) {
      PumpWorkerMessages();
      Sleep(1);
    }
  }
  Report("leave\n");
}
