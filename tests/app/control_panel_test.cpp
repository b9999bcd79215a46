// The buttons of rimview's panel, the display modes of a pass and the frame hand-over, on real
// windows.
#include "panel_fixture.h"

#include "boxes/boxes.h"

#include <thread>

namespace {

TEST_F(Panel, LeftThenRightLeavesTheOverlayAndTheCentreAsTheyWere) {
  std::vector<int> camera = ImagePixels(0);
  const int x = ring.X0;
  EXPECT_EQ(PassGoesOn, RunButton(0));
  EXPECT_EQ(x - 1, ring.X0);
  EXPECT_FALSE(camera == ImagePixels(0));
  EXPECT_EQ(PassGoesOn, RunButton(1));
  EXPECT_EQ(x, ring.X0);
  EXPECT_TRUE(camera == ImagePixels(0));
  EXPECT_EQ(ParameterLines(ring.X0, ring.Y0, ring.r), TextPixels(0));
}

TEST_F(Panel, MovesAndTurnsByTheirSteps) {
  const RingGeometry start = ring;
  const int expected[][3] = {{-1, 0, 0},  {1, 0, 0},   {0, -1, 0}, {0, 1, 0},  {0, 0, -1},
                             {0, 0, 1},   {-10, 0, 0}, {10, 0, 0}, {0, -10, 0}, {0, 10, 0},
                             {0, 0, -10}, {0, 0, 10}};
  for (int i = 0; i < 12; i++) {
    ring = start;
    RunButton(i);
    EXPECT_EQ(start.X0 + expected[i][0], ring.X0) << i;
    EXPECT_EQ(start.Y0 + expected[i][1], ring.Y0) << i;
    EXPECT_EQ(start.r + expected[i][2], ring.r) << i;
  }
  ring = start;
  RunButton(16);
  EXPECT_EQ(-0.17453292519943295, ring.angleOffset);
  RunButton(17);
  RunButton(17);
  EXPECT_EQ(0.17453292519943295, ring.angleOffset);
}

TEST_F(Panel, RadiusStaysWithinTheRaySamples) {
  ring.r = 4;
  RunButton(10);
  EXPECT_EQ(0, ring.r);
  RunButton(4);
  EXPECT_EQ(0, ring.r);
  ring.r = MaxRingRadius - 3;
  RunButton(11);
  EXPECT_EQ(MaxRingRadius, ring.r);
  RunButton(5);
  EXPECT_EQ(MaxRingRadius, ring.r);
  RunButton(12);  // the longest ray still fits
  EXPECT_LE(ray.rayLength, MaxRingRadius);
}

TEST_F(Panel, ShrinkingByTenBlackensImage1WithoutRedrawing) {
  RunButton(10);
  EXPECT_EQ(ring.r, CaptureHeight * 2 / 5 - 10);
  for (int pixel : ImagePixels(1)) ASSERT_EQ(0, pixel);
  EXPECT_EQ(1, krv_current);
}

TEST_F(Panel, DisplayPutsTheTopStripIntoImage1AndKeepsTheOverlay) {
  std::vector<int> camera = ImagePixels(0), output = ImagePixels(1);
  RunButton(12);
  // The overlay was drawn once before the strip (so the strip shows it) and once after.
  EXPECT_TRUE(camera == ImagePixels(0));
  DrawRingOverlay();
  std::vector<int> marked = ImagePixels(0);
  DrawRingOverlay();
  EXPECT_TRUE(CoreStrip(StripTop, marked, output) == ImagePixels(1));
  EXPECT_EQ(0, krv_current);
}

TEST_F(Panel, SwitchesAndBreak) {
  EXPECT_EQ(PassBreaks, RunButton(14));
  RunButton(13);
  EXPECT_EQ(0, panel.realTime);
  RunButton(13);
  EXPECT_EQ(1, panel.realTime);
  RunButton(19);
  EXPECT_EQ(0, camOverlay);
  RunButton(20);
  EXPECT_EQ(2, panel.displayMode);
  EXPECT_EQ(1, panel.demoSteps);
  EXPECT_EQ(PassGoesOn, RunButton(21));
}

TEST_F(Panel, DisplayModesFollowTheClock) {
  camOverlay = 0;
  std::vector<int> camera = ImagePixels(0);
  RunDisplayMode(5);
  EXPECT_EQ(0, panel.displayMode);
  EXPECT_TRUE(camera == ImagePixels(1));

  std::vector<int> black((size_t)CaptureWidth * CaptureHeight, 0);
  RunDisplayMode(10);
  EXPECT_EQ(1, panel.displayMode);
  EXPECT_TRUE(CoreStrip(StripCentred, camera, black) == ImagePixels(1));
  RunDisplayMode(60);
  EXPECT_EQ(2, panel.displayMode);
  EXPECT_TRUE(CoreStrip(StripHalves, camera, black) == ImagePixels(1));

  // The last two seconds of 40 turn the ring a step per pass.
  panel.rotateBackward = 0;
  RunDisplayMode(38);
  EXPECT_EQ(0.17453292519943295, ring.angleOffset);
  EXPECT_EQ(0, panel.rotateBackward);
  RunDisplayMode(41);
  EXPECT_EQ(1, panel.rotateBackward);
  RunDisplayMode(79);
  EXPECT_EQ(0.0, ring.angleOffset);
}

TEST_F(Panel, DemoHoldsItsModeAgainstTheClock) {
  camOverlay = 0;
  std::vector<int> camera = ImagePixels(0);
  std::vector<int> black((size_t)CaptureWidth * CaptureHeight, 0);
  RunDisplayMode(20);
  RunButton(20);  // centred, so the half strips
  RunDisplayMode(20);
  EXPECT_EQ(2, panel.displayMode);
  EXPECT_TRUE(CoreStrip(StripHalves, camera, black) == ImagePixels(1));
  RunButton(20);  // then the camera
  RunDisplayMode(20);
  EXPECT_TRUE(camera == ImagePixels(1));
  RunButton(20);  // and the clock again
  RunDisplayMode(20);
  EXPECT_EQ(1, panel.displayMode);
  EXPECT_TRUE(CoreStrip(StripCentred, camera, black) == ImagePixels(1));
}

TEST_F(Panel, PollingPrintsNothingAndActsOncePerPressedButton) {
  std::vector<COLORREF> before = TextPixels(0);
  EXPECT_EQ(PassGoesOn, PollButtons());  // no button box: nothing pressed
  EXPECT_EQ(before, TextPixels(0));
  ASSERT_EQ(0, KRV_OpenButtonBox(200, 0, 2, 11));
  for (int i : {13, 13, 19}) PostMessageW(buttonBox.buttons[i], BM_CLICK, 0, 0);
  EXPECT_EQ(PassGoesOn, PollButtons());  // the first empty print pumps the clicks in
  EXPECT_EQ(0, panel.realTime);
  EXPECT_EQ(0, camOverlay);
  EXPECT_EQ(before, TextPixels(0));
  PostMessageW(buttonBox.buttons[14], BM_CLICK, 0, 0);
  PostMessageW(buttonBox.buttons[19], BM_CLICK, 0, 0);
  EXPECT_EQ(PassBreaks, PollButtons());  // "break" leaves before button 19 is looked at
  EXPECT_EQ(0, camOverlay);
  EXPECT_EQ(1, KRV_ButtonPressed(19));
  KRV_CloseButtonBox();
}

// ---- The frame hand-over, against a capture state set by hand ----

class FrameHandOver : public Panel {
 protected:
  void TearDown() override {
    krv_captureRunning = 0;
    krv_captureDeviceCount = 0;
    krv_frameBuffer[0] = nullptr;
    krv_frameByteCount[0] = 0;
    krv_sampleTime[0] = 0;
    krv_consumedTime[0] = 0;
    krv_frameSequence[0] = 0;
    takenFrameSequence = 0;
    stopRequested = 0;
    Panel::TearDown();
  }
};

TEST_F(FrameHandOver, CopyStopsAtTheEndOfImage0) {
  std::vector<int> frame((size_t)CaptureWidth * CaptureHeight * 2, 0x345678);
  ASSERT_EQ(0, KRV_DestroyImage(0));
  ASSERT_EQ(0, KRV_CreateImage(0, "000", 0, 0, 40, 30, 100));
  krv_frameBuffer[0] = frame.data();
  krv_frameByteCount[0] = (long)frame.size() * 4;
  krv_captureRunning = 1;
  krv_captureDeviceCount = 1;
  CopyCameraFrame();
  for (int pixel : ImagePixels(0)) ASSERT_EQ(0x345678, pixel);
  // A short frame fills what it has.
  KRV_ClearImage(0);
  krv_frameByteCount[0] = 40 * 4;
  CopyCameraFrame();
  EXPECT_EQ(0x345678, ImagePixels(0)[39]);
  EXPECT_EQ(0, ImagePixels(0)[40]);
}

// Wine's own capture source stamps every sample 0: the frame sequence alone tells a new frame.
TEST_F(FrameHandOver, WaitTakesANewFrameWhateverItsSampleTime) {
  krv_captureRunning = 1;
  krv_captureDeviceCount = 1;
  const double times[3] = {0.0, 0.0, -1.5};  // all 0, repeated, going backwards
  for (double time : times) {
    krv_frameSequence[0] = takenFrameSequence + 1;
    krv_sampleTime[0] = time;
    EXPECT_EQ(1, WaitForFrame()) << time;
    EXPECT_EQ(krv_frameSequence[0], takenFrameSequence);
    EXPECT_EQ(time, krv_consumedTime[0]);
  }
}

// A new sample time without a new sequence is the frame already taken: the wait goes on until
// Stop.
TEST_F(FrameHandOver, WaitDoesNotTakeTheSameFrameTwice) {
  krv_captureRunning = 1;
  krv_captureDeviceCount = 1;
  krv_frameSequence[0] = takenFrameSequence + 1;
  ASSERT_EQ(1, WaitForFrame());
  const long taken = takenFrameSequence;
  krv_sampleTime[0] = krv_sampleTime[0] + 2.0;
  HWND window = krv_images[0].window;
  std::thread stopper([window] {
    // Answered once the wait has looked at the frame and pumps its messages.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &result);
    stopRequested = 1;
  });
  EXPECT_EQ(0, WaitForFrame());
  stopper.join();
  EXPECT_EQ(taken, takenFrameSequence);
}

TEST_F(FrameHandOver, WaitWithoutCaptureEndsOnStopAndKeepsTheWindowsAnswering) {
  HWND window = krv_images[0].window;
  std::thread user([window] {
    // Answered only while the waiting thread pumps its messages, which it does in the wait.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &result);
    stopRequested = 1;
  });
  DWORD start = GetTickCount();
  EXPECT_EQ(0, WaitForFrame());
  user.join();
  EXPECT_LT(GetTickCount() - start, 1500u);
}

// The panel's titles as the button box shows them; "break" alone ends the pass.
TEST(PanelTable, TwentyOneTitlesInOrderAndAnUntitledLastButton) {
  const char* const titles[] = {
      "←",    "→",    "↑",       "↓",     "><", "<>", "←x10", "→x10", "↑x10", "↓x10", "><x10",
      "<>x10", "display", "real-time", "break", "go", "<<", ">>",   "go2",  "CAM",  "demo"};
  for (int i = 0; i < 21; i++) EXPECT_STREQ(titles[i], panelButtons[i].label) << i;
  EXPECT_EQ(nullptr, panelButtons[21].label);
  for (int i = 0; i < ButtonCount; i++)
    EXPECT_EQ(i == 14 ? PassBreaks : PassGoesOn, panelButtons[i].outcome) << i;
}

}  // namespace
