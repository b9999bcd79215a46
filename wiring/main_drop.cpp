// Pictures that become new image windows from the main window: files dropped on it and a
// bitmap taken from the clipboard. GUI thread; the worker makes and fills the images.
#include <stdio.h>

#include "image/image.h"
#include "wiring/wiring.h"

// The slot the creation made current gives the current image back to the one before it.
static void FinishNewImage(int slot) {
  RequestRedrawImage(slot);
  KRV_SelectPreviousImage();
}

int PasteBitmapAsImage(HBITMAP bitmap) {
  BITMAP info;
  if (GetObjectW(bitmap, sizeof info, &info) == 0) {
    DeleteObject(bitmap);
    return -1;
  }
  for (int slot = 0; slot < SlotCount && quitState == QuitRunning; slot++) {
    char title[8];
    snprintf(title, sizeof title, "%03d", slot);
    int result = RequestCreateImage(slot, title, info.bmWidth, info.bmHeight, 32);
    if (result == 0) {
      RequestPasteBitmap(bitmap);  // the worker owns it from here
      FinishNewImage(slot);
      return slot;
    }
    // Too large for the screen or for memory: no other slot would take it either.
    if (result != 1) break;
  }
  DeleteObject(bitmap);
  return -1;
}

void PasteClipboardImage(void) {
  RGBQUAD colours[PaletteSize];
  int count = 0;
  HBITMAP bitmap = KRV_GetClipboardBitmap(colours, &count);
  if (bitmap) PasteBitmapAsImage(bitmap);
}

struct DroppedFile {
  wchar_t fullWide[MAX_PATH];
  char full[MAX_PATH];
  char name[MAX_PATH];
};

// A name too long for the buffers is skipped rather than cut into another file's name.
static bool ReadDroppedFile(HDROP drop, UINT index, DroppedFile* file) {
  UINT length = DragQueryFileW(drop, index, NULL, 0);
  if (length == 0 || length >= MAX_PATH) return false;
  wchar_t dropped[MAX_PATH];
  if (DragQueryFileW(drop, index, dropped, MAX_PATH) != length) return false;
  wchar_t* namePart = NULL;
  DWORD fullLength = GetFullPathNameW(dropped, MAX_PATH, file->fullWide, &namePart);
  if (fullLength == 0 || fullLength >= MAX_PATH || !namePart || !namePart[0]) return false;
  // Names the code page cannot spell exactly would name another file, or none.
  return PathToNarrow(file->fullWide, file->full, MAX_PATH) == 0 &&
         PathToNarrow(namePart, file->name, MAX_PATH) == 0;
}

// Tries slots from *next upward; *next advances past every slot tried.
static void OpenDroppedFile(HDROP drop, UINT index, int* next) {
  DroppedFile file;
  if (!ReadDroppedFile(drop, index, &file)) return;
  int width, height;
  ReadPictureSize(file.fullWide, &width, &height);
  if (width == 0 || height == 0) return;
  while (*next < SlotCount && quitState == QuitRunning) {
    int slot = (*next)++;
    char title[MAX_PATH + 8];
    snprintf(title, sizeof title, "%03d %s", slot, file.name);
    int result = RequestCreateImage(slot, title, width, height, 32);
    if (result == 0) {
      RequestLoadImageFile(slot, file.full);
      FinishNewImage(slot);
      return;
    }
    if (result != 1) return;
  }
}

void OpenDroppedFiles(HDROP drop) {
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
  int next = 0;
  for (UINT i = 0; i < count && quitState == QuitRunning; i++) OpenDroppedFile(drop, i, &next);
  DragFinish(drop);
}
