// The ring unwrap on plain pixel planes, without windows: KRV_UnwrapRing's arithmetic, kept
// apart so that tests and the native benchmark call it directly. One thread at a time (the
// worker thread): the tables live in one static record.
// draw/ring_unwrap_tables.cpp builds the tables and holds the double-precision sample;
// draw/ring_unwrap_replay.cpp replays them.
#ifndef KORVEL_DRAW_RING_UNWRAP_H
#define KORVEL_DRAW_RING_UNWRAP_H

#include <stddef.h>

// width x height pixels of 0x00RRGGBB words, rows stride words apart, top row first.
struct RingPlane {
  int* pixels;
  int width, height, stride;
};

struct RingParams {
  int x0, y0, innerRadius, outerRadius;
  double angleOffset;
  int smooth;  // 0 nearest, anything else bilinear
};

// The sample point of column c, row y of a width x height target, in double precision and in
// this order of operations (the result every path reproduces exactly):
//   theta = angleOffset + RingTwoPi * (width - c) / width
//   rho = outerRadius - (double)(outerRadius - innerRadius) * y / (height - 1), or outerRadius
//         when height is 1
//   x = x0 + rho * cos(theta), y = y0 + rho * sin(theta)
const double RingTwoPi = 6.283185307179586;
double RingAngle(double angleOffset, int c, int width);
double RingRadius(int innerRadius, int outerRadius, int y, int height);

// One target pixel from the point (x, y) of source, in double precision. Nearest:
// (floor(x + 0.5), floor(y + 0.5)), black outside. Bilinear: fx = x - floor(x), fy likewise,
// each channel (1 - fy) ((1 - fx) p00 + fx p10) + fy ((1 - fx) p01 + fx p11) rounded by
// floor(v + 0.5), neighbours outside black. The top byte is 0; points that are not finite are
// outside.
int NearestSample(const RingPlane* source, double x, double y);
int BilinearSample(const RingPlane* source, double x, double y);

// Fills the whole target from source by the sample points above, reusing the tables of the
// last call when the planes' sizes and the geometry are the same. source and target must not
// overlap. The radii are taken as they come (the caller checks them).
void UnwrapRingPlanes(const RingPlane* source, const RingPlane* target,
                      const RingParams* ring);

// What the tables were built for; any difference rebuilds them.
struct RingKey {
  double angleOffset;  // first, so that the record has no padding: keys compare as bytes
  int x0, y0, innerRadius, outerRadius, smooth;
  int sourceWidth, sourceHeight, sourceStride;
  int targetWidth, targetHeight;
};

// A bilinear target pixel whose four neighbours all lie inside the source: the offset of the
// top left one and the four weights in units of 2^-23, W = floor(w 2^23 + 0.5) capped at
// 2^23 - 1, split as high = W >> 8 and low = W & 255, ordered top left, bottom left, top right,
// bottom right (the order of the blend's pairs).
enum { BlendScale = 1 << 23 };
struct BlendEntry {
  int base;
  unsigned char low[4];
  short high[4];
};

struct RingTables {
  int valid;  // 1 while key describes the tables
  RingKey key;
  int* nearest;       // per target pixel: the source offset, or -1 outside
  BlendEntry* blend;  // per target pixel; edge pixels hold a harmless entry, redone afterwards
  int* edges;         // y * width + c of the bilinear pixels with a neighbour outside the source
  int edgeCount;
  double *cosines, *sines, *radii;  // per column, per column, per row
  size_t nearestCapacity, blendCapacity, edgeCapacity, columnCapacity, sineCapacity, rowCapacity;
  int rebuilds;  // how often the tables were built, for tests and benchmarks
};
extern RingTables ringTables;

// Builds ringTables for key; false when memory is short (the caller then samples directly).
bool BuildRingTables(const RingKey* key);
// The exact sample of column c, row y through the tables' cosines and radii.
int ExactRingPixel(const RingPlane* source, int c, int y);

#endif
