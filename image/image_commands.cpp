// The commands of the image window's menus and keys: one row per command, each running one
// named handler on the window's image. Worker thread. Commands of the clipboard, the picks,
// the transforms and the tools join the table as rows of their own.
#include <limits.h>
#include <stdlib.h>

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

static void LoadChosenFile(HWND window, int) {
  SelectImageOfWindow(window);
  char path[PathUnits];
  if (ChooseLoadFile(path) != 0) return;
  KRV_LoadImageFile(path, 0, 0);
  InvalidateCurrentImage();
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

struct ImageCommandRow {
  int id;
  void (*run)(HWND window, int image);
};

static const ImageCommandRow imageCommands[] = {
    {CommandLoadImage, LoadChosenFile},
    {CommandSaveImage, SaveAsChosenFile},
    {CommandZoom50, ZoomTo50},
    {CommandZoom100, ZoomTo100},
    {CommandZoom200, ZoomTo200},
    {CommandZoomPrompt, PromptZoom},
    {CommandResizePrompt, PromptResize},
    {CommandDestroyImage, Destroy},
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
