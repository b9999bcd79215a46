// The rule that fits an image window's zoom to the screen. Pure arithmetic apart from the
// system metrics read by ScreenLimits; any thread.
#include "image/image.h"

ZoomLimits ScreenLimits(int fitScreen) {
  ZoomLimits limits;
  if (fitScreen) {
    // The horizontal frame metric stands in the height too.
    const int frame = GetSystemMetrics(SM_CXFRAME);
    limits.minWidth = GetSystemMetrics(SM_CXMIN) - 2 * frame;
    limits.minHeight = GetSystemMetrics(SM_CYMIN) - 2 * frame - GetSystemMetrics(SM_CYCAPTION);
    limits.maxWidth = GetSystemMetrics(SM_CXSCREEN);
    limits.maxHeight = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYCAPTION);
  } else {
    limits.minWidth = limits.minHeight = 1;
    limits.maxWidth = 2 * GetSystemMetrics(SM_CXSCREEN);
    limits.maxHeight = 2 * GetSystemMetrics(SM_CYSCREEN);
  }
  // A zoom of 0 would make every later division by it fail.
  if (limits.minWidth < 1) limits.minWidth = 1;
  if (limits.minHeight < 1) limits.minHeight = 1;
  return limits;
}

// The real-valued rule, worked out exactly in integers: in doubles, 29 % of a 1-pixel image
// comes out as 28.999... and would lose a percent.
// Zoom at which one axis, scaled by zoom and clamped to 1..maximum, fills its clamped size.
static long long AxisZoom(int size, int zoom, int maximum) {
  const long long hundredfold = (long long)size * zoom;
  if (hundredfold > 100LL * maximum) return 100LL * maximum / size;
  if (hundredfold < 100) return 100 / size;
  return zoom;
}

// Smallest zoom at which size reaches minimum.
static long long ReachingZoom(int size, int minimum) {
  return (100LL * minimum + size - 1) / size;
}

// 64 bits: a raised zoom on a long thin image overflows int before it is refused.
static long long Scaled(int size, long long zoom) { return size * zoom / 100; }

int FitZoom(int zoom, int width, int height, const ZoomLimits& limits, ZoomFit* fit) {
  long long fitted = AxisZoom(width, zoom, limits.maxWidth);
  const long long byHeight = AxisZoom(height, zoom, limits.maxHeight);
  if (byHeight < fitted) fitted = byHeight;
  long long dw = Scaled(width, fitted), dh = Scaled(height, fitted);
  if (dw < limits.minWidth || dh < limits.minHeight) {
    fitted = ReachingZoom(width, limits.minWidth);
    const long long byMinHeight = ReachingZoom(height, limits.minHeight);
    if (byMinHeight > fitted) fitted = byMinHeight;
    dw = Scaled(width, fitted);
    dh = Scaled(height, fitted);
    if (dw > limits.maxWidth || dh > limits.maxHeight) return 2;
  }
  fit->zoom = (int)fitted;
  fit->dispWidth = (int)dw;
  fit->dispHeight = (int)dh;
  return 0;
}
