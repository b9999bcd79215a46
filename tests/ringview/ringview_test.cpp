// ringview's pure parts: the ring's bounds under the panel's steps, what presses do to the
// state, the panorama's size, the layout at both capture sizes and the console's report.
#include "ringview/ringview.h"

#include <gtest/gtest.h>
#include <string.h>

#include <vector>

namespace {

ViewRing Ring(int x0, int y0, int outer, int inner, int turn) {
  ViewRing ring = {x0, y0, outer, inner, turn};
  return ring;
}

void ExpectRing(const ViewRing& want, const ViewRing& got) {
  EXPECT_EQ(want.x0, got.x0);
  EXPECT_EQ(want.y0, got.y0);
  EXPECT_EQ(want.outer, got.outer);
  EXPECT_EQ(want.inner, got.inner);
  EXPECT_EQ(want.turn, got.turn);
}

TEST(RingviewGeometry, StartsAtTheMiddleWithTwoFifthsOfTheHeightAndNoBlindSpot) {
  ExpectRing(Ring(320, 240, 192, 0, 0), InitialViewRing(640, 480));
  ExpectRing(Ring(640, 480, 384, 0, 0), InitialViewRing(1280, 960));
  ExpectRing(Ring(160, 120, 96, 0, 0), InitialViewRing(320, 240));
}

TEST(RingviewGeometry, StepsMoveTheRing) {
  ViewRing ring = Ring(320, 240, 192, 48, 0);
  ExpectRing(Ring(319, 241, 193, 47, 5), AdjustedRing(ring, -1, +1, +1, -1, +5, 640, 480));
  ExpectRing(Ring(330, 230, 182, 58, 355), AdjustedRing(ring, 10, -10, -10, 10, -5, 640, 480));
}

TEST(RingviewGeometry, TheCentreStaysInsideThePicture) {
  ExpectRing(Ring(0, 0, 192, 48, 0),
             AdjustedRing(Ring(0, 0, 192, 48, 0), -1, -1, 0, 0, 0, 640, 480));
  ExpectRing(Ring(639, 479, 192, 48, 0),
             AdjustedRing(Ring(639, 479, 192, 48, 0), +1, +1, 0, 0, 0, 640, 480));
}

TEST(RingviewGeometry, TheInnerRadiusStaysBelowTheOuterOneAndAtLeastZero) {
  ExpectRing(Ring(320, 240, 49, 48, 0),
             AdjustedRing(Ring(320, 240, 49, 48, 0), 0, 0, -1, 0, 0, 640, 480));
  ExpectRing(Ring(320, 240, 49, 48, 0),
             AdjustedRing(Ring(320, 240, 49, 48, 0), 0, 0, 0, +1, 0, 640, 480));
  ExpectRing(Ring(320, 240, 1, 0, 0),
             AdjustedRing(Ring(320, 240, 1, 0, 0), 0, 0, -1, -1, 0, 640, 480));
  ExpectRing(Ring(320, 240, 640, 0, 0),
             AdjustedRing(Ring(320, 240, 640, 0, 0), 0, 0, +1, 0, 0, 640, 480));
  ExpectRing(Ring(160, 240, 960, 0, 0),
             AdjustedRing(Ring(160, 240, 960, 0, 0), 0, 0, +1, 0, 0, 320, 960));
  // A found ring out of bounds is brought into them by a step of nothing.
  ExpectRing(Ring(320, 240, 49, 48, 0),
             AdjustedRing(Ring(320, 240, 30, 48, 0), 0, 0, 0, 0, 0, 640, 480));
}

TEST(RingviewGeometry, TheTurnWrapsRoundAFullCircle) {
  EXPECT_EQ(355, AdjustedRing(Ring(1, 1, 9, 0, 0), 0, 0, 0, 0, -5, 9, 9).turn);
  EXPECT_EQ(0, AdjustedRing(Ring(1, 1, 9, 0, 355), 0, 0, 0, 0, +5, 9, 9).turn);
  EXPECT_EQ(10, AdjustedRing(Ring(1, 1, 9, 0, 5), 0, 0, 0, 0, 365, 9, 9).turn);
  EXPECT_DOUBLE_EQ(3.14159265358979323846, TurnRadians(180));
  EXPECT_DOUBLE_EQ(0.0, TurnRadians(0));
}

TEST(RingviewGeometry, ThePanoramaIsTheCaptureWidthByThreeTenthsOfItsHeight) {
  int width = 0, height = 0;
  PanoramaSize(640, 480, &width, &height);
  EXPECT_EQ(640, width);
  EXPECT_EQ(144, height);
  PanoramaSize(1280, 960, &width, &height);
  EXPECT_EQ(1280, width);
  EXPECT_EQ(288, height);
  PanoramaSize(3, 3, &width, &height);
  EXPECT_EQ(1, height);
}

ViewState FreshState(void) {
  ViewState state;
  memset(&state, 0, sizeof state);
  state.ring = Ring(320, 240, 192, 48, 0);
  state.overlay = 1;
  return state;
}

int ButtonNamed(const char* label) {
  for (int i = 0; i < PanelButtonCount; i++)
    if (strcmp(panelButtons[i].label, label) == 0) return i;
  return -1;
}

TEST(RingviewPanel, EachButtonMovesItsOwnValueByItsStepPerPress) {
  struct Case {
    const char* label;
    ViewRing after;  // three presses
  } cases[] = {
      {"x -", Ring(317, 240, 192, 48, 0)},      {"x +", Ring(323, 240, 192, 48, 0)},
      {"y -", Ring(320, 237, 192, 48, 0)},      {"y +", Ring(320, 243, 192, 48, 0)},
      {"outer -", Ring(320, 240, 189, 48, 0)},  {"outer +", Ring(320, 240, 195, 48, 0)},
      {"inner -", Ring(320, 240, 192, 45, 0)},  {"inner +", Ring(320, 240, 192, 51, 0)},
      {"turn -", Ring(320, 240, 192, 48, 345)}, {"turn +", Ring(320, 240, 192, 48, 15)},
  };
  for (const Case& c : cases) {
    ViewState state = FreshState();
    int i = ButtonNamed(c.label);
    ASSERT_LE(0, i) << c.label;
    EXPECT_EQ(1, ApplyButton(&state, i, 3, 640, 480)) << c.label;
    ExpectRing(c.after, state.ring);
    EXPECT_EQ(0, state.findPending + state.savePending + state.smooth + state.hold) << c.label;
  }
}

TEST(RingviewPanel, TogglesFlipOncePerPressAndAnEvenCountChangesNothing) {
  for (const char* label : {"smooth", "overlay", "hold"}) {
    ViewState state = FreshState();
    int i = ButtonNamed(label);
    ASSERT_LE(0, i) << label;
    int* value = strcmp(label, "smooth") == 0    ? &state.smooth
                 : strcmp(label, "overlay") == 0 ? &state.overlay
                                                 : &state.hold;
    const int before = *value;
    EXPECT_EQ(1, ApplyButton(&state, i, 1, 640, 480));
    EXPECT_EQ(!before, *value) << label;
    EXPECT_EQ(0, ApplyButton(&state, i, 2, 640, 480));
    EXPECT_EQ(!before, *value) << label;
    EXPECT_EQ(1, ApplyButton(&state, i, 3, 640, 480));
    EXPECT_EQ(before, *value) << label;
  }
}

TEST(RingviewPanel, FindAndSaveAreAskedForOnceWhateverThePresses) {
  ViewState state = FreshState();
  EXPECT_EQ(1, ApplyButton(&state, ButtonNamed("find ring"), 2, 640, 480));
  EXPECT_EQ(1, state.findPending);
  EXPECT_EQ(1, ApplyButton(&state, ButtonNamed("save PNG"), 4, 640, 480));
  EXPECT_EQ(1, state.savePending);
  ExpectRing(Ring(320, 240, 192, 48, 0), state.ring);
}

TEST(RingviewPanel, NoPressesOrNoSuchButtonChangeNothing) {
  ViewState state = FreshState();
  EXPECT_EQ(0, ApplyButton(&state, 0, 0, 640, 480));
  EXPECT_EQ(0, ApplyButton(&state, -1, 1, 640, 480));
  EXPECT_EQ(0, ApplyButton(&state, PanelButtonCount, 1, 640, 480));
  ExpectRing(Ring(320, 240, 192, 48, 0), state.ring);
}

TEST(RingviewPanel, EveryButtonHasALabelOfItsOwn) {
  for (int i = 0; i < PanelButtonCount; i++) {
    ASSERT_TRUE(panelButtons[i].label) << i;
    for (int j = 0; j < i; j++) EXPECT_STRNE(panelButtons[i].label, panelButtons[j].label);
  }
}

// The metrics of the test's screen under Wine: 1280 x 1024, frames 8 x 27, main window 80.
const LayoutMetrics Screen = {1280, 1024, 8, 27, 80};

struct Box {
  int left, top, right, bottom;
};
bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::vector<Box> Windows(const ViewLayout& l, int width, int height, const LayoutMetrics& m) {
  int pw, ph;
  PanoramaSize(width, height, &pw, &ph);
  return {
      {l.cameraX, l.cameraY, l.cameraX + width * l.zoom / 100 + m.frameWidth,
       l.cameraY + height * l.zoom / 100 + m.frameHeight},
      {l.panoramaX, l.panoramaY, l.panoramaX + pw * l.zoom / 100 + m.frameWidth,
       l.panoramaY + ph * l.zoom / 100 + m.frameHeight},
      {l.consoleX, l.consoleY, l.consoleX + ConsoleWidth + m.frameWidth,
       l.consoleY + ConsoleHeight + m.frameHeight},
      {l.panelX, l.panelY, l.panelX + PanelWidth + m.frameWidth,
       l.panelY + PanelHeight + m.frameHeight},
  };
}

void ExpectApartOnScreen(int width, int height, const LayoutMetrics& m) {
  ViewLayout layout = LayOutViewer(width, height, m);
  std::vector<Box> boxes = Windows(layout, width, height, m);
  for (size_t i = 0; i < boxes.size(); i++) {
    EXPECT_GE(boxes[i].left, 0) << width << " window " << i;
    EXPECT_GE(boxes[i].top, 0) << width << " window " << i;
    EXPECT_LE(boxes[i].right, m.screenWidth) << width << " window " << i;
    EXPECT_LE(boxes[i].bottom, m.screenHeight - m.bottomReserve) << width << " window " << i;
    for (size_t j = 0; j < i; j++)
      EXPECT_FALSE(Overlap(boxes[i], boxes[j])) << width << " windows " << i << " and " << j;
  }
}

TEST(RingviewLayout, FullSizeFitsAtOneHundredPercentAndHdAtFifty) {
  EXPECT_EQ(100, LayOutViewer(640, 480, Screen).zoom);
  EXPECT_EQ(100, LayOutViewer(320, 240, Screen).zoom);
  EXPECT_EQ(50, LayOutViewer(1280, 960, Screen).zoom);
  ViewLayout layout = LayOutViewer(640, 480, Screen);
  EXPECT_EQ(0, layout.cameraX);
  EXPECT_EQ(0, layout.cameraY);
  EXPECT_EQ(0, layout.panoramaX);
  EXPECT_EQ(507, layout.panoramaY);
  EXPECT_EQ(648, layout.consoleX);
  EXPECT_EQ(0, layout.consoleY);
  EXPECT_EQ(648, layout.panelX);
  EXPECT_EQ(ConsoleHeight + 27, layout.panelY);
}

TEST(RingviewLayout, NothingOverlapsAndEverythingIsOnTheScreen) {
  for (int size : {320, 640, 1280, 1920}) ExpectApartOnScreen(size, size * 3 / 4, Screen);
  const LayoutMetrics small = {1024, 768, 8, 27, 80};
  for (int size : {320, 640, 1280}) ExpectApartOnScreen(size, size * 3 / 4, small);
}

TEST(RingviewLayout, AScreenTooSmallForHalfSizeTakesAQuarter) {
  const LayoutMetrics tiny = {800, 600, 8, 27, 80};
  EXPECT_EQ(25, LayOutViewer(1280, 960, tiny).zoom);
}

TEST(RingviewReport, ShowsTheGeometryTheModesTheFiguresAndTheLastEvent) {
  ViewState state = FreshState();
  state.ring.turn = 15;
  strcpy(state.message, "ring found: centre 320 240, outer 192, inner 48");
  PassFigures figures = {30, 75.0, 4.5, 1000.0, 42.0};
  char text[512];
  FormatReport(state, figures, text, sizeof text);
  EXPECT_STREQ(
      "centre 320 240, outer 192, inner 48\n"
      "turn 15, nearest, overlay on\n"
      "2.50 ms per frame (max 4.50), 30.0 fps, cpu 4.2%\n"
      "ring found: centre 320 240, outer 192, inner 48\n",
      text);
  state.smooth = 1;
  state.overlay = 0;
  state.hold = 1;
  state.message[0] = '\0';
  PassFigures none = {0, 0.0, 0.0, 2000.0, 10.0};
  FormatReport(state, none, text, sizeof text);
  EXPECT_STREQ(
      "centre 320 240, outer 192, inner 48\n"
      "turn 15, smooth, overlay off, hold\n"
      "no frames, cpu 0.5%\n"
      "\n",
      text);
  PassFigures before = {0, 0.0, 0.0, 0.0, 0.0};
  FormatReport(state, before, text, sizeof text);
  EXPECT_NE(nullptr, strstr(text, "no frames, cpu 0.0%\n"));
}

TEST(RingviewReport, SavedNamesAreNumberedInFiveDigits) {
  char name[32];
  SaveName(1, name, sizeof name);
  EXPECT_STREQ("ringview_00001.png", name);
  SaveName(12345, name, sizeof name);
  EXPECT_STREQ("ringview_12345.png", name);
}

}  // namespace
