// The ring search: the surround's level from the picture's frame, a rough disc from the moments
// of the bright blocks, then rays from the centre, each giving where the picture last falls to
// the surround going outwards (and where the blind spot ends), and a circle fit that ignores the
// rays that disagree, repeated from the fitted centre. Pure, any thread.
#include "draw/ring_search.h"

#include <math.h>
#include <string.h>

#include <algorithm>

namespace {

enum {
  RayCount = 360,
  BlockSize = 4,
  SmallestSide = 16,
  // The least step between disc and surround that is sure to be found; the thresholds sit at
  // half of it above the surround.
  LeastContrast = 40,
  // Samples either side of an edge that give its two levels: clear of the 3 x 3 smoothing and
  // of the threshold crossing's offset from the edge.
  LevelNear = 3,
  LevelFar = 4,
  MaxPasses = 4,
};
const double FitTolerance = 2.0, SettledMove = 0.05;
const double Pi = 3.14159265358979323846;

// The picture as the search sees it: grey levels summed over 3 x 3 neighbourhoods (which takes
// the noise down threefold without moving a symmetric edge), and summed over 4 x 4 blocks.
struct Planes {
  int width, height, blockWidth, blockHeight;
  unsigned short* smooth;
  int* blocks;
};

struct Rays {
  double cosines[RayCount], sines[RayCount];
  double xs[RayCount], ys[RayCount], radii[RayCount];
  unsigned char inlier[RayCount];
  float* levels;
};

// The scratch memory's parts, in this order: the rays, then the levels along one ray (no ray is
// longer than width + height), the blocks, the smoothed plane and two rows of greys.
size_t LevelsBytes(int width, int height) { return ((size_t)width + height + 2) * sizeof(float); }
size_t BlocksBytes(int width, int height) {
  return (size_t)(width / BlockSize) * (height / BlockSize) * sizeof(int);
}

inline int Grey(unsigned pixel) {
  return (77 * ((pixel >> 16) & 255) + 150 * ((pixel >> 8) & 255) + 29 * (pixel & 255) + 128) >> 8;
}

void MakePlanes(const void* pixels, int width, int height, int stride, char* memory,
                Planes* planes) {
  planes->width = width;
  planes->height = height;
  planes->blockWidth = width / BlockSize;
  planes->blockHeight = height / BlockSize;
  const size_t area = (size_t)width * height;
  planes->blocks = (int*)memory;
  memset(planes->blocks, 0, BlocksBytes(width, height));
  planes->smooth = (unsigned short*)(memory + BlocksBytes(width, height));
  unsigned short* grey = planes->smooth + area;
  unsigned short* above = grey + width;
  // Horizontal sums of three, then vertical ones in place, the row above kept aside; the
  // picture's edge pixels stand in for their missing neighbours.
  for (int y = 0; y < height; y++) {
    const unsigned* row = (const unsigned*)((const char*)pixels + (size_t)y * stride);
    for (int x = 0; x < width; x++) grey[x] = (unsigned short)Grey(row[x]);
    unsigned short* out = planes->smooth + (size_t)y * width;
    for (int x = 0; x < width; x++)
      out[x] =
          (unsigned short)(grey[x > 0 ? x - 1 : 0] + grey[x] + grey[x + 1 < width ? x + 1 : x]);
    if (y / BlockSize < planes->blockHeight) {
      int* blocks = planes->blocks + (size_t)(y / BlockSize) * planes->blockWidth;
      for (int x = 0; x < planes->blockWidth * BlockSize; x++) blocks[x / BlockSize] += grey[x];
    }
  }
  for (int x = 0; x < width; x++) above[x] = planes->smooth[x];
  for (int y = 0; y < height; y++) {
    unsigned short* row = planes->smooth + (size_t)y * width;
    const unsigned short* below = y + 1 < height ? row + width : row;
    for (int x = 0; x < width; x++) {
      const unsigned short here = row[x];
      row[x] = (unsigned short)(above[x] + here + below[x]);
      above[x] = here;
    }
  }
}

// The smoothed grey level at (x, y), bilinear; (x, y) within the picture.
inline double Level(const Planes& planes, double x, double y) {
  int ix = (int)x, iy = (int)y;
  if (ix > planes.width - 2) ix = planes.width - 2;
  if (iy > planes.height - 2) iy = planes.height - 2;
  const double fx = x - ix, fy = y - iy;
  const unsigned short* top = planes.smooth + (size_t)iy * planes.width + ix;
  const unsigned short* bottom = top + planes.width;
  return ((top[0] + (top[1] - top[0]) * fx) * (1 - fy) +
          (bottom[0] + (bottom[1] - bottom[0]) * fx) * fy) /
         9.0;
}

inline bool Inside(const Planes& planes, double x, double y) {
  return x >= 0 && y >= 0 && x <= planes.width - 1 && y <= planes.height - 1;
}

// The median smoothed level round the picture's frame: the surround, as long as the disc covers
// less than half of the frame (its radius is at most half the height).
double SurroundLevel(const Planes& planes) {
  enum { Levels = 9 * 255 + 1 };
  static_assert(Levels < 65536, "sums of nine greys fit the smoothed plane");
  int counts[Levels] = {};
  const int w = planes.width, h = planes.height;
  int total = 0;
  for (int x = 0; x < w; x++, total += 2) {
    counts[planes.smooth[x]]++;
    counts[planes.smooth[(size_t)(h - 1) * w + x]]++;
  }
  for (int y = 1; y < h - 1; y++, total += 2) {
    counts[planes.smooth[(size_t)y * w]]++;
    counts[planes.smooth[(size_t)y * w + w - 1]]++;
  }
  int level = 0;
  for (int seen = 0; level < Levels; level++)
    if ((seen += counts[level]) * 2 >= total) break;
  return level / 9.0;
}

// Centre and radius of the blocks brighter than the threshold, once over the whole picture and
// once more over those near the first estimate (bright things outside the mirror weigh less).
bool RoughDisc(const Planes& planes, double threshold, double* cx, double* cy, double* r) {
  const double blockThreshold = threshold * BlockSize * BlockSize;
  double reach = 1e30, x0 = 0, y0 = 0;
  for (int pass = 0; pass < 2; pass++) {
    double count = 0, sumX = 0, sumY = 0;
    for (int by = 0; by < planes.blockHeight; by++) {
      const int* row = planes.blocks + (size_t)by * planes.blockWidth;
      for (int bx = 0; bx < planes.blockWidth; bx++) {
        if (row[bx] <= blockThreshold) continue;
        const double x = bx * BlockSize + (BlockSize - 1) / 2.0;
        const double y = by * BlockSize + (BlockSize - 1) / 2.0;
        if ((x - x0) * (x - x0) + (y - y0) * (y - y0) > reach * reach) continue;
        count++;
        sumX += x;
        sumY += y;
      }
    }
    if (count < 4) return false;
    x0 = sumX / count;
    y0 = sumY / count;
    *r = sqrt(count * BlockSize * BlockSize / Pi);
    reach = 1.6 * *r + 2 * BlockSize;
  }
  *cx = x0;
  *cy = y0;
  return true;
}

// How many whole radii 0.. up to reach put a point of the ray from (cx, cy) in the picture.
int SamplesInside(const Planes& planes, double cx, double cy, double c, double s, double reach) {
  if (!Inside(planes, cx, cy)) return 0;
  double t = reach;
  if (c > 1e-12) t = fmin(t, (planes.width - 1 - cx) / c);
  if (c < -1e-12) t = fmin(t, -cx / c);
  if (s > 1e-12) t = fmin(t, (planes.height - 1 - cy) / s);
  if (s < -1e-12) t = fmin(t, -cy / s);
  int n = (int)floor(t) + 1;
  while (n > 1 && !Inside(planes, cx + (n - 1) * c, cy + (n - 1) * s)) n--;
  return n;
}

// Smoothed levels along the ray at whole radii, from first by step, up to the first one above
// the threshold and LevelFar beyond it: all that Crossing reads of n samples.
void SampleToBright(const Planes& planes, double cx, double cy, double c, double s, int n,
                    int first, int step, double threshold, float* levels) {
  int k = first, last = -1;
  for (; k >= 0 && k < n; k += step) {
    levels[k] = (float)Level(planes, cx + k * c, cy + k * s);
    if (last < 0 && levels[k] > threshold) last = k + LevelFar * step;
    if (k == last) break;
  }
}

// Where the profile crosses from dark to bright, walking from sample start by step (+1 outwards
// from the centre, -1 inwards from the far end): the first sample above the threshold, then the
// crossing of the level halfway between the two sides, to a fraction of a sample. -1 when there
// is no such step, no room for the dark side's level, or too little contrast across it.
double Crossing(const float* p, int n, int start, int step, double threshold) {
  int bright = start;
  while (bright >= 0 && bright < n && p[bright] <= threshold) bright += step;
  if (bright < 0 || bright >= n || bright == start) return -1;
  auto at = [p, n](int k) { return (double)p[k < 0 ? 0 : k >= n ? n - 1 : k]; };
  const int darkFar = bright - LevelFar * step;
  if (darkFar < -LevelFar || darkFar >= n) return -1;  // outwards, the dark side must be sampled
  const double dark = (at(bright - LevelNear * step) + at(darkFar)) / 2;
  const double light = (at(bright + LevelNear * step) + at(bright + LevelFar * step)) / 2;
  if (light - dark < LeastContrast / 2) return -1;
  const double half = (dark + light) / 2;
  for (int k = bright - LevelNear * step; k != bright + (LevelNear - 1) * step; k += step) {
    const double here = at(k), next = at(k + step);
    if (here <= half && next > half) return k + step * (half - here) / (next - here);
  }
  return bright - step * 0.5;
}

// Mean level just inside the circle less the mean just outside, over the rays that stay in the
// picture.
double ContrastAcross(const Planes& planes, const CircleFit& circle, const double* cosines,
                      const double* sines) {
  double sum = 0;
  int count = 0;
  for (int i = 0; i < RayCount; i++) {
    const double in = circle.r - LevelFar, out = circle.r + LevelFar;
    const double xIn = circle.x + in * cosines[i], yIn = circle.y + in * sines[i];
    const double xOut = circle.x + out * cosines[i], yOut = circle.y + out * sines[i];
    if (in < 0 || !Inside(planes, xIn, yIn) || !Inside(planes, xOut, yOut)) continue;
    sum += Level(planes, xIn, yIn) - Level(planes, xOut, yOut);
    count++;
  }
  return count ? sum / count : 0;
}

// The outer edge along every ray from (cx, cy) out to reach, fitted: false when too few rays
// agree on one circle, or its centre is outside the picture.
bool FitOuterEdge(const Planes& planes, double cx, double cy, double reach, double threshold,
                  Rays* rays, CircleFit* fit) {
  int n = 0;
  for (int i = 0; i < RayCount; i++) {
    const double c = rays->cosines[i], s = rays->sines[i];
    const int count = SamplesInside(planes, cx, cy, c, s, reach);
    if (count < 2) continue;
    SampleToBright(planes, cx, cy, c, s, count, count - 1, -1, threshold, rays->levels);
    // A ray that ends on the bright side left the picture, or reach, still in the disc.
    if (rays->levels[count - 1] > threshold) continue;
    const double edge = Crossing(rays->levels, count, count - 1, -1, threshold);
    if (edge <= 0) continue;
    rays->xs[n] = cx + edge * c;
    rays->ys[n] = cy + edge * s;
    n++;
  }
  // A disc cut by the frame still shows a quarter of its rim, and nearly every edge found lies on
  // it; a square or a blob finds edges all round, of which a few lie on any one circle.
  return FitCircle(rays->xs, rays->ys, n, FitTolerance, fit, rays->inlier) == 0 &&
         fit->inliers >= RayCount / 4 && fit->inliers * 3 >= n * 2 &&
         Inside(planes, fit->x, fit->y);
}

// The blind spot's radius round the fitted centre: the dark-to-bright step nearest the centre,
// the median over the rays and the mean of those near it; 0 when the centre is bright or the
// rays do not agree.
double BlindSpotRadius(const Planes& planes, const CircleFit& circle, double threshold,
                       Rays* rays) {
  if (!Inside(planes, circle.x, circle.y) || Level(planes, circle.x, circle.y) > threshold)
    return 0;
  int n = 0;
  for (int i = 0; i < RayCount; i++) {
    const double c = rays->cosines[i], s = rays->sines[i];
    const int count = SamplesInside(planes, circle.x, circle.y, c, s, circle.r - LevelFar);
    SampleToBright(planes, circle.x, circle.y, c, s, count, 0, 1, threshold, rays->levels);
    const double edge = Crossing(rays->levels, count, 0, 1, threshold);
    if (edge > 0) rays->radii[n++] = edge;
  }
  if (n < RayCount / 4) return 0;
  std::sort(rays->radii, rays->radii + n);
  const double median = rays->radii[n / 2];
  double sum = 0;
  int near = 0;
  for (int i = 0; i < n; i++)
    if (fabs(rays->radii[i] - median) <= FitTolerance) {
      sum += rays->radii[i];
      near++;
    }
  return near >= RayCount / 4 ? sum / near : 0;
}

}  // namespace

size_t RingSearchScratchSize(int width, int height) {
  if (width < SmallestSide || height < SmallestSide) return 0;
  return sizeof(Rays) + LevelsBytes(width, height) + BlocksBytes(width, height) +
         ((size_t)width * height + 2 * (size_t)width) * sizeof(unsigned short);
}

int SearchRing(const void* pixels, int width, int height, int stride, void* scratch,
               RingGeometry* ring) {
  if (!pixels || !scratch || width < SmallestSide || height < SmallestSide) return RingNotFound;
  Rays* rays = (Rays*)scratch;
  rays->levels = (float*)(rays + 1);
  Planes planes;
  MakePlanes(pixels, width, height, stride, (char*)rays->levels + LevelsBytes(width, height),
             &planes);
  const double surround = SurroundLevel(planes), threshold = surround + LeastContrast / 2;
  double cx, cy, r;
  if (surround + LeastContrast > 255 || !RoughDisc(planes, threshold, &cx, &cy, &r))
    return RingNotFound;
  for (int i = 0; i < RayCount; i++) {
    rays->cosines[i] = cos(2 * Pi * i / RayCount);
    rays->sines[i] = sin(2 * Pi * i / RayCount);
  }
  CircleFit fit;
  // The rough radius is short when the disc is cut by the frame or holed, so the first rays
  // reach far; later ones start from the fitted circle.
  double reach = 2 * r + 2 * BlockSize;
  for (int pass = 0; pass < MaxPasses; pass++) {
    if (!FitOuterEdge(planes, cx, cy, reach, threshold, rays, &fit)) return RingNotFound;
    const double moved = fabs(fit.x - cx) + fabs(fit.y - cy);
    cx = fit.x;
    cy = fit.y;
    reach = 1.25 * fit.r + 2 * BlockSize;
    if (pass > 0 && moved < SettledMove) break;
  }
  if (ContrastAcross(planes, fit, rays->cosines, rays->sines) < LeastContrast / 2)
    return RingNotFound;
  ring->x0 = fit.x;
  ring->y0 = fit.y;
  ring->outerRadius = fit.r;
  ring->innerRadius = BlindSpotRadius(planes, fit, threshold, rays);
  return RingFound;
}
