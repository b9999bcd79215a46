// The window-information report: every framework window described in the current text window,
// and the listing that re-creates the layout put on the clipboard as text. Runs on the thread
// that owns the windows; it only reads their tables.
#include <string.h>

#include "boxes/boxes.h"
#include "image/image.h"
#include "text/text.h"

enum {
  White = 0xFFFFFF,
  Black = 0x000000,
  Yellow = 0xFFFF00,
  Green = 0x00FF00,
  DepthColour = 0x0080FF,
  Magenta = 0xFF00FF,
  DarkBlue = 0x000080,
};

// A label or caption as the report reads it: at most 255 UTF-16 units.
static void ReadControlText(HWND control, char* out) {
  wchar_t wide[256] = L"";
  GetWindowTextW(control, wide, 256);
  WideToNarrow(wide, out, LayoutTextSize);
}

static void GatherImages(WindowLayout* layout) {
  layout->imageCount = 0;
  for (int id = 0; id < SlotCount; id++) {
    const ImageSlot* slot = ImageInUse(id);
    if (!slot) continue;
    LayoutImage& image = layout->images[layout->imageCount++];
    RECT rect = WindowRectOf(slot->window);
    image.id = id;
    image.bits = slot->bits;
    image.fitScreen = slot->fitScreen;
    image.x = rect.left;
    image.y = rect.top;
    image.width = slot->width;
    image.height = slot->height;
    image.zoom = slot->zoom;
    CopyNarrowText(image.title, slot->title ? slot->title : "", LayoutTextSize);
  }
}

static void GatherTextWindows(WindowLayout* layout) {
  layout->textCount = 0;
  for (int id = 0; id < SlotCount; id++) {
    const TextWindowSlot* slot = TextSlot(id);
    if (!slot) continue;
    LayoutTextWindow& text = layout->texts[layout->textCount++];
    RECT rect = WindowRectOf(slot->window);
    text.id = id;
    text.x = rect.left;
    text.y = rect.top;
    text.width = slot->width;
    text.height = slot->height;
  }
}

static void GatherInputBox(LayoutInputBox* box) {
  box->open = inputBox.window != NULL;
  if (!box->open) return;
  RECT rect = WindowRectOf(inputBox.window);
  box->x = rect.left;
  box->y = rect.top;
  box->count = inputBox.count < LayoutMaxItems ? inputBox.count : LayoutMaxItems;
  box->isize = inputBox.isize;
  box->esize = inputBox.esize;
  for (int i = 0; i < box->count; i++) ReadControlText(inputBox.labels[i], box->labels[i]);
}

static void GatherButtonBox(LayoutButtonBox* box) {
  box->open = buttonBox.window != NULL;
  if (!box->open) return;
  RECT rect = WindowRectOf(buttonBox.window), client = {};
  GetClientRect(buttonBox.window, &client);
  box->x = rect.left;
  box->y = rect.top;
  box->nx = buttonBox.nx;
  box->ny = buttonBox.ny;
  box->width = client.right;
  box->height = client.bottom;
  box->count = buttonBox.count < LayoutMaxButtons ? buttonBox.count : LayoutMaxButtons;
  for (int i = 0; i < box->count; i++) ReadControlText(buttonBox.buttons[i], box->captions[i]);
}

static void GatherLayout(WindowLayout* layout) {
  GatherImages(layout);
  GatherTextWindows(layout);
  GatherInputBox(&layout->inputBox);
  GatherButtonBox(&layout->buttonBox);
}

static void PrintHeading(const char* text) {
  KRV_PushTextColor(Green, Black);
  KRV_Print("%s", text);
  KRV_PopTextColor();
}

static void PrintImages(const WindowLayout& layout) {
  if (layout.imageCount == 0) return;
  PrintHeading("[Image Window]\n");
  for (int i = 0; i < layout.imageCount; i++) {
    const LayoutImage& image = layout.images[i];
    KRV_Print(" %d ", image.id);
    KRV_PushTextColor(DepthColour, Black);
    KRV_Print("%d ", image.bits);
    KRV_PopTextColor();
    KRV_PushTextColor(Magenta, Black);
    KRV_Print("%d ", image.fitScreen);
    KRV_PopTextColor();
    KRV_Print(" '%s' X:%d Y:%d W:%d H:%d ZM:%d%%\n", image.title, image.x, image.y, image.width,
              image.height, image.zoom);
  }
}

static void PrintTextWindows(const WindowLayout& layout) {
  PrintHeading("[Text Window]\n");
  for (int i = 0; i < layout.textCount; i++) {
    const LayoutTextWindow& text = layout.texts[i];
    KRV_Print(" %d X:%d Y:%d W:%d H:%d\n", text.id, text.x, text.y, text.width, text.height);
  }
}

static void PrintBoxes(const WindowLayout& layout) {
  const LayoutInputBox& input = layout.inputBox;
  if (input.open) {
    PrintHeading("[Input Box]\n");
    KRV_Print(" X:%d Y:%d ITEM:%d ", input.x, input.y, input.count);
    KRV_Print("ISIZE:%d ESIZE:%d\n", input.isize, input.esize);
  }
  const LayoutButtonBox& buttons = layout.buttonBox;
  if (buttons.open) {
    PrintHeading("[Button Box]\n");
    KRV_Print(" X:%d Y:%d NX:%d NY:%d ", buttons.x, buttons.y, buttons.nx, buttons.ny);
    KRV_Print("SIZE:%dx%d\n", buttons.width, buttons.height);
  }
}

static void PrintInConfirmationColours(const char* text) {
  KRV_PushTextColor(Yellow, DarkBlue);
  KRV_Print("%s", text);
  KRV_PopTextColor();
}

// No clipboard: nothing is copied and nothing is said.
static void CopyListing(const char* listing, int length) {
  if (!OpenClipboard(NULL)) return;
  EmptyClipboard();
  HGLOBAL block = NULL;
  char* text = (char*)LockNewClipboardBlock((SIZE_T)length + 1, &block);
  if (!text) {
    CloseClipboard();
    KRV_Pause("GlobalAlloc() failed. (ID_INFO)");
    return;
  }
  memcpy(text, listing, (size_t)length + 1);
  HandBlockToClipboard(block, CF_TEXT);
  CloseClipboard();
  PrintInConfirmationColours("クリップボードにレイアウト作成ソースリストを保存しました．\n");
}

// Snapshot and listing live for one report: a report started during another one's printing
// (Ctrl+W pressed meanwhile) has its own.
struct ReportMemory {
  WindowLayout layout;
  char listing[ListingBufferSize];
};

void ShowWindowInfo(void) {
  ReportMemory* memory = (ReportMemory*)HeapAlloc(GetProcessHeap(), 0, sizeof(ReportMemory));
  if (!memory) return;
  GatherLayout(&memory->layout);
  int cut = 0;
  int length = BuildLayoutListing(memory->layout, memory->listing, ListingBufferSize, &cut);
  KRV_PushTextColor(White, Black);
  KRV_PushTextColor(Yellow, Black);
  KRV_Print("******* Window information *******\n");
  KRV_PopTextColor();
  PrintImages(memory->layout);
  PrintTextWindows(memory->layout);
  PrintBoxes(memory->layout);
  KRV_PushTextColor(Yellow, Black);
  KRV_Print("**********************************\n");
  KRV_PopTextColor();
  if (cut) PrintInConfirmationColours("ソースリストは長すぎるため一部を省きました．\n");
  CopyListing(memory->listing, length);
  HeapFree(GetProcessHeap(), 0, memory);
  KRV_PopTextColor();
}
