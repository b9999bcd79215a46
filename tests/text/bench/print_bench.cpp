// Timing of the console work one pass of a program like rimview does, in its 198 x 198 text
// window: 22 empty prints (one per polled button), then the window cleared and its three report
// lines printed again, with the same values (a steady ring) and with a value that changes on
// every pass (a button held). Beside them the bare pump and the repaint every print used to
// force. Prints figures; asserts nothing.
// Usage: wine print_bench.exe [prints-per-pass [passes]]
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "support/framework_windows.h"
#include "text/text.h"

static double Seconds(void) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return (double)now.QuadPart / frequency.QuadPart;
}

static int emptyPrints = 22;
static int radius = 192;

static void Report(void) {
  KRV_ClearTextWindow();
  KRV_Print("X0: %d\nY0: %d\n r: %d\n", 320, 240, radius);
}

static void SteadyPass(void) {
  for (int i = 0; i < emptyPrints; i++) KRV_Print("");
  Report();
}

static void ChangingPass(void) {
  radius = radius == 192 ? 191 : 192;
  SteadyPass();
}

// What every print cost before: the whole window invalidated and pumped, a paint each time.
static void ForcedPass(void) {
  HWND window = CurrentTextSlot()->window;
  for (int i = 0; i < emptyPrints + 3; i++) {
    InvalidateRect(window, NULL, FALSE);
    PumpWorkerMessages();
  }
}

static void BarePumps(void) {
  for (int i = 0; i < emptyPrints; i++) PumpWorkerMessages();
}

// Milliseconds per pass: the minimum and the median over passes. Between passes the program
// waits for its next frame, pumping once, as rimview's frame wait does, a few milliseconds.
static double Measure(const char* what, void (*pass)(void), int passes) {
  std::vector<double> times;
  for (int i = 0; i < passes; i++) {
    PumpWorkerMessages();
    Sleep(2);
    double start = Seconds();
    pass();
    times.push_back((Seconds() - start) * 1e3);
  }
  std::sort(times.begin(), times.end());
  double median = times[times.size() / 2];
  printf("| %s | %.3f | %.3f |\n", what, median, times[0]);
  return median;
}

int main(int argc, char** argv) {
  emptyPrints = argc > 1 ? atoi(argv[1]) : 22;
  int passes = argc > 2 ? atoi(argv[2]) : 300;
  if (emptyPrints < 0 || passes < 1) return 1;
  UseFrameworkWindows();
  KRV_OpenTextWindow(0, 0, 0, 198, 198);
  Report();
  for (int i = 0; i < 50; i++) PumpWorkerMessages();
  printf("%d passes of %d empty prints and the three report lines, ms per pass\n\n", passes,
         emptyPrints);
  printf("| console work of a pass | median | min |\n|---|---|---|\n");
  double steady = Measure("steady ring: the same lines again", SteadyPass, passes);
  Measure("a value changing every pass", ChangingPass, passes);
  double forced = Measure("every print repainting (the old way)", ForcedPass, passes);
  Measure("bare pumps, one per empty print", BarePumps, passes);
  printf("\nsteady pass / old way: %.3f\n", steady / forced);
  KRV_CloseTextWindow(0);
  return 0;
}
