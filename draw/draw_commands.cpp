// The drawing commands of the image window's processing menu: the drawing colour from the
// colour dialog or from a pixel, and lines, boxes, circles and flood fills placed with the
// picks. Worker thread, inside its message pumping. Each acts on image id, which the pick
// makes current; a cancelled pick draws nothing.
#include "draw/draw.h"

#include <commdlg.h>

COLORREF customColours[16];

// A pick ended by Stop returns 0 too, with the points it had so far: nothing is drawn then.
bool Picked(int result) { return result == 0 && !stopRequested; }

static void Repaint(int id) {
  const ImageSlot* slot = ImageInUse(id);
  if (slot) InvalidateRect(slot->window, NULL, FALSE);
}

// A cancelled dialog leaves its colour at the one it started with, which is stored all the same.
void ChangeColourCommand(int id) {
  const ImageSlot* slot = ImageInUse(id);
  CHOOSECOLORW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = slot ? slot->window : NULL;
  dialog.rgbResult = ToColorref(krv_color);
  dialog.lpCustColors = customColours;
  dialog.Flags = CC_FULLOPEN | CC_RGBINIT;
  ChooseColorW(&dialog);
  krv_color = krv_tttc = krv_tc = FromColorref(dialog.rgbResult);
}

static int PaletteColour(const ImageSlot* slot, int index) {
  RGBQUAD entry = {};
  GetDIBColorTable(slot->memDC, (UINT)index, 1, &entry);
  return (entry.rgbRed << 16) | (entry.rgbGreen << 8) | entry.rgbBlue;
}

void PickColourCommand(int id) {
  int x, y;
  if (!Picked(KRV_PickPoint(id, &x, &y))) return;
  const ImageSlot* slot = ImageInUse(id);
  if (!slot) return;
  krv_color = KRV_GetPixel(x, y);
  krv_tttc = slot->bits == 8 ? PaletteColour(slot, krv_color) : krv_color;
}

void DrawLineCommand(int id) {
  int x1, y1, x2, y2;
  if (!Picked(KRV_PickLine(id, &x1, &y1, &x2, &y2))) return;
  KRV_Line(krv_color, x1, y1, x2, y2);
  Repaint(id);
}

void DrawRowCommand(int id) {
  int x, y;
  if (!Picked(KRV_PickRow(id, &x, &y))) return;
  KRV_Line(krv_color, 0, y, krv_images[id].width - 1, y);
  Repaint(id);
}

void DrawColumnCommand(int id) {
  int x, y;
  if (!Picked(KRV_PickColumn(id, &x, &y))) return;
  KRV_Line(krv_color, x, 0, x, krv_images[id].height - 1);
  Repaint(id);
}

static void DrawPickedBox(int id, void (*draw)(int x1, int y1, int x2, int y2)) {
  int x1, y1, x2, y2;
  if (!Picked(KRV_PickBox(id, &x1, &y1, &x2, &y2))) return;
  draw(x1, y1, x2, y2);
  Repaint(id);
}

static void FillBoxInDrawingColour(int x1, int y1, int x2, int y2) {
  KRV_FillBox(x1, y1, x2, y2, krv_color, krv_color);
}

void DrawBoxCommand(int id) { DrawPickedBox(id, KRV_Box); }
void FillBoxCommand(int id) { DrawPickedBox(id, FillBoxInDrawingColour); }
void XorFillBoxCommand(int id) { DrawPickedBox(id, KRV_XorFillBox); }

static void DrawPickedCircle(int id, void (*draw)(int cx, int cy, int r)) {
  int cx, cy, r;
  if (!Picked(KRV_PickCircle(id, &cx, &cy, &r))) return;
  draw(cx, cy, r);
  Repaint(id);
}

static void CircleInDrawingColour(int cx, int cy, int r) { KRV_Circle(krv_color, cx, cy, r); }

void DrawCircleCommand(int id) { DrawPickedCircle(id, CircleInDrawingColour); }
void FillCircleCommand(int id) { DrawPickedCircle(id, KRV_FillCircle); }
void XorFillCircleCommand(int id) { DrawPickedCircle(id, KRV_XorFillCircle); }

void PaintCommand(int id) {
  int x, y;
  if (!Picked(KRV_PickPoint(id, &x, &y))) return;
  KRV_Paint(x, y);
  Repaint(id);
}
