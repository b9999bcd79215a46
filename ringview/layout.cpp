// Where ringview's windows open: worked out from the capture size and the screen's metrics, so
// that nothing overlaps at start. LayOutViewer is pure; ScreenMetrics reads the system's.
#include "ringview/ringview.h"

static ViewLayout LayOutAtZoom(int captureWidth, int captureHeight, int zoom,
                               const LayoutMetrics& m) {
  int panoramaWidth, panoramaHeight;
  PanoramaSize(captureWidth, captureHeight, &panoramaWidth, &panoramaHeight);
  const int cameraOuterWidth = captureWidth * zoom / 100 + m.frameWidth;
  const int panoramaOuterWidth = panoramaWidth * zoom / 100 + m.frameWidth;
  const int leftColumn =
      cameraOuterWidth > panoramaOuterWidth ? cameraOuterWidth : panoramaOuterWidth;
  ViewLayout layout;
  layout.zoom = zoom;
  layout.cameraX = layout.cameraY = 0;
  layout.panoramaX = 0;
  layout.panoramaY = captureHeight * zoom / 100 + m.frameHeight;
  layout.consoleX = layout.panelX = leftColumn;
  layout.consoleY = 0;
  layout.panelY = ConsoleHeight + m.frameHeight;
  return layout;
}

static bool Fits(const ViewLayout& layout, int captureWidth, int captureHeight,
                 const LayoutMetrics& m) {
  int panoramaWidth, panoramaHeight;
  PanoramaSize(captureWidth, captureHeight, &panoramaWidth, &panoramaHeight);
  const int usableHeight = m.screenHeight - m.bottomReserve;
  const int leftBottom = layout.panoramaY + panoramaHeight * layout.zoom / 100 + m.frameHeight;
  const int rightBottom = layout.panelY + PanelHeight + m.frameHeight;
  const int right =
      layout.consoleX + (ConsoleWidth > PanelWidth ? ConsoleWidth : PanelWidth) + m.frameWidth;
  return right <= m.screenWidth && leftBottom <= usableHeight && rightBottom <= usableHeight;
}

ViewLayout LayOutViewer(int captureWidth, int captureHeight, const LayoutMetrics& metrics) {
  static const int zooms[] = {100, 50};
  for (int zoom : zooms) {
    ViewLayout layout = LayOutAtZoom(captureWidth, captureHeight, zoom, metrics);
    if (Fits(layout, captureWidth, captureHeight, metrics)) return layout;
  }
  return LayOutAtZoom(captureWidth, captureHeight, 25, metrics);
}

LayoutMetrics ScreenMetrics(void) {
  // The style every framework window has: image windows, consoles and the boxes.
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, FALSE);
  LayoutMetrics metrics;
  metrics.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  metrics.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  metrics.frameWidth = frame.right - frame.left;
  metrics.frameHeight = frame.bottom - frame.top;
  // The main window rests at the bottom of the work area: its menu bar over a 32-row status
  // line, in a frame of the same style.
  metrics.bottomReserve = GetSystemMetrics(SM_CYMENU) + 32 + metrics.frameHeight;
  RECT work;
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    metrics.bottomReserve += metrics.screenHeight - work.bottom;
  return metrics;
}
