// The clock schedule of the display modes and of the rotation, and the "demo" button's hold on
// the display mode. Pure; any thread.
#include "app/app.h"

const double RotationStep = 0.17453292519943295;

int ScheduledDisplayMode(long seconds) {
  if (seconds % 180 < 10) return 0;
  if (seconds % 120 < 60) return 1;
  return 2;
}

int ScheduledRotation(long seconds, int* rotateBackward) {
  if (seconds % 40 < 38) {
    *rotateBackward = !*rotateBackward;
    return 0;
  }
  return *rotateBackward == 1 ? -1 : +1;
}

void PressDemo(int* displayMode, int* demoSteps) {
  *displayMode = (*displayMode + 1) % 3;
  *demoSteps = (*demoSteps + 1) % DemoStepsPerCycle;
}
