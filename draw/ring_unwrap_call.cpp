// KRV_UnwrapRing on image ids: the checks, and the copy that an image unwrapped onto itself is
// read from. Worker thread, which owns the images.
#include <stdlib.h>
#include <string.h>

#include "draw/draw.h"
#include "draw/ring_unwrap.h"

static bool PlaneOf(int id, RingPlane* plane) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || slot->bits != 32) return false;
  plane->pixels = (int*)krv_pixels[id];
  plane->width = slot->width;
  plane->height = slot->height;
  plane->stride = ImageStride(32, slot->width) / 4;
  return true;
}

int KRV_UnwrapRing(int source, int target, int x0, int y0, int innerRadius, int outerRadius,
                   double angleOffset, int smooth) {
  RingPlane from, to;
  if (!PlaneOf(source, &from) || !PlaneOf(target, &to)) return 1;
  if (innerRadius < 0 || outerRadius < innerRadius) return 2;
  const RingParams ring = {x0, y0, innerRadius, outerRadius, angleOffset, smooth};
  GdiFlush();  // GDI may still be drawing into either image
  if (source != target) {
    UnwrapRingPlanes(&from, &to, &ring);
    return 0;
  }
  const size_t bytes = (size_t)from.height * from.stride * sizeof(int);
  int* copy = (int*)malloc(bytes);
  if (!copy) return 3;
  memcpy(copy, from.pixels, bytes);
  from.pixels = copy;
  UnwrapRingPlanes(&from, &to, &ring);
  free(copy);
  return 0;
}
