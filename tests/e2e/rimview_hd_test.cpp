// rimview-hd on the virtual camera: its windows at 1280 x 960, the ring it starts with (centre
// 640, 480, radius 384) on image 0 and in the console, and a panorama that is exactly the unwrap
// of one of the pictures the camera delivers.
#include <gtest/gtest.h>

#include <stdint.h>

#include <map>
#include <vector>

#include "app/unwrap.h"
#include "rimview_session.h"
#include "tools/virtual_camera/picture.h"

namespace {

const int W = 1280, H = 960;
const int CameraPictures = 60;  // the camera's moving disc comes round every 60 frames

uint64_t Fingerprint(const std::vector<COLORREF>& pixels) {
  uint64_t hash = 14695981039346656037ull;
  for (COLORREF pixel : pixels) hash = (hash ^ pixel) * 1099511628211ull;
  return hash;
}

// Picture n of the camera, top row first: the still scene with the disc drawn where it runs.
std::vector<int> CameraPicture(const std::vector<int>& still, int n) {
  std::vector<int> picture = still;
  double mx, my;
  CameraMarkerCentre(n, W, H, &mx, &my);
  const double r = CameraMarkerRadius(H);
  for (int y = (int)(my - r) - 1; y <= (int)(my + r) + 1; y++)
    for (int x = (int)(mx - r) - 1; x <= (int)(mx + r) + 1; x++)
      if (x >= 0 && x < W && y >= 0 && y < H) picture[(size_t)y * W + x] = CameraPixel(x, y, W, H, n);
  return picture;
}

// Image 1 as a strip mode leaves it for that picture: cleared, then the strip unrolled with the
// ring rimview-hd starts with.
std::vector<COLORREF> ShownStrip(std::vector<int> picture, int layout) {
  std::vector<int> strip((size_t)W * H, 0);
  RingGeometry ring = {640, 480, 384, 1280, 0.0, W, H};
  PixelPlane source = {picture.data(), W, H, W}, target = {strip.data(), W, H, W};
  static RayState ray;
  UnwrapStrip(&ring, layout, &source, &target, &ray);
  std::vector<COLORREF> pixels(strip.size());
  for (size_t i = 0; i < strip.size(); i++) pixels[i] = AsColorref(strip[i]);
  return pixels;
}

struct Shown {
  int layout, picture;
};

TEST(RimviewHd, ShowsTheExactUnwrapOfTheCameraPictureAt1280x960) {
  std::vector<COLORREF> report = PrintedLines(L"X0: 640|Y0: 480| r: 384");
  ASSERT_FALSE(report.empty());
  // Every image 1 a strip mode can show, by fingerprint; a match is then compared whole.
  std::vector<int> still((size_t)W * H);
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) still[(size_t)y * W + x] = CameraStillPixel(x, y, W, H);
  std::map<uint64_t, Shown> strips;
  for (int layout : {StripCentred, StripHalves})
    for (int n = 0; n < CameraPictures; n++)
      strips[Fingerprint(ShownStrip(CameraPicture(still, n), layout))] = {layout, n};

  Rimview rimview(HdSize);
  ASSERT_TRUE(rimview.Ready());
  RECT client = ClientRectOf(rimview.camera());
  EXPECT_EQ(W, client.right);
  EXPECT_EQ(H, client.bottom);
  rimview.Start();
  HWND output = rimview.Output();
  ASSERT_TRUE(output);
  client = ClientRectOf(output);
  EXPECT_EQ(W, client.right);
  EXPECT_EQ(H, client.bottom);
  rimview.Click(20);  // "demo" holds a strip mode, which draws the overlay after every strip

  // The overlay on image 0: the centre disc and the ring inverted.
  MoveTo(rimview.text(), 1300, 0);
  MoveTo(rimview.box(), 1300, 300);
  MoveTo(output, 0, 1100);
  MoveClientTo(rimview.camera(), 0, 0);
  HWND camera = rimview.camera();
  auto inverted = [](int x, int y) { return AsColorref(CameraStillPixel(x, y, W, H) ^ 0xFFFFFF); };
  EXPECT_TRUE(WaitFor([&] { return ScreenPixel(camera, 645, 485) == inverted(645, 485); }, 5000));
  EXPECT_EQ(inverted(640 + 384, 480), ScreenPixel(camera, 640 + 384, 480));
  EXPECT_EQ(inverted(640, 480 - 384), ScreenPixel(camera, 640, 480 - 384));

  // Image 1 whole on the screen, over image 0.
  MoveClientTo(output, 0, 0);
  SetWindowPos(output, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  rimview.PaintedAll();
  std::vector<COLORREF> screen;
  Shown shown = {-1, -1};
  WaitFor(
      [&] {
        screen = ScreenOf(output);
        auto match = strips.find(Fingerprint(screen));
        if (match == strips.end()) return false;
        shown = match->second;
        return true;
      },
      15000);
  ASSERT_LE(0, shown.picture) << Difference(output, ShownStrip(still, StripCentred))
                              << " (against the still scene's centred strip)";
  EXPECT_TRUE(screen == ShownStrip(CameraPicture(still, shown.picture), shown.layout))
      << "layout " << shown.layout << ", picture " << shown.picture;

  MoveTo(output, 0, 1100);
  MoveTo(camera, 300, 0);
  MoveTo(rimview.text(), 0, 0);
  rimview.PaintedAll();
  EXPECT_TRUE(WaitFor([&] { return ScreenOf(rimview.text()) == report; }, 3000))
      << Difference(rimview.text(), report);
  rimview.Stop();
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(output) && !IsWindow(rimview.camera()); }, 5000));
}

}  // namespace
