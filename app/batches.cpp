// The two batches of rimview's panel: numbered image files unrolled into the top strip of image
// 1 and saved as PNG ("go"), or pasted into the "work" image first ("go2"). Worker thread.
#include <stdio.h>

#include "app/app.h"

int fileCounter;
char batchFileName[256];

static void NameInputFile(void) {
  snprintf(batchFileName, sizeof batchFileName, "d:\\pano0\\file_%05d.png", fileCounter);
}

static void NameOutputFile(void) {
  snprintf(batchFileName, sizeof batchFileName, "d:\\pano\\file_%05d", fileCounter);
}

// The next numbered file into image 0; 0 when it was there to load.
static int LoadInputFile(void) {
  NameInputFile();
  KRV_SelectImage(CameraImage);
  return KRV_LoadImageFile(batchFileName, 0, 0);
}

// Stop and Exit end a batch between two files: Exit would otherwise end the worker by force
// after its grace period, in the middle of a save or holding the window system's locks.
static int NextInputLoaded(void) { return !stopRequested && LoadInputFile() == 0; }

// The loaded picture and its top strip on the screen.
static void UnwrapLoadedFile(void) {
  KRV_Print("%s\n", batchFileName);
  KRV_RedrawImage(krv_current);
  UnwrapTopStrip();
  KRV_RedrawImage(krv_current);
}

static void SaveWholeImage(int id) {
  NameOutputFile();
  KRV_SelectImage(id);
  int width = krv_images[id].inUse ? krv_images[id].width : 0;
  int height = krv_images[id].inUse ? krv_images[id].height : 0;
  KRV_SaveImageFile(width, height, ImageFilePng, batchFileName);
}

void RunFileBatch(void) {
  fileCounter = 1;
  DrawRingOverlay();
  KRV_RedrawImage(krv_current);
  for (int loaded = NextInputLoaded(); loaded; loaded = NextInputLoaded()) {
    UnwrapLoadedFile();
    SaveWholeImage(PanoramaImage);
    fileCounter++;
  }
  KRV_Print("end.\n");
}

// 960 x 720, or as large as a capture larger than 640 x 480 needs for the whole of image 1 at
// (0, 210): the 1280 x 960 build's panorama would otherwise lose its right quarter.
int WorkImageWidth(int captureWidth) { return captureWidth > 960 ? captureWidth : 960; }
int WorkImageHeight(int captureHeight) {
  return WorkPasteRow + captureHeight > 720 ? WorkPasteRow + captureHeight : 720;
}

// The strip of each file lands in the "work" image at (0, 210) through the clipboard; the rest
// of the work image keeps what it had.
void RunWorkBatch(void) {
  fileCounter = 1;
  DrawRingOverlay();
  KRV_RedrawImage(krv_current);
  KRV_CreateImage(WorkImage, "work", 0, 400, WorkImageWidth(CaptureWidth),
                  WorkImageHeight(CaptureHeight), 100);
  KRV_RedrawImage(WorkImage);
  for (int loaded = NextInputLoaded(); loaded; loaded = NextInputLoaded()) {
    UnwrapLoadedFile();
    KRV_SelectImage(PanoramaImage);
    KRV_CopyImage(PanoramaImage);
    KRV_SelectImage(WorkImage);
    KRV_PasteImage(WorkImage, 0, WorkPasteRow);
    KRV_RedrawImage(WorkImage);
    SaveWholeImage(WorkImage);
    fileCounter++;
  }
  KRV_Print("end.\n");
  KRV_DestroyImage(WorkImage);
}
