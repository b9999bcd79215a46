// Load, draw, save: Start takes one frame of device 0 and saves it as frame.bmp, loads that
// file into a new image, draws on it (a filled box with a border, a circle, a cross and a
// caption) and saves the result as drawn.bmp, both in the start-up folder; the images stay
// until Stop.
#include "korvel.h"

void AppSetup(void) {
  KRV_OpenTextWindow(0, 660, 0, 300, 200);
  int code = KRV_StartCapture(10.0);
  if (code != 0) KRV_Print("Error %d\n", code);
}

static void Draw(void) {
  KRV_FillBox(20, 20, 119, 79, 0xFF0000, 0x0000FF);  // red border, blue inside
  KRV_Circle(0x00FF00, 320, 240, 50);
  KRV_Line(0xFFFF00, 300, 240, 340, 240);
  KRV_Line(0xFFFF00, 320, 220, 320, 260);
  krv_tc = 0xFFFFFF;
  krv_textX = krv_textLeft = 20;
  krv_textY = 110;
  KRV_DrawString("KORVEL");
}

void AppMain(void) {
  int width = CaptureWidth, height = CaptureHeight;
  KRV_CreateImage(0, "frame", 0, 0, width, height, 100);
  int result;
  while ((result = KRV_GrabFrame(0, 0, 1000)) == GrabTimedOut) {
  }
  if (result == GrabDone) {
    KRV_RedrawImage(0);
    KRV_SelectImage(0);
    int saved = KRV_SaveImageFile(width, height, ImageFileBmp, "frame.bmp");
    KRV_CreateImage(1, "drawn", width + 10, 0, width, height, 100);
    int loaded = KRV_LoadImageFile("frame.bmp", 0, 0);
    Draw();
    KRV_RedrawImage(1);
    int drawn = KRV_SaveImageFile(width, height, ImageFileBmp, "drawn.bmp");
    KRV_Print("frame.bmp %d, loaded %d, drawn.bmp %d\n", saved, loaded, drawn);
  }
  while (!stopRequested) {
    PumpWorkerMessages();
    Sleep(1);
  }
  KRV_DestroyImage(1);
  KRV_DestroyImage(0);
}
