// Strips replayed from a table of source offsets in the order of the target's rows, built with
// the plain walk's own functions (RayEndPoint, WalkRay over a plane of pixel addresses) so that
// it cannot disagree with the walk; and, for a ring seen once, strips written row after row from
// cached ray columns. Pure; one thread at a time (the scratch tables are shared).
#include "app/strip_table.h"

#include <stdlib.h>
#include <string.h>

namespace {

// A plane whose pixel at (x, y) holds its own offset + 1, so that WalkRay over it yields the
// offsets a ray reads, with 0 for points outside the source.
int addressPixels[StripTablePixels];
PixelPlane addressPlane;

// The rays of the table being built, one after the other: ray j's samples from rayStart[j].
int raySteps[StripTableRays * RaySampleCount];
int rayStart[StripTableRays], rayLengths[StripTableRays];

int WithinReach(int r) {
  if (r > MaxRingRadius) return MaxRingRadius;
  if (r < -MaxRingRadius) return -MaxRingRadius;
  return r;
}

// Keys are compared byte for byte (KeyOf clears the padding): a NaN angle then matches itself,
// and its table is as good as any other, since it was built by the same arithmetic.
bool SameKey(const StripKey& a, const StripKey& b) { return memcmp(&a, &b, sizeof a) == 0; }

StripKey KeyOf(const RingGeometry* ring, int layout, const PixelPlane* source,
               const PixelPlane* target) {
  StripKey key;
  memset(&key, 0, sizeof key);
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

// How many rays a strip walks (ray i writes column perStrip - i of its strip) and where the
// strips lie.
struct RayPlan {
  int count;        // rays
  int perStrip;     // rays of one strip (W for the halves, columnCount otherwise)
  int bottom[2];    // bottom row of the first and second strip
};

double RayAngle(const RingGeometry* ring, int layout, int i) {
  if (layout == StripHalves) {
    const int W = ring->frameWidth;
    const double step = HalfStripStep(W);
    return i < W ? (i + W) * step + ring->angleOffset : (i - W) * step + ring->angleOffset;
  }
  return i * (TwoPi / ring->columnCount) + ring->angleOffset;
}

RayPlan PlanRays(const RingGeometry* ring, int layout, int r) {
  RayPlan plan;
  if (layout == StripHalves) {
    plan.perStrip = ring->frameWidth > 0 ? ring->frameWidth : 0;
    plan.count = 2 * plan.perStrip;
    plan.bottom[0] = StripBottomRow(StripHalves, r, ring->frameHeight);
    plan.bottom[1] = plan.bottom[0] + ring->frameHeight / 2;
  } else {
    plan.perStrip = ring->columnCount > 0 ? ring->columnCount : 0;
    plan.count = plan.perStrip;
    plan.bottom[0] = plan.bottom[1] = StripBottomRow(layout, r, ring->frameHeight);
  }
  return plan;
}

// Which strip writes target row y last (the second strip is written after the first), or -1.
int StripOfRow(const RayPlan& plan, int strips, int r, int y) {
  for (int s = strips - 1; s >= 0; s--)
    if (y <= plan.bottom[s] && y > plan.bottom[s] - r) return s;
  return -1;
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
  int lastColumn = plan.perStrip < target->width - 1 ? plan.perStrip : target->width - 1;
  StripRun* run = NULL;
  for (int c = 1; c <= lastColumn; c++) {
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
    theta = RayAngle(ring, layout, i);
    int x1, y1;
    RayEndPoint(ring->X0, ring->Y0, r, theta, &x1, &y1);
    rayStart[i] = next;
    rayLengths[i] = WalkRay(plane, ring->X0, ring->Y0, x1, y1, raySteps + next);
    next += rayLengths[i] + 1;
  }
  return theta;
}

bool Build(StripTable* table, const RingGeometry* ring, int layout, const PixelPlane* source,
           const PixelPlane* target) {
  table->valid = 0;
  table->rebuilds++;
  const int r = WithinReach(ring->r);
  RayPlan plan = PlanRays(ring, layout, r);
  if (plan.count > StripTableRays) return false;
  MakeAddressPlane(source);
  table->lastAngle = WalkAllRays(ring, layout, r, plan, &addressPlane);
  table->rays = plan.count;
  table->lastLength = plan.count > 0 ? rayLengths[plan.count - 1] : 0;
  table->tailLength = KeepTail(plan.count, table->tail);
  table->runCount = table->offsetCount = 0;
  int strips = layout == StripHalves ? 2 : 1;
  if (r > 0 && plan.count > 0) {
    for (int y = 0; y < target->height; y++) {
      int s = StripOfRow(plan, strips, r, y);
      if (s >= 0 && !AddRow(table, plan, s, plan.bottom[s] - y, r, y, target)) return false;
    }
  }
  table->key = KeyOf(ring, layout, source, target);
  table->valid = 1;
  return true;
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

// A ray as the Bresenham walk of WalkRay takes it, in closed form: after i of its steps the walk
// has made (2 minor i + major - 1) / (2 major) steps along the minor axis (checked against the
// walk for every span up to MaxRingRadius), so any sample is found without walking to it.
struct RayShape {
  int length;                    // steps: the major span
  int minor;                     // the minor span
  unsigned long long inverse;    // ceil(2^40 / (2 major)), 0 for a ray without steps
  int majorX, majorY, minorX, minorY;  // unit steps along each axis
  int inside;                    // 1 when both ends, and so every point, lie in the source
};

RayShape shapes[StripTableRays];

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

inline int SampleOf(const PixelPlane* source, int X0, int Y0, const RayShape& shape, int i) {
  int x, y;
  SamplePoint(shape, X0, Y0, i, &x, &y);
  if (!shape.inside &&
      ((unsigned)x >= (unsigned)source->width || (unsigned)y >= (unsigned)source->height))
    return 0;
  return source->pixels[(size_t)y * source->stride + x];
}

// raySamples as the walk leaves it: the last ray to reach each index wrote it last. Into
// samples go the pixels, or (addresses) their offsets + 1 as the table keeps them, every ray
// then lying inside the source. Returns the longest ray's length.
int WalkTail(const RingGeometry* ring, const RayPlan& plan, const PixelPlane* source,
             bool addresses, int* samples) {
  int longest = -1;
  for (int i = 0; i < plan.count; i++)
    if (shapes[i].length > longest) longest = shapes[i].length;
  int covered = -1;
  for (int i = plan.count - 1; i >= 0 && covered < longest; i--) {
    if (shapes[i].length <= covered) continue;
    for (int k = covered + 1; k <= shapes[i].length; k++) {
      if (!addresses) {
        samples[k] = SampleOf(source, ring->X0, ring->Y0, shapes[i], k);
        continue;
      }
      int x, y;
      SamplePoint(shapes[i], ring->X0, ring->Y0, k, &x, &y);
      samples[k] = y * source->stride + x + 1;
    }
    covered = shapes[i].length;
  }
  return longest;
}

// The columns of rays by their end point relative to the centre. A ray's samples, as offsets
// from the centre pixel, depend only on that end point, the radius and the source's stride, so
// they serve again whenever a later pass (a turned ring, a moved centre) ends a ray there.
// The pool holds a whole pass of the longest rays.
enum { ColumnSide = 2 * MaxRingRadius + 1, ColumnPool = 1 << 20, ColumnKeys = 1 << 16 };
static_assert(StripTableRays * MaxRingRadius <= ColumnPool, "a pass fits the pool");
int columnAt[ColumnSide * ColumnSide];  // 1 + start in columnPool, 0 when not made yet
int columnPool[ColumnPool];
int columnPoolUsed, columnRadius = -1, columnStride = -1;
int columnKeys[ColumnKeys];  // the indexes of columnAt in use, to forget them cheaply
int columnKeyCount;

// Room for the columns of rays more rays of radius r over stride: what was kept for another
// radius or stride, or what would not leave that room, is forgotten first, so that no column a
// pass is using is overwritten during it.
void MakeRoomForColumns(int r, int stride, int rays) {
  if (r == columnRadius && stride == columnStride &&
      columnPoolUsed + (long long)rays * r <= ColumnPool && columnKeyCount + rays <= ColumnKeys)
    return;
  for (int i = 0; i < columnKeyCount; i++) columnAt[columnKeys[i]] = 0;
  columnKeyCount = columnPoolUsed = 0;
  columnRadius = r;
  columnStride = stride;
}

// The r offsets a column of radius r takes from the ray ending at (dx, dy) from the centre. Row
// k reads sample i = k length / r, at minor step m = (2 minor i + length - 1) / (2 length); both
// quotients grow by at most one per row, so their remainders are carried instead of dividing.
const int* ColumnOf(const RayShape& shape, int dx, int dy, int r, int stride) {
  int key = (dy + MaxRingRadius) * ColumnSide + dx + MaxRingRadius;
  if (columnAt[key]) return columnPool + columnAt[key] - 1;
  int* column = columnPool + columnPoolUsed;
  const int majorStep = shape.majorY * stride + shape.majorX;
  const int minorStep = shape.minorY * stride + shape.minorX;
  const int length = shape.length, twiceLength = 2 * shape.length, twiceMinor = 2 * shape.minor;
  int offset = 0, sampleRest = 0, minorRest = length - 1;
  for (int k = 0; k < r; k++) {
    column[k] = offset;
    sampleRest += length;
    if (sampleRest >= r) {
      sampleRest -= r;
      offset += majorStep;
      minorRest += twiceMinor;
      if (minorRest >= twiceLength) {
        minorRest -= twiceLength;
        offset += minorStep;
      }
    }
  }
  columnAt[key] = columnPoolUsed + 1;
  columnKeys[columnKeyCount++] = key;
  columnPoolUsed += r;
  return column;
}

const int* rayColumns[StripTableRays];  // NULL for a ray that leaves the source

// Where UnwrapOnce writes: the source around the ring's centre and the target's strips.
struct StripWriter {
  const PixelPlane* source;
  const PixelPlane* target;
  int X0, Y0;
  const int* centre;  // the source pixel at (X0, Y0)
  unsigned long long inverse;  // of r, for NearestLower
  int lastColumn;
};

// Target row y at distance k from its strip's bottom row; ray first - c writes column c.
void WriteRow(const StripWriter& w, int y, int k, int first) {
  int* out = w.target->pixels + (size_t)y * w.target->stride;
  for (int c = 1; c <= w.lastColumn; c++) {
    const int* column = rayColumns[first - c];
    out[c] = column ? w.centre[column[k]]
                    : SampleOf(w.source, w.X0, w.Y0, shapes[first - c],
                               NearestLower((unsigned long long)k * shapes[first - c].length,
                                            w.inverse));
  }
}

// Sixteen rows of one strip, from y down, column by column: each column's sixteen offsets come
// from one cache line instead of from sixteen lines far apart. Every ray must have its column.
enum { Band = 16 };
void WriteBand(const StripWriter& w, int y, int k, int first) {
  int* out = w.target->pixels + (size_t)y * w.target->stride;
  const size_t stride = w.target->stride;
  for (int c = 1; c <= w.lastColumn; c++) {
    const int* column = rayColumns[first - c] + k - (Band - 1);
    for (int t = 0; t < Band; t++) out[t * stride + c] = w.centre[column[Band - 1 - t]];
  }
}

bool BandFits(const RayPlan& plan, int strips, int r, int y, int s, int first, int lastColumn,
              int height) {
  if (y + Band > height) return false;
  for (int t = 1; t < Band; t++)
    if (StripOfRow(plan, strips, r, y + t) != s) return false;
  for (int c = 1; c <= lastColumn; c++)
    if (!rayColumns[first - c]) return false;
  return true;
}

// Every ray's shape and, where it stays inside the source, its column; false when a ray is cut
// short. *theta is the last ray's angle.
bool ShapeAllRays(const RingGeometry* ring, int layout, int r, const RayPlan& plan,
                  const PixelPlane* source, double* theta) {
  const int X0 = ring->X0, Y0 = ring->Y0;
  if (r > 0) MakeRoomForColumns(r, source->stride, plan.count);
  for (int i = 0; i < plan.count; i++) {
    *theta = RayAngle(ring, layout, i);
    int x1, y1;
    RayEndPoint(X0, Y0, r, *theta, &x1, &y1);
    if (!ShapeRay(source, X0, Y0, x1, y1, &shapes[i])) return false;
    rayColumns[i] = shapes[i].inside && r > 0
                        ? ColumnOf(shapes[i], x1 - X0, y1 - Y0, r, source->stride)
                        : NULL;
  }
  return true;
}

// The table of a ring whose rays all stay inside the source, from their columns (mostly made
// already by the pass before): one run per row. False when a ray leaves the source.
bool BuildFromColumns(StripTable* table, const RingGeometry* ring, int layout,
                      const PixelPlane* source, const PixelPlane* target) {
  const int r = WithinReach(ring->r);
  RayPlan plan = PlanRays(ring, layout, r);
  if (r <= 0 || plan.count == 0 || plan.count > StripTableRays) return false;
  double theta = 0.0;
  if (!ShapeAllRays(ring, layout, r, plan, source, &theta)) return false;
  for (int i = 0; i < plan.count; i++)
    if (!rayColumns[i]) return false;
  table->valid = 0;
  table->rebuilds++;
  table->rays = plan.count;
  table->lastAngle = theta;
  table->lastLength = shapes[plan.count - 1].length;
  table->tailLength = WalkTail(ring, plan, source, true, table->tail);
  table->runCount = table->offsetCount = 0;
  const int centre = ring->Y0 * source->stride + ring->X0;
  const int lastColumn = plan.perStrip < target->width - 1 ? plan.perStrip : target->width - 1;
  const int strips = layout == StripHalves ? 2 : 1;
  for (int y = 0; y < target->height && lastColumn >= 1; y++) {
    int s = StripOfRow(plan, strips, r, y);
    if (s < 0) continue;
    const int k = plan.bottom[s] - y, first = s * plan.perStrip + plan.perStrip;
    StripRun& run = table->runs[table->runCount++];
    run.start = y * target->stride + 1;
    run.count = lastColumn;
    run.zero = 0;
    int* offsets = table->offsets + table->offsetCount;
    for (int c = 1; c <= lastColumn; c++) offsets[c - 1] = centre + rayColumns[first - c][k];
    table->offsetCount += lastColumn;
  }
  table->key = KeyOf(ring, layout, source, target);
  table->valid = 1;
  return true;
}

// A ring seen for the first time: the strip is written row after row from the columns of its
// rays' end points, which costs less than building a table that may never be used again.
bool UnwrapOnce(const RingGeometry* ring, int layout, const PixelPlane* source,
                const PixelPlane* target, RayState* ray) {
  const int r = WithinReach(ring->r);
  RayPlan plan = PlanRays(ring, layout, r);
  if (plan.count > StripTableRays) return false;
  const int X0 = ring->X0, Y0 = ring->Y0;
  double theta = 0.0;
  if (!ShapeAllRays(ring, layout, r, plan, source, &theta)) return false;
  if (plan.count == 0) return true;
  WalkTail(ring, plan, source, false, ray->raySamples);
  ray->currentAngle = theta;
  ray->rayLength = shapes[plan.count - 1].length;
  if (r <= 0) return true;
  StripWriter w;
  w.source = source;
  w.target = target;
  w.X0 = X0;
  w.Y0 = Y0;
  w.centre = source->pixels + (size_t)Y0 * source->stride + X0;
  w.inverse = ((1ULL << 40) + r - 1) / r;
  w.lastColumn = plan.perStrip < target->width - 1 ? plan.perStrip : target->width - 1;
  const int strips = layout == StripHalves ? 2 : 1;
  for (int y = 0; y < target->height; y++) {
    int s = StripOfRow(plan, strips, r, y);
    if (s < 0) continue;
    const int first = s * plan.perStrip + plan.perStrip;  // the ray of column c is first - c
    if (BandFits(plan, strips, r, y, s, first, w.lastColumn, target->height)) {
      WriteBand(w, y, plan.bottom[s] - y, first);
      y += Band - 1;
    } else {
      WriteRow(w, y, plan.bottom[s] - y, first);
    }
  }
  return true;
}

}  // namespace

void UnwrapStripCached(StripTable* table, const RingGeometry* ring, int layout,
                       const PixelPlane* source, const PixelPlane* target, RayState* ray) {
  bool usable = PlaneFits(source) && PlaneFits(target) && !PlanesOverlap(source, target);
  StripKey key = KeyOf(ring, layout, source, target);
  if (usable && !(table->valid && SameKey(table->key, key))) {
    // The table is built on the second pass with the same ring, so a ring that changes on every
    // pass (the scheduled rotation) never pays for one.
    if (!(table->seen && SameKey(table->seenKey, key))) {
      table->seen = 1;
      table->seenKey = key;
      if (UnwrapOnce(ring, layout, source, target, ray)) return;
    }
    usable = BuildFromColumns(table, ring, layout, source, target) ||
             Build(table, ring, layout, source, target);
  }
  if (!usable) {
    table->valid = 0;
    UnwrapStrip(ring, layout, source, target, ray);
    return;
  }
  Replay(table, source, target, ray);
}
