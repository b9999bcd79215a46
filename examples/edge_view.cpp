// Live edge view: device 0's frames in image 0 (at half size) and, beside them in 8-bit image 1,
// the Sobel magnitude |gx| + |gy| (at most 255) of their grey levels, a pixel's grey level being
// its largest channel. The outermost rows and columns have no full neighbourhood and stay 0.
#include <stdlib.h>

#include <vector>

#include "korvel.h"

void AppSetup(void) {
  int code = KRV_StartCapture(10.0);
  if (code != 0) {
    KRV_OpenTextWindow(0, 0, 530, 300, 100);
    KRV_Print("Error %d\n", code);
  }
}

static void SobelInto(int id, const std::vector<unsigned char>& grey, int width, int height) {
  int stride = 0;
  KRV_GetImageInfo(id, NULL, NULL, NULL, &stride);
  unsigned char* out = (unsigned char*)krv_pixels[id];
  for (int y = 1; y + 1 < height; y++) {
    const unsigned char* above = &grey[(size_t)(y - 1) * width];
    const unsigned char* row = &grey[(size_t)y * width];
    const unsigned char* below = &grey[(size_t)(y + 1) * width];
    for (int x = 1; x + 1 < width; x++) {
      int gx = (above[x + 1] + 2 * row[x + 1] + below[x + 1]) -
               (above[x - 1] + 2 * row[x - 1] + below[x - 1]);
      int gy = (below[x - 1] + 2 * below[x] + below[x + 1]) -
               (above[x - 1] + 2 * above[x] + above[x + 1]);
      int magnitude = abs(gx) + abs(gy);
      out[(size_t)y * stride + x] = (unsigned char)(magnitude > 255 ? 255 : magnitude);
    }
  }
}

void AppMain(void) {
  int width = CaptureWidth, height = CaptureHeight;
  // The camera at half size, so that both fit side by side.
  KRV_CreateImage(0, "camera", 0, 0, width, height, 50);
  KRV_CreateImage8(1, "edges", width / 2 + 10, 0, width, height, 100);
  std::vector<unsigned char> grey((size_t)width * height);
  int result;
  while ((result = KRV_GrabFrame(0, 0, 1000)) == GrabDone || result == GrabTimedOut) {
    if (result == GrabTimedOut) continue;
    const int* pixels = (const int*)krv_pixels[0];
    for (size_t i = 0; i < grey.size(); i++) grey[i] = (unsigned char)KRV_Value(pixels[i]);
    SobelInto(1, grey, width, height);
    KRV_RedrawImage(0);
    KRV_RedrawImage(1);
  }
  KRV_DestroyImage(1);
  KRV_DestroyImage(0);
}
