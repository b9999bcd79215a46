// Ring-to-panorama unwrapping: ray end points, the Bresenham ray walk, the column writer and the
// three strip layouts, on plain pixel planes. Pure; any thread.
#include "app/unwrap.h"

#include <math.h>
#include <stddef.h>
#include <stdlib.h>

RingGeometry InitialRing(int frameWidth, int frameHeight) {
  RingGeometry geometry = {};
  geometry.X0 = frameWidth / 2;
  geometry.Y0 = frameHeight / 2;
  geometry.r = frameHeight * 2 / 5;
  geometry.columnCount = frameWidth;
  geometry.angleOffset = 0.0;
  geometry.frameWidth = frameWidth;
  geometry.frameHeight = frameHeight;
  return geometry;
}

const double TwoPi = 6.283185307179586;

double HalfStripStep(int frameWidth) {
  if (frameWidth == 640) return 0.004908738521234052;
  if (frameWidth == 320) return 0.009817477042468103;
  return frameWidth > 0 ? 3.141592653589793 / frameWidth : 0.0;
}

// Beyond this the samples would not fit, and a huge radius would stall every strip.
static int WithinRayReach(int r) {
  if (r > MaxRingRadius) return MaxRingRadius;
  if (r < -MaxRingRadius) return -MaxRingRadius;
  return r;
}

void RayEndPointAt(int X0, int Y0, int r, double cosTheta, double sinTheta, int* x1, int* y1) {
  // The cast truncates towards zero: -191.5 gives -191.
  *x1 = X0 + (int)((double)r * cosTheta + 0.5);
  *y1 = Y0 + (int)((double)r * sinTheta + 0.5);
}

void RayEndPoint(int X0, int Y0, int r, double theta, int* x1, int* y1) {
  RayEndPointAt(X0, Y0, r, cos(theta), sin(theta), x1, y1);
}

static inline int ReadPixel(const PixelPlane* plane, int x, int y) {
  if ((unsigned)x >= (unsigned)plane->width || (unsigned)y >= (unsigned)plane->height) return 0;
  return plane->pixels[(size_t)y * plane->stride + x];
}

int WalkRay(const PixelPlane* source, int X0, int Y0, int x1, int y1, int* samples) {
  long long dx = llabs((long long)x1 - X0), dy = llabs((long long)y1 - Y0);
  int sx = x1 >= X0 ? 1 : -1, sy = y1 >= Y0 ? 1 : -1;
  bool yMajor = dy > dx;  // equal spans walk along x
  long long major = yMajor ? dy : dx, minor = yMajor ? dx : dy;
  long long e = major - 2 * minor;
  samples[0] = ReadPixel(source, X0, Y0);
  int i = 0, x = X0, y = Y0;
  int* along = yMajor ? &y : &x;  // steps every time
  int* across = yMajor ? &x : &y;  // steps when e < 0
  const int alongStep = yMajor ? sy : sx, acrossStep = yMajor ? sx : sy;
  const int end = yMajor ? y1 : x1;
  while (*along != end && i < MaxRingRadius) {
    i++;
    *along += alongStep;
    if (e < 0) {
      *across += acrossStep;
      e += 2 * (major - minor);
    } else {
      e -= 2 * minor;
    }
    samples[i] = ReadPixel(source, x, y);
  }
  return i;
}

void WriteColumn(const PixelPlane* target, int c, int b, int r, const int* samples,
                 int rayLength) {
  r = WithinRayReach(r);
  if (rayLength < 0) rayLength = 0;
  if (rayLength > MaxRingRadius) rayLength = MaxRingRadius;
  if ((unsigned)c >= (unsigned)target->width) return;
  for (int k = 0; k < r; k++) {
    long long row = (long long)b - k;
    if (row < 0 || row >= target->height) continue;
    target->pixels[(size_t)row * target->stride + c] = samples[(k * rayLength) / r];
  }
}

int StripBottomRow(int layout, int r, int frameHeight) {
  if (layout == StripCentred) return r + (frameHeight - r) / 2;
  if (layout == StripHalves) return r + (frameHeight / 2 - r) / 2;
  return r;
}

static void UnwrapRay(const RingGeometry* ring, int r, double theta, const PixelPlane* source,
                      const PixelPlane* target, int c, int b, RayState* ray) {
  ray->currentAngle = theta;
  int x1, y1;
  RayEndPoint(ring->X0, ring->Y0, r, theta, &x1, &y1);
  ray->rayLength = WalkRay(source, ring->X0, ring->Y0, x1, y1, ray->raySamples);
  if (r > 0) WriteColumn(target, c, b, r, ray->raySamples, ray->rayLength);
}

// The first ray of every strip lands one column past the last and is clipped away; column 0
// keeps what it had.
void UnwrapStrip(const RingGeometry* ring, int layout, const PixelPlane* source,
                 const PixelPlane* target, RayState* ray) {
  const int r = WithinRayReach(ring->r);
  if (layout == StripHalves) {
    const int W = ring->frameWidth;
    const double step = HalfStripStep(W);
    const int b1 = StripBottomRow(StripHalves, r, ring->frameHeight);
    const int b2 = b1 + ring->frameHeight / 2;
    for (int j = 0; j < W; j++)
      UnwrapRay(ring, r, (j + W) * step + ring->angleOffset, source, target, W - j, b1, ray);
    for (int j = 0; j < W; j++)
      UnwrapRay(ring, r, j * step + ring->angleOffset, source, target, W - j, b2, ray);
    return;
  }
  const int n = ring->columnCount;
  const int b = StripBottomRow(layout, r, ring->frameHeight);
  for (int j = 0; j < n; j++)
    UnwrapRay(ring, r, j * (TwoPi / n) + ring->angleOffset, source, target, n - j, b, ray);
}
