// Histogram: device 0's frames in image 0 and the histogram of their grey levels (a pixel's
// largest channel) plotted with the drawing calls in image 1, 256 x 128: one white bar per
// level, count x 127 / the largest count pixels above the bottom row, none for an empty level.
#include "korvel.h"

enum { Levels = 256, PlotHeight = 128 };

void AppSetup(void) {
  int code = KRV_StartCapture(10.0);
  if (code != 0) {
    KRV_OpenTextWindow(0, 0, 530, 300, 100);
    KRV_Print("Error %d\n", code);
  }
}

static void PlotHistogram(int id, const long counts[Levels]) {
  long largest = 1;
  for (int level = 0; level < Levels; level++)
    if (counts[level] > largest) largest = counts[level];
  KRV_SelectImage(id);
  KRV_ClearImage(id);
  for (int level = 0; level < Levels; level++) {
    if (counts[level] == 0) continue;
    int bar = (int)(counts[level] * (PlotHeight - 1) / largest);
    KRV_Line(0xFFFFFF, level, PlotHeight - 1, level, PlotHeight - 1 - bar);
  }
  KRV_RedrawImage(id);
}

void AppMain(void) {
  int width = CaptureWidth, height = CaptureHeight;
  KRV_CreateImage(0, "camera", 0, 0, width, height, 100);
  KRV_CreateImage(1, "histogram", width + 10, 0, Levels, PlotHeight, 100);
  int result;
  while ((result = KRV_GrabFrame(0, 0, 1000)) == GrabDone || result == GrabTimedOut) {
    if (result == GrabTimedOut) continue;
    long counts[Levels] = {};
    const int* pixels = (const int*)krv_pixels[0];
    for (int i = 0; i < width * height; i++) counts[KRV_Value(pixels[i])]++;
    KRV_RedrawImage(0);
    PlotHistogram(1, counts);
  }
  KRV_DestroyImage(1);
  KRV_DestroyImage(0);
}
