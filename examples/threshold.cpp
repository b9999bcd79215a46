// Threshold: device 0's frames in image 0 (at half size) and, beside them in 8-bit image 1,
// white where a pixel's grey level (its largest channel) lies within the bounds and black
// elsewhere. The bounds are the input box's "low" and "high", taken when "Apply" is pressed;
// 128..255 until then.
#include <stdlib.h>

#include "korvel.h"

void AppSetup(void) {
  KRV_OpenInputBox(0, 530, 2);
  KRV_SetInputBoxTitle(0, "low");
  KRV_SetInputBoxTitle(1, "high");
  KRV_OpenButtonBox(250, 530, 1, 1);
  KRV_SetButtonBoxTitle(0, "Apply");
  KRV_OpenTextWindow(0, 400, 530, 300, 150);
  int code = KRV_StartCapture(10.0);
  if (code != 0) KRV_Print("Error %d\n", code);
}

static int Bound(int item) {
  char text[32];
  KRV_GetInputBoxValue(item, text, sizeof text);
  int value = atoi(text);
  return value < 0 ? 0 : value > 255 ? 255 : value;
}

void AppMain(void) {
  int width = CaptureWidth, height = CaptureHeight, stride = 0;
  // The camera at half size, so that both fit side by side.
  KRV_CreateImage(0, "camera", 0, 0, width, height, 50);
  KRV_CreateImage8(1, "threshold", width / 2 + 10, 0, width, height, 100);
  KRV_GetImageInfo(1, NULL, NULL, NULL, &stride);
  int low = 128, high = 255;
  int result;
  while ((result = KRV_GrabFrame(0, 0, 1000)) == GrabDone || result == GrabTimedOut) {
    if (KRV_ButtonPressed(0)) {
      low = Bound(0);
      high = Bound(1);
      KRV_Print("bounds %d..%d\n", low, high);
    }
    if (result == GrabTimedOut) continue;
    const int* pixels = (const int*)krv_pixels[0];
    unsigned char* out = (unsigned char*)krv_pixels[1];
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        int grey = KRV_Value(pixels[y * width + x]);
        out[(size_t)y * stride + x] = grey >= low && grey <= high ? 255 : 0;
      }
    KRV_RedrawImage(0);
    KRV_RedrawImage(1);
  }
  KRV_DestroyImage(1);
  KRV_DestroyImage(0);
}
