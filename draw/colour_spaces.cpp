// Fixed-point colour conversions. Their constants, rounding and order of operations are what
// the measuring tools print and the test patterns draw, so they must not be "improved".
// Pure; any thread.
#include "draw/draw.h"

// C++ division truncates toward zero, also for the negative sums of the differences.
static int Fixed(int sum) { return (sum + 32768) / 65536; }

int LumaY(int r, int g, int b) { return (19595 * r + 38470 * g + 7471 * b + 32768) >> 16; }
int ChromaCr(int r, int g, int b) { return Fixed(32768 * r - 27460 * g - 5308 * b); }
int ChromaCb(int r, int g, int b) { return Fixed(32768 * b - 11076 * r - 21692 * g); }
int ChromaU(int r, int g, int b) { return Fixed(28574 * b - 9634 * r - 18940 * g); }
int ChromaV(int r, int g, int b) { return Fixed(40305 * r - 33751 * g - 6554 * b); }
int ChromaI(int r, int g, int b) { return Fixed(39053 * r - 18022 * g - 21037 * b); }
int ChromaQ(int r, int g, int b) { return Fixed(13533 * r - 32565 * g + 19032 * b); }

static int Red(int colour) { return (colour >> 16) & 0xFF; }
static int Green(int colour) { return (colour >> 8) & 0xFF; }
static int Blue(int colour) { return colour & 0xFF; }

static int Max3(int a, int b, int c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
static int Min3(int a, int b, int c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }

// Rows in order; equal channels may match several, and all of those give the same hue.
static int HueOf(int r, int g, int b, int max, int min) {
  const int d = max - min;
  if (d == 0) return 0;
  if (max == r && min == b) return (g - b) * 60 / d;
  if (max == g && min == b) return (g - r) * 60 / d + 60;
  if (max == g && min == r) return (b - r) * 60 / d + 120;
  if (max == b && min == r) return (b - g) * 60 / d + 180;
  if (max == b && min == g) return (r - g) * 60 / d + 240;
  return (r - b) * 60 / d + 300;  // max is r, min is g
}

void KRV_RgbToHsv(int colour, int* hue, int* saturation, int* value) {
  const int r = Red(colour), g = Green(colour), b = Blue(colour);
  const int max = Max3(r, g, b), min = Min3(r, g, b);
  if (hue) *hue = HueOf(r, g, b, max, min);
  if (saturation) *saturation = max - min;  // the spread of the channels, not scaled by max
  if (value) *value = max;
}

int KRV_Hue(int colour) {
  int hue;
  KRV_RgbToHsv(colour, &hue, NULL, NULL);
  return hue;
}

int KRV_Saturation(int colour) {
  int saturation;
  KRV_RgbToHsv(colour, NULL, &saturation, NULL);
  return saturation;
}

int KRV_Value(int colour) {
  int value;
  KRV_RgbToHsv(colour, NULL, NULL, &value);
  return value;
}

static int Rgb(int r, int g, int b) { return (r << 16) + (g << 8) + b; }

int KRV_HsvToRgb(int value, int saturation, int hue) {
  const int v = value;
  const int m = v - saturation < 0 ? 0 : v - saturation;
  const int d = v - m;
  if (hue < 60) return Rgb(v, m + d * hue / 60, m);
  if (hue < 120) return Rgb(m + d * (120 - hue) / 60, v, m);
  if (hue < 180) return Rgb(m, v, m + d * (hue - 120) / 60);
  if (hue < 240) return Rgb(m, m + d * (240 - hue) / 60, v);
  if (hue < 300) return Rgb(m + d * (hue - 240) / 60, m, v);
  return Rgb(v, m, m + d * (360 - hue) / 60);
}

static int Channel(int sum) {
  const int channel = sum / 65536;
  if (channel < 0) return 0;
  return channel >= 255 ? 255 : channel;
}

int ChromaPlaneToRgb(int space, int y, int p, int n) {
  const int k = 65536 * y + 32768;
  switch (space) {
    case ChromaYCrCb:
      return Rgb(Channel(k + 91881 * n), Channel(k - 22544 * p - 46793 * n),
                 Channel(k + 116130 * p));
    case ChromaYuv:
      return Rgb(Channel(k + 74711 * n), Channel(k - 25952 * p - 38076 * n),
                 Channel(k + 132973 * p));
    default:
      return Rgb(Channel(k + 62187 * n + 42998 * p), Channel(k - 17334 * n - 44872 * p),
                 Channel(k - 73859 * n + 118292 * p));
  }
}
