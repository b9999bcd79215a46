// rimview: the panorama viewer on KORVEL. For now it opens no windows of its own; Start runs
// an AppMain that waits for Stop.
#include <windows.h>

#include "korvel.h"

void AppSetup(void) {}

void AppMain(void) {
  while (!stopRequested) {
    PumpWorkerMessages();
    Sleep(1);
  }
}
