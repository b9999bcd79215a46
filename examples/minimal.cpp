// The smallest program on the framework: a button box and a console that counts the
// presses of button 0 while the program runs.
#include <windows.h>

#include "korvel.h"

void AppSetup(void) {
  KRV_OpenButtonBox(0, 0, 1, 1);
  KRV_OpenTextWindow(0, 120, 0, -1, -1);
}

void AppMain(void) {
  int presses = 0;
  while (!stopRequested) {
    PumpWorkerMessages();
    if (int now = KRV_ButtonPressed(0)) KRV_Print("pressed %d times\n", presses += now);
    Sleep(1);
  }
}
