// Timing of the empty prints a program's main loop makes on every pass (rimview makes 22), each
// of which pumps the worker's messages. Compares them with the repaint every print used to
// force and with the bare pump. Prints figures; asserts nothing.
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

typedef void (*Step)(void);

static void EmptyPrint(void) { KRV_Print(""); }

// What an empty print cost before it learned to leave an unchanged window alone.
static void ForcedRepaint(void) {
  InvalidateRect(CurrentTextSlot()->window, NULL, FALSE);
  PumpWorkerMessages();
}

static void BarePump(void) { PumpWorkerMessages(); }

// Milliseconds per pass of count steps: the minimum and the median over passes.
static void Measure(const char* what, Step step, int count, int passes) {
  std::vector<double> times;
  for (int pass = 0; pass < passes; pass++) {
    double start = Seconds();
    for (int i = 0; i < count; i++) step();
    times.push_back((Seconds() - start) * 1e3);
  }
  std::sort(times.begin(), times.end());
  printf("%-36s %3d per pass: min %8.3f ms  median %8.3f ms  (%6.1f us each)\n", what, count,
         times[0], times[times.size() / 2], times[times.size() / 2] * 1e3 / count);
}

int main(int argc, char** argv) {
  int count = argc > 1 ? atoi(argv[1]) : 22;
  int passes = argc > 2 ? atoi(argv[2]) : 200;
  if (count < 1 || passes < 1) return 1;
  UseFrameworkWindows();
  KRV_OpenTextWindow(0, 0, 0, 400, 300);
  KRV_Print("X0: 320\nY0: 240\n r: 192\n");
  for (int i = 0; i < 50; i++) PumpWorkerMessages();
  Measure("bare PumpWorkerMessages", BarePump, count, passes);
  Measure("empty KRV_Print", EmptyPrint, count, passes);
  Measure("invalidate + pump (the old print)", ForcedRepaint, count, passes);
  KRV_CloseTextWindow(0);
  return 0;
}
