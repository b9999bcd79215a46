// The strips of app/unwrap.h, replayed from a table. Which source pixel lands on which target
// pixel depends only on the ring, the layout and the planes' sizes, so a strip is kept as the
// source offsets of its pixels in the order of the target's rows and replayed while those stay
// the same. A ring seen for the first time is written by a walk of all its rays at once, row
// after row, and the table is built when the same ring comes a second time. The result, the
// target's pixels and the ray state alike, is what UnwrapStrip leaves. Pure, no windows; one
// thread at a time (rimview's worker thread).
// The mechanisms, one file each: app/strip_table.cpp (when to replay, build or walk; the
// replay), app/strip_rays.cpp (the rays of a strip and a ray in closed form),
// app/strip_row_walk.cpp (all rays walked together, row after row), app/strip_address_table.cpp
// (the table built by the plain walk over a plane of pixel addresses).
#ifndef KORVEL_APP_STRIP_TABLE_H
#define KORVEL_APP_STRIP_TABLE_H

#include "app/unwrap.h"

enum {
  StripTablePixels = 1280 * 960,  // the largest plane a table serves; larger ones take the walk
  StripTableRuns = 16 * 960,
  StripTableRays = 2 * 1280,
};

// What a table was built for; any difference rebuilds it.
struct StripKey {
  double angleOffset;  // first, so that the record has no padding: keys compare as bytes
  int X0, Y0, r, columnCount, frameWidth, frameHeight, layout;
  int sourceWidth, sourceHeight, sourceStride;
  int targetWidth, targetHeight, targetStride;
};

// count target pixels from target offset start on: read in turn from the table's next source
// offsets, or set to 0 (black, outside the source) when zero is 1.
struct StripRun {
  int start, count, zero;
};

struct StripTable {
  int valid;  // 1 while key describes the table
  StripKey key;
  int seen;  // 1 once seenKey holds the ring of the last pass that had no table
  StripKey seenKey;
  int runCount;
  StripRun runs[StripTableRuns];
  int offsetCount;
  int offsets[StripTablePixels];
  // Where raySamples ends: entry i is sample i of the last ray that reached i, as a source
  // offset + 1 (0 outside); tailLength is the longest ray's length.
  int tailLength;
  int tail[RaySampleCount];
  int rays;  // rays walked; without any the ray state stays as it was
  double lastAngle;
  int lastLength;
  int rebuilds;  // how often the table was built, for tests and benchmarks
};

// UnwrapStrip through table: replays it when the key still holds, rebuilds it first when not.
// Falls back to UnwrapStrip itself when the planes overlap or exceed the table.
void UnwrapStripCached(StripTable* table, const RingGeometry* ring, int layout,
                       const PixelPlane* source, const PixelPlane* target, RayState* ray);

// ---- Inside the strip table: what its mechanisms share ----

int StripRadius(int r);  // r as the walk takes it, within -MaxRingRadius..MaxRingRadius
StripKey KeyOf(const RingGeometry* ring, int layout, const PixelPlane* source,
               const PixelPlane* target);

// How many rays a strip walks (ray i writes column perStrip - i of its strip) and where the
// strips lie.
struct RayPlan {
  int count;      // rays
  int perStrip;   // rays of one strip (W for the halves, columnCount otherwise)
  int strips;     // 1, or 2 for the halves
  int bottom[2];  // bottom row of the first and second strip
  int lastColumn;  // the last target column written: columns 1..lastColumn
};
RayPlan PlanRays(const RingGeometry* ring, int layout, int r, const PixelPlane* target);
// The angle of ray i of the layout, as the walk computes it.
double StripRayAngle(const RingGeometry* ring, int layout, int i);
// Which strip writes target row y last (the second strip is written after the first), or -1.
int StripOfRow(const RayPlan& plan, int r, int y);

// A ray as the Bresenham walk of WalkRay takes it, in closed form: after i of its steps the walk
// has made (2 minor i + major - 1) / (2 major) steps along the minor axis, so any sample is
// found without walking to it.
struct RayShape {
  int length;                  // steps: the major span
  int minor;                   // the minor span
  unsigned long long inverse;  // ceil(2^40 / (2 major)), 0 for a ray without steps
  int majorX, majorY, minorX, minorY;  // unit steps along each axis
  int inside;                  // 1 when both ends, and so every point, lie in the source
};
// The shapes of every ray of the plan, in the walk's order, into shapes; *theta is the last
// ray's angle. False when a ray is cut short (longer than MaxRingRadius steps).
bool ShapeRays(const RingGeometry* ring, int layout, int r, const RayPlan& plan,
               const PixelPlane* source, RayShape* shapes, double* theta);
// raySamples as the walk leaves it: the last ray to reach each index wrote it last. Into
// samples go the pixels, or (addresses) their offsets + 1 as the table keeps them, every ray
// then lying inside the source. Returns the longest ray's length.
int WalkTail(const RingGeometry* ring, const RayPlan& plan, const RayShape* shapes,
             const PixelPlane* source, bool addresses, int* samples);

// All rays of a ring that lies inside the source walked together, row after row. Writes the
// strip into target, or (table not NULL) builds table's runs and offsets instead. False, with
// nothing written, when a ray leaves the source or the planes are beyond the walk.
bool WalkRows(const RingGeometry* ring, int layout, const PixelPlane* source,
              const PixelPlane* target, RayState* ray, StripTable* table);
// The table built by the plain walk itself over a plane of pixel addresses: any ring. False when
// the strip does not fit the table.
bool BuildByAddresses(StripTable* table, const RingGeometry* ring, int layout,
                      const PixelPlane* source, const PixelPlane* target);

#endif
