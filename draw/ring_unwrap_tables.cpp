// The ring unwrap's double-precision samples, and the tables built from them for one geometry:
// per target pixel a source offset (nearest) or an offset and four weights (bilinear).
// Worker thread.
#include <math.h>
#include <stdlib.h>

#include "draw/ring_unwrap.h"

RingTables ringTables;

double RingAngle(double angleOffset, int c, int width) {
  return angleOffset + RingTwoPi * (width - c) / width;
}

double RingRadius(int innerRadius, int outerRadius, int y, int height) {
  if (height == 1) return outerRadius;
  return outerRadius - (double)(outerRadius - innerRadius) * y / (height - 1);
}

// Whole coordinates as doubles; the comparisons also keep NaN and infinities out.
static bool InsidePlane(const RingPlane* plane, double x, double y) {
  return x >= 0 && x < plane->width && y >= 0 && y < plane->height;
}

static int PixelAt(const RingPlane* plane, double x, double y) {
  if (!InsidePlane(plane, x, y)) return 0;
  return plane->pixels[(size_t)y * plane->stride + (size_t)x];
}

int NearestSample(const RingPlane* source, double x, double y) {
  return PixelAt(source, floor(x + 0.5), floor(y + 0.5)) & 0xFFFFFF;
}

int BilinearSample(const RingPlane* source, double x, double y) {
  const double left = floor(x), top = floor(y);
  if (!(left >= -1 && left < source->width && top >= -1 && top < source->height)) return 0;
  const double fx = x - left, fy = y - top;
  const int p00 = PixelAt(source, left, top), p10 = PixelAt(source, left + 1, top);
  const int p01 = PixelAt(source, left, top + 1), p11 = PixelAt(source, left + 1, top + 1);
  int result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double v = (1 - fy) * ((1 - fx) * ((p00 >> shift) & 255) + fx * ((p10 >> shift) & 255)) +
                     fy * ((1 - fx) * ((p01 >> shift) & 255) + fx * ((p11 >> shift) & 255));
    result |= (int)floor(v + 0.5) << shift;
  }
  return result;
}

int ExactRingPixel(const RingPlane* source, int c, int y) {
  const RingKey& key = ringTables.key;
  const double rho = ringTables.radii[y];
  const double x = key.x0 + rho * ringTables.cosines[c], v = key.y0 + rho * ringTables.sines[c];
  return key.smooth ? BilinearSample(source, x, v) : NearestSample(source, x, v);
}

// Grows *buffer to hold count items of size bytes; its old content is not kept.
static bool Reserve(void** buffer, size_t* capacity, size_t count, size_t size) {
  if (*capacity >= count) return true;
  free(*buffer);
  *capacity = 0;
  *buffer = count <= (size_t)-1 / size ? malloc(count * size) : NULL;
  if (!*buffer) return false;
  *capacity = count;
  return true;
}

// floor for the tables, where it runs for every target pixel: the library's is a call (and a
// slow one in some runtimes). Through a 64-bit integer where that holds the value exactly.
static inline double Floor(double v) {
  const double limit = 4503599627370496.0;  // 2^52: beyond it every double is whole
  if (!(v > -limit && v < limit)) return floor(v);  // also NaN
  const double whole = (double)(long long)v;
  return whole > v ? whole - 1 : whole;
}

// visit(entry index, c, y, x, y of the sample point) for every target pixel in block order.
template <class Visit>
static void ForEachSample(const RingKey* key, Visit visit) {
  const int width = key->targetWidth;
  int index = 0;
  for (int first = 0; first < width; first += RingBlockColumns) {
    for (int y = 0; y < key->targetHeight; y++) {
      const double rho = ringTables.radii[y];
      for (int c = first; c < BlockEnd(first, width); c++)
        visit(index++, c, y, key->x0 + rho * ringTables.cosines[c],
              key->y0 + rho * ringTables.sines[c]);
    }
  }
}

static void BuildNearest(const RingKey* key) {
  const RingPlane bounds = {0, key->sourceWidth, key->sourceHeight, key->sourceStride};
  RingTables& t = ringTables;
  t.edgeCount = 0;
  ForEachSample(key, [&](int index, int c, int y, double x, double v) {
    const double nx = Floor(x + 0.5), ny = Floor(v + 0.5);
    if (InsidePlane(&bounds, nx, ny)) {
      t.nearest[index] = (int)ny * key->sourceStride + (int)nx;
    } else {
      t.nearest[index] = 0;
      t.edges[t.edgeCount++] = y * key->targetWidth + c;
    }
  });
}

static void SetWeights(BlendEntry* entry, double w00, double w01, double w10, double w11) {
  const double weights[4] = {w00, w01, w10, w11};
  for (int i = 0; i < 4; i++) {
    const int scaled = (int)(weights[i] * BlendScale + 0.5);  // weights are 0..1
    const int units = scaled < BlendScale - 1 ? scaled : BlendScale - 1;
    entry->high[i] = (short)(units >> 8);
    entry->low[i] = (unsigned char)(units & 255);
  }
}

// Points whose four neighbours are all inside get an entry; the others an entry that reads the
// first source pixels alone (never near a rounding tie) and a place in the edge list.
static void BuildBlend(const RingKey* key) {
  RingTables& t = ringTables;
  t.edgeCount = 0;
  ForEachSample(key, [&](int index, int c, int y, double x, double v) {
    BlendEntry* entry = &t.blend[index];
    const double left = Floor(x), top = Floor(v);
    if (left >= 0 && left + 1 < key->sourceWidth && top >= 0 && top + 1 < key->sourceHeight) {
      const double fx = x - left, fy = v - top;
      entry->base = (int)top * key->sourceStride + (int)left;
      SetWeights(entry, (1 - fx) * (1 - fy), (1 - fx) * fy, fx * (1 - fy), fx * fy);
    } else {
      entry->base = 0;
      SetWeights(entry, 1, 0, 0, 0);
      t.edges[t.edgeCount++] = y * key->targetWidth + c;
    }
  });
}

bool BuildRingTables(const RingKey* key) {
  RingTables& t = ringTables;
  t.valid = 0;
  const int width = key->targetWidth, height = key->targetHeight;
  const size_t count = (size_t)width * height;
  const bool reserved =
      Reserve((void**)&t.cosines, &t.columnCapacity, width, sizeof(double)) &&
      Reserve((void**)&t.sines, &t.sineCapacity, width, sizeof(double)) &&
      Reserve((void**)&t.radii, &t.rowCapacity, height, sizeof(double)) &&
      Reserve((void**)&t.edges, &t.edgeCapacity, count, sizeof(int)) &&
      (key->smooth ? Reserve((void**)&t.blend, &t.blendCapacity, count, sizeof(BlendEntry))
                   : Reserve((void**)&t.nearest, &t.nearestCapacity, count, sizeof(int)));
  if (!reserved) return false;
  t.key = *key;
  for (int c = 0; c < width; c++) {
    const double theta = RingAngle(key->angleOffset, c, width);
    t.cosines[c] = cos(theta);
    t.sines[c] = sin(theta);
  }
  for (int y = 0; y < height; y++)
    t.radii[y] = RingRadius(key->innerRadius, key->outerRadius, y, height);
  if (key->smooth)
    BuildBlend(key);
  else
    BuildNearest(key);
  t.valid = 1;
  t.rebuilds++;
  return true;
}
