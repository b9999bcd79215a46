// Pixels, colour conversions and drawing primitives on the current image. Worker thread, which
// owns the images. The conversions are pure integer arithmetic, usable from any thread.
#ifndef KORVEL_DRAW_H
#define KORVEL_DRAW_H

#include "image/image.h"

// The current point: where KRV_PutPixel, KRV_XorPixel and the lines left off.
extern int currentPointX, currentPointY;

// The pixel calls without moving the current point. ProbePixel reads -1 outside the image.
void PlotPixel(int x, int y, int colour);
void TogglePixel(int x, int y);
int ProbePixel(int x, int y);

// Luminance and colour differences of channels 0..255: (weighted sum + 32768) / 65536,
// truncated toward zero.
int LumaY(int r, int g, int b);
int ChromaCr(int r, int g, int b);
int ChromaCb(int r, int g, int b);
int ChromaU(int r, int g, int b);
int ChromaV(int r, int g, int b);
int ChromaI(int r, int g, int b);
int ChromaQ(int r, int g, int b);

// A point of a chroma plane back to 0x00RRGGBB: p is the horizontal axis (Cb, u or Q), n the
// vertical one (Cr, v or I).
enum ChromaSpace { ChromaYCrCb, ChromaYuv, ChromaYIQ };
int ChromaPlaneToRgb(int space, int y, int p, int n);

// ---- Picks and the drawing commands ----
// Distance from a centre to (dx, dy) away, rounded to the nearest integer, halves up.
int RoundedRadius(int dx, int dy);
// The colour dialog's custom colours, kept for the whole run.
extern COLORREF customColours[16];
// The processing menu's drawing commands on image id (the picks make it current).
void ChangeColourCommand(int id);  // colour dialog; its colour is stored even when cancelled
void PickColourCommand(int id);
void DrawLineCommand(int id);
void DrawRowCommand(int id);
void DrawColumnCommand(int id);
void DrawBoxCommand(int id);
void FillBoxCommand(int id);
void XorFillBoxCommand(int id);
void DrawCircleCommand(int id);
void FillCircleCommand(int id);
void XorFillCircleCommand(int id);
void PaintCommand(int id);

#endif
