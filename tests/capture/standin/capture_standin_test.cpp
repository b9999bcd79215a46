// KRV_StartCapture and KRV_StopCapture on Wine's own capture source, fed by the V4L2 stand-in
// preloaded into this process with two devices of 322 x 242 (tools/v4l2_standin): an odd row
// length, so that Wine's tightly packed 24-bit rows are taken as they come. Wine stamps every
// sample 0; the frame sequence counts the frames. The virtual camera is unregistered meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "capture/camera_control.h"
#include "korvel.h"
#include "tools/v4l2_standin/standin_pattern.h"

namespace {

class Standin : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, RegisterCamera(false)); }
  void TearDown() override {
    KRV_StopCapture();
    EXPECT_EQ(S_OK, RegisterCamera(true));
  }
};

// Waits until device's frame sequence passes after; false after 3 s.
bool WaitForSequence(int device, long after) {
  DWORD start = GetTickCount();
  while (krv_frameSequence[device] <= after) {
    if (GetTickCount() - start > 3000) return false;
    Sleep(1);
  }
  return true;
}

// A whole copy of device's newest frame: no frame completed during the copy. The start waits
// for device 0's first frame only, so another device may have delivered none yet.
bool CopyFrame(int device, std::vector<int>* copy) {
  if (!WaitForSequence(device, 0)) return false;
  for (int attempt = 0; attempt < 50; attempt++) {
    long sequence = krv_frameSequence[device];
    if (!WaitForSequence(device, sequence - 1)) return false;
    copy->assign(krv_frameBuffer[device],
                 krv_frameBuffer[device] + (size_t)CaptureWidth * CaptureHeight);
    if (krv_frameSequence[device] == sequence) return true;
  }
  return false;
}

// Pixels that differ from frame n of device d of the stand-in's picture.
int Mismatches(const std::vector<int>& frame, unsigned n, int d) {
  int wrong = 0;
  for (int y = 0; y < CaptureHeight; y++)
    for (int x = 0; x < CaptureWidth; x++)
      if ((unsigned)frame[(size_t)y * CaptureWidth + x] != StandinPixel(x, y, n, d)) wrong++;
  return wrong;
}

TEST_F(Standin, TwoDevicesAreTakenInTheirOrderEachIntoItsOwnBuffer) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(2, krv_captureDeviceCount);
  for (int d = 0; d < 2; d++) {
    std::vector<int> frame;
    ASSERT_TRUE(CopyFrame(d, &frame)) << d;
    EXPECT_EQ(d, StandinDeviceOf((unsigned)frame[0])) << d;
    EXPECT_EQ((long)CaptureWidth * CaptureHeight * 4, krv_frameByteCount[d]) << d;
  }
  EXPECT_EQ(0, KRV_StopCapture());
}

TEST_F(Standin, FramesFlowWhileEverySampleTimeIs0) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  const long first = krv_frameSequence[0];
  ASSERT_TRUE(WaitForSequence(0, first + 3));
  EXPECT_EQ(0.0, krv_sampleTime[0]);
  EXPECT_EQ(0, KRV_StopCapture());
}

// Rows of 966 bytes, packed, bottom row first after Wine turned them: every pixel lands where
// the device put it, red, green and blue in place.
TEST_F(Standin, PackedRowsOfAnOddWidthLandExactlyTopDown) {
  ASSERT_EQ(322, CaptureWidth);
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  for (int i = 0; i < 3; i++) {
    std::vector<int> frame;
    ASSERT_TRUE(CopyFrame(0, &frame));
    unsigned n = StandinFrameOf((unsigned)frame[0]);
    EXPECT_EQ(0, Mismatches(frame, n, 0)) << i;
  }
}

TEST_F(Standin, StopThenStartDeliversAgain) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  ASSERT_EQ(0, KRV_StopCapture());
  EXPECT_EQ(nullptr, krv_frameBuffer[0]);
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  const long first = krv_frameSequence[0];
  EXPECT_TRUE(WaitForSequence(0, first + 2));
  EXPECT_EQ(0, KRV_StopCapture());
}

}  // namespace
