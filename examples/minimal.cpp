// The smallest program on the framework: a button box whose button 0 counts its presses
// while the program runs.
#include <windows.h>

#include "korvel.h"

void AppSetup(void) { KRV_OpenButtonBox(0, 0, 1, 1); }

void AppMain(void) {
  while (!stopRequested) {
    PumpWorkerMessages();
    if (KRV_ButtonPressed(0)) KRV_SetButtonBoxTitle(0, "pressed");
    Sleep(1);
  }
}
