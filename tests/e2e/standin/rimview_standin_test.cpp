// rimview live through Wine's own capture source, on the V4L2 stand-in device preloaded into
// this test's Wine processes (tools/v4l2_standin): the strip shown is exactly the unwrap of a
// frame the device delivered (at 640 x 480, 320 x 240 and 1280 x 960), and a device that refuses
// the size, stalls, is unplugged, or runs at 1 or 60 frames a second has a clear outcome. The
// virtual camera is unregistered meanwhile, so that the stand-in is the only video-input device.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/unwrap.h"
#include "capture/camera_control.h"
#include "rimview_session.h"
#include "standin_device.h"
#include "tools/v4l2_standin/standin_pattern.h"

namespace {

class StandinRimview : public StandinOnly {};

// Image 1 as rimview shows it in a strip mode (StripCentred or StripHalves) for frame n of
// device 0: cleared, then the strip unrolled from the frame with the ring rimview starts with.
std::vector<COLORREF> ExpectedStrip(int width, int height, unsigned frame, int layout) {
  std::vector<int> camera((size_t)width * height), strip((size_t)width * height, 0);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      camera[(size_t)y * width + x] = (int)StandinPixel(x, y, frame, 0);
  RingGeometry ring = {width / 2, height / 2, height * 2 / 5, width, 0.0, width, height};
  PixelPlane source = {camera.data(), width, height, width};
  PixelPlane target = {strip.data(), width, height, width};
  static RayState ray;
  UnwrapStrip(&ring, layout, &source, &target, &ray);
  std::vector<COLORREF> pixels(strip.size());
  for (size_t i = 0; i < strip.size(); i++) pixels[i] = AsColorref(strip[i]);
  return pixels;
}

// Waits until the output window shows exactly the strips of one of the frames the device can
// deliver (the pattern repeats every 8 frames), in either strip mode ("demo" holds the mode after
// the one the first pass had set, or the initial one when no pass ran before the click); that
// frame's number modulo 8, or -1.
int WaitForExactStrip(HWND output, int width, int height, DWORD timeoutMs, std::string* why) {
  std::vector<std::vector<COLORREF>> strips;
  for (int layout : {StripCentred, StripHalves})
    for (unsigned n = 0; n < 8; n++) strips.push_back(ExpectedStrip(width, height, n, layout));
  int shown = -1;
  WaitFor(
      [&] {
        std::vector<COLORREF> screen = ScreenOf(output);
        for (size_t i = 0; i < strips.size(); i++)
          if (screen == strips[i]) shown = (int)(i % 8);
        return shown >= 0;
      },
      timeoutMs);
  if (shown < 0) *why = Difference(output, strips[0]) + " (against frame 0)";
  return shown;
}

// Starts a run in a strip mode ("demo" holds one) with image 1 where nothing covers it; image 1,
// or NULL. At 1280 x 960 image 1 fills the screen's width, and the other windows go off it.
HWND StartStrip(Rimview& rimview, int width = 640) {
  rimview.Start();
  HWND output = rimview.Output();
  if (!output) return NULL;
  rimview.Click(20);
  if (width > 640) {
    MoveTo(rimview.text(), 1300, 0);
    MoveTo(rimview.box(), 1300, 300);
    MoveTo(rimview.camera(), 0, 1100);
    MoveClientTo(output, 0, 0);
    return output;
  }
  MoveTo(rimview.text(), 700, 0);
  MoveTo(rimview.box(), 1100, 0);
  MoveTo(output, 0, 520);
  return output;
}

// A second Start counts only once the first run has ended.
HWND StartAgain(Rimview& rimview) {
  HWND camera = NULL;
  WaitFor(
      [&] {
        rimview.Start();
        return (camera = rimview.Camera(500)) != NULL;
      },
      10000);
  if (!camera) return NULL;
  HWND output = rimview.Output();  // "demo" still holds the strip mode
  if (!output) return NULL;
  MoveTo(rimview.text(), 700, 0);
  MoveTo(rimview.box(), 1100, 0);
  MoveTo(output, 0, 520);
  return output;
}

bool StoppedWithin(Rimview& rimview, HWND output, DWORD timeoutMs) {
  rimview.Stop();
  return WaitFor([&] { return !IsWindow(output) && !IsWindow(rimview.camera()); }, timeoutMs);
}

::testing::AssertionResult ConsoleShows(Rimview& rimview, const std::vector<COLORREF>& lines) {
  rimview.UncoverText();
  if (WaitFor([&] { return ScreenOf(rimview.text()) == lines; }, 5000))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Difference(rimview.text(), lines);
}

// After a fault mid-run (the device delivered frames 0 to 19): the windows answer, Stop ends
// the run, and once the device is back a new Start shows its frames exactly.
void ExpectAnsweringStopAndFramesAfterResume(const Device& device, Rimview& rimview,
                                             HWND output) {
  EXPECT_LT(RoundTripMs(output, 2000), 2000u);
  EXPECT_LT(RoundTripMs(rimview.main(), 2000), 2000u);
  EXPECT_TRUE(StoppedWithin(rimview, output, 10000));
  device.Resume();
  HWND again = StartAgain(rimview);
  ASSERT_TRUE(again);
  EXPECT_TRUE(device.WaitForLog("read 0 frame 21 ", 10000)) << device.Log();
  std::string why;
  EXPECT_LE(0, WaitForExactStrip(again, 320, 240, 10000, &why)) << why;
}

TEST_F(StandinRimview, StripIsTheUnwrapOfTheDeliveredFrameAtEachSize) {
  for (const Size& size : {Sizes[0], Sizes[1], HdSize}) {
    Device device({L"KRV_V4L2_FPS=5", L"KRV_V4L2_SIZES=640x480,320x240,1280x960"});
    ASSERT_TRUE(device.Configured());
    Rimview rimview(size);
    ASSERT_TRUE(rimview.Ready()) << size.width;
    char format[64];
    snprintf(format, sizeof format, "ioctl 0 S_FMT %dx%d\n", size.width, size.height);
    EXPECT_TRUE(device.WaitForLog(format, 5000)) << device.Log();
    HWND output = StartStrip(rimview, size.width);
    ASSERT_TRUE(output) << size.width;
    std::string why;
    EXPECT_LE(0, WaitForExactStrip(output, size.width, size.height, 10000, &why))
        << size.width << ": " << why;
    EXPECT_TRUE(StoppedWithin(rimview, output, 5000)) << size.width;
  }
}

TEST_F(StandinRimview, DeviceWithoutTheCaptureSizeGivesError11AndStartAndStopStillWork) {
  std::vector<COLORREF> error = PrintedLines(L"Error 11");
  Device device({L"KRV_V4L2_SIZES=800x600,320x240"});
  ASSERT_TRUE(device.Configured());
  Rimview rimview(Sizes[0]);
  ASSERT_TRUE(rimview.Ready());
  EXPECT_TRUE(ConsoleShows(rimview, error));
  EXPECT_EQ(std::string::npos, device.Log().find("S_FMT 640x480")) << device.Log();
  EXPECT_EQ(std::string::npos, device.Log().find("read")) << device.Log();
  rimview.Start();
  HWND output = rimview.Output();
  ASSERT_TRUE(output);
  EXPECT_LT(RoundTripMs(output, 2000), 2000u);
  EXPECT_TRUE(StoppedWithin(rimview, output, 5000));
}

TEST_F(StandinRimview, UnpluggedFromTheStartGivesError5) {
  std::vector<COLORREF> error = PrintedLines(L"Error 5");
  Device device({L"KRV_V4L2_FAIL_AFTER=0"});
  ASSERT_TRUE(device.Configured());
  Rimview rimview(Sizes[1]);
  ASSERT_TRUE(rimview.Ready());
  EXPECT_TRUE(ConsoleShows(rimview, error));
}

TEST_F(StandinRimview, TwoDevicesAreListedAndDevice0IsShown) {
  Device device({L"KRV_V4L2_DEVICES=2", L"KRV_V4L2_FPS=5"});
  ASSERT_TRUE(device.Configured());
  Rimview rimview(Sizes[1]);
  ASSERT_TRUE(rimview.Ready());
  EXPECT_TRUE(device.WaitForLog("ioctl 1 QUERYCAP\n", 5000)) << device.Log();
  HWND output = StartStrip(rimview);
  ASSERT_TRUE(output);
  std::string why;
  EXPECT_LE(0, WaitForExactStrip(output, 320, 240, 10000, &why)) << why;  // device 0's picture
}

// Every frame 400 ms late: Wine's reading thread blocks in the read, and Stop waits for it.
TEST_F(StandinRimview, SlowDeviceIsShownExactlyAndStops) {
  Device device({L"KRV_V4L2_FPS=30", L"KRV_V4L2_SLOW_MS=400"});
  ASSERT_TRUE(device.Configured());
  Rimview rimview(Sizes[1]);
  ASSERT_TRUE(rimview.Ready());
  HWND output = StartStrip(rimview);
  ASSERT_TRUE(output);
  std::string why;
  EXPECT_LE(0, WaitForExactStrip(output, 320, 240, 10000, &why)) << why;
  EXPECT_LT(RoundTripMs(output, 2000), 2000u);
  EXPECT_TRUE(StoppedWithin(rimview, output, 10000));
}

// Wine's Stop waits for a frame that a stalled device never sends: rimview's windows answer all
// the while, Stop ends the run, and once the device delivers again a new Start shows its frames.
TEST_F(StandinRimview, StalledDeviceLeavesTheWindowsAnsweringAndDeliversAgainAfterANewStart) {
  Device device({L"KRV_V4L2_FPS=10", L"KRV_V4L2_STOP_AFTER=20"});
  ASSERT_TRUE(device.Configured());
  Rimview rimview(Sizes[1]);
  ASSERT_TRUE(rimview.Ready());
  HWND output = StartStrip(rimview);
  ASSERT_TRUE(output);
  ASSERT_TRUE(device.WaitForLog("read 0 frame 19 ", 10000)) << device.Log();
  std::string why;
  EXPECT_EQ(19 % 8, WaitForExactStrip(output, 320, 240, 5000, &why)) << why;
  ExpectAnsweringStopAndFramesAfterResume(device, rimview, output);
}

// Unplugged mid-run, Wine's reading thread ends: the run waits answering until Stop, and once
// the device is back a new Start shows its frames.
TEST_F(StandinRimview, UnpluggedDeviceLeavesTheWindowsAnsweringAndDeliversAgainAfterReplug) {
  Device device({L"KRV_V4L2_FPS=10", L"KRV_V4L2_FAIL_AFTER=20"});
  ASSERT_TRUE(device.Configured());
  Rimview rimview(Sizes[1]);
  ASSERT_TRUE(rimview.Ready());
  HWND output = StartStrip(rimview);
  ASSERT_TRUE(output);
  ASSERT_TRUE(device.WaitForLog("read 0 ENODEV\n", 10000)) << device.Log();
  ExpectAnsweringStopAndFramesAfterResume(device, rimview, output);
}

// rimview's watch build counts the frames its passes showed, the frames of the device's
// sequence no pass showed, and passes that showed the frame of the pass before.
struct RunFigures {
  int frames = -1, missed = -1, doubled = -1;
};

// Runs the watch build on a device of fps frames a second until the device delivered the frame
// numbered last, then stops it.
RunFigures WatchRun(int fps, unsigned last) {
  Device device({L"KRV_V4L2_FPS=" + std::to_wstring(fps)});
  Probe probe("watch", L"rimview-watch.exe");
  RunFigures figures;
  HWND window = probe.WaitReady();
  if (!window) return figures;
  PostCommand(window, StartId);
  if (!probe.WaitForLog("frames 3\n", 10000)) return figures;
  device.WaitForLog("read 0 frame " + std::to_string(last) + " ", 20000);
  PostCommand(window, StopId);
  if (!probe.WaitForLog("leave\n", 10000)) return figures;
  std::string log = probe.Log();
  size_t at = log.rfind("stop ");
  int capture = -1;
  if (at != std::string::npos)
    sscanf(log.c_str() + at, "stop %d frames %d missed %d doubled %d", &capture, &figures.frames,
           &figures.missed, &figures.doubled);
  return figures;
}

TEST_F(StandinRimview, OneAndSixtyFramesASecondAreShownWithoutASkippedOrDoubledPass) {
  RunFigures slow = WatchRun(1, 6);
  EXPECT_GE(slow.frames, 3);
  EXPECT_EQ(0, slow.missed);
  EXPECT_EQ(0, slow.doubled);
  RunFigures fast = WatchRun(60, 240);
  EXPECT_GE(fast.frames, 60);
  EXPECT_EQ(0, fast.doubled);
  // A pass takes a few milliseconds; on a loaded machine one may outlast a frame period, and
  // then the newest frame is shown and the one before it skipped.
  EXPECT_LE(fast.missed, fast.frames / 10);
  printf("1 fps: %d frames shown, %d missed; 60 fps: %d frames shown, %d missed\n", slow.frames,
         slow.missed, fast.frames, fast.missed);
}

}  // namespace
