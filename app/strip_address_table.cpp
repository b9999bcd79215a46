// The strip table built by the plain walk's own functions (RayEndPoint, WalkRay) over a plane of
// pixel addresses, so that it cannot disagree with the walk: any ring, rays leaving the source
// included. Pure; one thread at a time (the scratch tables are shared).
#include <stddef.h>

#include "app/strip_table.h"

namespace {

// A plane whose pixel at (x, y) holds its own offset + 1, so that WalkRay over it yields the
// offsets a ray reads, with 0 for points outside the source.
int addressPixels[StripTablePixels];
PixelPlane addressPlane;

// The rays of the table being built, one after the other: ray j's samples from rayStart[j].
int raySteps[StripTableRays * RaySampleCount];
int rayStart[StripTableRays], rayLengths[StripTableRays];

void MakeAddressPlane(const PixelPlane* source) {
  if (addressPlane.width == source->width && addressPlane.height == source->height &&
      addressPlane.stride == source->stride)
    return;
  int count = source->stride * source->height;
  for (int i = 0; i < count; i++) addressPixels[i] = i + 1;
  addressPlane.pixels = addressPixels;
  addressPlane.width = source->width;
  addressPlane.height = source->height;
  addressPlane.stride = source->stride;
}

// (k * length) / r for k * length below 2^18 and 0 < r < 2^9: with m = ceil(2^40 / r) the
// product's error stays below one r-th, so the quotient is exact.
inline int NearestLower(unsigned long long product, unsigned long long inverse) {
  return (int)((product * inverse) >> 40);
}

// One target row: the pixels of strip s at distance k from its bottom row, columns ascending.
bool AddRow(StripTable* table, const RayPlan& plan, int s, int k, int r, int y,
            const PixelPlane* target) {
  const unsigned long long inverse = ((1ULL << 40) + r - 1) / r;
  StripRun* run = NULL;
  for (int c = 1; c <= plan.lastColumn; c++) {
    int ray = s * plan.perStrip + plan.perStrip - c;
    int sample = NearestLower((unsigned long long)k * rayLengths[ray], inverse);
    int address = raySteps[rayStart[ray] + sample];
    int zero = address == 0;
    if (!run || run->zero != zero) {
      if (table->runCount == StripTableRuns) return false;
      run = &table->runs[table->runCount++];
      run->start = y * target->stride + c;
      run->count = 0;
      run->zero = zero;
    }
    run->count++;
    if (!zero) table->offsets[table->offsetCount++] = address - 1;
  }
  return true;
}

// The last ray to reach each sample index leaves it in raySamples: what the walks left there,
// from the last ray backwards, into samples. Returns the longest ray's length.
int KeepTail(int rays, int* samples) {
  int covered = -1;
  for (int i = rays - 1; i >= 0; i--) {
    for (int k = covered + 1; k <= rayLengths[i]; k++) samples[k] = raySteps[rayStart[i] + k];
    if (rayLengths[i] > covered) covered = rayLengths[i];
  }
  return covered;
}

// Every ray of the plan walked over plane, in the walk's order; the angle of the last one.
double WalkAllRays(const RingGeometry* ring, int layout, int r, const RayPlan& plan,
                   const PixelPlane* plane) {
  double theta = 0.0;
  int next = 0;
  for (int i = 0; i < plan.count; i++) {
    theta = StripRayAngle(ring, layout, i);
    int x1, y1;
    RayEndPoint(ring->X0, ring->Y0, r, theta, &x1, &y1);
    rayStart[i] = next;
    rayLengths[i] = WalkRay(plane, ring->X0, ring->Y0, x1, y1, raySteps + next);
    next += rayLengths[i] + 1;
  }
  return theta;
}

}  // namespace

bool BuildByAddresses(StripTable* table, const RingGeometry* ring, int layout,
                      const PixelPlane* source, const PixelPlane* target) {
  table->valid = 0;
  table->rebuilds++;
  const int r = StripRadius(ring->r);
  RayPlan plan = PlanRays(ring, layout, r, target);
  if (plan.count > StripTableRays) return false;
  MakeAddressPlane(source);
  table->lastAngle = WalkAllRays(ring, layout, r, plan, &addressPlane);
  table->rays = plan.count;
  table->lastLength = plan.count > 0 ? rayLengths[plan.count - 1] : 0;
  table->tailLength = KeepTail(plan.count, table->tail);
  table->runCount = table->offsetCount = 0;
  if (r > 0 && plan.count > 0) {
    for (int y = 0; y < target->height; y++) {
      int s = StripOfRow(plan, r, y);
      if (s >= 0 && !AddRow(table, plan, s, plan.bottom[s] - y, r, y, target)) return false;
    }
  }
  table->key = KeyOf(ring, layout, source, target);
  table->valid = 1;
  return true;
}
