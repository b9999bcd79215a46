// KRV_GrabFrame against the virtual camera, and the clipped copy it makes into an image.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "capture/camera_control.h"
#include "capture/capture.h"
#include "korvel.h"
#include "runtime/runtime.h"
#include "support/framework_windows.h"
#include "tools/virtual_camera/camera.h"
#include "tools/virtual_camera/picture.h"

namespace {

TEST(FrameCopy, ClipsToTheSmallerPictureAndTheValidBytes) {
  const int frame[3 * 2] = {1, 2, 3, 4, 5, 6};
  std::vector<int> narrow(2 * 3, -1);
  CopyFrameToImage(frame, sizeof frame, 3, 2, narrow.data(), 2, 3);
  EXPECT_EQ((std::vector<int>{1, 2, 4, 5, -1, -1}), narrow);
  std::vector<int> wide(4 * 1, -1);
  CopyFrameToImage(frame, sizeof frame, 3, 2, wide.data(), 4, 1);
  EXPECT_EQ((std::vector<int>{1, 2, 3, -1}), wide);
  // Four valid bytes past the first row: one pixel of the second.
  std::vector<int> partial(3 * 2, -1);
  CopyFrameToImage(frame, 4 * 4, 3, 2, partial.data(), 3, 2);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, -1, -1}), partial);
}

class Grab : public ::testing::Test {
 protected:
  void SetUp() override {
    // The clock's scale, which the entry point sets at start-up.
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    millisecondPeriod = 1000.0 / (double)frequency.QuadPart;
    UseFrameworkWindows();
    SetCameraMode(L"");
  }
  void TearDown() override {
    stopRequested = 0;
    KRV_StopCapture();
    KRV_DestroyImage(3);
    SetCameraMode(L"");
  }
};

TEST_F(Grab, RefusesWhatItCannotFill) {
  EXPECT_EQ(GrabNoImage, KRV_GrabFrame(0, 3, 0));
  ASSERT_EQ(0, KRV_CreateImage8(3, "grab", -1, -1, 8, 8, 100));
  EXPECT_EQ(GrabImage8Bit, KRV_GrabFrame(0, 3, 0));
  KRV_DestroyImage(3);
  ASSERT_EQ(0, KRV_CreateImage(3, "grab", -1, -1, 8, 8, 100));
  EXPECT_EQ(GrabNoCapture, KRV_GrabFrame(0, 3, 0));
  EXPECT_EQ(GrabNoCapture, KRV_GrabFrame(MaxCaptureDevices, 3, 0));
  EXPECT_EQ(GrabNoCapture, KRV_GrabFrame(-1, 3, 0));
  EXPECT_EQ(GrabNoImage, KRV_GrabFrame(0, 256, 0));
}

TEST_F(Grab, EachCallReturnsAFrameTheLastOneDidNot) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  ASSERT_EQ(0, KRV_CreateImage(3, "grab", -1, -1, CaptureWidth, CaptureHeight, 100));
  EXPECT_EQ(GrabNoCapture, KRV_GrabFrame(1, 3, 0));
  ASSERT_EQ(GrabDone, KRV_GrabFrame(0, 3, 3000));
  long first = krv_frameSequence[0];
  ASSERT_EQ(GrabDone, KRV_GrabFrame(0, 3, 3000));
  EXPECT_GT(krv_frameSequence[0], first);
  // What does not move is in place, top row first.
  const int* pixels = (const int*)krv_pixels[3];
  int r = CameraRingRadius(CaptureHeight), cx = CaptureWidth / 2, cy = CaptureHeight / 2;
  int mismatches = 0;
  for (int y = 0; y < CaptureHeight; y++)
    for (int x = 0; x < CaptureWidth; x++) {
      int dx = x - cx, dy = y - cy, d2 = dx * dx + dy * dy;
      bool markerBand = d2 > (r * 6 / 10) * (r * 6 / 10) && d2 < (r + 2) * (r + 2);
      if (!markerBand && pixels[y * CaptureWidth + x] != CameraStillPixel(x, y, CaptureWidth,
                                                                         CaptureHeight))
        mismatches++;
    }
  EXPECT_EQ(0, mismatches);
}

TEST_F(Grab, EndsOnStopAndOnTimeOut) {
  SetCameraMode(L"stopping");
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  ASSERT_EQ(0, KRV_CreateImage(3, "grab", -1, -1, 16, 16, 100));
  stopRequested = 1;
  EXPECT_EQ(GrabStopped, KRV_GrabFrame(0, 3, 1000));
  stopRequested = 0;
  // The camera sends a few frames, then none: the grabs take them, then time out.
  int done = 0, result;
  while ((result = KRV_GrabFrame(0, 3, 500)) == GrabDone) done++;
  EXPECT_EQ(GrabTimedOut, result);
  EXPECT_GE(done, 1);
  EXPECT_LE(done, StoppingFrames);
}

}  // namespace
