// live_bench: rimview's own AppSetup and AppMain in real-time mode on the virtual camera for a
// number of seconds, on this thread as the worker would run them (the main window is absent);
// prints the process's processor time, frames delivered against frames shown, and the delay from
// a frame's arrival in the sink to the redraw of image 1. Prints figures; not a test.
// Usage: live_bench [seconds [fps]]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "app/app.h"
#include "capture/capture.h"
#include "support/framework_windows.h"

namespace {

double countsPerMs;
std::vector<double> delays;  // ms from arrival to the redraw of image 1, per frame shown
long lateFrames;             // shown after a newer frame had already arrived
long gapFrames;              // frames between two shown ones that were never shown
long lastShownSequence = -1;

double Ms(const FILETIME& kernel, const FILETIME& user) {
  ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
  ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
  return (double)(k.QuadPart + u.QuadPart) / 10000.0;
}

double ProcessCpuMs(void) {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  return Ms(kernel, user);
}

// This thread's processor time: rimview's own passes and frame wait, without the capture's
// streaming thread, where the virtual camera makes its frames.
double ThreadCpuMs(void) {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  return Ms(kernel, user);
}

double NowCount(void) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (double)now.QuadPart;
}

double runStart;

void OnPanoramaShown(void) {
  double shown = NowCount();
  long taken = takenFrameSequence;
  if ((double)lastArrivalCount[0] < runStart) return;  // came before the run, while setting up
  if (krv_frameSequence[0] != taken) lateFrames++;  // the arrival stamp is a newer frame's
  else delays.push_back((shown - (double)lastArrivalCount[0]) / countsPerMs);
  if (lastShownSequence >= 0 && taken - lastShownSequence > 1)
    gapFrames += taken - lastShownSequence - 1;
  lastShownSequence = taken;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t at = (size_t)(p * (values.size() - 1) + 0.5);
  return values[at];
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, NULL, _IONBF, 0);
  double seconds = argc > 1 ? atof(argv[1]) : 60.0;
  double fps = argc > 2 ? atof(argv[2]) : 10.0;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  countsPerMs = (double)frequency.QuadPart / 1000.0;
  UseFrameworkWindows();
  AppSetup();
  if (fps != 10.0 || !krv_captureRunning) {  // AppSetup asks for 10 frames per second
    KRV_StopCapture();
    int code = KRV_StartCapture(fps);
    if (code) {
      printf("live_bench: the capture did not start at %.0f fps: %d\n", fps, code);
      return 1;
    }
  }
  panoramaShown = OnPanoramaShown;
  std::thread stopper([seconds] {
    Sleep((DWORD)(seconds * 1000));
    stopRequested = 1;
  });
  long arrivedBefore = krv_frameSequence[0];
  double cpuBefore = ProcessCpuMs(), workerBefore = ThreadCpuMs(), wallBefore = NowCount();
  runStart = wallBefore;
  AppMain();  // runs until the stopper's Stop; destroys images 0 and 1 and stops the capture
  double wall = (NowCount() - wallBefore) / countsPerMs, cpu = ProcessCpuMs() - cpuBefore;
  double worker = ThreadCpuMs() - workerBefore;
  long arrived = krv_frameSequence[0] - arrivedBefore;
  stopper.join();
  long shown = (long)delays.size() + lateFrames;
  printf("%d x %d at %.0f fps for %.1f s: processor %.0f ms = %.2f %% of one core "
         "(the worker thread alone %.2f %%); frames delivered %ld, shown %ld, not shown %ld "
         "(gaps in the frame sequence %ld); "
         "arrival to redraw of image 1: median %.2f ms, 99th percentile %.2f ms, worst %.2f ms"
         " (%ld shown after a newer frame came)\n",
         CaptureWidth, CaptureHeight, fps, wall / 1000.0, cpu, 100.0 * cpu / wall,
         100.0 * worker / wall, arrived,
         shown, arrived - shown > 0 ? arrived - shown : 0, gapFrames, Percentile(delays, 0.5),
         Percentile(delays, 0.99), delays.empty() ? 0.0 : Percentile(delays, 1.0), lateFrames);
  return 0;
}
