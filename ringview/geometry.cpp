// The ring's geometry and the panorama's size: plain values in and out. Any thread.
#include "ringview/ringview.h"

ViewRing InitialViewRing(int width, int height) {
  ViewRing ring = {width / 2, height / 2, height * 2 / 5, 0, 0};
  return ring;
}

static int Within(int value, int low, int high) {
  if (value < low) return low;
  return value > high ? high : value;
}

ViewRing AdjustedRing(const ViewRing& ring, int dx, int dy, int dOuter, int dInner, int dTurn,
                      int width, int height) {
  ViewRing moved = ring;
  const int largest = width > height ? width : height;
  moved.x0 = Within(ring.x0 + dx, 0, width - 1);
  moved.y0 = Within(ring.y0 + dy, 0, height - 1);
  // The outer radius makes room for the inner one and the inner one stays below it.
  moved.outer = Within(ring.outer + dOuter, ring.inner + 1, largest);
  moved.inner = Within(ring.inner + dInner, 0, moved.outer - 1);
  moved.turn = ((ring.turn + dTurn) % 360 + 360) % 360;
  return moved;
}

double TurnRadians(int degrees) { return degrees * (3.14159265358979323846 / 180.0); }

void PanoramaSize(int captureWidth, int captureHeight, int* width, int* height) {
  *width = captureWidth;
  *height = captureHeight * 3 / 10;
  if (*height < 1) *height = 1;
}
