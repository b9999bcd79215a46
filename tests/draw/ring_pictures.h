// Generated pictures of a mirror's ring with known geometry, for the ring search's tests and
// benchmark: a disc of scene on a darker surround, with or without a dark blind spot at its
// centre, and Gaussian noise. Pure; the one seeded generator makes every picture again.
#ifndef KORVEL_TESTS_RING_PICTURES_H
#define KORVEL_TESTS_RING_PICTURES_H

enum SceneContent {
  SceneFlat,      // one level
  SceneStripes,   // hard stripes at an angle, up to 160 levels brighter
  SceneGradient,  // a ramp across the disc
  SceneTexture,   // cells of random levels
  SceneColours,   // sectors of different hue and brightness
  SceneContentCount
};

struct RingScene {
  int width, height;
  double x0, y0, outerRadius;  // the disc: pixel centres within outerRadius of (x0, y0)
  double innerRadius;          // the blind spot: those nearer than this; 0 for none
  int surround;                // grey level outside the mirror
  int contrast;                // least step from the surround up to the scene
  int blindSpot;               // grey level of the blind spot
  int content;                 // SceneContent
  double noise;                // sigma of the noise added to every pixel's grey
  unsigned long long seed;     // the scene's content and noise
};

// Fills width x height 0x00RRGGBB pixels, rows stride pixels apart.
void PaintRingScene(const RingScene& scene, unsigned* pixels, int stride);

// A scene drawn from seed: outer radius 1/8 to 1/2 of the height, the centre where at least half
// the radius separates it from every edge (fractions of a pixel too), contrast 40 to 120, half
// with a blind spot of 0.12 to 0.4 of the radius, any content, noise of sigma 8.
RingScene RandomRingScene(int width, int height, unsigned long long seed);

// Largest and mean errors of found rings against their scenes: the centre's distance and the
// radii's differences, in pixels.
struct RingErrors {
  double centreMax, centreSum, outerMax, outerSum, innerMax, innerSum;
  int count;
};
void AddRingErrors(RingErrors* errors, const RingScene& scene, double x0, double y0,
                   double outerRadius, double innerRadius);
// One line: what, the count, then max and mean of each error.
void PrintRingErrors(const RingErrors& errors, const char* what);

#endif
