// rimview's routines on real image and text windows, created on the test thread, which plays the
// worker thread: images 0 and 1 of the capture size and text window 0, as AppSetup and AppMain
// leave them, with a pseudo-random camera picture.
#ifndef KORVEL_PANEL_FIXTURE_H
#define KORVEL_PANEL_FIXTURE_H

#include <gtest/gtest.h>

#include <vector>

#include "app/app.h"
#include "support/framework_windows.h"
#include "support/seeded_random.h"
#include "text/text.h"

inline std::vector<int> ImagePixels(int id) {
  const int* first = (const int*)krv_pixels[id];
  return std::vector<int>(first, first + (size_t)krv_images[id].width * krv_images[id].height);
}

inline void FillPseudoRandom(int id, unsigned seed) {
  Random random(seed);
  int* pixel = (int*)krv_pixels[id];
  for (int i = 0; i < krv_images[id].width * krv_images[id].height; i++)
    pixel[i] = (int)(random() & 0xFFFFFF);
}

// The pixels of text window n's off-screen bitmap, row by row.
inline std::vector<COLORREF> TextPixels(int n) {
  const TextWindowSlot& slot = textWindows[n];
  std::vector<COLORREF> pixels;
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < slot.width; x++) pixels.push_back(GetPixel(slot.memoryDC, x, y));
  return pixels;
}

class Panel : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFrameworkWindows();
    Forget();
    ring = InitialRing(CaptureWidth, CaptureHeight);
    panel = PanelState{1, 1, 0, 0};
    camOverlay = 1;
    ASSERT_EQ(0, KRV_OpenTextWindow(0, 0, 0, 198, 198));
    ASSERT_EQ(0, KRV_CreateImage(0, "000", 0, 0, CaptureWidth, CaptureHeight, 100));
    ASSERT_EQ(0, KRV_CreateImage(1, "Hello,there!", 200, 200, CaptureWidth, CaptureHeight, 100));
    ASSERT_EQ(100, krv_images[0].zoom);
    FillPseudoRandom(0, 11);
    FillPseudoRandom(1, 12);
  }
  void TearDown() override { Forget(); }
  static void Forget() {
    for (int id = 0; id < 256; id++) KRV_DestroyImage(id);
    for (int n = 0; n < 256; n++) KRV_CloseTextWindow(n);
    krv_current = 0;
    PumpFor(2);
  }
  // The core's strip of the layout from image 0's pixels over image 1's.
  static std::vector<int> CoreStrip(int layout, const std::vector<int>& camera,
                                    std::vector<int> output) {
    std::vector<int> source = camera;
    PixelPlane from = {source.data(), CaptureWidth, CaptureHeight, CaptureWidth};
    PixelPlane to = {output.data(), CaptureWidth, CaptureHeight, CaptureWidth};
    RayState scratch;
    UnwrapStrip(&ring, layout, &from, &to, &scratch);
    return output;
  }
  // What the text window shows after it was cleared and given the three parameter lines.
  static std::vector<COLORREF> ParameterLines(int X0, int Y0, int r) {
    int previous = currentTextWindow;
    EXPECT_EQ(0, KRV_OpenTextWindow(9, 400, 0, 198, 198));
    KRV_Print("X0: %d\n", X0);
    KRV_Print("Y0: %d\n", Y0);
    KRV_Print(" r: %d\n", r);
    std::vector<COLORREF> pixels = TextPixels(9);
    KRV_CloseTextWindow(9);
    KRV_SelectTextWindow(previous);
    return pixels;
  }
};

#endif
