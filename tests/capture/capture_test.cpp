// KRV_StartCapture and KRV_StopCapture against the virtual camera registered in the prefix.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <math.h>
#include <string.h>

#include <vector>

#include "capture/camera_control.h"
#include "capture/capture.h"
#include "korvel.h"
#include "tools/virtual_camera/picture.h"

namespace {

const long FrameBytes = (long)CaptureWidth * CaptureHeight * 4;

class Capture : public ::testing::Test {
 protected:
  void SetUp() override { SetCameraMode(L""); }
  void TearDown() override {
    KRV_StopCapture();
    SetCameraMode(L"");
  }
};

long takenSequence;

// Spins until device 0 has a frame other than the one taken last and copies it whole (no newer
// frame completed during the copy), then takes it; false when none comes within 3 s. Its sample
// time is read once the sequence moved, since the sink writes the time after it.
bool TakeFrame(std::vector<int>* copy, double* sampleTime) {
  DWORD start = GetTickCount();
  for (;;) {
    if (GetTickCount() - start > 3000) return false;
    long sequence = krv_frameSequence[0];
    if (sequence == takenSequence) {
      Sleep(1);
      continue;
    }
    while (krv_sampleTime[0] == krv_consumedTime[0] && GetTickCount() - start <= 3000) Sleep(0);
    double time = krv_sampleTime[0];
    copy->assign(krv_frameBuffer[0], krv_frameBuffer[0] + (size_t)CaptureWidth * CaptureHeight);
    if (krv_frameSequence[0] != sequence) continue;
    krv_consumedTime[0] = time;
    takenSequence = sequence;
    *sampleTime = time;
    return true;
  }
}

TEST_F(Capture, StartDeliversTheCameraPictureTopDown) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(1, krv_captureRunning);
  EXPECT_EQ(1, krv_captureDeviceCount);
  EXPECT_EQ(FrameBytes, krv_frameByteCount[0]);
  EXPECT_EQ(CaptureWidth == 640 ? 1228800 : CaptureWidth == 1280 ? 4915200 : 307200,
            krv_frameByteCount[0]);

  std::vector<int> frame;
  double time = 0;
  ASSERT_TRUE(TakeFrame(&frame, &time));
  // Frame n (from 1) is stamped n tenths of a second after Run and drawn as picture n - 1.
  int number = (int)floor(time / 0.1 + 0.5);
  ASSERT_GE(number, 1);
  int mismatches = 0;
  for (int y = 0; y < CaptureHeight; y++)
    for (int x = 0; x < CaptureWidth; x++)
      if (frame[(size_t)y * CaptureWidth + x] !=
          CameraPixel(x, y, CaptureWidth, CaptureHeight, number - 1))
        mismatches++;
  EXPECT_EQ(0, mismatches);

  // The first house stands up and right of the centre, its tree further up (y grows downwards,
  // the scene runs counter-clockwise); ground near the centre, sky near the rim.
  int r = CameraRingRadius(CaptureHeight), cx = CaptureWidth / 2, cy = CaptureHeight / 2;
  auto at = [&](double degrees, double fraction) {
    double angle = degrees * 3.14159265358979323846 / 180;
    int x = cx + (int)(r * fraction * cos(angle)), y = cy + (int)(r * fraction * sin(angle));
    return frame[(size_t)y * CaptureWidth + x];
  };
  EXPECT_EQ(0xFF0000, at(337.5, 0.58));  // the house's wall
  EXPECT_EQ(0x1E8C1E, at(292.5, 0.64));  // the tree's crown
  EXPECT_EQ(CameraGround, at(200, 0.3));
  EXPECT_EQ(CameraSky, at(80, 0.7));
  EXPECT_EQ(0x000000, frame[(size_t)cy * CaptureWidth + cx]);
  EXPECT_EQ(CameraBackground, frame[0]);
  EXPECT_EQ(0, KRV_StopCapture());
}

TEST_F(Capture, CameraIsAskedForTheCaptureSizeAtTenthsOfASecond) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(1000000u, CameraSeenFrameDuration());
  EXPECT_EQ((DWORD)CaptureWidth, CameraSeenDword(L"SeenWidth"));
  EXPECT_EQ((DWORD)CaptureHeight, CameraSeenDword(L"SeenHeight"));
  EXPECT_EQ(0, KRV_StopCapture());
  ASSERT_EQ(0, KRV_StartCapture(30.0));
  EXPECT_EQ(333333u, CameraSeenFrameDuration());
}

TEST_F(Capture, DeviceAndGrabberAreNamedByNumber) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  std::map<std::wstring, std::wstring> expected = {{L"Video Capture 0", L"Grabber 0"}};
  EXPECT_EQ(expected, CameraConnections());
}

// Several devices: each has its grabber, buffer and sink, all numbered in discovery order.
class SeveralCameras : public Capture {
 protected:
  void TearDown() override {
    Capture::TearDown();
    CameraSetInstances(1);
  }
};

TEST_F(SeveralCameras, ThreeDevicesAreNumberedFrom0) {
  ASSERT_EQ(S_OK, CameraSetInstances(3));
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(3, krv_captureDeviceCount);
  std::map<std::wstring, std::wstring> expected = {{L"Video Capture 0", L"Grabber 0"},
                                                   {L"Video Capture 1", L"Grabber 1"},
                                                   {L"Video Capture 2", L"Grabber 2"}};
  EXPECT_EQ(expected, CameraConnections());
  EXPECT_EQ(3u, CameraRuns());
  // Every device delivers into its own buffer. The start returns once device 0's byte count
  // is written, which may be before its rows and sample time are.
  DWORD start = GetTickCount();
  while ((krv_sampleTime[0] == 0.0 || krv_sampleTime[1] == 0.0 || krv_sampleTime[2] == 0.0) &&
         GetTickCount() - start < 3000)
    Sleep(1);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(FrameBytes, krv_frameByteCount[i]) << i;
    EXPECT_GT(krv_sampleTime[i], 0.0) << i;
    ASSERT_NE(nullptr, krv_frameBuffer[i]) << i;
    EXPECT_EQ(CameraBackground, krv_frameBuffer[i][0]) << i;
  }
  EXPECT_NE(krv_frameBuffer[0], krv_frameBuffer[1]);
  EXPECT_EQ(nullptr, krv_frameBuffer[3]);
  EXPECT_EQ(0, KRV_StopCapture());
  for (int i = 0; i < 3; i++) EXPECT_EQ(nullptr, krv_frameBuffer[i]) << i;
  EXPECT_EQ(0, CameraLiveObjects());
}

TEST_F(SeveralCameras, OnlyTheFirstEightMonikersAreTaken) {
  ASSERT_EQ(S_OK, CameraSetInstances(9));
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(8, krv_captureDeviceCount);
  EXPECT_EQ(8u, CameraConnections().size());
  EXPECT_EQ(8u, CameraRuns());
  EXPECT_EQ(1, CameraConnections().count(L"Video Capture 7"));
}

TEST_F(Capture, SampleTimesGrowFrameByFrame) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  std::vector<int> frame;
  double previous = 0;
  ASSERT_TRUE(TakeFrame(&frame, &previous));
  for (int i = 0; i < 5; i++) {
    double time = 0;
    TakeFrame(&frame, &time);
    double periods = (time - previous) / 0.1;
    EXPECT_GE(periods, 0.999);
    // Whole frame periods apart: a slow test may skip a frame, never see half of one.
    EXPECT_NEAR(floor(periods + 0.5), periods, 1e-6);
    previous = time;
  }
}

TEST_F(Capture, EachFrameSetsTheSignalAndCountsItsArrival) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  ASSERT_TRUE(krv_frameSignal != NULL);
  for (int i = 0; i < 3; i++) {
    const double before = krv_sampleTime[0];
    const long arrived = krv_frameSequence[0];
    ResetEvent((HANDLE)krv_frameSignal);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject((HANDLE)krv_frameSignal, 2000)) << i;
    EXPECT_NE(before, krv_sampleTime[0]) << i;  // set after the new sample time
    EXPECT_GT(krv_frameSequence[0], arrived) << i;
  }
}

TEST_F(Capture, SecondStartWhileRunningReturns1) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(1, KRV_StartCapture(10.0));
  EXPECT_EQ(1u, CameraRuns());
  EXPECT_EQ(1, krv_captureDeviceCount);
}

TEST_F(Capture, StopReturns0ThenStoppedReturns1) {
  EXPECT_EQ(1, KRV_StopCapture());
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  EXPECT_EQ(0, KRV_StopCapture());
  EXPECT_EQ(0, krv_captureRunning);
  EXPECT_EQ(nullptr, krv_frameBuffer[0]);
  EXPECT_EQ(1, krv_captureDeviceCount);  // the count keeps its value
  EXPECT_EQ(1, KRV_StopCapture());
}

size_t PrivateBytes(void) {
  PROCESS_MEMORY_COUNTERS_EX counters;
  memset(&counters, 0, sizeof counters);
  GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&counters,
                       sizeof counters);
  return counters.PrivateUsage;
}

TEST_F(Capture, TenCyclesLeaveNothingBehind) {
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  ASSERT_EQ(0, KRV_StopCapture());
  size_t before = PrivateBytes();
  for (int i = 0; i < 10; i++) {
    ASSERT_EQ(0, KRV_StartCapture(10.0)) << i;
    EXPECT_EQ(1, krv_captureDeviceCount);
    EXPECT_GT(CameraLiveObjects(), 0);
    ASSERT_EQ(0, KRV_StopCapture()) << i;
    EXPECT_EQ(0, CameraLiveObjects()) << i;  // the graph released the camera and its pins
  }
  // Ten leaked frame buffers would be ten times FrameBytes.
  size_t after = PrivateBytes();
  EXPECT_LT(after, before + (size_t)FrameBytes * 3);
  EXPECT_EQ(11u, CameraRuns());
}

TEST_F(Capture, SilentCameraFailsWith21AfterThreeAttempts) {
  SetCameraMode(L"silent");
  EXPECT_EQ(21, KRV_StartCapture(10.0));
  EXPECT_EQ(3u, CameraRuns());
  EXPECT_EQ(0, krv_captureRunning);
  EXPECT_EQ(nullptr, krv_frameBuffer[0]);
  EXPECT_EQ(0, CameraLiveObjects());
  EXPECT_EQ(1, KRV_StopCapture());
}

TEST_F(Capture, RefusedFormatFailsWith11AtOnce) {
  SetCameraMode(L"refuse");
  EXPECT_EQ(11, KRV_StartCapture(10.0));
  EXPECT_EQ(0u, CameraRuns());
  EXPECT_EQ(0, krv_captureRunning);
  EXPECT_EQ(0, CameraLiveObjects());
}

TEST_F(Capture, CameraWithoutStreamConfigFailsWith10) {
  SetCameraMode(L"noconfig");
  EXPECT_EQ(10, KRV_StartCapture(10.0));
  EXPECT_EQ(0u, CameraRuns());
  EXPECT_EQ(0, CameraLiveObjects());
}

TEST_F(Capture, CameraThatCannotConnectFailsWith15) {
  SetCameraMode(L"noconnect");
  EXPECT_EQ(15, KRV_StartCapture(10.0));
  EXPECT_EQ(0u, CameraRuns());
  EXPECT_EQ(0, CameraLiveObjects());
  EXPECT_EQ(nullptr, krv_frameBuffer[0]);
}

TEST_F(Capture, FailingRunIsTriedThreeTimesThenReturns19) {
  SetCameraMode(L"norun");
  EXPECT_EQ(19, KRV_StartCapture(10.0));
  EXPECT_EQ(3u, CameraRuns());
  EXPECT_EQ(0, krv_captureRunning);
  EXPECT_EQ(0, CameraLiveObjects());
}

TEST_F(Capture, RateWithoutFrameDurationFailsWith11) {
  EXPECT_EQ(11, KRV_StartCapture(0.0));
  EXPECT_EQ(11, KRV_StartCapture(-10.0));
  EXPECT_EQ(11, KRV_StartCapture(sqrt(-1.0)));
  EXPECT_EQ(0u, CameraRuns());
  EXPECT_EQ(0, CameraLiveObjects());
}

TEST_F(Capture, OversizedFramesAreClampedToTheBuffer) {
  SetCameraMode(L"oversized");
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  std::vector<int> frame;
  double time = 0;
  ASSERT_TRUE(TakeFrame(&frame, &time));
  EXPECT_EQ(FrameBytes, krv_frameByteCount[0]);
  // Rows of twice the width keep their first half; the upper half of the buffer comes from the
  // white excess past the picture, the lower half from every other picture row.
  EXPECT_EQ(-1, frame[0]);
  EXPECT_EQ(-1, frame[(size_t)(CaptureHeight / 2 - 1) * CaptureWidth + CaptureWidth - 1]);
  EXPECT_EQ(CameraBackground, frame[(size_t)(CaptureHeight - 1) * CaptureWidth]);
}

// Frame number of a sample time at 10 frames per second (frame n is stamped n tenths).
int FrameNumber(double time) { return (int)floor(time / 0.1 + 0.5); }

// Pixels of frame that differ from the camera's picture number of width pictureWidth; columns
// from pictureWidth on must hold 0, as the buffer started.
int Mismatches(const std::vector<int>& frame, int number, int pictureWidth) {
  int mismatches = 0;
  for (int y = 0; y < CaptureHeight; y++)
    for (int x = 0; x < CaptureWidth; x++) {
      int expected =
          x < pictureWidth ? CameraPixel(x, y, pictureWidth, CaptureHeight, number) : 0;
      if (frame[(size_t)y * CaptureWidth + x] != expected) mismatches++;
    }
  return mismatches;
}

// Like Wine's own capture source: only bottom-up RGB24, and no converter to RGB32 in the graph.
TEST_F(Capture, Rgb24OnlyCameraIsExpandedTopDown) {
  SetCameraMode(L"rgb24");
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  std::map<std::wstring, std::wstring> expected = {{L"Video Capture 0", L"Grabber 0"}};
  EXPECT_EQ(expected, CameraConnections());
  EXPECT_EQ((DWORD)CaptureWidth, CameraSeenDword(L"SeenWidth"));
  for (int i = 0; i < 3; i++) {
    std::vector<int> frame;
    double time = 0;
    ASSERT_TRUE(TakeFrame(&frame, &time));
    EXPECT_EQ(FrameBytes, krv_frameByteCount[0]);
    ASSERT_GE(FrameNumber(time), 1);
    EXPECT_EQ(0, Mismatches(frame, FrameNumber(time) - 1, CaptureWidth)) << i;
  }
  EXPECT_EQ(0, KRV_StopCapture());
  EXPECT_EQ(0, CameraLiveObjects());
}

// One column narrower than asked: an odd width, so every row carries three bytes of padding.
TEST_F(Capture, Rgb24RowsWithPaddingKeepTheirColumns) {
  SetCameraMode(L"rgb24narrow");
  ASSERT_EQ(0, KRV_StartCapture(10.0));
  std::vector<int> frame;
  double time = 0;
  ASSERT_TRUE(TakeFrame(&frame, &time));
  EXPECT_EQ(FrameBytes, krv_frameByteCount[0]);
  ASSERT_GE(FrameNumber(time), 1);
  EXPECT_EQ(0, Mismatches(frame, FrameNumber(time) - 1, CaptureWidth - 1));
}

TEST_F(Capture, NoDeviceReturns5) {
  ASSERT_EQ(S_OK, RegisterCamera(false));
  EXPECT_EQ(5, KRV_StartCapture(10.0));
  EXPECT_EQ(0, krv_captureRunning);
  ASSERT_EQ(S_OK, RegisterCamera(true));
  EXPECT_EQ(0, KRV_StartCapture(10.0));
}

}  // namespace
