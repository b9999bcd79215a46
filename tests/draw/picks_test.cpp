// The picks driven as a user does: another thread posts mouse messages to the image window
// while the pick waits and pumps, and looks at the rubber bands, the prompts and the main
// window's drops on the way.
#include "draw/pick_fixture.h"

class Picks : public PickTest {};

TEST(PickRadius, IsTheDistanceRoundedHalvesUp) {
  EXPECT_EQ(5, RoundedRadius(3, 4));
  EXPECT_EQ(5, RoundedRadius(-3, -4));
  EXPECT_EQ(1, RoundedRadius(1, 1));  // 1.414
  EXPECT_EQ(0, RoundedRadius(0, 0));
  EXPECT_EQ(2, RoundedRadius(1, 2));  // 2.236
  EXPECT_EQ(4, RoundedRadius(2, 3));  // 3.606
  EXPECT_EQ(3, RoundedRadius(2, 2));  // 2.828
  EXPECT_EQ(46341, RoundedRadius(32768, 32768));
}

TEST_F(Picks, PointIsTheClickInImagePixels) {
  KRV_SelectImage(0);
  int x = -1, y = -1;
  std::vector<std::string> prompts;
  bool dropsDuringPick = true;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Then([&] {
                        prompts.push_back(StatusText());
                        dropsDuringPick = MainWindowTakesDrops();
                      }),
                      Move(20, 20), Click(21, 31)});
    EXPECT_EQ(0, KRV_PickPoint(3, &x, &y));
  }
  EXPECT_EQ(10, x);
  EXPECT_EQ(15, y);
  EXPECT_EQ(3, krv_current);
  EXPECT_EQ(0, PickState.active);
  EXPECT_EQ(-1, PickState.image);
  EXPECT_EQ(std::vector<std::string>{"Click a point"}, prompts);
  EXPECT_FALSE(dropsDuringPick);
  EXPECT_TRUE(MainWindowTakesDrops());
  EXPECT_EQ("32-bit color", StatusText());
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(Picks, RefusedPicksTouchNothing) {
  int x = 77, y = 77, r = 77;
  EXPECT_EQ(2, KRV_PickPoint(256, &x, &y));
  EXPECT_EQ(2, KRV_PickCircle(4, &x, &y, &r));
  EXPECT_EQ(2, KRV_PickArea(-1, 5, 5, &x, &y));
  EXPECT_EQ(77, x);
  EXPECT_EQ(77, y);
  EXPECT_EQ(77, r);
  EXPECT_EQ(3, krv_current);
  EXPECT_EQ(0, PickState.active);
}

TEST_F(Picks, BoxOnOnePixelAndBoxWithCornersSorted) {
  int x1, y1, x2, y2;
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(20, 20), Click(20, 21)});
    EXPECT_EQ(0, KRV_PickBox(3, &x1, &y1, &x2, &y2));
  }
  EXPECT_EQ(10, x1);
  EXPECT_EQ(10, y1);
  EXPECT_EQ(10, x2);
  EXPECT_EQ(10, y2);
  EXPECT_EQ(0, ChangedPixels(3, before));

  int bandPixels = -1, cornerInverted = 0;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Click(60, 40), Move(30, 30), Move(10, 16), Then([&] {
                        bandPixels = ChangedPixels(3, before);
                        cornerInverted = PixelOf(3, 5, 8);
                      }),
                      Click(10, 16)});
    EXPECT_EQ(0, KRV_PickBox(3, &x1, &y1, &x2, &y2));
  }
  EXPECT_EQ(5, x1);
  EXPECT_EQ(8, y1);
  EXPECT_EQ(30, x2);
  EXPECT_EQ(20, y2);
  EXPECT_EQ(2 * 26 + 2 * 11, bandPixels);  // the outline of (5, 8)-(30, 20), each pixel once
  EXPECT_EQ(0x102030 ^ 0xFFFFFF, cornerInverted);
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(Picks, LineKeepsTheOrderOfItsClicks) {
  int x1, y1, x2, y2;
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(80, 10), Move(4, 70), Click(2, 90)});
    EXPECT_EQ(0, KRV_PickLine(3, &x1, &y1, &x2, &y2));
  }
  EXPECT_EQ(40, x1);
  EXPECT_EQ(5, y1);
  EXPECT_EQ(1, x2);
  EXPECT_EQ(45, y2);
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(Picks, CircleRadiusIsRoundedToTheNearestPixel) {
  int cx, cy, r;
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(40, 40), Move(50, 50), Click(46, 48)});
    EXPECT_EQ(0, KRV_PickCircle(3, &cx, &cy, &r));
  }
  EXPECT_EQ(20, cx);
  EXPECT_EQ(20, cy);
  EXPECT_EQ(5, r);  // 3 right and 4 below
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(40, 40), Click(42, 42)});
    EXPECT_EQ(0, KRV_PickCircle(3, &cx, &cy, &r));
  }
  EXPECT_EQ(1, r);  // 1.414 rounds down
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(Picks, RightClickGoesBackToTheFirstPointThenCancels) {
  int x1, y1, x2, y2;
  std::vector<std::string> prompts;
  auto prompt = [&] { prompts.push_back(StatusText()); };
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Then(prompt), Click(20, 20), Move(40, 30), Then(prompt), RightClick(40, 30),
                      Then(prompt), Move(50, 40), Then([&] {
                        EXPECT_EQ(0, ChangedPixels(3, before));  // no band while waiting
                      }),
                      MiddleClick(50, 40)});
    EXPECT_EQ(1, KRV_PickBox(3, &x1, &y1, &x2, &y2));
  }
  EXPECT_EQ((std::vector<std::string>{"Click the first point", "Click the second point",
                                      "Click the first point"}),
            prompts);
  EXPECT_EQ("32-bit color", StatusText());
  EXPECT_EQ(0, ChangedPixels(3, before));

  // Back at the first point, new clicks make a new box.
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Click(20, 20), RightClick(20, 20), Click(2, 4), Click(6, 10)});
    EXPECT_EQ(0, KRV_PickBox(3, &x1, &y1, &x2, &y2));
  }
  EXPECT_EQ(1, x1);
  EXPECT_EQ(2, y1);
  EXPECT_EQ(3, x2);
  EXPECT_EQ(5, y2);
}

TEST_F(Picks, CursorsFollowTheMouseAndLeaveNoTrace) {
  int x, y, rowPixels = 0, rowLine = 0;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Move(10, 24), Then([&] {
                        rowPixels = ChangedPixels(3, before);
                        for (int i = 0; i < 64; i++) rowLine += PixelOf(3, i, 12) != 0x102030;
                      }),
                      Click(6, 26)});
    EXPECT_EQ(0, KRV_PickRow(3, &x, &y));
  }
  EXPECT_EQ(3, x);
  EXPECT_EQ(13, y);
  EXPECT_EQ(64, rowPixels);
  EXPECT_EQ(64, rowLine);
  EXPECT_EQ(0, ChangedPixels(3, before));

  int columnPixels = 0;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Move(10, 24), Then([&] { columnPixels = ChangedPixels(3, before); }),
                      RightClick(10, 24)});
    EXPECT_EQ(1, KRV_PickColumn(3, &x, &y));
  }
  EXPECT_EQ(48, columnPixels);
  EXPECT_EQ(0, ChangedPixels(3, before));

  // A 20 x 10 frame centred on (30, 20): corners (20, 15) and (39, 24), with its diagonals.
  int framePixels = 0, corner = 0, diagonal = 0, outside = 0;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Move(60, 40), Then([&] {
                        framePixels = ChangedPixels(3, before);
                        corner = PixelOf(3, 39, 24);
                        diagonal = PixelOf(3, 21, 16);
                        outside = PixelOf(3, 40, 24);
                      }),
                      Click(61, 41)});
    EXPECT_EQ(0, KRV_PickArea(3, 20, 10, &x, &y));
  }
  EXPECT_EQ(30, x);
  EXPECT_EQ(20, y);
  EXPECT_EQ(0x102030 ^ 0xFFFFFF, corner);
  EXPECT_EQ(0x102030 ^ 0xFFFFFF, diagonal);
  EXPECT_EQ(0x102030, outside);
  EXPECT_GT(framePixels, 2 * 20 + 2 * 8);
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(Picks, StopEndsThePickAndErasesItsBand) {
  stopRequested = 1;  // a Stop before the pick is forgotten
  int x1 = 9, y1 = 9, x2 = 9, y2 = 9;
  int bandPixels = 0;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Click(20, 20), Move(40, 30),
                      Then([&] { bandPixels = ChangedPixels(3, before); }), PressStop()});
    EXPECT_EQ(0, KRV_PickBox(3, &x1, &y1, &x2, &y2));
  }
  EXPECT_GT(bandPixels, 0);
  EXPECT_EQ(1, stopRequested);
  EXPECT_EQ(10, x1);
  EXPECT_EQ(10, y1);
  EXPECT_EQ(20, x2);
  EXPECT_EQ(15, y2);
  EXPECT_EQ(0, ChangedPixels(3, before));
  EXPECT_EQ(0, PickState.active);
  EXPECT_TRUE(MainWindowTakesDrops());

  int x = 5, y = 5;
  {
    MouseDriver user([] { return WindowOf(3); }, {Move(10, 10), PressStop()});
    EXPECT_EQ(0, KRV_PickRow(3, &x, &y));
  }
  EXPECT_EQ(0, x);  // no click yet: the outputs are as the pick set them
  EXPECT_EQ(0, y);
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(Picks, DropsStayRefusedAfterAPickWhileTheyWereRefused) {
  DragAcceptFiles(mainWindow, FALSE);
  int x, y;
  MouseDriver user([] { return WindowOf(3); }, {Click(2, 2)});
  EXPECT_EQ(0, KRV_PickPoint(3, &x, &y));
  EXPECT_FALSE(MainWindowTakesDrops());
}

TEST_F(Picks, ImageClosedDuringThePickCancelsIt) {
  int x, y;
  MouseDriver user([] { return WindowOf(3); },
                   {Move(4, 4), {WM_CLOSE, 0, 0, nullptr}});
  EXPECT_EQ(1, KRV_PickColumn(3, &x, &y));
  EXPECT_FALSE(ImageInUse(3));
  EXPECT_EQ(0, PickState.active);
}

TEST_F(Picks, TextWindowsOpenNoMenuWhileAPickWaits) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 0, 0, 200, 100));
  bool menuSeen = true, clickHandled = false;
  int x, y;
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Then([&] {
                        PostMessageW(FindWindowW(L"krv_twi", NULL), WM_RBUTTONDOWN, MK_RBUTTON,
                                     MAKELPARAM(5, 5));
                        const int marker = PostStandInMarker();
                        clickHandled = WaitFor([marker] { return StandInMarkerSeen(marker); });
                        HWND popup = FindWindowW(L"#32768", NULL);
                        menuSeen = popup && IsWindowVisible(popup);
                      }),
                      Click(4, 4)});
    EXPECT_EQ(0, KRV_PickPoint(3, &x, &y));
  }
  KRV_CloseTextWindow(0);
  EXPECT_TRUE(clickHandled);
  EXPECT_FALSE(menuSeen);
  EXPECT_EQ(2, x);
}
