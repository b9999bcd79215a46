// The commands of the image window's menus and keys: one row per command, each running one
// named handler on the window's image. Worker thread. Commands of the clipboard, the picks,
// the transforms and the tools join the table as rows of their own.
#include <limits.h>
#include <stdlib.h>

#include "draw/draw.h"
#include "image/image.h"

int LeadingInteger(const char* text) {
  const long value = strtol(text, NULL, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return (int)value;
}

static void InvalidateCurrentImage(void) {
  const ImageSlot* slot = ImageInUse(krv_current);
  if (slot) InvalidateRect(slot->window, NULL, FALSE);
}

// The dialog pumps the worker's messages: meanwhile a command on another image may have made
// that one current, or this window may be gone.
int LoadChosenFile(HWND window, const char* path) {
  const int id = ImageIdOfWindow(window);
  if (id < 0) return 2;
  if (id != krv_current) KRV_SelectImage(id);
  const int result = KRV_LoadImageFile(path, 0, 0);
  InvalidateCurrentImage();
  return result;
}

static void LoadByDialog(HWND window, int) {
  SelectImageOfWindow(window);
  char path[PathUnits];
  if (ChooseLoadFile(path) != 0) return;
  LoadChosenFile(window, path);
}

static void SaveAsChosenFile(HWND window, int) {
  SelectImageOfWindow(window);
  char path[PathUnits];
  if (ChooseSaveFile(path) != 0) return;
  const ImageSlot* slot = ImageInUse(krv_current);
  if (!slot) return;
  const int format = FormatOfSaveFilter(saveFilterIndex);
  const int quality = krv_jpeg_quality;
  if (format == ImageFileJpeg) krv_jpeg_quality = 100;
  KRV_SaveImageFile(slot->width, slot->height, format, path);
  krv_jpeg_quality = quality;
}

static void ZoomTo50(HWND, int id) { KRV_ZoomImage(50, id); }
static void ZoomTo100(HWND, int id) { KRV_ZoomImage(100, id); }
static void ZoomTo200(HWND, int id) { KRV_ZoomImage(200, id); }
static void Destroy(HWND, int id) { KRV_DestroyImage(id); }

// One line asked for in text window 0, read as a decimal integer (0 when it is none).
static int AskNumber(const char* format, int id) {
  KRV_Print(format, id);
  char line[256] = "";
  KRV_InputLine(line);
  return LeadingInteger(line);
}

static void PromptZoom(HWND, int id) {
  KRV_OpenTextWindow(0, -1, -1, -1, -1);
  KRV_ZoomImage(AskNumber("[%d] Zoom(%%)=", id), id);
}

static void PromptResize(HWND, int id) {
  KRV_OpenTextWindow(0, -1, -1, -1, -1);
  const int width = AskNumber("[%d] New x-size(pixel)=", id);
  const int height = AskNumber("[%d] New y-size(pixel)=", id);
  KRV_ResizeImage(id, width, height);
}

// Commands that need the image only: the clipboard's, the drawing commands and the tools.
template <void (*run)(int id)>
static void OnImage(HWND, int id) {
  run(id);
}

struct ImageCommandRow {
  int id;
  void (*run)(HWND window, int image);
};

static const ImageCommandRow imageCommands[] = {
    {CommandLoadImage, LoadByDialog},
    {CommandSaveImage, SaveAsChosenFile},
    {CommandZoom50, ZoomTo50},
    {CommandZoom100, ZoomTo100},
    {CommandZoom200, ZoomTo200},
    {CommandZoomPrompt, PromptZoom},
    {CommandResizePrompt, PromptResize},
    {CommandDestroyImage, Destroy},
    {CommandCut, OnImage<CutImage>},
    {CommandCopy, OnImage<KRV_CopyImage>},
    {CommandPaste, OnImage<PasteImagePlaced>},
    {CommandPasteTopLeft, OnImage<PasteImageAtCorner>},
    {CommandColorChange, OnImage<ChangeColourCommand>},
    {CommandColorPick, OnImage<PickColourCommand>},
    {CommandLineNormal, OnImage<DrawLineCommand>},
    {CommandLineHorizontal, OnImage<DrawRowCommand>},
    {CommandLineVertical, OnImage<DrawColumnCommand>},
    {CommandBoxNormal, OnImage<DrawBoxCommand>},
    {CommandBoxFill, OnImage<FillBoxCommand>},
    {CommandBoxFillXor, OnImage<XorFillBoxCommand>},
    {CommandCircleNormal, OnImage<DrawCircleCommand>},
    {CommandCircleFill, OnImage<FillCircleCommand>},
    {CommandCircleFillXor, OnImage<XorFillCircleCommand>},
    {CommandPaint, OnImage<PaintCommand>},
    {CommandInvert, OnImage<InvertCommand>},
    {CommandHorizontalFlip, OnImage<HorizontalFlipCommand>},
    {CommandVerticalFlip, OnImage<VerticalFlipCommand>},
    {CommandRotateRight, OnImage<RightRotateCommand>},
    {CommandRotateLeft, OnImage<LeftRotateCommand>},
    {CommandSize50, OnImage<Size50Command>},
    {CommandSize71, OnImage<Size71Command>},
    {CommandSize141, OnImage<Size141Command>},
    {CommandSize200, OnImage<Size200Command>},
    {CommandPatternRgb, OnImage<RgbPatternCommand>},
    {CommandPatternHsv, OnImage<HsvPatternCommand>},
    {CommandPatternYCrCb, OnImage<YCrCbPatternCommand>},
    {CommandPatternYuv, OnImage<YuvPatternCommand>},
    {CommandPatternYiq, OnImage<YiqPatternCommand>},
    {CommandPatternGrey, OnImage<GreyPatternCommand>},
    {CommandFontChange, OnImage<FontChangeCommand>},
    {CommandPixel, OnImage<PixelCommand>},
    {CommandLineRgb, OnImage<RgbProfileCommand>},
    {CommandLineHsv, OnImage<HsvProfileCommand>},
    {CommandLineYCrCb, OnImage<YCrCbProfileCommand>},
    {CommandLineLumi, OnImage<LumiProfileCommand>},
    {CommandLineCrCb, OnImage<RowCrCbCommand>},
    {CommandAreaCrCb, OnImage<AreaCrCbCommand>},
    {CommandClipping, OnImage<ClippingCommand>},
    {CommandDrawText, OnImage<DrawTextCommand>},
    {CommandTrueTypeDraw, OnImage<TrueTypeDrawCommand>},
};

void RunImageCommand(HWND window, int command) {
  const int id = ImageIdOfWindow(window);
  if (id < 0) return;
  for (const ImageCommandRow& row : imageCommands) {
    if (row.id == command) {
      row.run(window, id);
      return;
    }
  }
}
