// Times the ring search (what KRV_FindRing runs) on the virtual camera's picture at three sizes
// and on generated 640 x 480 scenes of every kind, single thread, and prints how far the found
// rings are from the generated ones. Prints figures; asserts nothing.
// Usage: ring_bench [passes [scenes]]   (under Wine: wine ring_bench.exe). The search is pure, so
// the same program also builds natively, from the source tree:
//   g++ -O2 -std=c++17 -I. -Itests -o ring_bench tools/ring_bench/ring_bench.cpp
//     draw/ring_search.cpp draw/circle_fit.cpp tests/draw/ring_pictures.cpp   (one line)
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "draw/ring_pictures.h"
#include "draw/ring_search.h"
#include "tools/virtual_camera/picture.h"

namespace {

struct Times {
  double median, min, max, processor;  // processor: the thread's own time, mean per call
};

// Seconds of processor time this thread has used: unlike the clock on the wall, it does not
// count the time other loads of the machine take the processor away.
double ThreadSeconds(void) {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const unsigned long long k =
      ((unsigned long long)kernel.dwHighDateTime << 32) | kernel.dwLowDateTime;
  const unsigned long long u = ((unsigned long long)user.dwHighDateTime << 32) | user.dwLowDateTime;
  return (k + u) * 1e-7;
#else
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
#endif
}

// Milliseconds per search over the passes; ring receives the last result.
Times TimeSearch(const std::vector<unsigned>& pixels, int width, int height, int passes,
                 RingGeometry* ring, int* code) {
  std::vector<double> times;
  std::vector<double> scratch(RingSearchScratchSize(width, height) / sizeof(double) + 1);
  *code = RingNotFound;
  const double processorStart = ThreadSeconds();
  for (int pass = 0; pass < passes; pass++) {
    const auto start = std::chrono::steady_clock::now();
    *code = SearchRing(pixels.data(), width, height, width * 4, scratch.data(), ring);
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  const double processor = (ThreadSeconds() - processorStart) * 1e3 / passes;
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.front(), times.back(), processor};
}

void CameraRow(int width, int height, int passes) {
  std::vector<unsigned> pixels((size_t)width * height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      pixels[(size_t)y * width + x] = CameraPixel(x, y, width, height, 0);
  RingGeometry ring = {};
  int code;
  const Times t = TimeSearch(pixels, width, height, passes, &ring, &code);
  printf(
      "| virtual camera %d x %d | %.2f / %.2f / %.2f | %.2f | code %d: (%.2f, %.2f) r %.2f, "
      "blind spot %.2f (drawn: (%d, %d) r %d, %d) |\n",
      width, height, t.median, t.min, t.max, t.processor, code, ring.x0, ring.y0, ring.outerRadius,
      ring.innerRadius, width / 2, height / 2, CameraRingRadius(height),
      CameraRingRadius(height) / 4);
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 50;
  const int scenes = argc > 2 && atoi(argv[2]) > 0 ? atoi(argv[2]) : 100;
  printf(
      "Ring search, milliseconds per call: median / min / max of %d passes on the clock, and\n"
      "the thread's processor time per call over them\n\n",
      passes);
  printf("| picture | clock ms | processor ms | found |\n|---|---|---|---|\n");
  CameraRow(320, 240, passes);
  CameraRow(640, 480, passes);
  CameraRow(1280, 960, passes);

  static const char* const contentNames[SceneContentCount] = {"flat", "stripes", "gradient",
                                                              "texture", "colours"};
  std::vector<double> medians[SceneContentCount];
  double processor[SceneContentCount] = {};
  double worst = 0;
  RingErrors errors = {};
  int missed = 0;
  const int width = 640, height = 480, scenePasses = passes / 5 > 0 ? passes / 5 : 1;
  std::vector<unsigned> pixels((size_t)width * height);
  for (int i = 0; i < scenes; i++) {
    const RingScene scene = RandomRingScene(width, height, 10000 + i);
    PaintRingScene(scene, pixels.data(), width);
    RingGeometry ring;
    int code;
    const Times t = TimeSearch(pixels, width, height, scenePasses, &ring, &code);
    medians[scene.content].push_back(t.median);
    processor[scene.content] += t.processor;
    worst = std::max(worst, t.max);
    if (code == RingFound)
      AddRingErrors(&errors, scene, ring.x0, ring.y0, ring.outerRadius, ring.innerRadius);
    else
      missed++;
  }
  printf(
      "\n| 640 x 480 generated scenes, noise sigma 8 | scenes | clock ms, median | processor ms |\n"
      "|---|---|---|---|\n");
  for (int c = 0; c < SceneContentCount; c++) {
    std::vector<double>& m = medians[c];
    if (m.empty()) continue;
    std::sort(m.begin(), m.end());
    printf("| %s | %zu | %.2f | %.2f |\n", contentNames[c], m.size(), m[m.size() / 2],
           processor[c] / m.size());
  }
  printf("\nslowest single call over the scenes: %.2f ms; rings missed: %d\n", worst, missed);
  PrintRingErrors(errors, "unrounded errors over the generated scenes");
  return 0;
}
