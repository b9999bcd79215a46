// What a text window's screen shows of its bitmap: the rectangles drawn since the last pump,
// compared at the pump with the pixels the last paints put on the screen, so that only what
// differs is invalidated and repainted. A repaint costs far more under Wine than the text it
// shows, and a program that clears its window and prints the same lines again every pass
// (rimview's overlay) should repaint nothing. Owning thread of the text windows.
#include <stdlib.h>
#include <string.h>

#include "text/text.h"

static bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

void NoteTextChange(TextWindowSlot* slot, int left, int top, int right, int bottom) {
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > slot->width) right = slot->width;
  if (bottom > slot->height) bottom = slot->height;
  if (right <= left || bottom <= top) return;
  RECT& c = slot->changed;
  if (EmptyRect(c)) {
    c.left = left, c.top = top, c.right = right, c.bottom = bottom;
  } else {
    if (left < c.left) c.left = left;
    if (top < c.top) c.top = top;
    if (right > c.right) c.right = right;
    if (bottom > c.bottom) c.bottom = bottom;
  }
  slot->bitmapChanged = 1;
  slot->changeThread = GetCurrentThreadId();
}

void AwaitTextPaint(TextWindowSlot* slot) {
  slot->bitmapChanged = 1;
  slot->awaitingPaint = 1;
}

bool MakeShownPixels(TextWindowSlot* slot) {
  slot->shownValid = 0;
  slot->shownPixels = (int*)malloc((size_t)slot->width * slot->height * sizeof(int) + 1);
  return slot->shownPixels != NULL;
}

void ReleaseShownPixels(TextWindowSlot* slot) {
  free(slot->shownPixels);
  slot->shownPixels = NULL;
  slot->shownValid = 0;
  slot->changed = RECT{0, 0, 0, 0};
}

// The bitmap is drawn by GDI, which may batch: GdiFlush before its pixels are read.
static bool SameAsShown(const TextWindowSlot* slot, const RECT& r) {
  if (!slot->shownValid || !slot->pixels || !slot->shownPixels) return false;
  GdiFlush();
  const size_t bytes = (size_t)(r.right - r.left) * sizeof(int);
  for (int y = r.top; y < r.bottom; y++) {
    size_t at = (size_t)y * slot->width + r.left;
    if (memcmp(slot->pixels + at, slot->shownPixels + at, bytes) != 0) return false;
  }
  return true;
}

static bool ShowChanges(TextWindowSlot* slot) {
  RECT r = slot->changed;
  slot->changed = RECT{0, 0, 0, 0};
  if (EmptyRect(r)) return false;
  if (SameAsShown(slot, r)) {
    slot->bitmapChanged = slot->awaitingPaint;
    return false;
  }
  InvalidateRect(slot->window, &r, FALSE);
  AwaitTextPaint(slot);
  return true;
}

bool ShowTextChanges(void) {
  const DWORD thread = GetCurrentThreadId();
  bool invalidated = false;
  for (int i = 0; i < SlotCount; i++) {
    TextWindowSlot* slot = &textWindows[i];
    if (slot->inUse && slot->changeThread == thread && !EmptyRect(slot->changed) &&
        ShowChanges(slot))
      invalidated = true;
  }
  return invalidated;
}

void TextPainted(TextWindowSlot* slot, const RECT& rect) {
  RECT r = rect;
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > slot->width) r.right = slot->width;
  if (r.bottom > slot->height) r.bottom = slot->height;
  if (slot->pixels && slot->shownPixels && !EmptyRect(r)) {
    GdiFlush();
    const size_t bytes = (size_t)(r.right - r.left) * sizeof(int);
    for (int y = r.top; y < r.bottom; y++) {
      size_t at = (size_t)y * slot->width + r.left;
      memcpy(slot->shownPixels + at, slot->pixels + at, bytes);
    }
    if (r.left == 0 && r.top == 0 && r.right == slot->width && r.bottom == slot->height)
      slot->shownValid = 1;
  }
  // Every invalidation of ours is answered by this paint; what was drawn since waits for the
  // next pump.
  slot->awaitingPaint = 0;
  slot->bitmapChanged = !EmptyRect(slot->changed);
}
