// Lines and rectangles in colour and XOR flavours, clipped pixel by pixel. Worker thread.
// Every pixel of a line is plotted exactly once, which is what makes the XOR line reversible.
#include <string.h>

#include "draw/draw.h"

static void Plot(bool toggle, int colour, int x, int y) {
  if (toggle)
    TogglePixel(x, y);
  else
    PlotPixel(x, y, colour);
}

static void Swap(int* a, int* b) {
  const int t = *a;
  *a = *b;
  *b = t;
}

// Errors in 64 bits: end points far outside the image must not overflow.
static void DrawLine(bool toggle, int colour, int x1, int y1, int x2, int y2) {
  currentPointX = x2;
  currentPointY = y2;
  if (x1 == x2) {
    if (y1 > y2) Swap(&y1, &y2);
    for (int y = y1;; y++) {
      Plot(toggle, colour, x1, y);
      if (y == y2) break;
    }
    return;
  }
  if (y1 == y2) {
    if (x1 > x2) Swap(&x1, &x2);
    for (int x = x1;; x++) {
      Plot(toggle, colour, x, y1);
      if (x == x2) break;
    }
    return;
  }
  // Always left to right, so that a line and its reverse give the same pixels.
  if (x1 > x2) {
    Swap(&x1, &x2);
    Swap(&y1, &y2);
  }
  const long long dx = (long long)x2 - x1;
  const long long dy = y2 > y1 ? (long long)y2 - y1 : (long long)y1 - y2;
  const int step = y1 < y2 ? 1 : -1;
  int x = x1, y = y1;
  Plot(toggle, colour, x, y);
  if (dx >= dy) {
    long long e = (dx + 1) / 2;
    while (x != x2) {
      x++;
      e -= dy;
      if (e <= 0) {
        e += dx;
        y += step;
      }
      Plot(toggle, colour, x, y);
    }
  } else {
    long long e = (dy + 1) / 2;
    while (y != y2) {
      y += step;
      e -= dx;
      if (e <= 0) {
        e += dy;
        x++;
      }
      Plot(toggle, colour, x, y);
    }
  }
}

void KRV_Line(int colour, int x1, int y1, int x2, int y2) {
  DrawLine(false, colour, x1, y1, x2, y2);
}

void KRV_XorLine(int x1, int y1, int x2, int y2) { DrawLine(true, 0, x1, y1, x2, y2); }

// Corners unsorted, in drawing order; the current point ends at (x1, y1).
void KRV_Box(int x1, int y1, int x2, int y2) {
  KRV_Line(krv_color, x1, y1, x2, y1);
  KRV_Line(krv_color, x2, y1, x2, y2);
  KRV_Line(krv_color, x2, y2, x1, y2);
  KRV_Line(krv_color, x1, y2, x1, y1);
}

static void SortCorners(int* x1, int* y1, int* x2, int* y2) {
  if (*x1 > *x2) Swap(x1, x2);
  if (*y1 > *y2) Swap(y1, y2);
}

// The sides leave out the corners, so no outline pixel is inverted twice.
void KRV_XorBox(int x1, int y1, int x2, int y2) {
  SortCorners(&x1, &y1, &x2, &y2);
  KRV_XorLine(x1, y1, x2, y1);
  if (y1 != y2) KRV_XorLine(x1, y2, x2, y2);
  if ((long long)y2 - y1 > 1) {
    KRV_XorLine(x1, y1 + 1, x1, y2 - 1);
    KRV_XorLine(x2, y1 + 1, x2, y2 - 1);
  }
}

// One colour over the whole box: every pixel of it inside the image takes the colour, row by
// row, and the current point ends where the outline and the last interior line would leave it.
static bool FillPlainBox(int x1, int y1, int x2, int y2, int colour) {
  const unsigned id = (unsigned)krv_current;
  if (id >= SlotCount || !krv_images[id].inUse || !krv_pixels[id]) return false;
  const ImageSlot& slot = krv_images[id];
  const bool interior = (long long)x2 - x1 >= 2 && (long long)y2 - y1 >= 2;
  currentPointX = interior ? x2 - 1 : x1;
  currentPointY = interior ? y2 - 1 : y1;
  const int left = x1 < 0 ? 0 : x1, right = x2 >= slot.width ? slot.width - 1 : x2;
  const int top = y1 < 0 ? 0 : y1, bottom = y2 >= slot.height ? slot.height - 1 : y2;
  for (int y = top; y <= bottom && left <= right; y++) {
    if (slot.bits == 32) {
      int* row = (int*)krv_pixels[id] + (size_t)y * slot.width;
      for (int x = left; x <= right; x++) row[x] = colour;
    } else {
      unsigned char* row = (unsigned char*)krv_pixels[id] + (size_t)y * ImageStride(8, slot.width);
      memset(row + left, (unsigned char)colour, (size_t)(right - left + 1));
    }
  }
  return true;
}

void KRV_FillBox(int x1, int y1, int x2, int y2, int border, int fill) {
  SortCorners(&x1, &y1, &x2, &y2);
  if (border == fill && FillPlainBox(x1, y1, x2, y2, fill)) return;
  KRV_Line(border, x1, y1, x2, y1);
  KRV_Line(border, x2, y1, x2, y2);
  KRV_Line(border, x2, y2, x1, y2);
  KRV_Line(border, x1, y2, x1, y1);
  if ((long long)x2 - x1 >= 2 && (long long)y2 - y1 >= 2) {
    for (int y = y1 + 1; y <= y2 - 1; y++) KRV_Line(fill, x1 + 1, y, x2 - 1, y);
  }
}

void KRV_XorFillBox(int x1, int y1, int x2, int y2) {
  SortCorners(&x1, &y1, &x2, &y2);
  for (int y = y1;; y++) {
    KRV_XorLine(x1, y, x2, y);
    if (y == y2) break;
  }
}
