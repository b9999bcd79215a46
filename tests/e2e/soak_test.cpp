// The short forms of the long runs: Start/Stop cycles with the capture, and a soak of a few
// seconds at 10 frames a second; resources flat, frames coming in, the windows answering. The
// timings (frames missed, round trips under 100 ms) are the long form's figures: on a shared
// machine they say more about the load than about the program.
#include <gtest/gtest.h>

#include <string.h>

#include "capture/camera_control.h"
#include "soak_drive.h"
#include "support/seeded_random.h"

// rimview itself, with the watcher that reports its runs, frames and resources.
const wchar_t* const Rimview = L"rimview-watch.exe";

TEST(Soak, StartStopCyclesOfRimviewKeepShowingFramesWithFlatResources) {
  Probe probe("capture", Rimview);
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  const int cycles = 12, warm = 4;
  CycleFigures figures = RunCycles(probe, window, cycles);
  ASSERT_EQ("", figures.failure);
  printf("cycles %d: after %d %s; after %d %s\n", cycles, warm, Describe(figures.counts[warm - 1]).c_str(),
         cycles, Describe(figures.counts.back()).c_str());
  EXPECT_GT(figures.counts.back().handles, 0u) << "no resource report";
  EXPECT_GT(figures.counts.back().privateBytes, 0u) << "no resource report";
  // Wine's filter graph, capture graph builder and device enumerator each keep one handle per
  // creation, released or not (a bare create and release of a filter graph leaves one behind),
  // so a cycle adds those three, and more when a start under load needs another attempt.
  const DWORD wineHandlesPerCycle = 5;
  EXPECT_TRUE(Flat(figures.counts, warm - 1, 4 + wineHandlesPerCycle * (cycles - warm), 4, 4u << 20))
      << Describe(figures.counts[warm - 1]) << " -> " << Describe(figures.counts.back());
  EXPECT_EQ(figures.windows[warm - 1], figures.windows.back()) << "a window left behind";
  PostCommand(window, ExitId);
  DWORD code = 99;
  EXPECT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}

TEST(Soak, RimviewsTenFramesASecondForSomeSecondsKeepComing) {
  Probe probe("capture", Rimview);
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  HWND console = WaitForWindow(L"krv_twi", NULL, probe.program().id, 5000);
  ASSERT_TRUE(console);
  SoakFigures figures = RunSoak(probe, window, console, 6, 10.0);
  ASSERT_EQ("", figures.failure);
  printf("soak 6 s: %d frames (%d expected), %d missed, worst round trip %lu ms of %d\n",
         figures.frames, figures.expected, figures.missed, figures.worstRoundTripMs,
         figures.roundTrips);
  EXPECT_GE(figures.frames, figures.expected / 2);
  EXPECT_LT(figures.worstRoundTripMs, 5000u) << "a window stopped answering";
}

// Frames that break the agreement: the framework's capture program and rimview keep answering,
// and Stop and Exit still work.
TEST(Soak, CamerasThatBreakTheRulesLeaveStopAndExitWorking) {
  for (const wchar_t* mode : {L"oversized", L"undersized", L"stopping", L"flood"})
  for (const wchar_t* program : {L"krvsoak.exe", Rimview}) {
    SCOPED_TRACE(std::wstring(mode) + L" " + program);
    SetCameraMode(mode);
    Probe probe("capture", program);
    HWND window = probe.WaitReady();
    ASSERT_TRUE(window);
    HWND console = WaitForWindow(L"krv_twi", NULL, probe.program().id, 5000);
    PostCommand(window, StartId);
    EXPECT_TRUE(probe.WaitForLog("frames 3\n", 15000)) << probe.Log();
    DWORD worst = 0;
    for (int i = 0; i < 10; i++) {
      for (HWND target : {window, console}) {
        DWORD trip = RoundTripMs(target, 2000);
        if (trip > worst) worst = trip;
      }
      Sleep(100);
    }
    EXPECT_LT(worst, 2000u) << mode << ": a window stopped answering";
    PostCommand(window, StopId);
    EXPECT_TRUE(probe.WaitForLog("leave\n", 10000)) << probe.Log();
    EXPECT_NE(std::string::npos, probe.Log().find("stop 0 ")) << probe.Log();
    PostCommand(window, ExitId);
    DWORD code = 99;
    EXPECT_TRUE(probe.Exited(5000, &code)) << mode;
    EXPECT_EQ(0u, code) << mode;
  }
  SetCameraMode(L"");
}

// Stray command ids, keys and positions posted to the main window and the worker's windows of a
// running program: nothing starts, nothing ends, everything keeps answering.
TEST(Soak, StrayMessagesFromOutsideChangeNothing) {
  Probe probe("idle", L"krvsoak.exe");
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  const DWORD id = probe.program().id;
  const HWND targets[] = {window, WaitForWindow(L"krv_iw", NULL, id, 5000),
                          WaitForWindow(L"krv_twi", NULL, id, 5000),
                          WaitForWindow(L"krv_bb", NULL, id, 5000)};
  for (HWND target : targets) ASSERT_TRUE(target);
  const std::wstring caption = TextOf(targets[1]);
  Random next(20261207);
  const LPARAM extremes[] = {0, (LPARAM)0xFFFFFFFF, MAKELPARAM(65535, 65535), MAKELPARAM(32768, 0),
                             (LPARAM)0x7FFFFFFF};
  for (int i = 0; i < 3000; i++) {
    const HWND target = targets[next() % 4];
    const LPARAM position = next() % 2 ? extremes[next() % 5] : (LPARAM)next();
    switch (next() % 4) {
      case 0: {
        const unsigned int command = 1200 + next() % 64000;  // beyond every menu and button
        if (command < 3000 || command > 3300) PostMessageW(target, WM_COMMAND, command, 0);
        break;
      }
      case 1: {
        const unsigned int key = next() % 256;
        if (!strchr("SCX0123456789 ", (int)key) && key != VK_ESCAPE && key != VK_TAB &&
            key != VK_SPACE && (key < VK_NUMPAD0 || key > VK_NUMPAD9))
          PostMessageW(target, WM_KEYDOWN, key, position);
        break;
      }
      case 2: PostMessageW(target, WM_MOUSEMOVE, next() % 4, position); break;
      default: PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, position); break;
    }
    // Every 500 messages the targets' threads answer once, so the flood goes at their pace.
    if (i % 500 == 0)
      for (HWND answering : targets) RoundTripMs(answering, 5000);
  }
  for (HWND target : targets) {
    EXPECT_LT(RoundTripMs(target, 5000), 1000u);
    EXPECT_TRUE(IsWindow(target));
  }
  EXPECT_EQ("setup\n", probe.Log());
  EXPECT_EQ(caption, TextOf(targets[1]));
  PostCommand(window, ExitId);
  DWORD code = 99;
  EXPECT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}
