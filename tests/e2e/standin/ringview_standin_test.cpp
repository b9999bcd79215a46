// ringview live through Wine's own capture source on the V4L2 stand-in device: its frames carry
// no mirror picture, so the ring search may find one or none; either way the viewer runs live,
// the camera picture is a frame the device delivered and the panorama the unwrap of such a
// frame, and of exactly the frame shown once it is held.
#include <gtest/gtest.h>
#include <stdio.h>

#include <vector>

#include "rimview_session.h"
#include "ringview_session.h"
#include "standin_device.h"
#include "tools/v4l2_standin/standin_pattern.h"

namespace {

class StandinRingview : public StandinOnly {};

bool FindReported(const RingReport& r) {
  return r.search > 0 && (r.message.find(": ring found, centre ") != std::string::npos ||
                          r.message.find(": no ring (2), geometry kept") != std::string::npos);
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
  RingReport ring = ringview.PressFor(PressOverlay, [](const RingReport& r) { return !r.overlay; });
  ASSERT_TRUE(ring.valid);
  // The camera picture is one of the device's frames (its pattern repeats every 8), and the
  // panorama the unwrap of one of them.
  std::vector<Picture> frames;
  for (unsigned n = 0; n < 8; n++)
    frames.push_back([n](int x, int y) { return AsColorref((int)StandinPixel(x, y, n, 0)); });
  const int frame = Ringview::ShowsOneOf(ringview.camera(), 640, 480, frames);
  EXPECT_LE(0, frame);
  EXPECT_LE(0, ringview.PanoramaOfOneOf(frames, ring));
  // Frames keep coming: a later picture is another of the pattern's frames.
  EXPECT_TRUE(WaitFor([&] {
    const int now = Ringview::ShowsOneOf(ringview.camera(), 640, 480, frames, 0);
    return now >= 0 && now != frame;
  }));
  // Held, the panorama is the unwrap of the very frame shown.
  ring = ringview.PressFor(PressHold, [](const RingReport& r) { return r.hold; });
  ASSERT_TRUE(ring.valid);
  const int held = Ringview::ShowsOneOf(ringview.camera(), 640, 480, frames);
  ASSERT_LE(0, held);
  EXPECT_EQ(0, ringview.PanoramaOfOneOf({frames[held]}, ring));
  // A search asked for again reports again, whatever it finds.
  EXPECT_TRUE(ringview
                  .PressFor(PressFind,
                            [&](const RingReport& r) {
                              return FindReported(r) && r.search == found.search + 1;
                            })
                  .valid);
  ringview.Stop();
  EXPECT_TRUE(
      ringview.WaitForReport([](const RingReport& r) { return r.message == "stopped"; }).valid);
  EXPECT_TRUE(ringview.Exit());
}

}  // namespace
