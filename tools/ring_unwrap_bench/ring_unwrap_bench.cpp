// Times the ring unwrap (draw/ring_unwrap.h) on the same pseudo-random frames, single thread, in
// one process: nearest and bilinear with the parameters unchanged from pass to pass (the tables
// replayed) and changed on every pass (the tables rebuilt), and, when built with OpenCV
// (scripts/bench.sh), cv::remap INTER_NEAREST and INTER_LINEAR over the same map as float maps
// made before the timing, pass for pass in turn with the replay. Prints minimum and median
// microseconds and the ratios to cv::remap, and checks every pixel against the double-precision
// sample (tables left aside). OpenCV is a yardstick here only; the programs never use it.
// Usage: ring_unwrap_bench [passes]
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "draw/ring_unwrap.h"

#ifdef KRV_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

int passes = 300;

struct Timing {
  double min, median;  // microseconds
};

// The works' passes take turns, so that both meet the same load on a shared machine.
template <class... Works>
void Time(Timing* timings, Works... works) {
  std::vector<double> times[sizeof...(Works)];
  (works(), ...);  // warm the caches (and build the tables)
  for (int i = 0; i < passes; i++) {
    int k = 0;
    auto one = [&](auto& work) {
      auto start = std::chrono::steady_clock::now();
      work();
      auto end = std::chrono::steady_clock::now();
      times[k++].push_back(std::chrono::duration<double, std::micro>(end - start).count());
    };
    (one(works), ...);
  }
  for (size_t k = 0; k < sizeof...(Works); k++) {
    std::sort(times[k].begin(), times[k].end());
    timings[k] = {times[k].front(), times[k][times[k].size() / 2]};
  }
}

// The same frames on every platform: a fixed linear congruential sequence, top bytes set too.
std::vector<int> RandomFrame(int width, int height) {
  std::vector<int> frame((size_t)width * height);
  uint32_t state = 20261208u;
  for (int& pixel : frame) {
    state = state * 1664525u + 1013904223u;
    pixel = (int)(state >> 8 | state << 24);
  }
  return frame;
}

// Every target pixel against the double-precision sample of its point.
bool Exact(const RingPlane* source, const RingPlane* target, const RingParams* ring) {
  std::vector<int> pixels((size_t)target->width * target->height);
  const RingPlane direct = {pixels.data(), target->width, target->height, target->width};
  UnwrapRingDirectly(source, &direct, ring);
  for (int y = 0; y < target->height; y++)
    for (int c = 0; c < target->width; c++)
      if (target->pixels[(size_t)y * target->stride + c] != pixels[(size_t)y * target->width + c])
        return false;
  return true;
}

void PrintRow(const char* name, Timing t, const Timing* remap) {
  printf("| %s | %.0f / %.0f |", name, t.median, t.min);
  if (remap)
    printf(" %.2f x / %.2f x |\n", t.median / remap->median, t.min / remap->min);
  else
    printf(" |\n");
}

void BenchCase(int width, int height, int W, int H, int inner, int outer) {
  std::vector<int> frame = RandomFrame(width, height), output((size_t)W * H);
  const RingPlane source = {frame.data(), width, height, width};
  const RingPlane target = {output.data(), W, H, W};
  printf("\n%d x %d source, %d x %d target, centre (%d, %d), radii %d..%d: median / min of %d "
         "passes in microseconds%s\n\n",
         width, height, W, H, width / 2, height / 2, inner, outer, passes,
#ifdef KRV_BENCH_OPENCV
         ", ratios (median / min) to cv::remap of the same mode"
#else
         ""
#endif
  );
  printf("| method | time | ratio |\n|---|---|---|\n");
  bool exact = true;
  for (int smooth = 0; smooth <= 1; smooth++) {
    RingParams ring = {width / 2, height / 2, inner, outer, 0.3, smooth};
    const Timing* against = NULL;
#ifdef KRV_BENCH_OPENCV
    cv::Mat mapX(H, W, CV_32FC1), mapY(H, W, CV_32FC1), remapped;
    for (int y = 0; y < H; y++)
      for (int c = 0; c < W; c++) {
        const double theta = RingAngle(ring.angleOffset, c, W);
        const double rho = RingRadius(inner, outer, y, H);
        mapX.at<float>(y, c) = (float)(ring.x0 + rho * cos(theta));
        mapY.at<float>(y, c) = (float)(ring.y0 + rho * sin(theta));
      }
    cv::Mat sourceMat(height, width, CV_8UC4, frame.data());
    const int mode = smooth ? cv::INTER_LINEAR : cv::INTER_NEAREST;
    auto remap = [&] {
      cv::remap(sourceMat, remapped, mapX, mapY, mode, cv::BORDER_CONSTANT, cv::Scalar());
    };
#endif
    auto same = [&] { UnwrapRingPlanes(&source, &target, &ring); };
    Timing timings[2];
#ifdef KRV_BENCH_OPENCV
    Time(timings, remap, same);
    PrintRow(smooth ? "cv::remap INTER_LINEAR, float maps" : "cv::remap INTER_NEAREST, float maps",
             timings[0], NULL);
    against = &timings[0];
#else
    Time(timings + 1, same);
#endif
    exact = exact && Exact(&source, &target, &ring);
    PrintRow(smooth ? "UnwrapRingPlanes bilinear, same ring"
                    : "UnwrapRingPlanes nearest, same ring",
             timings[1], against);
    Timing turned;
    Time(&turned, [&] {
      ring.angleOffset += 0.01;
      UnwrapRingPlanes(&source, &target, &ring);
    });
    exact = exact && Exact(&source, &target, &ring);
    PrintRow(smooth ? "UnwrapRingPlanes bilinear, turned each pass"
                    : "UnwrapRingPlanes nearest, turned each pass",
             turned, against);
  }
  printf("\nevery pixel as the double-precision sample: %s\n", exact ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) passes = atoi(argv[1]);
  if (passes < 1) passes = 1;
#ifdef KRV_BENCH_OPENCV
  cv::setNumThreads(1);
  printf("OpenCV %s, one thread\n", CV_VERSION);
#endif
  BenchCase(640, 480, 1280, 192, 40, 232);
  BenchCase(640, 480, 640, 240, 40, 232);
  BenchCase(1280, 960, 2560, 384, 80, 464);
  return 0;
}
