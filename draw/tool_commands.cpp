// The processing-menu commands that measure, transform, make test patterns and draw text, as
// rows of the image window's command table: each runs on the window's image id, picking first
// when it needs a place. Worker thread, inside its message pumping.
#include "draw/draw.h"

static void Repaint(int id) {
  const ImageSlot* slot = ImageInUse(id);
  if (slot) InvalidateRect(slot->window, NULL, FALSE);
}

void PixelCommand(int id) {
  int x, y;
  if (Picked(KRV_PickPoint(id, &x, &y))) ReportPixel(id, x, y);
}

static void PlotRowProfile(int id, int kind) {
  int x, y;
  if (Picked(KRV_PickRow(id, &x, &y))) RunLineProfile(id, y, kind);
}

void RgbProfileCommand(int id) { PlotRowProfile(id, ProfileRgb); }
void HsvProfileCommand(int id) { PlotRowProfile(id, ProfileHsv); }
void YCrCbProfileCommand(int id) { PlotRowProfile(id, ProfileYCrCb); }
void LumiProfileCommand(int id) { PlotRowProfile(id, ProfileLumi); }

void RowCrCbCommand(int id) {
  int x, y;
  if (Picked(KRV_PickRow(id, &x, &y))) RunRowCrCb(id, y);
}

void AreaCrCbCommand(int id) {
  int x1, y1, x2, y2;
  if (Picked(KRV_PickBox(id, &x1, &y1, &x2, &y2))) RunAreaCrCb(id, x1, y1, x2, y2);
}

void ClippingCommand(int id) {
  int x1, y1, x2, y2;
  if (Picked(KRV_PickBox(id, &x1, &y1, &x2, &y2))) ClipImage(id, x1, y1, x2, y2);
}

void InvertCommand(int id) { InvertImage(id); }
void HorizontalFlipCommand(int id) { FlipImage(id, 1); }
void VerticalFlipCommand(int id) { FlipImage(id, 0); }

// The commands that re-create or fill the image make it current first.
void RightRotateCommand(int id) {
  KRV_SelectImage(id);
  RotateImage(id, 1);
}

void LeftRotateCommand(int id) {
  KRV_SelectImage(id);
  RotateImage(id, 0);
}

static void Rescale(int id, int permille) {
  KRV_SelectImage(id);
  ScaleImage(id, permille);
}

void Size50Command(int id) { Rescale(id, 500); }
void Size71Command(int id) { Rescale(id, 707); }
void Size141Command(int id) { Rescale(id, 1414); }
void Size200Command(int id) { Rescale(id, 2000); }

static void Fill(int id, int pattern) {
  KRV_SelectImage(id);
  FillTestPattern(id, pattern);
}

void RgbPatternCommand(int id) { Fill(id, PatternRgb); }
void HsvPatternCommand(int id) { Fill(id, PatternHsv); }
void YCrCbPatternCommand(int id) { Fill(id, PatternYCrCb); }
void YuvPatternCommand(int id) { Fill(id, PatternYuv); }
void YiqPatternCommand(int id) { Fill(id, PatternYiq); }
void GreyPatternCommand(int id) { Fill(id, PatternGrey); }

void DrawTextCommand(int id) {
  int x, y;
  if (!Picked(KRV_PickPoint(id, &x, &y))) return;
  char line[256] = "";
  ReadTextLine(line);
  DrawBitmapTextAt(x, y, line);
  Repaint(id);
}

void TrueTypeDrawCommand(int id) {
  int x1, y1, x2, y2;
  if (!Picked(KRV_PickBox(id, &x1, &y1, &x2, &y2))) return;
  char line[256] = "";
  ReadTextLine(line);
  DrawTTTextInBox(x1, y1, x2, y2, line);
  Repaint(id);
}

void FontChangeCommand(int id) {
  const ImageSlot* slot = ImageInUse(id);
  ChangeTTFont(slot ? slot->window : NULL);
}
