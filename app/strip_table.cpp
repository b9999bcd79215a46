// When a strip is replayed from the table, when the table is built and when a ring is walked
// once instead, and the replay itself. Pure; one thread at a time.
#include "app/strip_table.h"

#include <string.h>

namespace {

// Keys are compared byte for byte (KeyOf clears the padding): a NaN angle then matches itself,
// and its table is as good as any other, since it was built by the same arithmetic.
bool SameKey(const StripKey& a, const StripKey& b) { return memcmp(&a, &b, sizeof a) == 0; }

bool PlaneFits(const PixelPlane* plane) {
  return plane->pixels && plane->width > 0 && plane->height > 0 &&
         plane->stride >= plane->width &&
         (long long)plane->stride * plane->height <= StripTablePixels;
}

bool PlanesOverlap(const PixelPlane* a, const PixelPlane* b) {
  const int* aEnd = a->pixels + (size_t)a->stride * a->height;
  const int* bEnd = b->pixels + (size_t)b->stride * b->height;
  return a->pixels < bEnd && b->pixels < aEnd;
}

void Replay(const StripTable* table, const PixelPlane* source, const PixelPlane* target,
            RayState* ray) {
  const int* from = source->pixels;
  int* to = target->pixels;
  const int* offset = table->offsets;
  for (int i = 0; i < table->runCount; i++) {
    const StripRun& run = table->runs[i];
    int* out = to + run.start;
    if (run.zero) {
      memset(out, 0, (size_t)run.count * sizeof *out);
      continue;
    }
    for (int k = 0; k < run.count; k++) out[k] = from[offset[k]];
    offset += run.count;
  }
  if (table->rays == 0) return;
  for (int i = 0; i <= table->tailLength; i++)
    ray->raySamples[i] = table->tail[i] ? from[table->tail[i] - 1] : 0;
  ray->currentAngle = table->lastAngle;
  ray->rayLength = table->lastLength;
}

}  // namespace

void UnwrapStripCached(StripTable* table, const RingGeometry* ring, int layout,
                       const PixelPlane* source, const PixelPlane* target, RayState* ray) {
  if (!PlaneFits(source) || !PlaneFits(target) || PlanesOverlap(source, target)) {
    table->valid = 0;
    UnwrapStrip(ring, layout, source, target, ray);
    return;
  }
  StripKey key = KeyOf(ring, layout, source, target);
  if (!(table->valid && SameKey(table->key, key))) {
    // The table is built on the second pass with the same ring, so a ring that changes on every
    // pass (the scheduled rotation, a button held) never pays for one: it is walked row by row,
    // or ray by ray when its rays leave the source.
    if (!(table->seen && SameKey(table->seenKey, key))) {
      table->seen = 1;
      table->seenKey = key;
      if (!WalkRows(ring, layout, source, target, ray, NULL))
        UnwrapStrip(ring, layout, source, target, ray);
      return;
    }
    if (!WalkRows(ring, layout, source, target, ray, table) &&
        !BuildByAddresses(table, ring, layout, source, target)) {
      table->valid = 0;
      UnwrapStrip(ring, layout, source, target, ray);
      return;
    }
  }
  Replay(table, source, target, ray);
}
