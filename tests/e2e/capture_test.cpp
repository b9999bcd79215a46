// The capture inside a running program: started by AppSetup on the worker thread, read by
// AppMain, stopped when AppMain ends.
#include <gtest/gtest.h>

#include "probe.h"

TEST(Capture, AppSetupStartsItAndAppMainSeesFramesUntilStop) {
  Probe probe("capture");
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  EXPECT_TRUE(probe.WaitForLog("capture 0 devices 1 bytes 1228800\n", 1000)) << probe.Log();
  PostCommand(window, StartId);
  EXPECT_TRUE(probe.WaitForLog("frames 3\n", 5000)) << probe.Log();
  PostCommand(window, StopId);
  EXPECT_TRUE(probe.WaitForLog("stop 0\nleave\n")) << probe.Log();
  // A second run finds the capture stopped.
  PostCommand(window, StartId);
  ASSERT_TRUE(WaitFor([&] { return probe.Count("enter stop=0\n") == 2; }, 5000));
  PostCommand(window, StopId);
  EXPECT_TRUE(probe.WaitForLog("stop 1\nleave\n")) << probe.Log();
  EXPECT_EQ(1, probe.Count("frames 3\n"));
}
