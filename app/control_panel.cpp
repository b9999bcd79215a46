// The 22 buttons of rimview's panel and the display mode each pass shows. Worker thread.
#include "app/app.h"

PanelState panel = {1, 1, 0, 0};

const char* const buttonLabels[LabelledButtons] = {
    "←",    "→",    "↑",       "↓",     "><", "<>", "←x10", "→x10", "↑x10", "↓x10", "><x10",
    "<>x10", "display", "real-time", "break", "go", "<<", ">>",   "go2",  "CAM",  "demo"};

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

int RunButton(int i) {
  switch (i) {
    case 0: MoveRing(-1, 0, 0, 0.0); break;
    case 1: MoveRing(+1, 0, 0, 0.0); break;
    case 2: MoveRing(0, -1, 0, 0.0); break;
    case 3: MoveRing(0, +1, 0, 0.0); break;
    case 4: MoveRing(0, 0, -1, 0.0); break;
    case 5: MoveRing(0, 0, +1, 0.0); break;
    case 6: MoveRing(-10, 0, 0, 0.0); break;
    case 7: MoveRing(+10, 0, 0, 0.0); break;
    case 8: MoveRing(0, -10, 0, 0.0); break;
    case 9: MoveRing(0, +10, 0, 0.0); break;
    case 10:
      MoveRing(0, 0, -10, 0.0);
      ClearPanorama();
      break;
    case 11: MoveRing(0, 0, +10, 0.0); break;
    case 12: ShowTopStripOnce(); break;
    case 13: panel.realTime = !panel.realTime; break;
    case 14: return PassBreaks;
    case 15: RunFileBatch(); break;
    case 16: MoveRing(0, 0, 0, -RotationStep); break;
    case 17: MoveRing(0, 0, 0, +RotationStep); break;
    case 18: RunWorkBatch(); break;
    case 19: camOverlay = !camOverlay; break;
    case 20: PressDemo(&panel.displayMode, &panel.demoSteps); break;
  }
  return PassGoesOn;
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
