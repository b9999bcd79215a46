// The picks driven as a user does: another thread posts mouse messages to the image window
// while the pick waits and pumps, and looks at the rubber bands, the prompts and the main
// window's drops on the way.
#include <string.h>

#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/mouse_driver.h"
#include "image/image_fixture.h"

namespace {

WNDPROC imageProc;

// Stands in for the image window procedure's mouse handling until it lands here.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const int id = ImageIdOfWindow(window);
  if (id >= 0 && PickState.active && PickState.image == id) {
    const int x = LOWORD(lParam) * 100 / krv_images[id].zoom;
    const int y = HIWORD(lParam) * 100 / krv_images[id].zoom;
    switch (message) {
      case WM_MOUSEMOVE:
        PickState.moved = 1;
        PickState.moveX = x;
        PickState.moveY = y;
        return 0;
      case WM_LBUTTONDOWN:
        PickState.clicked = 1;
        PickState.clickX = x;
        PickState.clickY = y;
        return 0;
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN: PickState.rightClicked = 1; return 0;
    }
  }
  return CallWindowProcW(imageProc, window, message, wParam, lParam);
}

void RecordMouse(int id) {
  imageProc = (WNDPROC)SetWindowLongPtrW(krv_images[id].window, GWLP_WNDPROC,
                                         (LONG_PTR)RecordingProc);
}

HWND WindowOf(int id) { return krv_images[id].window; }

std::vector<unsigned char> Snapshot(int id) {
  const ImageSlot& slot = krv_images[id];
  const unsigned char* bytes = (const unsigned char*)krv_pixels[id];
  return std::vector<unsigned char>(bytes, bytes + ImageStride(slot.bits, slot.width) * slot.height);
}

int PixelOf(int id, int x, int y) {
  return ((const int*)krv_pixels[id])[y * krv_images[id].width + x];
}

// Pixels that differ from a snapshot.
int ChangedPixels(int id, const std::vector<unsigned char>& before) {
  const std::vector<unsigned char> now = Snapshot(id);
  int changed = 0;
  for (size_t i = 0; i < now.size(); i += 4) changed += memcmp(&now[i], &before[i], 4) != 0;
  return changed;
}

void FillWith(int id, int colour) {
  const ImageSlot& slot = krv_images[id];
  for (int i = 0; i < slot.width * slot.height; i++) ((int*)krv_pixels[id])[i] = colour;
}

// The status label's text without its padding, read without sending a message.
std::string StatusText(void) {
  wchar_t text[80] = L"";
  InternalGetWindowText(statusLabel, text, 80);
  char narrow[80];
  WideToNarrow(text, narrow, 80);
  std::string s = narrow;
  const size_t first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

bool MainWindowTakesDrops(void) {
  return (GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

}  // namespace

// A 64 x 48 image at zoom 200, so that client positions are twice the image positions, with a
// main window and its status label of their own.
class Picks : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    fakeMain = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 200, 40, NULL, NULL, NULL,
                               NULL);
    statusLabel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 200, 20, fakeMain, NULL,
                                  NULL, NULL);
    mainWindow = fakeMain;
    DragAcceptFiles(mainWindow, TRUE);
    colourDepth = 32;
    stopRequested = 0;
    ASSERT_EQ(0, KRV_CreateImage(3, "pick", -1, -1, 64, 48, 200));
    ASSERT_EQ(200, krv_images[3].zoom);
    RecordMouse(3);
    FillWith(3, 0x102030);
    before = Snapshot(3);
  }
  void TearDown() override {
    ImageTest::TearDown();
    mainWindow = NULL;
    statusLabel = NULL;
    DestroyWindow(fakeMain);
    stopRequested = 0;
  }
  HWND fakeMain;
  std::vector<unsigned char> before;
};

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
