// The unwrap routines rimview calls, on the framework's images: thin shells that pick the camera
// and output images as the per-ray selections would and hand their pixels to the unwrap core.
// Worker thread.
#include <string.h>

#include "app/app.h"
#include "app/strip_table.h"

RingGeometry ring = InitialRing(CaptureWidth, CaptureHeight);
RayState ray;
int camOverlay = 1;

// The current image as a plane; an empty one (reads 0, drops writes) when there is no current
// 32-bit image, which is what the pixel calls would do with no image.
static PixelPlane CurrentPlane(void) {
  PixelPlane plane = {NULL, 0, 0, 0};
  int id = krv_current;
  if (id < 0 || id > 255 || !krv_images[id].inUse || krv_images[id].bits != 32 || !krv_pixels[id])
    return plane;
  plane.pixels = (int*)krv_pixels[id];
  plane.width = plane.stride = krv_images[id].width;
  plane.height = krv_images[id].height;
  return plane;
}

static long ImageBytes(int id) {
  if (!krv_images[id].inUse || krv_images[id].bits != 32 || !krv_pixels[id]) return 0;
  return (long)krv_images[id].width * krv_images[id].height * 4;
}

int SampleRay(int x1, int y1) {
  PixelPlane source = CurrentPlane();
  ray.rayLength = WalkRay(&source, ring.X0, ring.Y0, x1, y1, ray.raySamples);
  return ray.rayLength;
}

// Each ray selects image 0 to read and image 1 to write. The selections are made here for the
// first rays only: from the fourth on they no longer change the current image or its history.
static void UnwrapOnImages(int layout) {
  int rays = layout == StripHalves ? 2 * ring.frameWidth : ring.columnCount;
  if (rays <= 0) return;
  KRV_SelectImage(CameraImage);
  PixelPlane source = CurrentPlane();
  KRV_SelectImage(PanoramaImage);
  PixelPlane target = CurrentPlane();
  for (int i = 1; i < rays && i < 4; i++) {
    KRV_SelectImage(CameraImage);
    KRV_SelectImage(PanoramaImage);
  }
  // The same pixels and ray state as UnwrapStrip, replayed from a table while the ring stays.
  static StripTable stripTable;
  UnwrapStripCached(&stripTable, &ring, layout, &source, &target, &ray);
}

void UnwrapTopStrip(void) { UnwrapOnImages(StripTop); }

void (*panoramaShown)(void) = NULL;

static void PanoramaRedrawn(void) {
  if (panoramaShown) panoramaShown();
}

// The overlay ends with a redraw of image 0 and nothing draws on it after that, so a second
// redraw would copy the same pixels again.
static void ShowStripAndOverlay(void) {
  KRV_RedrawImage(PanoramaImage);
  PanoramaRedrawn();
  if (camOverlay == 1) DrawRingOverlay();
}

void UnwrapCentredStrip(void) {
  UnwrapOnImages(StripCentred);
  ShowStripAndOverlay();
}

void UnwrapHalfStrips(void) {
  UnwrapOnImages(StripHalves);
  ShowStripAndOverlay();
}

void ShowCameraFrame(void) {
  long bytes = (long)CaptureWidth * CaptureHeight * 4;
  if (ImageBytes(CameraImage) < bytes) bytes = ImageBytes(CameraImage);
  if (ImageBytes(PanoramaImage) < bytes) bytes = ImageBytes(PanoramaImage);
  if (bytes > 0) memcpy(krv_pixels[PanoramaImage], krv_pixels[CameraImage], (size_t)bytes);
  KRV_RedrawImage(PanoramaImage);
  PanoramaRedrawn();
}

// Drawn by inversion only, so a second call restores every pixel; where the cross lies on the
// inverted disc it turns back to the picture.
void DrawRingOverlay(void) {
  const int x = ring.X0, y = ring.Y0;
  KRV_SelectImage(CameraImage);
  KRV_XorCircle(x, y, ring.r);
  KRV_XorFillCircle(x, y, 10);
  KRV_XorLine(x, y - 10, x, y + 10);
  KRV_XorLine(x - 10, y, x + 10, y);
  KRV_RedrawImage(krv_current);
  ReportRing();
}

// The three lines go out in one print, so that the text window, cleared and given the same
// lines again on every pass, has nothing to repaint.
void ReportRing(void) {
  KRV_ClearTextWindow();
  KRV_Print("X0: %d\nY0: %d\n r: %d\n", ring.X0, ring.Y0, ring.r);
}
