// The processing-menu commands that measure, transform, make test patterns and draw text, as
// rows of the image window's command table: each runs on the window's image id, picking first
// when it needs a place. Worker thread, inside its message pumping.
#include "draw/draw.h"

void InvertCommand(HWND, int id) { InvertImage(id); }
void HorizontalFlipCommand(HWND, int id) { FlipImage(id, 1); }
void VerticalFlipCommand(HWND, int id) { FlipImage(id, 0); }

// The commands that re-create or fill the image make it current first.
void RightRotateCommand(HWND, int id) {
  KRV_SelectImage(id);
  RotateImage(id, 1);
}

void LeftRotateCommand(HWND, int id) {
  KRV_SelectImage(id);
  RotateImage(id, 0);
}

static void Rescale(int id, int permille) {
  KRV_SelectImage(id);
  ScaleImage(id, permille);
}

void Size50Command(HWND, int id) { Rescale(id, 500); }
void Size71Command(HWND, int id) { Rescale(id, 707); }
void Size141Command(HWND, int id) { Rescale(id, 1414); }
void Size200Command(HWND, int id) { Rescale(id, 2000); }

static void Fill(int id, int pattern) {
  KRV_SelectImage(id);
  FillTestPattern(id, pattern);
}

void RgbPatternCommand(HWND, int id) { Fill(id, PatternRgb); }
void HsvPatternCommand(HWND, int id) { Fill(id, PatternHsv); }
void YCrCbPatternCommand(HWND, int id) { Fill(id, PatternYCrCb); }
void YuvPatternCommand(HWND, int id) { Fill(id, PatternYuv); }
void YiqPatternCommand(HWND, int id) { Fill(id, PatternYiq); }
void GreyPatternCommand(HWND, int id) { Fill(id, PatternGrey); }

void FontChangeCommand(HWND window, int) { ChangeTTFont(window); }
