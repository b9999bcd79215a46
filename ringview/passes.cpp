// One pass of ringview on the frame in the camera picture: its figures taken off, the ring found
// when asked, the panorama unwrapped, the figures drawn again, both pictures redrawn, and the
// panorama saved when asked. Worker thread.
#include <stdio.h>

#include "ringview/ringview.h"

// The figures on the camera picture and the ring they were drawn for. XOR figures come off
// exactly when drawn again, which leaves a held frame as it came.
static int overlayDrawn;
static ViewRing overlayRing;
static char saveFolder[MAX_PATH];

static void XorFigures(const ViewRing& r) {
  KRV_SelectImage(CameraImage);
  KRV_XorCircle(r.x0, r.y0, r.outer);
  if (r.inner > 0) KRV_XorCircle(r.x0, r.y0, r.inner);
  // A cross on the centre; its two strokes leave out the other's middle pixel so that it is
  // inverted once.
  const int arm = 6;
  KRV_XorLine(r.x0 - arm, r.y0, r.x0 + arm, r.y0);
  KRV_XorLine(r.x0, r.y0 - arm, r.x0, r.y0 - 1);
  KRV_XorLine(r.x0, r.y0 + 1, r.x0, r.y0 + arm);
}

void FrameGrabbed(void) { overlayDrawn = 0; }

static void EraseFigures(void) {
  if (overlayDrawn) XorFigures(overlayRing);
  overlayDrawn = 0;
}

// Searches are numbered, so that one that finds what the last one found still shows it ran.
static void FindRingNow(void) {
  static int searches;
  view.findPending = 0;
  searches++;
  ViewRing found = view.ring;
  int code = KRV_FindRing(CameraImage, &found.x0, &found.y0, &found.outer, &found.inner);
  if (code != 0) {
    snprintf(view.message, sizeof view.message, "search %d: no ring (%d), geometry kept", searches,
             code);
    return;
  }
  snprintf(view.message, sizeof view.message,
           "search %d: ring found, centre %d %d, outer %d, inner %d", searches, found.x0, found.y0,
           found.outer, found.inner);
  view.ring = AdjustedRing(found, 0, 0, 0, 0, 0, CaptureWidth, CaptureHeight);
}

static void SavePanorama(void) {
  view.savePending = 0;
  int width, height;
  PanoramaSize(CaptureWidth, CaptureHeight, &width, &height);
  char name[32], path[MAX_PATH + 32];
  // Numbered on from the last one saved, past files that exist already: none is overwritten.
  for (; view.saveNumber <= 99999; view.saveNumber++) {
    SaveName(view.saveNumber, name, sizeof name);
    snprintf(path, sizeof path, "%s%s", saveFolder, name);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) break;
  }
  if (view.saveNumber > 99999) {
    snprintf(view.message, sizeof view.message, "not saved: every name is taken");
    return;
  }
  KRV_SelectImage(PanoramaImage);
  int code = KRV_SaveImageFile(width, height, ImageFilePng, path);
  if (code == 0) {
    snprintf(view.message, sizeof view.message, "saved %s", name);
    view.saveNumber++;
  } else {
    snprintf(view.message, sizeof view.message, "not saved: %s (%d)", name, code);
  }
}

void RememberSaveFolder(void) {
  DWORD length = GetCurrentDirectoryA(MAX_PATH, saveFolder);
  if (length == 0 || length >= MAX_PATH - 1) {
    saveFolder[0] = '\0';  // relative names, in whatever folder is current then
    return;
  }
  if (saveFolder[length - 1] != '\\') lstrcatA(saveFolder, "\\");
}

void RunPass(void) {
  EraseFigures();
  if (view.findPending) FindRingNow();
  const ViewRing& r = view.ring;
  KRV_UnwrapRing(CameraImage, PanoramaImage, r.x0, r.y0, r.inner, r.outer, TurnRadians(r.turn),
                 view.smooth);
  if (view.overlay) {
    XorFigures(r);
    overlayRing = r;
    overlayDrawn = 1;
  }
  KRV_RedrawImage(CameraImage);
  KRV_RedrawImage(PanoramaImage);
  if (view.savePending) SavePanorama();
}

void ShowReport(const PassFigures& figures) {
  if (KRV_SelectTextWindow(ConsoleWindow) != 0) return;
  char text[512];
  FormatReport(view, figures, text, sizeof text);
  KRV_ClearTextWindow();
  KRV_Print("%s", text);
}
