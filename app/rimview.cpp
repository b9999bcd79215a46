// rimview: unrolls the ring picture of a mirror camera into a panorama, live. AppSetup lays out
// the text window, the panel and the camera image and starts the capture; AppMain runs one pass
// per captured frame until Stop. Worker thread.
#include <windows.h>
#include <mmsystem.h>
#include <time.h>

#include "app/app.h"

void AppSetup(void) {
  ring = InitialRing(CaptureWidth, CaptureHeight);
  KRV_OpenTextWindow(0, 0, 0, 198, 198);
  KRV_OpenButtonBox(200, 0, 2, 11);
  for (int n = 0; n < ButtonCount; n++)
    if (panelButtons[n].label) KRV_SetButtonBoxTitle(n, panelButtons[n].label);
  KRV_CreateImage(CameraImage, "000", 0, 0, CaptureWidth, CaptureHeight, 100);
  int code = KRV_StartCapture(10.0);
  if (code != 0)
    KRV_Print("Error %d\n", code);
  else
    KRV_Print("Startをクリックしてください．\n");
}

static long RunningSeconds(void) { return (long)(clock() / CLOCKS_PER_SEC); }

void AppMain(void) {
  timeBeginPeriod(1);  // the frame wait's millisecond naps
  ReviveCamera();
  KRV_CreateImage(PanoramaImage, "Hello,there!", 200, 200, CaptureWidth, CaptureHeight, 100);
  PumpWorkerMessages();
  while (!stopRequested) {
    if (!WaitForFrame()) break;
    CopyCameraFrame();
    if (PollButtons() == PassBreaks) break;
    if (panel.realTime == 1) RunDisplayMode(RunningSeconds());
    PumpWorkerMessages();
  }
  KRV_DestroyImage(CameraImage);
  KRV_DestroyImage(PanoramaImage);
  KRV_StopCapture();
  timeEndPeriod(1);
}
