// The values of one pixel in every colour space, as the "Pixel" tool prints them. Pure.
#include <stdio.h>

#include "draw/draw.h"

void FormatPixelReport(char* out, int size, int bits, int x, int y, int v) {
  if (!out || size < 1) return;
  if (bits != 32) {
    snprintf(out, size, "(X,Y)=(%d,%d)\n(Luminance)=(%d)\n\n", x, y, v);
    return;
  }
  const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
  const int luma = LumaY(r, g, b);
  snprintf(out, size,
           "(X,Y)=(%d,%d)\n(R,G,B)=(%d,%d,%d)\n(H,S,V)=(%d,%d,%d)\n(Y,Cr,Cb)=(%d,%d,%d)\n"
           "(Y,u,v)=(%d,%d,%d)\n(Y,I,Q)=(%d,%d,%d)\n\n",
           x, y, r, g, b, KRV_Hue(v), KRV_Saturation(v), KRV_Value(v), luma,
           ChromaCr(r, g, b), ChromaCb(r, g, b), luma, ChromaU(r, g, b), ChromaV(r, g, b), luma,
           ChromaI(r, g, b), ChromaQ(r, g, b));
}

void ReportPixel(int id, int x, int y) {
  const ImageSlot* slot = ImageInUse(id);
  if (!slot) return;
  const int previous = UseImage(id);
  const int v = KRV_GetPixel(x, y);
  RestoreImage(previous);
  char report[PixelReportSize];
  FormatPixelReport(report, sizeof report, slot->bits, x, y, v);
  KRV_ShowTextWindow();
  KRV_Print("%s", report);
}
