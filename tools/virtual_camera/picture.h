// The virtual camera's synthetic mirror-camera picture, shared by the camera and the tests that
// check what it delivered. Pure: plain values in, one 0x00RRGGBB pixel out.
#ifndef KORVEL_CAMERA_PICTURE_H
#define KORVEL_CAMERA_PICTURE_H

#include <math.h>

// The ring's outer radius: 192 at 480 rows, 96 at 240, the radius the panorama expects.
inline int CameraRingRadius(int height) { return height * 2 / 5; }

enum { CameraSectorCount = 8, CameraBackground = 0x202020, CameraMarker = 0xFFFFFF };

// Eight sectors clockwise on the screen from the +x direction, 45 degrees each.
inline int CameraSectorColour(int sector) {
  static const int colours[CameraSectorCount] = {0xFF0000, 0xFF8000, 0xFFFF00, 0x00C000,
                                                 0x00FFFF, 0x0000FF, 0x8000FF, 0xFF00FF};
  return colours[sector & (CameraSectorCount - 1)];
}

// What does not move: the centre black, the ring in coloured sectors with a black radial line on
// every sector boundary, black ticks every 15 degrees at its rim and a white circle at five
// eighths of the radius, grey outside.
inline int CameraStillPixel(int x, int y, int width, int height) {
  const double pi = 3.14159265358979323846;
  double dx = x - width / 2, dy = y - height / 2;
  double radius = CameraRingRadius(height);
  double d = sqrt(dx * dx + dy * dy);
  if (d > radius) return CameraBackground;
  if (d < radius / 4) return 0x000000;
  if (fabs(d - radius * 5 / 8) < 1.0) return 0xFFFFFF;
  double angle = atan2(dy, dx);  // y grows downwards, so this turns clockwise on the screen
  if (angle < 0) angle += 2 * pi;
  double sectorAngle = 2 * pi / CameraSectorCount;
  int sector = (int)(angle / sectorAngle);
  double fromBoundary = angle - sector * sectorAngle;
  if (sectorAngle - fromBoundary < fromBoundary) fromBoundary = sectorAngle - fromBoundary;
  if (fromBoundary * d < 1.5) return 0x000000;
  // Short ticks every 15 degrees along the outer tenth of the ring.
  double tickAngle = pi / 12, fromTick = fmod(angle, tickAngle);
  if (tickAngle - fromTick < fromTick) fromTick = tickAngle - fromTick;
  if (d > radius * 0.9 && fromTick * d < 1.0) return 0x000000;
  return CameraSectorColour(sector);
}

// What moves: a white disc that runs round the ring, six degrees per frame.
inline void CameraMarkerCentre(int frame, int width, int height, double* x, double* y) {
  const double pi = 3.14159265358979323846;
  double angle = (frame % 60) * (pi / 30);
  double along = CameraRingRadius(height) * 0.85;
  *x = width / 2 + along * cos(angle);
  *y = height / 2 + along * sin(angle);
}
inline double CameraMarkerRadius(int height) { return CameraRingRadius(height) / 10.0; }

inline int CameraPixel(int x, int y, int width, int height, int frame) {
  double mx, my;
  CameraMarkerCentre(frame, width, height, &mx, &my);
  double r = CameraMarkerRadius(height);
  if ((x - mx) * (x - mx) + (y - my) * (y - my) <= r * r) return CameraMarker;
  return CameraStillPixel(x, y, width, height);
}

#endif
