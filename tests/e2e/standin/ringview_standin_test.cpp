// ringview live through Wine's own capture source on the V4L2 stand-in device: its frames carry
// no mirror picture, so the ring search may find one or none; either way the viewer runs live,
// the camera picture is a frame the device delivered and the panorama is exactly its unwrap.
#include <gtest/gtest.h>

#include <stdio.h>

#include <vector>

#include "ringview_session.h"
#include "standin_device.h"
#include "tools/v4l2_standin/standin_pattern.h"

namespace {

class StandinRingview : public StandinOnly {};

bool FindReported(const RingReport& r) {
  return r.message.compare(0, 12, "ring found: ") == 0 ||
         r.message.compare(0, 14, "no ring found ") == 0;
}

// The frame of the device's pattern (0..7) that the picture shows, or -1.
int PatternFrame(const std::vector<COLORREF>& picture, int width, int height) {
  if (picture.size() != (size_t)width * height) return -1;
  for (unsigned n = 0; n < 8; n++) {
    bool same = true;
    for (int y = 0; y < height && same; y++)
      for (int x = 0; x < width && same; x++) {
        const unsigned rgb = StandinPixel(x, y, n, 0);
        same = picture[(size_t)y * width + x] == RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
      }
    if (same) return (int)n;
  }
  return -1;
}

TEST_F(StandinRingview, RunsLiveAndShowsTheUnwrapOfTheFrameDelivered) {
  Device device({L"KRV_V4L2_FPS=10"});
  ASSERT_TRUE(device.Configured());
  Ringview ringview(L"ringview.exe", 640, 480);
  ASSERT_TRUE(ringview.Ready());
  ringview.Start();
  RingReport found = ringview.WaitForReport(
      [](const RingReport& r) { return FindReported(r) && r.frames; }, 15000);
  ASSERT_TRUE(found.valid) << ringview.Report().message;
  printf("the stand-in's pattern: %s\n", found.message.c_str());
  EXPECT_GT(found.fps, 0.0);
  ringview.Press(PressOverlay);
  RingReport ring = ringview.WaitForReport([](const RingReport& r) { return !r.overlay; });
  ASSERT_TRUE(ring.valid);
  // A panorama that stays the same while the camera picture is read is that picture's, and
  // that picture is one of the device's frames.
  std::vector<COLORREF> camera;
  EXPECT_TRUE(ringview.LivePanoramaIsTheUnwrap(ring, &camera, [](const std::vector<COLORREF>& c) {
    return PatternFrame(c, 640, 480) >= 0;
  }));
  const int frame = PatternFrame(camera, 640, 480);
  // Frames keep coming: a later one shows another of the pattern's frames.
  EXPECT_TRUE(WaitFor(
      [&] {
        int now = PatternFrame(ScreenOf(ringview.camera()), 640, 480);
        return now >= 0 && now != frame;
      },
      10000));
  // A search asked for again reports again, whatever it finds.
  ringview.Press(PressFind);
  EXPECT_TRUE(ringview
                  .WaitForReport([&](const RingReport& r) {
                    return r.at > ring.at && FindReported(r);
                  })
                  .valid);
  ringview.Stop();
  EXPECT_TRUE(
      ringview.WaitForReport([](const RingReport& r) { return r.message == "stopped"; }).valid);
  EXPECT_TRUE(ringview.Exit());
}

}  // namespace
