// The ring unwrap computed the plain way, pixel by pixel in double precision, for the ring
// unwrap tests to compare with; and the seeded frames they unwrap.
#ifndef KORVEL_RING_UNWRAP_REFERENCE_H
#define KORVEL_RING_UNWRAP_REFERENCE_H

#include <math.h>

#include <vector>

#include "support/seeded_random.h"

struct RingCase {
  int x0, y0, innerRadius, outerRadius;
  double angleOffset;
  int smooth;
};

// Source pixel (x, y) of a width-wide frame, black outside width x height.
inline int ReferencePixel(const std::vector<int>& frame, int width, int height, long long x,
                          long long y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  return frame[(size_t)(y * width + x)];
}

inline int ReferenceUnwrap(const std::vector<int>& frame, int width, int height,
                           const RingCase& ring, int W, int H, int c, int y) {
  const double pi = 3.14159265358979323846;
  const double theta = ring.angleOffset + 2 * pi * (W - c) / W;
  const double rho =
      H == 1 ? ring.outerRadius
             : ring.outerRadius - (double)(ring.outerRadius - ring.innerRadius) * y / (H - 1);
  const double x = ring.x0 + rho * cos(theta), v = ring.y0 + rho * sin(theta);
  if (!ring.smooth)
    return ReferencePixel(frame, width, height, (long long)floor(x + 0.5),
                          (long long)floor(v + 0.5)) & 0xFFFFFF;
  const long long left = (long long)floor(x), top = (long long)floor(v);
  const double fx = x - floor(x), fy = v - floor(v);
  const int p[4] = {ReferencePixel(frame, width, height, left, top),
                    ReferencePixel(frame, width, height, left + 1, top),
                    ReferencePixel(frame, width, height, left, top + 1),
                    ReferencePixel(frame, width, height, left + 1, top + 1)};
  int result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = (p[0] >> shift) & 255, b = (p[1] >> shift) & 255;
    const int d = (p[2] >> shift) & 255, e = (p[3] >> shift) & 255;
    const double value = (1 - fy) * ((1 - fx) * a + fx * b) + fy * ((1 - fx) * d + fx * e);
    result |= (int)floor(value + 0.5) << shift;
  }
  return result;
}

// The whole W x H target, row by row.
inline std::vector<int> ReferenceTarget(const std::vector<int>& frame, int width, int height,
                                        const RingCase& ring, int W, int H) {
  std::vector<int> target((size_t)W * H);
  for (int y = 0; y < H; y++)
    for (int c = 0; c < W; c++)
      target[(size_t)y * W + c] = ReferenceUnwrap(frame, width, height, ring, W, H, c, y);
  return target;
}

// Random pixels with random top bytes, which no output may carry.
inline std::vector<int> SeededFrame(int width, int height, unsigned long long seed) {
  Random random(seed);
  std::vector<int> frame((size_t)width * height);
  for (int& pixel : frame) pixel = (int)random();
  return frame;
}

#endif
