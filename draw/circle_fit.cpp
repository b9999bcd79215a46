// The robust circle fit under the ring search: consensus over three-point circles, then
// Gauss-Newton least squares of the point-to-circle distances over the points that agree. Pure,
// any thread.
#include <math.h>

#include "draw/ring_search.h"

namespace {

// sqrt rather than hypot: the runtime's hypot is several times slower, and the points are
// pixels, far from where x * x could overflow.
inline double Distance(double dx, double dy) { return sqrt(dx * dx + dy * dy); }

enum { ConsensusTrials = 160, RefineRounds = 4, GaussNewtonSteps = 6 };

// The circle through three points; false when they are (nearly) on one line.
bool CircleThrough(double ax, double ay, double bx, double by, double cx, double cy,
                   CircleFit* circle) {
  const double d = 2 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
  if (fabs(d) < 1e-9) return false;
  const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
  circle->x = (a2 * (by - cy) + b2 * (cy - ay) + c2 * (ay - by)) / d;
  circle->y = (a2 * (cx - bx) + b2 * (ax - cx) + c2 * (bx - ax)) / d;
  circle->r = Distance(ax - circle->x, ay - circle->y);
  return true;
}

int CountAgreeing(const double* xs, const double* ys, int n, double tolerance,
                  const CircleFit& circle, unsigned char* agree) {
  int count = 0;
  for (int i = 0; i < n; i++) {
    const bool near = fabs(Distance(xs[i] - circle.x, ys[i] - circle.y) - circle.r) <= tolerance;
    if (agree) agree[i] = near;
    count += near;
  }
  return count;
}

// Solves the 3 x 3 system m v = b by Cramer's rule; false when it is singular.
bool Solve3(const double m[3][3], const double b[3], double v[3]) {
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  if (fabs(det) < 1e-12) return false;
  for (int k = 0; k < 3; k++) {
    double t[3][3];
    for (int i = 0; i < 3; i++)
      for (int j = 0; j < 3; j++) t[i][j] = j == k ? b[i] : m[i][j];
    v[k] = (t[0][0] * (t[1][1] * t[2][2] - t[1][2] * t[2][1]) -
            t[0][1] * (t[1][0] * t[2][2] - t[1][2] * t[2][0]) +
            t[0][2] * (t[1][0] * t[2][1] - t[1][1] * t[2][0])) /
           det;
  }
  return true;
}

// Least squares of (distance - r) over the points marked, from the circle given.
void RefineCircle(const double* xs, const double* ys, int n, const unsigned char* use,
                  CircleFit* circle) {
  for (int step = 0; step < GaussNewtonSteps; step++) {
    double m[3][3] = {}, b[3] = {};
    for (int i = 0; i < n; i++) {
      if (!use[i]) continue;
      const double dx = xs[i] - circle->x, dy = ys[i] - circle->y, d = Distance(dx, dy);
      if (d < 1e-9) continue;
      const double j[3] = {-dx / d, -dy / d, -1}, e = d - circle->r;
      for (int p = 0; p < 3; p++) {
        b[p] -= j[p] * e;
        for (int q = 0; q < 3; q++) m[p][q] += j[p] * j[q];
      }
    }
    double v[3];
    if (!Solve3(m, b, v)) return;
    circle->x += v[0];
    circle->y += v[1];
    circle->r += v[2];
    if (fabs(v[0]) + fabs(v[1]) + fabs(v[2]) < 1e-4) return;
  }
}

}  // namespace

int FitCircle(const double* xs, const double* ys, int n, double tolerance, CircleFit* fit,
              unsigned char* inlier) {
  if (n < 3) return 2;
  // A fixed sequence, so that the same points always give the same circle.
  unsigned int seed = 12345u;
  auto next = [&seed](int below) {
    seed = seed * 1664525u + 1013904223u;
    return (int)((seed >> 8) % (unsigned)below);
  };
  CircleFit best = {0, 0, 0, 0};
  for (int trial = 0; trial < ConsensusTrials; trial++) {
    // Points a third of the way round from each other make well-conditioned circles.
    const int a = next(n), b = (a + n / 3 + next(n / 6 + 1)) % n,
              c = (a + 2 * n / 3 + next(n / 6 + 1)) % n;
    if (a == b || b == c || a == c) continue;
    CircleFit circle;
    if (!CircleThrough(xs[a], ys[a], xs[b], ys[b], xs[c], ys[c], &circle)) continue;
    circle.inliers = CountAgreeing(xs, ys, n, tolerance, circle, NULL);
    if (circle.inliers > best.inliers) best = circle;
  }
  if (best.inliers < 3) return 2;
  for (int round = 0; round < RefineRounds; round++) {
    CountAgreeing(xs, ys, n, tolerance, best, inlier);
    RefineCircle(xs, ys, n, inlier, &best);
  }
  best.inliers = CountAgreeing(xs, ys, n, tolerance, best, inlier);
  if (!(best.r > 0) || best.inliers < 3) return 2;
  *fit = best;
  return 0;
}
