// Live camera view: device 0's frames in image 0 as they come, and once a second the frames per
// second in the console.
#include "korvel.h"

void AppSetup(void) {
  KRV_OpenTextWindow(0, 660, 0, 300, 200);
  int code = KRV_StartCapture(10.0);
  if (code != 0)
    KRV_Print("Error %d\n", code);
  else
    KRV_Print("Start shows the camera\n");
}

void AppMain(void) {
  KRV_CreateImage(0, "camera", 0, 0, CaptureWidth, CaptureHeight, 100);
  unsigned int since = KRV_GetTime();
  int frames = 0;
  for (;;) {
    int result = KRV_GrabFrame(0, 0, 1000);
    if (result != GrabDone && result != GrabTimedOut) break;  // Stop, or nothing to show
    if (result == GrabDone) {
      KRV_RedrawImage(0);
      frames++;
    }
    unsigned int elapsed = KRV_GetTime() - since;
    if (elapsed >= 1000) {
      KRV_Print("%d frames in %u ms: %.1f fps\n", frames, elapsed, frames * 1000.0 / elapsed);
      frames = 0;
      since += elapsed;
    }
  }
  KRV_DestroyImage(0);
}
