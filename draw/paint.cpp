// Scan-line flood fill with a fixed seed stack on the call stack. Worker thread.
#include "draw/draw.h"

enum { PaintSeedCapacity = 4000 };

struct SeedStack {
  int x[PaintSeedCapacity], y[PaintSeedCapacity];
  int count;
};

// Seeds beyond the capacity are dropped: parts of a very ragged region then stay unfilled.
static void Push(SeedStack* stack, int x, int y) {
  stack->x[stack->count] = x;
  stack->y[stack->count] = y;
  stack->count++;
}

// Pushes the first matching pixel of each run of the neighbouring row.
static void LookAtRow(SeedStack* stack, int x, int y, int target, bool* ready) {
  const bool matches = ProbePixel(x, y) == target;
  if (*ready && matches && stack->count < PaintSeedCapacity) {
    Push(stack, x, y);
    *ready = false;
  } else if (!*ready && !matches) {
    *ready = true;
  }
}

static void FillSpan(SeedStack* stack, int x, int y, int target) {
  while (ProbePixel(x - 1, y) == target) x--;
  const int left = x;
  bool aboveReady = true, belowReady = true;
  for (; ProbePixel(x, y) == target; x++) {
    LookAtRow(stack, x, y - 1, target, &aboveReady);
    LookAtRow(stack, x, y + 1, target, &belowReady);
  }
  KRV_Line(krv_color, left, y, x - 1, y);
}

void KRV_Paint(int x, int y) {
  const int target = ProbePixel(x, y);
  // -1 is outside, and a stored 0xFFFFFFFF could not be told from it: the fill would run
  // past the image border.
  if (target == -1) return;
  const int stored = krv_images[krv_current].bits == 8 ? (krv_color & 0xFF) : krv_color;
  if (target == stored) return;
  SeedStack stack;
  stack.count = 0;
  FillSpan(&stack, x, y, target);
  while (stack.count > 0) {
    stack.count--;
    const int sx = stack.x[stack.count], sy = stack.y[stack.count];
    if (ProbePixel(sx, sy) == target) FillSpan(&stack, sx, sy, target);
  }
}
