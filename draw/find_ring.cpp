// KRV_FindRing: the ring search run on a 32-bit image's pixels. Worker thread, which owns the
// images.
#include <math.h>

#include "draw/draw.h"
#include "draw/ring_search.h"

static int Rounded(double value) { return (int)floor(value + 0.5); }

int KRV_FindRing(int id, int* x0, int* y0, int* outerRadius, int* innerRadius) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || slot->bits != 32 || !krv_pixels[id]) return 1;
  GdiFlush();  // GDI may still hold drawing meant for the pixels
  RingGeometry ring;
  if (SearchRing(krv_pixels[id], slot->width, slot->height, ImageStride(32, slot->width),
                 &ring) != RingFound)
    return 2;
  if (x0) *x0 = Rounded(ring.x0);
  if (y0) *y0 = Rounded(ring.y0);
  if (outerRadius) *outerRadius = Rounded(ring.outerRadius);
  if (innerRadius) *innerRadius = Rounded(ring.innerRadius);
  return 0;
}
