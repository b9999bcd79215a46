// The worker thread: AppSetup once, then the idle loop that pumps the worker's windows,
// serves requests and runs AppMain on each Start.
#include "runtime/runtime.h"

static void RunAppMain(void) {
  DragAcceptFiles(mainWindow, FALSE);
  appRunning = 1;
  startRequested = 0;
  stopRequested = 0;
  AppMain();
}

DWORD WINAPI WorkerThreadMain(LPVOID) {
  AppSetup();
  RebuildSnapList();
  while (quitState == QuitRunning) {
    Sleep(1);
    PumpWorkerMessages();
    if (request.code != 0) ServeRequest();
    if (startRequested == 1 && appRunning == 0) {
      RunAppMain();
      if (quitState != QuitRunning) break;
      appRunning = 0;
      stopRequested = 0;
      DragAcceptFiles(mainWindow, TRUE);
    }
  }
  quitState = QuitWorkerDone;
  PumpWorkerMessages();
  return 0;
}
