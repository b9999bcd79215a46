// Times the unwrap on the same pseudo-random frames, single thread, in one process: the plain
// ray walk, the strip table with the ring unchanged and with a new ring every pass, and, when
// built with OpenCV (scripts/bench.sh), cv::remap over the same strip with a precomputed
// fixed-point map and cv::warpPolar + rotate. Prints minimum and median microseconds and the
// ratios of the minimums to cv::remap. OpenCV is a yardstick here only; the program does not ship.
// Usage: unwrap_bench [passes]
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/strip_table.h"

#ifdef KRV_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

StripTable table;
RayState ray;
int passes = 300;

const double Rotation = 0.17453292519943295;  // the rotation step of rimview, pi / 18

struct Timing {
  double min, median;  // microseconds
};

template <class Work>
Timing Time(Work work) {
  std::vector<double> times;
  work();  // warm the caches (and build what is built once)
  for (int i = 0; i < passes; i++) {
    auto start = std::chrono::steady_clock::now();
    work();
    auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  return {times.front(), times[times.size() / 2]};
}

// The same frames on every platform: a fixed linear congruential sequence.
std::vector<int> RandomFrame(int width, int height) {
  std::vector<int> frame((size_t)width * height);
  uint32_t state = 20261207u;
  for (int& pixel : frame) {
    state = state * 1664525u + 1013904223u;
    pixel = (int)(state >> 8);
  }
  return frame;
}

enum Method {
  MethodRemap, MethodPolar, MethodWalk, MethodTable, MethodTurned, MethodGrown, MethodShrunk,
  MethodMoved, MethodCount
};
const char* const methodNames[MethodCount] = {
    "cv::remap, CV_16SC2 map, nearest", "cv::warpPolar + rotate (full circle)",
    "plain ray walk (UnwrapStrip)",     "strip table, same ring",
    "strip table, ring turned each pass", "strip table, radius r-1, r-2 by turns",
    "strip table, radius one less each pass", "strip table, centre moved each pass"};

struct Row {
  bool measured[3];
  Timing times[3];
};

// One markdown table per size: median / min microseconds, and the minimum's ratio to
// cv::remap's on the same strip where there is one (on a shared machine the minimums are what
// repeats from run to run).
void PrintTable(const Row* rows) {
  printf("| method | top strip | centred strip | half strips |\n|---|---|---|---|\n");
  for (int m = 0; m < MethodCount; m++) {
    bool any = false;
    for (int l = 0; l < 3; l++) any = any || rows[m].measured[l];
    if (!any) continue;
    printf("| %s |", methodNames[m]);
    for (int l = 0; l < 3; l++) {
      if (!rows[m].measured[l]) {
        printf(" |");
        continue;
      }
      const Timing& t = rows[m].times[l];
      printf(" %.0f / %.0f", t.median, t.min);
      if (rows[MethodRemap].measured[l] && m != MethodRemap)
        printf(" (%.2f x)", t.min / rows[MethodRemap].times[l].min);
      printf(" |");
    }
    printf("\n");
  }
}

#ifdef KRV_BENCH_OPENCV
// The strip's own mapping, found by walking a plane of pixel addresses: for every pixel the
// strip writes (rows in order), its source pixel, as cv::remap wants it.
cv::Mat StripMap(const RingGeometry& ring, int layout, int width, int height,
                 std::vector<int>* written) {
  std::vector<int> address((size_t)width * height), target((size_t)width * height, -1);
  for (size_t i = 0; i < address.size(); i++) address[i] = (int)i + 1;
  PixelPlane from = {address.data(), width, height, width}, to = {target.data(), width, height, width};
  RayState scratch;
  UnwrapStrip(&ring, layout, &from, &to, &scratch);
  std::vector<cv::Vec2s> points;
  written->clear();
  for (size_t i = 0; i < target.size(); i++) {
    if (target[i] < 0) continue;
    written->push_back((int)i);
    int a = target[i] - 1;
    points.push_back(a < 0 ? cv::Vec2s(-1, -1) : cv::Vec2s((short)(a % width), (short)(a / width)));
  }
  // One row per strip row of width - 1 pixels, as the strips write them.
  int columns = width - 1, rows = (int)points.size() / columns;
  return cv::Mat(rows, columns, CV_16SC2, points.data()).clone();
}
#endif

void BenchSize(int width, int height) {
  std::vector<int> frame = RandomFrame(width, height);
  std::vector<int> output((size_t)width * height, 0);
  PixelPlane source = {frame.data(), width, height, width};
  PixelPlane target = {output.data(), width, height, width};
  RingGeometry ring = InitialRing(width, height);
  Row rows[MethodCount];
  memset(rows, 0, sizeof rows);
  bool same = true;
#ifdef KRV_BENCH_OPENCV
  cv::Mat sourceMat(height, width, CV_8UC4, frame.data());
  cv::Mat polar, strip;
  rows[MethodPolar].measured[StripTop] = true;
  rows[MethodPolar].times[StripTop] = Time([&] {
    cv::warpPolar(sourceMat, polar, cv::Size(ring.r, width), cv::Point2f(ring.X0, ring.Y0),
                  ring.r, cv::INTER_NEAREST | cv::WARP_POLAR_LINEAR);
    cv::rotate(polar, strip, cv::ROTATE_90_COUNTERCLOCKWISE);
  });
#endif
  for (int layout = StripTop; layout <= StripHalves; layout++) {
#ifdef KRV_BENCH_OPENCV
    std::vector<int> written;
    cv::Mat map = StripMap(ring, layout, width, height, &written), remapped;
    rows[MethodRemap].measured[layout] = true;
    rows[MethodRemap].times[layout] = Time([&] {
      cv::remap(sourceMat, remapped, map, cv::noArray(), cv::INTER_NEAREST, cv::BORDER_CONSTANT,
                cv::Scalar(0, 0, 0, 0));
    });
#endif
    rows[MethodWalk].measured[layout] = true;
    rows[MethodWalk].times[layout] =
        Time([&] { UnwrapStrip(&ring, layout, &source, &target, &ray); });
    std::vector<int> walked = output;
    rows[MethodTable].measured[layout] = true;
    rows[MethodTable].times[layout] =
        Time([&] { UnwrapStripCached(&table, &ring, layout, &source, &target, &ray); });
    same = same && walked == output;
#ifdef KRV_BENCH_OPENCV
    const int* pixels = (const int*)remapped.data;
    for (size_t i = 0; i < written.size(); i++) same = same && pixels[i] == output[written[i]];
#endif
    RingGeometry turning = ring;
    rows[MethodTurned].measured[layout] = true;
    rows[MethodTurned].times[layout] = Time([&] {
      turning.angleOffset += Rotation;
      UnwrapStripCached(&table, &turning, layout, &source, &target, &ray);
    });
    RingGeometry growing = ring;
    rows[MethodGrown].measured[layout] = true;
    rows[MethodGrown].times[layout] = Time([&] {
      growing.r = growing.r == ring.r - 1 ? ring.r - 2 : ring.r - 1;
      UnwrapStripCached(&table, &growing, layout, &source, &target, &ray);
    });
    // "><" held: a new radius on every pass, from r down to r / 2 and again.
    RingGeometry shrinking = ring;
    rows[MethodShrunk].measured[layout] = true;
    rows[MethodShrunk].times[layout] = Time([&] {
      shrinking.r = shrinking.r <= ring.r / 2 ? ring.r : shrinking.r - 1;
      UnwrapStripCached(&table, &shrinking, layout, &source, &target, &ray);
    });
    // The arrows held: the centre one pixel further on every pass, round a small square.
    RingGeometry moving = ring;
    int step = 0;
    rows[MethodMoved].measured[layout] = true;
    rows[MethodMoved].times[layout] = Time([&] {
      static const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
      moving.X0 += dx[step / 8 % 4];
      moving.Y0 += dy[step / 8 % 4];
      step++;
      UnwrapStripCached(&table, &moving, layout, &source, &target, &ray);
    });
    // Every ring above, checked against the plain walk once more.
    for (const RingGeometry* changed : {&turning, &growing, &shrinking, &moving}) {
      UnwrapStripCached(&table, changed, layout, &source, &target, &ray);
      std::vector<int> cached = output;
      UnwrapStrip(changed, layout, &source, &target, &ray);
      same = same && cached == output;
    }
  }
  printf("\n%d x %d, centre (%d, %d), r %d: median / min of %d passes in microseconds%s\n\n",
         width, height, ring.X0, ring.Y0, ring.r, passes,
         rows[MethodRemap].measured[StripTop] ? " (ratio of the minimums to cv::remap)" : "");
  PrintTable(rows);
  printf("\nsame pixels as the plain walk%s: %s\n",
#ifdef KRV_BENCH_OPENCV
         " and cv::remap",
#else
         "",
#endif
         same ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) passes = atoi(argv[1]);
  if (passes < 1) passes = 1;
#ifdef KRV_BENCH_OPENCV
  cv::setNumThreads(1);
  printf("OpenCV %s, one thread\n", CV_VERSION);
#endif
  BenchSize(640, 480);
  BenchSize(320, 240);
  return 0;
}
