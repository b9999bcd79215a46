// The clock schedule of the display modes and the rotation, "demo", and the frame copy's length.
#include <gtest/gtest.h>

#include "app/app.h"

namespace {

TEST(Schedule, CameraThenCentredThenHalfStripsBySeconds) {
  for (long s = 0; s < 720; s++) {
    int expected;
    if (s % 180 < 10)
      expected = 0;
    else if (s % 120 < 60)
      expected = 1;
    else
      expected = 2;
    ASSERT_EQ(expected, ScheduledDisplayMode(s)) << s;
  }
  EXPECT_EQ(0, ScheduledDisplayMode(0));
  EXPECT_EQ(0, ScheduledDisplayMode(9));
  EXPECT_EQ(1, ScheduledDisplayMode(10));
  EXPECT_EQ(1, ScheduledDisplayMode(59));
  EXPECT_EQ(2, ScheduledDisplayMode(60));
  EXPECT_EQ(2, ScheduledDisplayMode(119));
  EXPECT_EQ(1, ScheduledDisplayMode(120));  // 120..179: the centred strip again
  EXPECT_EQ(0, ScheduledDisplayMode(180));
  EXPECT_EQ(0, ScheduledDisplayMode(189));
  EXPECT_EQ(2, ScheduledDisplayMode(190));  // 190 mod 120 = 70
  EXPECT_EQ(0, ScheduledDisplayMode(360));
}

TEST(Schedule, RotatesInTheLastTwoSecondsOfEvery40AndFlipsOtherwise) {
  int backward = 0;
  EXPECT_EQ(0, ScheduledRotation(0, &backward));
  EXPECT_EQ(1, backward);
  EXPECT_EQ(0, ScheduledRotation(37, &backward));
  EXPECT_EQ(0, backward);
  EXPECT_EQ(+1, ScheduledRotation(38, &backward));
  EXPECT_EQ(+1, ScheduledRotation(39, &backward));
  EXPECT_EQ(0, backward);
  backward = 1;
  EXPECT_EQ(-1, ScheduledRotation(78, &backward));
  EXPECT_EQ(-1, ScheduledRotation(119, &backward));
  EXPECT_EQ(1, backward);
  EXPECT_EQ(0, ScheduledRotation(120, &backward));
  EXPECT_EQ(0, backward);
  EXPECT_EQ(0.17453292519943295, RotationStep);
}

TEST(Demo, HoldsTheNextTwoModesThenGivesTheClockBack) {
  int mode = 1, steps = 0;
  PressDemo(&mode, &steps);
  EXPECT_EQ(2, mode);
  EXPECT_EQ(1, steps);
  PressDemo(&mode, &steps);
  EXPECT_EQ(0, mode);
  EXPECT_EQ(2, steps);
  PressDemo(&mode, &steps);
  EXPECT_EQ(1, mode);
  EXPECT_EQ(0, steps);
}

TEST(FrameCopy, NeverMoreThanTheImageHolds) {
  EXPECT_EQ(1228800, FrameCopyBytes(1228800, 1228800));
  EXPECT_EQ(307200, FrameCopyBytes(1228800, 307200));
  EXPECT_EQ(1000, FrameCopyBytes(1000, 307200));
  EXPECT_EQ(0, FrameCopyBytes(-4, 307200));
  EXPECT_EQ(0, FrameCopyBytes(400, 0));
}

}  // namespace
