// The image window's own commands (files, zoom, size, destroy) and the running of a command
// through the table of wiring/image_command_table.cpp, which adds the clipboard's, the
// picks', the transforms' and the tools'. Worker thread.
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

void LoadImageByDialog(HWND window, int) {
  SelectImageOfWindow(window);
  char path[PathUnits];
  if (ChooseLoadFile(path) != 0) return;
  LoadChosenFile(window, path);
}

void SaveImageByDialog(HWND window, int) {
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

void ZoomImageTo50(HWND, int id) { KRV_ZoomImage(50, id); }
void ZoomImageTo100(HWND, int id) { KRV_ZoomImage(100, id); }
void ZoomImageTo200(HWND, int id) { KRV_ZoomImage(200, id); }
void DestroyImageCommand(HWND, int id) { KRV_DestroyImage(id); }

// One line asked for in text window 0, read as a decimal integer (0 when it is none).
static int AskNumber(const char* format, int id) {
  KRV_Print(format, id);
  char line[256] = "";
  KRV_InputLine(line);
  return LeadingInteger(line);
}

void ZoomImageByPrompt(HWND, int id) {
  KRV_OpenTextWindow(0, -1, -1, -1, -1);
  KRV_ZoomImage(AskNumber("[%d] Zoom(%%)=", id), id);
}

void ResizeImageByPrompt(HWND, int id) {
  KRV_OpenTextWindow(0, -1, -1, -1, -1);
  const int width = AskNumber("[%d] New x-size(pixel)=", id);
  const int height = AskNumber("[%d] New y-size(pixel)=", id);
  KRV_ResizeImage(id, width, height);
}

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
