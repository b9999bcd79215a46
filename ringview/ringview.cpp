// ringview: the camera picture with the mirror's ring found in it, and the ring unwrapped into a
// panorama on every frame. AppSetup lays the windows out and starts the capture; AppMain finds
// the ring and runs one pass per frame (or per change, while a frame is held) until Stop.
// Worker thread.
#include "ringview/ringview.h"

#include <stdio.h>

ViewState view;
static ViewLayout layout;

static void OpenPanel(void) {
  if (KRV_OpenButtonBox(layout.panelX, layout.panelY, PanelColumns, PanelRows) != 0) return;
  KRV_ResizeButtonBox(PanelWidth, PanelHeight);
  for (int i = 0; i < PanelButtonCount; i++) KRV_SetButtonBoxTitle(i, panelButtons[i].label);
}

void OpenWindows(void) {
  int width, height;
  PanoramaSize(CaptureWidth, CaptureHeight, &width, &height);
  if (!krv_images[CameraImage].inUse)
    KRV_CreateImage(CameraImage, "camera", layout.cameraX, layout.cameraY, CaptureWidth,
                    CaptureHeight, layout.zoom);
  if (!krv_images[PanoramaImage].inUse)
    KRV_CreateImage(PanoramaImage, "panorama", layout.panoramaX, layout.panoramaY, width, height,
                    layout.zoom);
  if (KRV_SelectTextWindow(ConsoleWindow) != 0)
    KRV_OpenTextWindow(ConsoleWindow, layout.consoleX, layout.consoleY, ConsoleWidth,
                       ConsoleHeight);
  OpenPanel();
}

static int StartCapture(void) {
  int code = KRV_StartCapture(CaptureFps);
  if (code != 0) snprintf(view.message, sizeof view.message, "Error %d", code);
  return code;
}

// ---- Figures of the passes, reported once a second ----
static LARGE_INTEGER ticksPerSecond;
static long long secondStart, cpuAtStart;
static PassFigures current, lastSecond;

static long long Ticks(void) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}
static double Milliseconds(long long ticks) { return ticks * 1000.0 / ticksPerSecond.QuadPart; }

// Processor time of the whole process, in performance-counter ticks.
static long long CpuTicks(void) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
  ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
  double seconds = (double)(k.QuadPart + u.QuadPart) / 1e7;
  return (long long)(seconds * ticksPerSecond.QuadPart);
}

static void BeginSecond(void) {
  secondStart = Ticks();
  cpuAtStart = CpuTicks();
  current = PassFigures();
}

static void CountPass(long long ticks) {
  const double ms = Milliseconds(ticks);
  current.frames++;
  current.totalMs += ms;
  if (ms > current.longestMs) current.longestMs = ms;
}

// Returns 1 when a second is over: its figures are then in lastSecond.
static int SecondOver(void) {
  long long now = Ticks();
  if (Milliseconds(now - secondStart) < 1000.0) return 0;
  current.elapsedMs = Milliseconds(now - secondStart);
  current.cpuMs = Milliseconds(CpuTicks() - cpuAtStart);
  lastSecond = current;
  BeginSecond();
  return 1;
}

void AppSetup(void) {
  QueryPerformanceFrequency(&ticksPerSecond);
  RememberSaveFolder();
  layout = LayOutViewer(CaptureWidth, CaptureHeight, ScreenMetrics());
  view.ring = InitialViewRing(CaptureWidth, CaptureHeight);
  view.overlay = 1;
  view.saveNumber = 1;
  snprintf(view.message, sizeof view.message, "Start shows the camera");
  OpenWindows();
  StartCapture();
  ShowReport(lastSecond);
}

static int PollPanel(void) {
  int changed = 0;
  for (int i = 0; i < PanelButtonCount; i++)
    if (int presses = KRV_ButtonPressed(i))
      changed |= ApplyButton(&view, i, presses, CaptureWidth, CaptureHeight);
  return changed;
}

// Without a frame to wait for: sleeps until a message comes for the worker's windows (a press),
// or 10 ms, so that Stop is seen at once, then pumps.
static void WaitForInput(void) {
  MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
  PumpWorkerMessages();
}

void AppMain(void) {
  OpenWindows();
  if (!krv_captureRunning && StartCapture() != 0) {
    ShowReport(lastSecond);
    return;
  }
  view.findPending = 1;
  lastSecond = PassFigures();
  BeginSecond();
  int changed = 1;
  while (!stopRequested) {
    OpenWindows();
    if (view.hold) {
      changed |= PollPanel();
      if (changed) {
        RunPass();
        changed = 0;
        ShowReport(lastSecond);
      } else {
        WaitForInput();
      }
      if (SecondOver()) ShowReport(lastSecond);
      continue;
    }
    int result = KRV_GrabFrame(0, CameraImage, 100);
    if (result == GrabDone) {
      const long long start = Ticks();
      FrameGrabbed();
      changed |= PollPanel();
      RunPass();
      CountPass(Ticks() - start);
    } else if (result == GrabNoCapture) {
      snprintf(view.message, sizeof view.message, "Error: the capture stopped");
      changed = 1;
      break;
    } else if (result == GrabNoImage) {
      WaitForInput();  // the camera picture was closed; it opens again on the next round
    } else if (result != GrabTimedOut) {
      break;  // Stop
    }
    changed |= PollPanel();
    if (SecondOver() || changed) {
      ShowReport(lastSecond);
      changed = 0;
    }
  }
  if (stopRequested) {
    snprintf(view.message, sizeof view.message, "stopped");
    changed = 1;
  }
  if (changed) ShowReport(lastSecond);
}
