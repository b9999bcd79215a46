// Image windows of a running program, looked at on the screen.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

// Colours of the drawn figure at image coordinates, with the window's zoom.
void ExpectFigure(HWND window, int zoom) {
  struct {
    int x, y;
    COLORREF colour;
  } const samples[] = {
      {30, 30, RGB(255, 255, 0)},        // the disc
      {30, 12, RGB(255, 255, 0)},        // near its top
      {30, 5, RGB(255, 0, 0)},           // the circle around it
      {30, 8, RGB(0, 0, 0x40)},          // between the two: the fill of the frame
      {115, 45, RGB(0, 0, 0x40)},        // the fill
      {0, 50, RGB(0x20, 0x20, 0x20)},    // the border of the frame
      {119, 89, RGB(0x20, 0x20, 0x20)},  // its last pixel
      {90, 5, RGB(0xFF, 0xFF, 0xBF)},    // the XOR box, over the fill
      {72, 20, RGB(0, 0, 0x40)},         // inside the XOR box: untouched
      {90, 20, RGB(0xFF, 0xFF, 0xBF)},   // the XOR fill
      {70, 60, RGB(0, 255, 255)},        // the painted box's outline
      {90, 70, RGB(255, 0, 255)},        // painted
      {71, 51, RGB(255, 0, 255)},        // painted into its corner
      {60, 45, RGB(255, 255, 255)},      // one pixel
      {2, 87, RGB(0, 255, 0)},           // the line's ends
      {57, 62, RGB(0, 255, 0)},
  };
  for (const auto& sample : samples) {
    for (int dy = 0; dy < zoom / 100; dy++)
      for (int dx = 0; dx < zoom / 100; dx++)
        EXPECT_EQ(sample.colour, ScreenPixel(window, sample.x * zoom / 100 + dx,
                                             sample.y * zoom / 100 + dy))
            << sample.x << "," << sample.y << " at " << zoom;
  }
}

}  // namespace

TEST(ImageWindow, ShowsTheDrawnFigureAtZoom100And200) {
  Probe probe("image");
  ASSERT_TRUE(probe.WaitReady());
  EXPECT_TRUE(probe.WaitForLog("image 0 0\nimage 1 0\n"));
  HWND one = WaitForWindow(L"krv_iw", L"figure(100%)", probe.program().id, 5000);
  HWND two = WaitForWindow(L"krv_iw", L"figure(200%)", probe.program().id, 5000);
  ASSERT_TRUE(one && two);
  RECT client = ClientRectOf(one);
  EXPECT_EQ(120, client.right - client.left);
  EXPECT_EQ(90, client.bottom - client.top);
  client = ClientRectOf(two);
  EXPECT_EQ(240, client.right - client.left);
  EXPECT_EQ(180, client.bottom - client.top);
  Sleep(300);  // the worker's pumping paints them
  ExpectFigure(one, 100);
  ExpectFigure(two, 200);
  // Closing a window destroys its image; the other stays.
  PostMessageW(one, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(one); }, 5000));
  EXPECT_TRUE(IsWindow(two));
}
