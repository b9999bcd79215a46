// The 22 buttons of rimview's panel and the display mode each pass shows. Worker thread.
#include "app/app.h"

PanelState panel = {1, 1, 0, 0};

static int WithinSamples(int r) {
  if (r < 0) return 0;
  if (r > MaxRingRadius) return MaxRingRadius;
  return r;
}

void MoveRing(int dx, int dy, int dr, double turn) {
  DrawRingOverlay();
  ring.X0 += dx;
  ring.Y0 += dy;
  ring.r = WithinSamples(ring.r + dr);
  if (turn != 0.0) ring.angleOffset = ring.angleOffset + turn;
  DrawRingOverlay();
}

// Image 1 black, not redrawn.
static void ClearPanorama(void) {
  KRV_SelectImage(PanoramaImage);
  KRV_FillBox(0, 0, CaptureWidth - 1, CaptureHeight - 1, 0, 0);
}

static void ShowTopStripOnce(void) {
  DrawRingOverlay();
  UnwrapTopStrip();
  KRV_RedrawImage(krv_current);
  DrawRingOverlay();
  KRV_RedrawImage(krv_current);
}

static void NarrowRingTenAndClear(void) {
  MoveRing(0, 0, -10, 0.0);
  ClearPanorama();
}
static void ToggleRealTime(void) { panel.realTime = !panel.realTime; }
static void ToggleCamOverlay(void) { camOverlay = !camOverlay; }
static void Demo(void) { PressDemo(&panel.displayMode, &panel.demoSteps); }
static void Nothing(void) {}

const PanelButton panelButtons[ButtonCount] = {
    {"←", -1, 0, 0, 0, NULL, PassGoesOn},
    {"→", +1, 0, 0, 0, NULL, PassGoesOn},
    {"↑", 0, -1, 0, 0, NULL, PassGoesOn},
    {"↓", 0, +1, 0, 0, NULL, PassGoesOn},
    {"><", 0, 0, -1, 0, NULL, PassGoesOn},
    {"<>", 0, 0, +1, 0, NULL, PassGoesOn},
    {"←x10", -10, 0, 0, 0, NULL, PassGoesOn},
    {"→x10", +10, 0, 0, 0, NULL, PassGoesOn},
    {"↑x10", 0, -10, 0, 0, NULL, PassGoesOn},
    {"↓x10", 0, +10, 0, 0, NULL, PassGoesOn},
    {"><x10", 0, 0, 0, 0, NarrowRingTenAndClear, PassGoesOn},
    {"<>x10", 0, 0, +10, 0, NULL, PassGoesOn},
    {"display", 0, 0, 0, 0, ShowTopStripOnce, PassGoesOn},
    {"real-time", 0, 0, 0, 0, ToggleRealTime, PassGoesOn},
    {"break", 0, 0, 0, 0, Nothing, PassBreaks},
    {"go", 0, 0, 0, 0, RunFileBatch, PassGoesOn},
    {"<<", 0, 0, 0, -1, NULL, PassGoesOn},
    {">>", 0, 0, 0, +1, NULL, PassGoesOn},
    {"go2", 0, 0, 0, 0, RunWorkBatch, PassGoesOn},
    {"CAM", 0, 0, 0, 0, ToggleCamOverlay, PassGoesOn},
    {"demo", 0, 0, 0, 0, Demo, PassGoesOn},
    {NULL, 0, 0, 0, 0, Nothing, PassGoesOn},  // the box's last button has no title
};

int RunButton(int i) {
  if (i < 0 || i >= ButtonCount) return PassGoesOn;
  const PanelButton& button = panelButtons[i];
  if (button.action)
    button.action();
  else
    MoveRing(button.dx, button.dy, button.dr, button.turnSteps * RotationStep);
  return button.outcome;
}

int PollButtons(void) {
  for (int i = 0; i < ButtonCount; i++) {
    KRV_Print("");  // repaints the text window and pumps the worker's messages
    if (KRV_ButtonPressed(i) && RunButton(i) == PassBreaks) return PassBreaks;
  }
  return PassGoesOn;
}

void RunDisplayMode(long seconds) {
  if (panel.demoSteps == 0) panel.displayMode = ScheduledDisplayMode(seconds);
  int turn = ScheduledRotation(seconds, &panel.rotateBackward);
  if (turn < 0) ring.angleOffset = ring.angleOffset - RotationStep;
  if (turn > 0) ring.angleOffset = ring.angleOffset + RotationStep;
  switch (panel.displayMode) {
    case 0: ShowCameraFrame(); break;
    case 1:
      ClearPanorama();
      UnwrapCentredStrip();
      break;
    case 2:
      ClearPanorama();
      UnwrapHalfStrips();
      break;
  }
}
