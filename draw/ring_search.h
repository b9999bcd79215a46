// The mirror's ring found in a plane of 0x00RRGGBB pixels, and the robust circle fit it rests on.
// Pure arithmetic without the window system, so that tests and benchmarks build it anywhere; any
// thread, each with scratch memory of its own.
#ifndef KORVEL_RING_SEARCH_H
#define KORVEL_RING_SEARCH_H

#include <stddef.h>

// Centre and radii in pixels, pixel centres at whole coordinates; innerRadius 0: no blind spot.
struct RingGeometry {
  double x0, y0, outerRadius, innerRadius;
};

enum RingSearchResult { RingFound = 0, RingNotFound = 2 };

// Bytes of scratch memory a search of a width x height plane needs (its working planes and rays);
// 0 for planes under 16 x 16, which are never searched. Kept between calls, it costs nothing to
// set up again.
size_t RingSearchScratchSize(int width, int height);
// The bright disc against a darker surround, and the blind spot at its centre when that is about
// as dark as the surround. Row y of the plane starts stride bytes after row y - 1; scratch holds
// RingSearchScratchSize bytes, aligned for a double. RingFound, or RingNotFound (flat, noise
// only, or a plane under 16 x 16); ring is written only when found.
int SearchRing(const void* pixels, int width, int height, int stride, void* scratch,
               RingGeometry* ring);

// ---- Circle fit (draw/circle_fit.cpp) ----
struct CircleFit {
  double x, y, r;
  int inliers;  // points within the tolerance of the fitted circle
};
// The circle that most of the n points lie on, within tolerance pixels: a consensus over circles
// through three points, then least squares of the distances over the consensus, repeated as it
// settles. 0 done, 2 fewer than three points or no circle. inlier (n entries) receives 1 for
// the points kept, 0 for the rest.
int FitCircle(const double* xs, const double* ys, int n, double tolerance, CircleFit* fit,
              unsigned char* inlier);

#endif
