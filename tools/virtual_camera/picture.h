// The virtual camera's synthetic mirror-camera picture, shared by the camera and the tests that
// check what it delivered. Pure: plain values in, one 0x00RRGGBB pixel out.
//
// The ring holds a small landscape seen in a round mirror: ground near the centre, sky towards
// the rim, and in each of eight sectors a house or a tree with its number 1..8 in the sky. It is
// drawn the way rimview unrolls it (outwards is up, counter-clockwise on the screen is left to
// right), so the panorama shows the scene upright and the numbers in order.
#ifndef KORVEL_CAMERA_PICTURE_H
#define KORVEL_CAMERA_PICTURE_H

#include <math.h>

// The ring's outer radius: 192 at 480 rows, 96 at 240, the radius the panorama expects; its
// centre is the centre of the frame.
inline int CameraRingRadius(int height) { return height * 2 / 5; }

enum {
  CameraSectorCount = 8,
  CameraBackground = 0x202020,  // outside the ring
  CameraMarker = 0xFFFFFF,      // the moving disc
  CameraHole = 0x000000,        // inside a quarter of the radius
  CameraGround = 0x4A7A2A,
  CameraSky = 0x8CC8F0,
  CameraNumberInk = 0x101040,
  CameraRoof = 0x8B1A1A,
  CameraDoor = 0x5A3A1A,
  CameraTrunk = 0x6B4423,
  CameraCrown = 0x1E8C1E,
};

// Heights in the scene, as fractions of the ring radius from the centre outwards.
const double CameraHoleTop = 0.25, CameraHorizon = 0.42;

// House walls, sector by sector.
inline int CameraSectorColour(int sector) {
  static const int colours[CameraSectorCount] = {0xFF0000, 0xFF8000, 0xFFFF00, 0x00C000,
                                                 0x00FFFF, 0x0000FF, 0x8000FF, 0xFF00FF};
  return colours[sector & (CameraSectorCount - 1)];
}

// The digits 1..8 in 5 x 7 cells, top row first, bit 4 the leftmost column.
inline bool CameraDigitInk(int digit, int column, int row) {
  static const unsigned char rows[8][7] = {
      {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},
      {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},
      {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},
      {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}};
  if (digit < 1 || digit > 8 || column < 0 || column > 4 || row < 0 || row > 6) return false;
  return (rows[digit - 1][row] >> (4 - column)) & 1;
}

// The scene as the panorama shows it: across (0..1) from left to right within sector, up
// (0..1) from the centre to the rim.
inline int CameraScenePixel(int sector, double across, double up) {
  if (up < CameraHoleTop) return CameraHole;
  // The sector's number in the sky.
  if (up >= 0.80 && up < 0.96 && across >= 0.3 && across < 0.7) {
    int column = (int)((across - 0.3) / 0.4 * 5), row = (int)((0.96 - up) / 0.16 * 7);
    if (CameraDigitInk(sector + 1, column, row)) return CameraNumberInk;
  }
  double fromMiddle = fabs(across - 0.5);
  if (sector % 2 == 0) {  // a house: walls, a door, a pointed roof
    if (up >= CameraHorizon && up < 0.62 && fromMiddle < 0.25) {
      if (up < 0.52 && fromMiddle < 0.05) return CameraDoor;
      return CameraSectorColour(sector);
    }
    if (up >= 0.62 && up < 0.78 && fromMiddle < 0.3 * (0.78 - up) / 0.16) return CameraRoof;
  } else {  // a tree: a trunk and a round crown
    if (up >= CameraHorizon && up < 0.55 && fromMiddle < 0.04) return CameraTrunk;
    double ex = fromMiddle / 0.2, ey = (up - 0.64) / 0.1;
    if (ex * ex + ey * ey <= 1.0) return CameraCrown;
  }
  return up < CameraHorizon ? CameraGround : CameraSky;
}

// What does not move: the scene in the ring, grey outside.
inline int CameraStillPixel(int x, int y, int width, int height) {
  const double pi = 3.14159265358979323846;
  double dx = x - width / 2, dy = y - height / 2;
  double radius = CameraRingRadius(height);
  double d = sqrt(dx * dx + dy * dy);
  if (d > radius) return CameraBackground;
  double angle = atan2(dy, dx);  // y grows downwards, so this turns clockwise on the screen
  if (angle < 0) angle += 2 * pi;
  // Counter-clockwise on the screen is left to right in the panorama.
  double along = 1.0 - angle / (2 * pi);
  if (along >= 1.0) along -= 1.0;
  int sector = (int)(along * CameraSectorCount);
  if (sector >= CameraSectorCount) sector = CameraSectorCount - 1;
  return CameraScenePixel(sector, along * CameraSectorCount - sector, d / radius);
}

// What moves: a white disc, a sun in the sky, that runs round the ring six degrees per frame.
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
