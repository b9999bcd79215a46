// The image window's two popup menus as tables: the image menu (right click) and the
// processing menu (Ctrl + right click, or the middle button). Worker thread.
#include "image/image.h"

#define ROWS(table) {table, (int)(sizeof(table) / sizeof(table[0]))}
static constexpr MenuRow Separator = {NULL, 0, NULL, NULL};

static int CheckedAtZoom(int id, int zoom) {
  const ImageSlot* slot = ImageInUse(id);
  return slot && slot->zoom == zoom ? MenuChecked : MenuEnabled;
}
static int CheckedAt50(int id) { return CheckedAtZoom(id, 50); }
static int CheckedAt100(int id) { return CheckedAtZoom(id, 100); }
static int CheckedAt200(int id) { return CheckedAtZoom(id, 200); }

static int Only8Bit(int id) {
  const ImageSlot* slot = ImageInUse(id);
  return slot && slot->bits == 8 ? MenuEnabled : MenuHidden;
}
static int Only32Bit(int id) { return Only8Bit(id) == MenuHidden ? MenuEnabled : MenuHidden; }

static const MenuRow imageMenuRows[] = {
    {"Cut\tCtrl+X", CommandCut, NULL, NULL},
    {"Copy\tCtrl+C", CommandCopy, NULL, NULL},
    {"Paste\tCtrl+V", CommandPaste, NULL, NULL},
    Separator,
    {"&Load image file", CommandLoadImage, NULL, NULL},
    {"&Save as", CommandSaveImage, NULL, NULL},
    Separator,
    {"Zoom: 50%", CommandZoom50, NULL, CheckedAt50},
    {"Zoom:100%\tCtrl+0", CommandZoom100, NULL, CheckedAt100},
    {"Zoom:200%", CommandZoom200, NULL, CheckedAt200},
    {"&Zoom...", CommandZoomPrompt, NULL, NULL},
    Separator,
    {"&Resize...", CommandResizePrompt, NULL, NULL},
    {"&Destroy\tCtrl+Q", CommandDestroyImage, NULL, NULL},
};

static const MenuRow processRows[] = {
    {"Invert", CommandInvert, NULL, NULL},
    Separator,
    {"R. Rotate", CommandRotateRight, NULL, NULL},
    {"L. Rotate", CommandRotateLeft, NULL, NULL},
    Separator,
    {"Horz. Flip", CommandHorizontalFlip, NULL, NULL},
    {"Vert. Flip", CommandVerticalFlip, NULL, NULL},
    Separator,
    {"Size 50.0%", CommandSize50, NULL, NULL},
    {"Size 70.7%", CommandSize71, NULL, NULL},
    {"Size 141.4%", CommandSize141, NULL, NULL},
    {"Size 200.0%", CommandSize200, NULL, NULL},
};

// 8-bit images have only "Pixel" and "Line(Lumi)".
static const MenuRow informationRows[] = {
    {"Pixel", CommandPixel, NULL, NULL},
    {"Line(RGB)", CommandLineRgb, NULL, Only32Bit},
    {"Line(HSV)", CommandLineHsv, NULL, Only32Bit},
    {"Line(YCrCb)", CommandLineYCrCb, NULL, Only32Bit},
    {"Line(CrCb)", CommandLineCrCb, NULL, Only32Bit},
    {NULL, 0, NULL, Only32Bit},
    {"Area(CrCb)", CommandAreaCrCb, NULL, Only32Bit},
    {"Line(Lumi)", CommandLineLumi, NULL, Only8Bit},
};

static const MenuRow patternRows[] = {
    {"RGB", CommandPatternRgb, NULL, NULL},     {"HSV", CommandPatternHsv, NULL, NULL},
    {"YCrCb", CommandPatternYCrCb, NULL, NULL}, {"Yuv", CommandPatternYuv, NULL, NULL},
    {"YIQ", CommandPatternYiq, NULL, NULL},     {"Grey", CommandPatternGrey, NULL, NULL},
};

static const MenuRow colourRows[] = {
    {"Change", CommandColorChange, NULL, NULL},
    {"Pick", CommandColorPick, NULL, NULL},
};

static const MenuRow lineRows[] = {
    {"Normal", CommandLineNormal, NULL, NULL},
    {"Horz.", CommandLineHorizontal, NULL, NULL},
    {"Vert.", CommandLineVertical, NULL, NULL},
};

static const MenuRow boxRows[] = {
    {"Normal", CommandBoxNormal, NULL, NULL},
    {"Fill", CommandBoxFill, NULL, NULL},
    {"Fill XOR", CommandBoxFillXor, NULL, NULL},
};

static const MenuRow circleRows[] = {
    {"Normal", CommandCircleNormal, NULL, NULL},
    {"Fill", CommandCircleFill, NULL, NULL},
    {"Fill XOR", CommandCircleFillXor, NULL, NULL},
};

static const MenuRow trueTypeRows[] = {
    {"Draw", CommandTrueTypeDraw, NULL, NULL},
    {"Font Change", CommandFontChange, NULL, NULL},
};

static const MenuTable processMenu = ROWS(processRows);
static const MenuTable informationMenu = ROWS(informationRows);
static const MenuTable patternMenu = ROWS(patternRows);
static const MenuTable colourMenu = ROWS(colourRows);
static const MenuTable lineMenu = ROWS(lineRows);
static const MenuTable boxMenu = ROWS(boxRows);
static const MenuTable circleMenu = ROWS(circleRows);
static const MenuTable trueTypeMenu = ROWS(trueTypeRows);

static const MenuRow processingMenuRows[] = {
    {"Process...", 0, &processMenu, NULL},
    Separator,
    {"Information...", 0, &informationMenu, NULL},
    Separator,
    {"Test Pattern...", 0, &patternMenu, NULL},
    Separator,
    {"Clipping\tCtrl+R", CommandClipping, NULL, NULL},
    Separator,
    {"Color...", 0, &colourMenu, NULL},
    {"Draw Line...", 0, &lineMenu, NULL},
    {"Draw Box...", 0, &boxMenu, NULL},
    {"Draw Circle...", 0, &circleMenu, NULL},
    {"TrueType...", 0, &trueTypeMenu, NULL},
    {"Draw Text", CommandDrawText, NULL, NULL},
    {"Paint", CommandPaint, NULL, NULL},
};

HMENU BuildImageMenu(int id) {
  static const MenuTable table = ROWS(imageMenuRows);
  return BuildMenuFromTable(table, id);
}

HMENU BuildProcessMenu(int id) {
  static const MenuTable table = ROWS(processingMenuRows);
  return BuildMenuFromTable(table, id);
}
