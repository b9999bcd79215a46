// The strips of app/unwrap.h, replayed from a table. Which source pixel lands on which target
// pixel depends only on the ring, the layout and the planes' sizes, so a strip is kept as the
// source offsets of its pixels in the order of the target's rows and replayed while those stay
// the same. A ring seen for the first time is written from cached ray columns instead, and the
// table is built (with the plain walk's own arithmetic) when the same ring comes a second time.
// The result, the target's pixels and the ray state alike, is what UnwrapStrip leaves. Pure, no
// windows; one thread at a time (rimview's worker thread).
#ifndef KORVEL_APP_STRIP_TABLE_H
#define KORVEL_APP_STRIP_TABLE_H

#include "app/unwrap.h"

enum {
  StripTablePixels = 640 * 480,  // the largest plane a table serves; larger ones take the walk
  StripTableRuns = 16 * 480,
  StripTableRays = 2 * 640,
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

#endif
