// pano_bench: what one pass of rimview costs at this build's capture size, piece by piece, and
// how soon and how cheaply the frame wait takes a new frame. Prints figures; not a test.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <thread>
#include <type_traits>
#include <vector>

#include "app/app.h"
#include "app/strip_table.h"
#include "support/framework_windows.h"
#include "support/seeded_random.h"

namespace {

double Now(void) {
  static LARGE_INTEGER frequency;
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return (double)count.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

// Median and minimum of single rounds: on a shared machine the mean follows the other loads.
// A round that returns a time (ms) is timed by itself, so that it can leave out its set-up.
template <typename Work>
double Round(Work& work) {
  double start = Now();
  if constexpr (std::is_void<decltype(work())>::value) {
    work();
    return Now() - start;
  } else {
    return work();
  }
}

template <typename Work>
void Measure(const char* name, int rounds, Work work) {
  Round(work);  // warm
  std::vector<double> times;
  for (int i = 0; i < rounds; i++) times.push_back(Round(work));
  std::sort(times.begin(), times.end());
  printf("| %s | %.3f | %.3f |\n", name, times[times.size() / 2], times[0]);
}

// One pass of AppMain at s seconds of running time after its frame wait, the radius changed by
// dr first (back to the start below half of it); milliseconds.
double Pass(long seconds, int dr) {
  PumpWorkerMessages();
  Sleep(2);
  double start = Now();
  const int initial = InitialRing(CaptureWidth, CaptureHeight).r;
  if (dr) ring.r = ring.r + dr < initial / 2 ? initial : ring.r + dr;
  CopyCameraFrame();
  PollButtons();
  RunDisplayMode(seconds);
  PumpWorkerMessages();
  return Now() - start;
}

void MeasureWait(void) {
  krv_captureRunning = 1;
  krv_captureDeviceCount = 1;
  std::vector<double> delays;
  volatile double arrived = 0;
  std::thread camera([&] {
    for (int i = 1; i <= 40; i++) {
      Sleep(20 + (i * 7) % 13);
      arrived = Now();
      krv_sampleTime[0] = i * 0.1;
    }
    Sleep(50);
    stopRequested = 1;  // a frame taken late may have hidden the next one
  });
  while (WaitForFrame()) delays.push_back(Now() - arrived);
  camera.join();
  stopRequested = 0;
  double sum = 0, worst = 0;
  for (double d : delays) {
    sum += d;
    if (d > worst) worst = d;
  }
  printf("  frame wait: arrival to pass, %zu frames      mean %.3f ms, worst %.3f ms\n",
         delays.size(), sum / delays.size(), worst);

  // A camera that sends nothing: what the wait costs while it waits.
  FILETIME created, exited, kernel0, user0, kernel1, user1;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel0, &user0);
  std::thread stopper([] {
    Sleep(2000);
    stopRequested = 1;
  });
  double start = Now();
  WaitForFrame();
  double wall = Now() - start;
  stopper.join();
  stopRequested = 0;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel1, &user1);
  auto ms = [](const FILETIME& a, const FILETIME& b) {
    ULARGE_INTEGER x = {{a.dwLowDateTime, a.dwHighDateTime}};
    ULARGE_INTEGER y = {{b.dwLowDateTime, b.dwHighDateTime}};
    return (double)(y.QuadPart - x.QuadPart) / 10000.0;
  };
  double cpu = ms(kernel0, kernel1) + ms(user0, user1);
  printf("  frame wait without frames: %.0f ms of processor in %.0f ms (%.1f%%)\n", cpu, wall,
         100.0 * cpu / wall);
  krv_captureRunning = 0;
  krv_captureDeviceCount = 0;
}

}  // namespace

int main(void) {
  setvbuf(stdout, NULL, _IONBF, 0);  // figures as they come
  UseFrameworkWindows();
  const int w = CaptureWidth, h = CaptureHeight;
  printf("rimview pass at %d x %d, median / min of single rounds in ms\n\n", w, h);
  printf("| part of a pass | median | min |\n|---|---|---|\n");
  KRV_OpenTextWindow(0, 0, 0, 198, 198);
  KRV_CreateImage(0, "000", 0, 0, w, h, 100);
  KRV_CreateImage(1, "Hello,there!", 200, 200, w, h, 100);
  std::vector<int> frame((size_t)w * h);
  Random random(5);
  for (int& pixel : frame) pixel = (int)(random() & 0xFFFFFF);
  krv_frameBuffer[0] = frame.data();
  krv_frameByteCount[0] = (long)frame.size() * 4;
  krv_captureRunning = 1;
  krv_captureDeviceCount = 1;
  ring = InitialRing(w, h);
  camOverlay = 1;

  const int passes = 300;
  Measure("frame copy", passes, [] { CopyCameraFrame(); });
  Measure("22 empty prints (PollButtons, nothing pressed)", passes, [] { PollButtons(); });
  Measure("report: clear, the three lines, one pump", passes, [] {
    ReportRing();
    PumpWorkerMessages();
  });
  // What a pass spends on the console: its 22 empty prints and the overlay's report, the ring
  // steady, after the pump the frame wait makes and a pause as between two frames.
  Measure("console work of a pass", passes, [] {
    PumpWorkerMessages();
    Sleep(2);
    double start = Now();
    PollButtons();
    ReportRing();
    return Now() - start;
  });
  PixelPlane source = {(int*)krv_pixels[0], w, h, w}, target = {(int*)krv_pixels[1], w, h, w};
  RayState scratch;
  for (int layout : {StripTop, StripCentred, StripHalves}) {
    char name[64];
    snprintf(name, sizeof name, "unwrap core, plain walk, layout %d", layout);
    Measure(name, 50, [&] { UnwrapStrip(&ring, layout, &source, &target, &scratch); });
  }
  static StripTable table;  // large: static
  Measure("unwrap core, table replay, layout 1", passes,
          [&] { UnwrapStripCached(&table, &ring, StripCentred, &source, &target, &scratch); });
  Measure("clearing image 1 (KRV_FillBox)", passes, [&] {
    KRV_SelectImage(1);
    KRV_FillBox(0, 0, w - 1, h - 1, 0, 0);
  });
  Measure("redraw of image 1", passes, [] { KRV_RedrawImage(1); });
  // The pump after a pass's redraws of images 0 and 1, which hands their pixels to the X server.
  Measure("pump after redrawing images 0 and 1", passes, [] {
    PumpWorkerMessages();
    Sleep(2);
    KRV_RedrawImage(0);
    KRV_RedrawImage(1);
    double start = Now();
    PumpWorkerMessages();
    return Now() - start;
  });
  Measure("overlay (XOR figures, redraw, report)", passes, [] { DrawRingOverlay(); });
  Measure("mode 0: camera frame", passes, [] { RunDisplayMode(0); });
  Measure("mode 1: clear, centred strip, redraws, overlay", passes, [] { RunDisplayMode(10); });
  Measure("mode 2: clear, half strips, redraws, overlay", passes, [] { RunDisplayMode(60); });
  // A whole pass as AppMain makes it after the frame wait: frame copy, buttons, display, pump.
  // Passes start a few milliseconds apart, as frames come.
  Measure("whole pass in mode 1 (copy, prints, display)", passes, [] { return Pass(10, 0); });
  Measure("whole pass in mode 2 (copy, prints, display)", passes, [] { return Pass(60, 0); });
  // "><" held: a new radius on every pass, and the report changing with it.
  Measure("whole pass in mode 1, radius one less each pass", passes, [] { return Pass(10, -1); });
  ring = InitialRing(w, h);
  krv_captureRunning = 0;
  krv_frameBuffer[0] = nullptr;
  printf("\n");
  MeasureWait();
  return 0;
}
