// The table of text windows: opening, closing, selecting and showing them.
// Owning thread of the text windows (worker, or the GUI thread while the worker is idle).
#include <stdio.h>

#include "text/text.h"

TextWindowSlot textWindows[SlotCount];
int currentTextWindow;

static const DWORD TextWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

TextWindowSlot* TextSlot(int index) {
  if (index < 0 || index >= SlotCount || !textWindows[index].inUse) return NULL;
  return &textWindows[index];
}

TextWindowSlot* CurrentTextSlot(void) { return TextSlot(currentTextWindow); }

int TextWindowIndexOf(HWND window) {
  if (!window) return -1;
  for (int i = 0; i < SlotCount; i++)
    if (textWindows[i].inUse && textWindows[i].window == window) return i;
  return -1;
}

HWND TextWindowAt(int index) { return textWindows[index].inUse ? textWindows[index].window : NULL; }

void ApplyTextColours(TextWindowSlot* slot) {
  SetTextColor(slot->memoryDC, ToColorref(slot->textColor));
  SetBkColor(slot->memoryDC, ToColorref(slot->backColor));
}

// The window's own pixel format on a true-colour screen, with the pixels at hand for comparing.
static HBITMAP CreateTextBitmap(TextWindowSlot* slot) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = slot->width;
  info.bmiHeader.biHeight = -slot->height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = NULL;
  HBITMAP bitmap = CreateDIBSection(slot->windowDC, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  slot->pixels = bitmap ? (int*)bits : NULL;
  return bitmap;
}

bool MakeTextBitmap(TextWindowSlot* slot) {
  slot->windowDC = GetDC(slot->window);
  slot->memoryDC = CreateCompatibleDC(slot->windowDC);
  slot->bitmap = CreateTextBitmap(slot);
  if (!slot->memoryDC || !slot->bitmap || !MakeShownPixels(slot)) return false;
  SelectObject(slot->memoryDC, GetStockObject(BLACK_BRUSH));
  SelectObject(slot->memoryDC, GetStockObject(OEM_FIXED_FONT));
  slot->previousBitmap = (HBITMAP)SelectObject(slot->memoryDC, slot->bitmap);
  // A new bitmap holds whatever the allocator left; start from the background.
  PatBlt(slot->memoryDC, 0, 0, slot->width, slot->height, PATCOPY);
  NoteTextChange(slot, 0, 0, slot->width, slot->height);
  ApplyTextColours(slot);
  TEXTMETRICW metrics;
  GetTextMetricsW(slot->memoryDC, &metrics);
  slot->charWidth = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 1;
  slot->lineHeight = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
  return true;
}

void ReleaseTextBitmap(TextWindowSlot* slot) {
  if (slot->memoryDC) {
    if (slot->previousBitmap) SelectObject(slot->memoryDC, slot->previousBitmap);
    DeleteDC(slot->memoryDC);
  }
  if (slot->bitmap) DeleteObject(slot->bitmap);
  if (slot->windowDC) ReleaseDC(slot->window, slot->windowDC);
  ReleaseShownPixels(slot);
  slot->memoryDC = slot->windowDC = NULL;
  slot->bitmap = slot->previousBitmap = NULL;
  slot->pixels = NULL;
}

static void BringForward(TextWindowSlot* slot) {
  UpdateWindow(slot->window);
  SetForegroundWindow(slot->window);
}

static HWND CreateTextWindow(int id, int x, int y, int width, int height) {
  char title[32];
  wchar_t wideTitle[32];
  snprintf(title, sizeof title, "TextWindow %d", id);
  NarrowToWide(title, wideTitle, 32);
  RECT rect = {0, 0, width, height};
  AdjustWindowRect(&rect, TextWindowStyle, FALSE);
  if (x < 0 || y < 0) x = y = CW_USEDEFAULT;
  return CreateWindowExW(0, L"krv_twi", wideTitle, TextWindowStyle, x, y,
                         rect.right - rect.left, rect.bottom - rect.top, mainWindow, NULL,
                         moduleInstance, NULL);
}

int KRV_OpenTextWindow(int id, int x, int y, int width, int height) {
  if (id < 0 || id >= SlotCount) return 2;
  TextWindowSlot* slot = &textWindows[id];
  currentTextWindow = id;
  if (slot->inUse) {
    BringForward(slot);
    return 1;
  }
  slot->width = width < 0 ? DefaultTextWidth : width;
  slot->height = height < 0 ? DefaultTextHeight : height;
  slot->textColor = 0xFFFFFF;
  slot->backColor = 0;
  slot->window = CreateTextWindow(id, x, y, slot->width, slot->height);
  if (!slot->window) return 2;
  if (!MakeTextBitmap(slot)) {
    ReleaseTextBitmap(slot);
    DestroyWindow(slot->window);
    slot->window = NULL;
    return 2;
  }
  slot->x = slot->y = 0;
  for (int i = 0; i < ColorStackDepth; i++) {
    slot->textColorStack[i] = slot->textColor;
    slot->backColorStack[i] = slot->backColor;
  }
  slot->inUse = 1;
  RebuildSnapList();
  slot->logState = LogOff;
  BringForward(slot);
  return 0;
}

static void SelectLowestOpenWindow(void) {
  for (int i = 0; i < SlotCount; i++) {
    if (textWindows[i].inUse) {
      currentTextWindow = i;
      return;
    }
  }
}

int KRV_CloseTextWindow(int id) {
  TextWindowSlot* slot = TextSlot(id);
  if (!slot) return 1;
  slot->inUse = 0;
  if (id == currentTextWindow) SelectLowestOpenWindow();
  if (inputPending == id + 1) inputPending = 0;
  // The transcript ends with its window, so nothing buffered is lost and no stream is left over.
  CloseLog(slot);
  ReleaseTextBitmap(slot);
  DestroyWindow(slot->window);
  slot->window = NULL;
  RebuildSnapList();
  return 0;
}

int KRV_SelectTextWindow(int id) {
  if (!TextSlot(id)) return 1;
  currentTextWindow = id;
  return 0;
}

void KRV_ShowTextWindow(void) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (slot) {
    SetForegroundWindow(slot->window);
    return;
  }
  KRV_OpenTextWindow(0, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 200,
                     GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 150, DefaultTextWidth,
                     DefaultTextHeight);
}

void ServeOpenTextWindow(RequestBlock* block) {
  KRV_OpenTextWindow(block->id, block->x, block->y, block->width, block->height);
}
