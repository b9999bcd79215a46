// KRV_GetImageInfo: an image's size, depth and row stride for programs that walk its pixels.
// Worker thread.
#include "image/image.h"

int KRV_GetImageInfo(int id, int* width, int* height, int* bits, int* stride) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot) return 1;
  if (width) *width = slot->width;
  if (height) *height = slot->height;
  if (bits) *bits = slot->bits;
  if (stride) *stride = ImageStride(slot->bits, slot->width);
  return 0;
}
