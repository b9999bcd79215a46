// Ring-to-panorama unwrapping, the arithmetic alone: plain values and 32-bit pixel planes in,
// pixels out, no windows. Any thread may call it; rimview calls it on the worker thread through
// the shells of app/panorama.cpp.
#ifndef KORVEL_APP_UNWRAP_H
#define KORVEL_APP_UNWRAP_H

enum {
  RaySampleCount = 500,                // entries of RayState::raySamples
  MaxRingRadius = RaySampleCount - 1,  // the longest ray that fits them
};

// The two constants the strips are computed with, as these exact doubles.
extern const double TwoPi;  // 6.283185307179586
// pi / frameWidth: 0.004908738521234052 for 640 columns, 0.009817477042468103 for 320.
double HalfStripStep(int frameWidth);

// Where the ring lies in the camera picture and how the strips are laid out. r is also the
// height of a strip; any r is accepted and taken within -MaxRingRadius..MaxRingRadius.
struct RingGeometry {
  int X0, Y0;     // ring centre, camera pixels
  int r;          // ring radius, pixels
  int columnCount;  // columns of a full-circle strip
  double angleOffset;  // radians added to every ray angle
  int frameWidth, frameHeight;  // the capture size the strips are placed in
};
// The geometry rimview starts with: the frame's centre, and 2/5 of its height as radius (192 at
// 640 x 480, 96 at 320 x 240).
RingGeometry InitialRing(int frameWidth, int frameHeight);

// The ray in progress, observable after a strip: its angle, its steps, its samples (entry 0 the
// centre pixel, entry rayLength the ray's end).
struct RayState {
  double currentAngle;
  int rayLength;
  int raySamples[RaySampleCount];
};

// width x height pixels of 0x00RRGGBB words, rows stride words apart, top row first.
struct PixelPlane {
  int* pixels;
  int width, height, stride;
};

enum StripLayout {
  StripTop = 0,      // one full circle in rows r down to 1
  StripCentred = 1,  // one full circle centred vertically
  StripHalves = 2,   // the half circle pi..2pi above, 0..pi below
};

// The end of the ray at angle theta: centre + trunc(r cos theta + 0.5), trunc towards zero.
void RayEndPoint(int X0, int Y0, int r, double theta, int* x1, int* y1);
// The same from cos theta and sin theta, for callers that keep them from pass to pass.
void RayEndPointAt(int X0, int Y0, int r, double cosTheta, double sinTheta, int* x1, int* y1);
// Bresenham walk from (X0, Y0) to (x1, y1) reading source into samples, which holds
// RaySampleCount entries; points outside read 0. Returns the number of steps, which is the
// larger span. A walk longer than MaxRingRadius steps stops there.
int WalkRay(const PixelPlane* source, int X0, int Y0, int x1, int y1, int* samples);
// Column c, rows b down to b - r + 1, from samples 0..rayLength - 1 nearest-lower; nothing when
// r <= 0. Pixels outside target are dropped.
void WriteColumn(const PixelPlane* target, int c, int b, int r, const int* samples,
                 int rayLength);
// The bottom row of a layout's (upper) strip: r for the top strip, r + (height - r) / 2
// centred, r + (height / 2 - r) / 2 for the halves; the lower half strip lies height / 2 below.
int StripBottomRow(int layout, int r, int frameHeight);
// One strip of the layout from source into target, ray after ray: each ray is read whole
// before its column is written, so source and target may be the same plane. ray ends holding
// the last ray. Nothing else is touched: the caller clears and redraws.
void UnwrapStrip(const RingGeometry* ring, int layout, const PixelPlane* source,
                 const PixelPlane* target, RayState* ray);

#endif
