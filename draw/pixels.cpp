// Single pixels of the current image, clearing and row copies. Worker thread.
// Each pixel call is the inside test, one multiply and one load or store: the per-frame unwrap
// and every primitive run through them.
#include <string.h>

#include "draw/draw.h"

int currentPointX, currentPointY;

// The slot is read at every call, so drawing follows KRV_SelectImage at once. A current image
// that is not in use has no pixels: its memory is gone.
static inline const ImageSlot* Target(unsigned x, unsigned y) {
  const unsigned id = (unsigned)krv_current;
  if (id >= SlotCount) return NULL;
  const ImageSlot* slot = &krv_images[id];
  if (!slot->inUse || x >= (unsigned)slot->width || y >= (unsigned)slot->height) return NULL;
  return slot;
}

static inline int* WordAt(const ImageSlot* slot, int x, int y) {
  return (int*)krv_pixels[krv_current] + y * slot->width + x;
}

static inline unsigned char* ByteAt(const ImageSlot* slot, int x, int y) {
  return (unsigned char*)krv_pixels[krv_current] + y * ImageStride(8, slot->width) + x;
}

static inline int ReadAt(const ImageSlot* slot, int x, int y) {
  return slot->bits == 32 ? *WordAt(slot, x, y) : *ByteAt(slot, x, y);
}

void PlotPixel(int x, int y, int colour) {
  const ImageSlot* slot = Target(x, y);
  if (!slot) return;
  if (slot->bits == 32)
    *WordAt(slot, x, y) = colour;
  else
    *ByteAt(slot, x, y) = (unsigned char)colour;
}

void TogglePixel(int x, int y) {
  const ImageSlot* slot = Target(x, y);
  if (!slot) return;
  if (slot->bits == 32)
    *WordAt(slot, x, y) ^= 0xFFFFFF;
  else
    *ByteAt(slot, x, y) ^= 0xFF;
}

int ProbePixel(int x, int y) {
  const ImageSlot* slot = Target(x, y);
  return slot ? ReadAt(slot, x, y) : -1;
}

int KRV_GetPixel(int x, int y) {
  const ImageSlot* slot = Target(x, y);
  return slot ? ReadAt(slot, x, y) : 0;
}

void KRV_PutPixel(int x, int y, int colour) {
  currentPointX = x;
  currentPointY = y;
  PlotPixel(x, y, colour);
}

void KRV_XorPixel(int x, int y) {
  currentPointX = x;
  currentPointY = y;
  TogglePixel(x, y);
}

void KRV_ClearImage(int id) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot) return;
  memset(krv_pixels[id], 0, (size_t)ImageStride(slot->bits, slot->width) * slot->height);
}

void KRV_GetRow(void* destination, int y, int count) {
  const ImageSlot* slot = ImageInUse(krv_current);
  if (!slot || !destination) return;
  int* words = (int*)destination;
  unsigned char* bytes = (unsigned char*)destination;
  for (int x = 0; x < count; x++) {
    if (slot->bits == 32)
      words[x] = KRV_GetPixel(x, y);
    else
      bytes[x] = (unsigned char)KRV_GetPixel(x, y);
  }
}
