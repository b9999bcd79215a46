// The ring unwrap's double-precision samples, and the tables built from them for one geometry:
// per target pixel a source offset (nearest) or an offset and two fractions (bilinear).
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

static void BuildNearest(const RingKey* key) {
  const int width = key->targetWidth, height = key->targetHeight;
  const RingPlane bounds = {0, key->sourceWidth, key->sourceHeight, key->sourceStride};
  int* entry = ringTables.nearest;
  for (int y = 0; y < height; y++) {
    const double rho = ringTables.radii[y];
    for (int c = 0; c < width; c++) {
      const double nx = floor(key->x0 + rho * ringTables.cosines[c] + 0.5);
      const double ny = floor(key->y0 + rho * ringTables.sines[c] + 0.5);
      *entry++ = InsidePlane(&bounds, nx, ny) ? (int)ny * key->sourceStride + (int)nx : -1;
    }
  }
}

static void SetWeights(BlendEntry* entry, double w00, double w01, double w10, double w11) {
  const double weights[4] = {w00, w01, w10, w11};
  for (int i = 0; i < 4; i++) {
    const double scaled = floor(weights[i] * BlendScale + 0.5);
    const int units = scaled < BlendScale - 1 ? (int)scaled : BlendScale - 1;
    entry->high[i] = (short)(units >> 8);
    entry->low[i] = (unsigned char)(units & 255);
  }
}

// Points whose four neighbours are all inside get an entry; the others an entry that reads the
// first source pixel alone (always inside, never near a rounding tie), and a place
// in the edge list.
static void BuildBlend(const RingKey* key) {
  const int width = key->targetWidth, height = key->targetHeight;
  BlendEntry* entry = ringTables.blend;
  ringTables.edgeCount = 0;
  for (int y = 0; y < height; y++) {
    const double rho = ringTables.radii[y];
    for (int c = 0; c < width; c++, entry++) {
      const double x = key->x0 + rho * ringTables.cosines[c];
      const double v = key->y0 + rho * ringTables.sines[c];
      const double left = floor(x), top = floor(v);
      if (left >= 0 && left + 1 < key->sourceWidth && top >= 0 && top + 1 < key->sourceHeight) {
        const double fx = x - left, fy = v - top;
        entry->base = (int)top * key->sourceStride + (int)left;
        SetWeights(entry, (1 - fx) * (1 - fy), (1 - fx) * fy, fx * (1 - fy), fx * fy);
      } else {
        entry->base = 0;
        SetWeights(entry, 1, 0, 0, 0);
        ringTables.edges[ringTables.edgeCount++] = y * width + c;
      }
    }
  }
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
      (key->smooth ? Reserve((void**)&t.blend, &t.blendCapacity, count, sizeof(BlendEntry)) &&
                         Reserve((void**)&t.edges, &t.edgeCapacity, count, sizeof(int))
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
