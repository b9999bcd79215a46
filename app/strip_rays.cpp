// The rays of a strip as the plain walk takes them (their angles, end points and order, where
// the strips lie) and a ray in closed form, for the strip table's mechanisms. The angles' cosines
// and sines are kept while the angles stay, so a ring that only grows or moves computes none.
// Pure; one thread at a time (the scratch tables are shared).
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "app/strip_table.h"

int StripRadius(int r) {
  if (r > MaxRingRadius) return MaxRingRadius;
  if (r < -MaxRingRadius) return -MaxRingRadius;
  return r;
}

StripKey KeyOf(const RingGeometry* ring, int layout, const PixelPlane* source,
               const PixelPlane* target) {
  StripKey key;
  memset(&key, 0, sizeof key);  // keys compare as bytes, padding included
  key.X0 = ring->X0;
  key.Y0 = ring->Y0;
  key.r = ring->r;
  key.columnCount = ring->columnCount;
  key.frameWidth = ring->frameWidth;
  key.frameHeight = ring->frameHeight;
  key.layout = layout;
  key.angleOffset = ring->angleOffset;
  key.sourceWidth = source->width;
  key.sourceHeight = source->height;
  key.sourceStride = source->stride;
  key.targetWidth = target->width;
  key.targetHeight = target->height;
  key.targetStride = target->stride;
  return key;
}

RayPlan PlanRays(const RingGeometry* ring, int layout, int r, const PixelPlane* target) {
  RayPlan plan;
  if (layout == StripHalves) {
    plan.perStrip = ring->frameWidth > 0 ? ring->frameWidth : 0;
    plan.count = 2 * plan.perStrip;
    plan.strips = 2;
    plan.bottom[0] = StripBottomRow(StripHalves, r, ring->frameHeight);
    plan.bottom[1] = plan.bottom[0] + ring->frameHeight / 2;
  } else {
    plan.perStrip = ring->columnCount > 0 ? ring->columnCount : 0;
    plan.count = plan.perStrip;
    plan.strips = 1;
    plan.bottom[0] = plan.bottom[1] = StripBottomRow(layout, r, ring->frameHeight);
  }
  plan.lastColumn = plan.perStrip < target->width - 1 ? plan.perStrip : target->width - 1;
  return plan;
}

int StripOfRow(const RayPlan& plan, int r, int y) {
  for (int s = plan.strips - 1; s >= 0; s--)
    if (y <= plan.bottom[s] && y > plan.bottom[s] - r) return s;
  return -1;
}

double StripRayAngle(const RingGeometry* ring, int layout, int i) {
  if (layout == StripHalves) {
    const int W = ring->frameWidth;
    const double step = HalfStripStep(W);
    return i < W ? (i + W) * step + ring->angleOffset : (i - W) * step + ring->angleOffset;
  }
  return i * (TwoPi / ring->columnCount) + ring->angleOffset;
}

namespace {

// The angles of the last strip shaped, with their cosines and sines.
struct AngleKey {
  double angleOffset;
  int layout, columnCount, frameWidth, count;
};
AngleKey anglesFor;
int anglesKnown;
double angles[StripTableRays], cosines[StripTableRays], sines[StripTableRays];

void KnowAngles(const RingGeometry* ring, int layout, int count) {
  AngleKey key;
  memset(&key, 0, sizeof key);
  key.angleOffset = ring->angleOffset;
  key.layout = layout;
  key.columnCount = ring->columnCount;
  key.frameWidth = ring->frameWidth;
  key.count = count;
  if (anglesKnown && memcmp(&key, &anglesFor, sizeof key) == 0) return;
  for (int i = 0; i < count; i++) {
    angles[i] = StripRayAngle(ring, layout, i);
    cosines[i] = cos(angles[i]);
    sines[i] = sin(angles[i]);
  }
  anglesFor = key;
  anglesKnown = 1;
}

bool ShapeRay(const PixelPlane* source, int X0, int Y0, int x1, int y1, RayShape* shape) {
  long long dx = llabs((long long)x1 - X0), dy = llabs((long long)y1 - Y0);
  int sx = x1 >= X0 ? 1 : -1, sy = y1 >= Y0 ? 1 : -1;
  bool yMajor = dy > dx;
  long long major = yMajor ? dy : dx, minor = yMajor ? dx : dy;
  if (major > MaxRingRadius) return false;  // a walk cut short: only WalkRay itself knows it
  shape->length = (int)major;
  shape->minor = (int)minor;
  shape->inverse = major ? ((1ULL << 40) + 2 * major - 1) / (2 * major) : 0;
  shape->majorX = yMajor ? 0 : sx;
  shape->majorY = yMajor ? sy : 0;
  shape->minorX = yMajor ? sx : 0;
  shape->minorY = yMajor ? 0 : sy;
  shape->inside = (unsigned)X0 < (unsigned)source->width && (unsigned)Y0 < (unsigned)source->height &&
                  (unsigned)x1 < (unsigned)source->width && (unsigned)y1 < (unsigned)source->height;
  return true;
}

// The point of sample i of a ray from (X0, Y0).
inline void SamplePoint(const RayShape& shape, int X0, int Y0, int i, int* x, int* y) {
  int m = (int)(((unsigned long long)(2 * shape.minor * i + shape.length - 1) * shape.inverse) >> 40);
  *x = X0 + shape.majorX * i + shape.minorX * m;
  *y = Y0 + shape.majorY * i + shape.minorY * m;
}

}  // namespace

bool ShapeRays(const RingGeometry* ring, int layout, int r, const RayPlan& plan,
               const PixelPlane* source, RayShape* shapes, double* theta) {
  if (plan.count > StripTableRays) return false;
  KnowAngles(ring, layout, plan.count);
  for (int i = 0; i < plan.count; i++) {
    int x1, y1;
    RayEndPointAt(ring->X0, ring->Y0, r, cosines[i], sines[i], &x1, &y1);
    if (!ShapeRay(source, ring->X0, ring->Y0, x1, y1, &shapes[i])) return false;
  }
  if (plan.count > 0) *theta = angles[plan.count - 1];
  return true;
}

int WalkTail(const RingGeometry* ring, const RayPlan& plan, const RayShape* shapes,
             const PixelPlane* source, bool addresses, int* samples) {
  int longest = -1;
  for (int i = 0; i < plan.count; i++)
    if (shapes[i].length > longest) longest = shapes[i].length;
  int covered = -1;
  for (int i = plan.count - 1; i >= 0 && covered < longest; i--) {
    if (shapes[i].length <= covered) continue;
    for (int k = covered + 1; k <= shapes[i].length; k++) {
      int x, y;
      SamplePoint(shapes[i], ring->X0, ring->Y0, k, &x, &y);
      bool outside = (unsigned)x >= (unsigned)source->width || (unsigned)y >= (unsigned)source->height;
      if (addresses)
        samples[k] = outside ? 0 : y * source->stride + x + 1;
      else
        samples[k] = outside ? 0 : source->pixels[(size_t)y * source->stride + x];
    }
    covered = shapes[i].length;
  }
  return longest;
}
