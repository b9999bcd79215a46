// The table of image slots, the pixel pointers, the current image and its selection history.
// Worker thread; KRV_SelectPreviousImage also from the GUI thread after its requests.
#include "image/image.h"

ImageSlot krv_images[SlotCount];
void* krv_pixels[SlotCount];
int krv_current;
int krv_history[ImageHistoryLength];

ImageSlot* ImageInUse(int id) {
  if (id < 0 || id >= SlotCount || !krv_images[id].inUse) return NULL;
  return &krv_images[id];
}

int KRV_SelectImage(int id) {
  if (!ImageInUse(id)) return 1;
  for (int i = ImageHistoryLength - 1; i > 0; i--) krv_history[i] = krv_history[i - 1];
  krv_history[0] = krv_current;
  krv_current = id;
  return 0;
}

// The oldest entry stays where it was, so it ends up twice in the history.
int KRV_SelectPreviousImage(void) {
  if (!ImageInUse(krv_history[0])) return 1;
  krv_current = krv_history[0];
  for (int i = 0; i < ImageHistoryLength - 1; i++) krv_history[i] = krv_history[i + 1];
  return 0;
}

int ImageIdOfWindow(HWND window) {
  for (int id = 0; id < SlotCount; id++)
    if (krv_images[id].inUse && krv_images[id].window == window) return id;
  return -1;
}

int SelectImageOfWindow(HWND window) {
  const int id = ImageIdOfWindow(window);
  if (id >= 0) KRV_SelectImage(id);
  return id;
}

HWND ImageWindowAt(int index) {
  ImageSlot* slot = ImageInUse(index);
  return slot ? slot->window : NULL;
}
