// The unwrap routines on images 0 and 1 and the ring overlay, as rimview calls them.
#include "panel_fixture.h"

#include <string.h>

namespace {

int Inverted(int pixel) { return pixel ^ 0xFFFFFF; }

TEST_F(Panel, TopStripGoesFromImage0IntoImage1) {
  std::vector<int> camera = ImagePixels(0), output = ImagePixels(1);
  ring.angleOffset = 0.7;
  UnwrapTopStrip();
  EXPECT_TRUE(CoreStrip(StripTop, camera, output) == ImagePixels(1));
  EXPECT_TRUE(camera == ImagePixels(0));
  // Row 0 and column 0 are never written; the last ray is the one of column 1.
  EXPECT_EQ(output[CaptureWidth / 2], ImagePixels(1)[CaptureWidth / 2]);
  EXPECT_EQ(output[(size_t)ring.r * CaptureWidth], ImagePixels(1)[(size_t)ring.r * CaptureWidth]);
  EXPECT_EQ((CaptureWidth - 1) * (TwoPi / CaptureWidth) + 0.7, ray.currentAngle);
  EXPECT_EQ(1, krv_current);
  const int history[8] = {0, 1, 0, 1, 0, 1, 0, 1};
  EXPECT_EQ(0, memcmp(history, krv_history, sizeof history));
}

TEST_F(Panel, CentredAndHalfStripsRedrawAndDrawTheOverlay) {
  for (int layout : {StripCentred, StripHalves}) {
    FillPseudoRandom(0, 20 + layout);
    std::vector<int> camera = ImagePixels(0), output = ImagePixels(1);
    camOverlay = 1;
    if (layout == StripCentred)
      UnwrapCentredStrip();
    else
      UnwrapHalfStrips();
    EXPECT_TRUE(CoreStrip(layout, camera, output) == ImagePixels(1)) << layout;
    EXPECT_FALSE(camera == ImagePixels(0)) << layout;
    DrawRingOverlay();  // the second drawing takes it away again
    EXPECT_TRUE(camera == ImagePixels(0)) << layout;
    camOverlay = 0;
    if (layout == StripCentred)
      UnwrapCentredStrip();
    else
      UnwrapHalfStrips();
    EXPECT_TRUE(camera == ImagePixels(0)) << layout;
  }
}

TEST_F(Panel, RaysReadTheCurrentImageWhenImage0IsGone) {
  std::vector<int> output = ImagePixels(1);
  ASSERT_EQ(0, KRV_DestroyImage(0));
  ASSERT_EQ(0, KRV_SelectImage(1));
  UnwrapTopStrip();
  // The core over one plane is what the per-ray selections do when only image 1 is left.
  std::vector<int> same = output;
  PixelPlane plane = {same.data(), CaptureWidth, CaptureHeight, CaptureWidth};
  RayState scratch;
  UnwrapStrip(&ring, StripTop, &plane, &plane, &scratch);
  EXPECT_TRUE(same == ImagePixels(1));
}

TEST_F(Panel, SampleRayWalksTheCurrentImage) {
  ASSERT_EQ(0, KRV_SelectImage(0));
  int* pixels = (int*)krv_pixels[0];
  int x0 = ring.X0, y0 = ring.Y0;
  EXPECT_EQ(ring.r, SampleRay(x0 + ring.r, y0));
  EXPECT_EQ(ring.r, ray.rayLength);
  for (int i = 0; i <= ring.r; i++)
    EXPECT_EQ(pixels[(size_t)y0 * CaptureWidth + x0 + i], ray.raySamples[i]) << i;
  // Off the image to the left the samples are black: from a centre within a ray's reach of the
  // edge (at 1280 x 960 the middle is further).
  if (x0 > MaxRingRadius - 5) ring.X0 = x0 = MaxRingRadius - 5;
  EXPECT_EQ(x0 + 5, SampleRay(-5, y0));
  EXPECT_EQ(pixels[(size_t)y0 * CaptureWidth], ray.raySamples[x0]);
  for (int i = x0 + 1; i <= x0 + 5; i++) EXPECT_EQ(0, ray.raySamples[i]) << i;
}

TEST_F(Panel, ShowCameraFrameCopiesImage0ToImage1) {
  ShowCameraFrame();
  EXPECT_TRUE(ImagePixels(0) == ImagePixels(1));
}

TEST_F(Panel, RingOverlayInvertsTheMarkerAndASecondDrawingRestoresIt) {
  std::vector<int> camera = ImagePixels(0);
  const int x = ring.X0, y = ring.Y0, w = CaptureWidth;
  auto at = [&](int px, int py) { return ImagePixels(0)[(size_t)py * w + px]; };
  auto was = [&](int px, int py) { return camera[(size_t)py * w + px]; };
  DrawRingOverlay();
  EXPECT_EQ(0, krv_current);
  EXPECT_EQ(Inverted(was(x + ring.r, y)), at(x + ring.r, y));        // on the circle
  EXPECT_EQ(Inverted(was(x, y - ring.r)), at(x, y - ring.r));
  EXPECT_EQ(was(x + ring.r - 3, y), at(x + ring.r - 3, y));          // inside the ring
  EXPECT_EQ(Inverted(was(x + 5, y + 5)), at(x + 5, y + 5));          // on the disc
  EXPECT_EQ(was(x, y + 5), at(x, y + 5));                            // the cross inverts back
  EXPECT_EQ(was(x - 8, y), at(x - 8, y));
  EXPECT_EQ(Inverted(was(x, y)), at(x, y));                          // disc and both lines
  EXPECT_EQ(was(x + 12, y + 12), at(x + 12, y + 12));                // beyond the disc
  EXPECT_EQ(ParameterLines(x, y, ring.r), TextPixels(0));

  DrawRingOverlay();
  EXPECT_TRUE(camera == ImagePixels(0));
  // The window shows the three lines once, as after a single drawing.
  EXPECT_EQ(ParameterLines(x, y, ring.r), TextPixels(0));
}

}  // namespace
