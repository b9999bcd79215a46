// Image slots, creation, display and the image window procedure. Everything here runs on the
// worker thread, which owns the image windows, except KRV_SelectPreviousImage, which the main
// window's paste and drop commands call on the GUI thread after their requests.
// The zoom fit and the caption are pure functions, tested without windows.
#ifndef KORVEL_IMAGE_H
#define KORVEL_IMAGE_H

#include "runtime/runtime.h"

enum { ImageCaptionSize = 256, ImageHistoryLength = 8, PaletteSize = 256 };
extern const DWORD ImageWindowStyle;

// The smallest and largest client size an image window may have.
struct ZoomLimits {
  int minWidth, minHeight, maxWidth, maxHeight;
};
ZoomLimits ScreenLimits(int fitScreen);

struct ZoomFit {
  int zoom, dispWidth, dispHeight;
};
// Fits the requested zoom of a width x height image to the limits; 0, or 2 when no zoom fits.
int FitZoom(int zoom, int width, int height, const ZoomLimits& limits, ZoomFit* fit);

// "%s(%d%%)", "[8bit]" for 8-bit images and "*" under HALFTONE, cut to fit out.
void FormatImageCaption(const char* title, int zoom, int bits, int halftone,
                        char out[ImageCaptionSize]);

// Bytes per row of the pixel memory: width x 4, or width rounded up to 4 for 8-bit images.
inline int ImageStride(int bits, int width) { return bits == 8 ? (width + 3) & ~3 : width * 4; }

// The slot of id when id is 0..255 and in use, else NULL.
ImageSlot* ImageInUse(int id);

// -1 leaves the place of an image window to the window system.
inline int WindowCoordinate(int value) { return value == -1 ? (int)CW_USEDEFAULT : value; }

// Makes an image at the window position given as the window system takes it (no -1 mapping):
// the create results of KRV_CreateImage.
int MakeImage(int id, const char* title, int x, int y, int width, int height, int zoom, int bits,
              int fitScreen);

int ImageIdOfWindow(HWND window);      // lowest in-use id with that window, -1 when none
int SelectImageOfWindow(HWND window);  // selects it too; returns the id or -1
void SetImageTitle(int id);            // rebuilds the caption
// Stretching mode of one of an image's contexts; HALFTONE needs the brush origin reset.
void SetDcStretchMode(HDC dc, int mode);

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Requests 9001 and 9002 and the snapping source.
void ServeCreateImage(RequestBlock* block);
void ServeRedrawImage(RequestBlock* block);
HWND ImageWindowAt(int index);

#endif
