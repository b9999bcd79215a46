// Timing of the pixel calls, which are the inner loop of the per-frame unwrap. Prints
// nanoseconds per call; asserts nothing. Run under Wine: wine pixel_bench.exe
#include <stdio.h>

#include "draw/draw.h"
#include "support/framework_windows.h"

static double Seconds(void) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return (double)now.QuadPart / frequency.QuadPart;
}

static volatile int sink;
enum { Width = 640, Height = 480, Rounds = 40 };

static void Report(const char* what, double seconds, double calls) {
  printf("%-34s %7.2f ns/call  %8.2f ms per 640x480 frame\n", what, seconds / calls * 1e9,
         seconds / calls * Width * Height * 1e3);
}

typedef void (*Pass)(void);

static void PutPass(void) {
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) KRV_PutPixel(x, y, x ^ y);
}

static void PlotPass(void) {
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) PlotPixel(x, y, x ^ y);
}

static void GetPass(void) {
  int sum = 0;
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) sum += KRV_GetPixel(x, y);
  sink = sum;
}

static void XorPass(void) {
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) KRV_XorPixel(x, y);
}

static void OutsidePass(void) {
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) KRV_PutPixel(x + Width, y, 1);
}

// What the unwrap does per output sample: read image 0, write image 1.
static void CopyPass(void) {
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) {
      krv_current = 0;
      const int value = KRV_GetPixel(x, y);
      krv_current = 1;
      KRV_PutPixel(Width - 1 - x, y, value);
    }
}

// The bare minimum for comparison: inside test, multiply, store, without the checks that a
// current image exists.
#ifdef _MSC_VER
#define NOT_INLINED __declspec(noinline)
#else
#define NOT_INLINED __attribute__((noinline))
#endif

// A call as real as the framework's: not folded into the loop.
NOT_INLINED static void BarePut(int x, int y, int colour) {
  const ImageSlot& slot = krv_images[krv_current];
  if ((unsigned)x >= (unsigned)slot.width || (unsigned)y >= (unsigned)slot.height) return;
  if (slot.bits == 32)
    ((int*)krv_pixels[krv_current])[y * slot.width + x] = colour;
  else
    ((unsigned char*)krv_pixels[krv_current])[y * ((slot.width + 3) & ~3) + x] =
        (unsigned char)colour;
}

static void BarePass(void) {
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) BarePut(x, y, x ^ y);
}

static void PointerPass(void) {
  int* words = (int*)krv_pixels[krv_current];
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) words[y * Width + x] = x ^ y;
  sink = words[5];
}

static void Time(const char* what, Pass pass, double callsPerPass) {
  pass();  // warm the caches
  const double start = Seconds();
  for (int i = 0; i < Rounds; i++) pass();
  Report(what, Seconds() - start, callsPerPass * Rounds);
}

int main(void) {
  UseFrameworkWindows();
  if (KRV_CreateImage(0, "bench32", 0, 0, Width, Height, 100) != 0 ||
      KRV_CreateImage(1, "bench32b", 0, 0, Width, Height, 100) != 0 ||
      KRV_CreateImage8(2, "bench8", 0, 0, Width, Height, 100) != 0) {
    printf("no images\n");
    return 1;
  }
  const double frame = (double)Width * Height;
  KRV_SelectImage(0);
  Time("KRV_PutPixel 32-bit", PutPass, frame);
  Time("PlotPixel 32-bit", PlotPass, frame);
  Time("KRV_GetPixel 32-bit", GetPass, frame);
  Time("KRV_XorPixel 32-bit", XorPass, frame);
  Time("KRV_PutPixel outside", OutsidePass, frame);
  Time("bare inside test (comparison)", BarePass, frame);
  Time("plain pointer store (comparison)", PointerPass, frame);
  Time("GetPixel + PutPixel, two images", CopyPass, 2 * frame);
  KRV_SelectImage(2);
  Time("KRV_PutPixel 8-bit", PutPass, frame);
  Time("KRV_GetPixel 8-bit", GetPass, frame);
  Time("KRV_XorPixel 8-bit", XorPass, frame);
  for (int id = 0; id < 3; id++) KRV_DestroyImage(id);
  return 0;
}
