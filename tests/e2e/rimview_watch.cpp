// rimview as it ships, plus a watcher that tells the reliability tests what they cannot see from
// outside, into the file KRV_PROBE_LOG names: "setup" once AppSetup made the camera image,
// "enter" and "leave" around each run, "frames 3" after the third frame a run showed,
// "stop C frames F missed M doubled D" as a run ends (C is 1 when the capture was left running;
// D counts passes that showed the frame of the pass before), and the
// resources after each run and every 5 s of one. Frames are counted where rimview shows one
// (its panoramaShown hook, on the worker thread); frames of the device's frame sequence between
// two frames shown count as missed.
#include <windows.h>

#include <stdio.h>

#include "app/app.h"
#include "capture/capture.h"
#include "resource_report.h"
#include "runtime/runtime.h"

namespace {

struct RunWatch {
  volatile int frames = 0, missed = 0, doubled = 0;
  long last = -1;
};
RunWatch run;

// Worker thread, after each pass that showed a frame.
void CountShownFrame(void) {
  if (!appRunning) return;
  const long taken = takenFrameSequence;
  if (run.last >= 0 && taken - run.last > 1) run.missed += (int)(taken - run.last - 1);
  if (taken == run.last) run.doubled++;
  run.last = taken;
  if (++run.frames == 3) Report("frames 3\n");
}

void ReportRunEnd(void) {
  char line[96];
  snprintf(line, sizeof line, "stop %d frames %d missed %d doubled %d\n",
           krv_captureRunning ? 1 : 0, run.frames, run.missed, run.doubled);
  Report(line);
  ReportResources(run.frames, run.missed);
  Report("leave\n");
}

DWORD WINAPI Watch(LPVOID) {
  while (!mainWindow || !krv_images[CameraImage].inUse) Sleep(5);
  Report("setup\n");
  int wasRunning = 0;
  DWORD lastReport = 0;
  for (;;) {
    Sleep(1);
    const int running = appRunning;
    if (running && !wasRunning) {
      lastReport = GetTickCount();
      Report("enter\n");
    }
    if (running) {
      if (GetTickCount() - lastReport >= 5000) {
        lastReport = GetTickCount();
        ReportResources(run.frames, run.missed);
      }
    }
    if (!running && wasRunning) {
      ReportRunEnd();
      run.frames = run.missed = run.doubled = 0;
      run.last = -1;
    }
    wasRunning = running;
  }
}

HANDLE StartWatching(void) {
  panoramaShown = CountShownFrame;
  return CreateThread(NULL, 0, Watch, NULL, 0, NULL);
}

const HANDLE watcher = StartWatching();

}  // namespace
