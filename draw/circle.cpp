// Circles and discs in colour and XOR flavours: one integer stepping over the octant from the
// top of the circle towards 45 degrees, shared by all four. Worker thread.
#include "draw/draw.h"

struct CircleFigure {
  int cx, cy;
  bool toggle;
  int colour;
};

// Calls emitPoints for each step, and emitCap with the cap row just before y decreases (and
// once more after the loop when the last step kept y). Numbers in 64 bits for huge radii.
static void StepOctant(int r, void (*emitPoints)(int x, int y, const CircleFigure* figure),
                       void (*emitCap)(int x, int y, const CircleFigure* figure),
                       const CircleFigure* figure) {
  const long long limit = 5LL * r / 7;
  long long d = r;
  int x = 0, y = r;
  bool decreased = false;
  for (;;) {
    emitPoints(x, y, figure);
    d -= 2LL * x + 1;
    decreased = d <= 0;
    if (decreased) {
      if (emitCap) emitCap(x, y, figure);
      d += 2LL * y - 2;
      y--;
    }
    if (x + 1LL > limit || x + 1 > y) break;
    x++;
  }
  if (!decreased && emitCap) emitCap(x, y, figure);
}

static void Point(const CircleFigure* f, int x, int y) {
  if (f->toggle)
    KRV_XorPixel(x, y);
  else
    KRV_PutPixel(x, y, f->colour);
}

// The points skipped at x = 0 and x = y coincide with others, so none is inverted twice.
static void OutlinePoints(int x, int y, const CircleFigure* f) {
  Point(f, f->cx - x, f->cy + y);
  Point(f, f->cx + x, f->cy - y);
  if (x != 0 && x != y) {
    Point(f, f->cx + x, f->cy + y);
    Point(f, f->cx - x, f->cy - y);
    Point(f, f->cx + y, f->cy - x);
    Point(f, f->cx - y, f->cy + x);
  }
  Point(f, f->cx + y, f->cy + x);
  Point(f, f->cx - y, f->cy - x);
}

static void Span(const CircleFigure* f, int row, int left, int right) {
  if (f->toggle)
    KRV_XorLine(left, row, right, row);
  else
    KRV_Line(f->colour, left, row, right, row);
}

static void SideSpans(int x, int y, const CircleFigure* f) {
  if (x == y) return;
  Span(f, f->cy + x, f->cx - y, f->cx + y);
  if (x != 0) Span(f, f->cy - x, f->cx - y, f->cx + y);
}

static void CapSpans(int x, int y, const CircleFigure* f) {
  Span(f, f->cy + y, f->cx - x, f->cx + x);
  Span(f, f->cy - y, f->cx - x, f->cx + x);
}

void KRV_Circle(int colour, int cx, int cy, int r) {
  const CircleFigure figure = {cx, cy, false, colour};
  StepOctant(r, OutlinePoints, NULL, &figure);
}

void KRV_XorCircle(int cx, int cy, int r) {
  const CircleFigure figure = {cx, cy, true, 0};
  StepOctant(r, OutlinePoints, NULL, &figure);
}

// The spans never overlap, and the outline drawn over them lies inside the disc.
void KRV_FillCircle(int cx, int cy, int r) {
  const CircleFigure figure = {cx, cy, false, krv_color};
  StepOctant(r, SideSpans, CapSpans, &figure);
  KRV_Circle(krv_color, cx, cy, r);
}

void KRV_XorFillCircle(int cx, int cy, int r) {
  const CircleFigure figure = {cx, cy, true, 0};
  StepOctant(r, SideSpans, CapSpans, &figure);
}
