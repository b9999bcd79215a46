// KRV_FindRing: the ring search run on a 32-bit image's pixels. Worker thread, which owns the
// images and the search's scratch memory.
#include <math.h>
#include <stdlib.h>

#include "draw/draw.h"
#include "draw/ring_search.h"

static int Rounded(double value) { return (int)floor(value + 0.5); }

// Kept for the next search, which then spends nothing on fresh pages; grown when an image is
// larger than any searched before.
static void* scratch;
static size_t scratchSize;

static void* Scratch(size_t size) {
  if (size > scratchSize) {
    free(scratch);
    scratch = malloc(size);
    scratchSize = scratch ? size : 0;
  }
  return scratch;
}

int KRV_FindRing(int id, int* x0, int* y0, int* outerRadius, int* innerRadius) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot || slot->bits != 32 || !krv_pixels[id]) return 1;
  const size_t size = RingSearchScratchSize(slot->width, slot->height);
  void* memory = size ? Scratch(size) : NULL;
  if (!memory) return 2;
  GdiFlush();  // GDI may still hold drawing meant for the pixels
  RingGeometry ring;
  if (SearchRing(krv_pixels[id], slot->width, slot->height, ImageStride(32, slot->width), memory,
                 &ring) != RingFound)
    return 2;
  if (x0) *x0 = Rounded(ring.x0);
  if (y0) *y0 = Rounded(ring.y0);
  if (outerRadius) *outerRadius = Rounded(ring.outerRadius);
  if (innerRadius) *innerRadius = Rounded(ring.innerRadius);
  return 0;
}
