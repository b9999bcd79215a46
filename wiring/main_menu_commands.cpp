// The commands of the main window's popup menu, with the prompts that ask for sizes in a text
// window. GUI thread: windows are made by the worker through requests.
#include <stdio.h>

#include "image/image.h"
#include "text/text.h"
#include "wiring/wiring.h"

// A command waits for the worker while pumping, so a second one could start inside it and
// take over the one request record; one at a time keeps each its own result.
static volatile int commandRunning;

int MainMenuBusy(void) { return appRunning == 1 || inputPending != 0 || commandRunning; }

void ShowMainPopupMenu(HWND window) {
  if (PickState.active) return;
  TrackMenuAtCursor(BuildMainPopupMenu(MainMenuBusy()), window);
}

int LowestFreeImageSlot(void) {
  for (int id = 0; id < SlotCount; id++)
    if (!ImageInUse(id)) return id;
  return -1;
}

int LowestClosedTextWindow(void) {
  for (int index = 0; index < SlotCount; index++)
    if (!TextSlot(index)) return index;
  return -1;
}

// An open text window comes to the front; a closed one is asked of the worker.
static void BringUpTextWindow(int index) {
  TextWindowSlot* slot = TextSlot(index);
  if (slot) {
    SetForegroundWindow(slot->window);
    return;
  }
  RequestOpenTextWindow(index);
}

// One answer of a prompt; false once Exit was chosen while it waited.
static bool AskNumber(const char* prompt, int* value) {
  char line[LineBufferSize] = "";
  KRV_Print("%s", prompt);
  KRV_InputLine(line);
  *value = ReadTypedNumber(line);
  return quitState == QuitRunning;
}

// A size below one pixel makes no window: the creation would silently turn it into one.
static void CreateImageByPrompt(void) {
  BringUpTextWindow(0);
  KRV_Print("Creating ImageWindow...\n");
  int width, height, bits;
  if (!AskNumber(" Width=", &width) || !AskNumber("Height=", &height) ||
      !AskNumber("Bit[32 or 8]=", &bits))
    return;
  if ((bits != 32 && bits != 8) || width < 1 || height < 1) return;
  int slot = LowestFreeImageSlot();
  if (slot < 0) return;
  char title[8];
  snprintf(title, sizeof title, "%03d", slot);
  RequestCreateImage(slot, title, width, height, bits);
}

static void OpenLowestTextWindow(void) {
  int index = LowestClosedTextWindow();
  if (index >= 0) BringUpTextWindow(index);
}

static void OpenInputBoxByPrompt(void) {
  BringUpTextWindow(0);
  KRV_Print("Creating InpuxBox...\n");
  int count;
  if (!AskNumber("How many items? >", &count)) return;
  RequestOpenInputBox(count);
}

static void OpenButtonBoxByPrompt(void) {
  BringUpTextWindow(0);
  KRV_Print("Creating ButtonBox...\n");
  int nx, ny;
  if (!AskNumber("Number[X]=>", &nx) || !AskNumber("Number[Y]=>", &ny)) return;
  RequestOpenButtonBox(nx, ny);
}

// While the application runs no request is served: a missing text window is not asked for.
static void ShowWindowInfoInText(void) {
  if (!CurrentTextSlot()) {
    if (appRunning) return;
    BringUpTextWindow(0);
  }
  TextWindowSlot* slot = CurrentTextSlot();
  if (slot) PostMessageW(slot->window, WM_COMMAND, CommandShowWindowInfo, 0);
}

// Commands are refused where their items are greyed: no request would be served while the
// application runs, and a second prompt would share the typed keys with a waiting one. Only
// Paste and Window Info have keys of their own.
static bool Refused(int id) {
  if (commandRunning) return true;
  if (id == CommandPasteBitmap) return appRunning == 1;
  if (id == CommandShowWindowInfo) return false;
  return MainMenuBusy();
}

void RunMainMenuCommand(int id) {
  if (Refused(id)) return;
  commandRunning = 1;
  switch (id) {
    case CommandPasteBitmap: PasteClipboardImage(); break;
    case CommandCreateImage: CreateImageByPrompt(); break;
    case CommandOpenText: OpenLowestTextWindow(); break;
    case CommandOpenInputBox: OpenInputBoxByPrompt(); break;
    case CommandShowWindowInfo: ShowWindowInfoInText(); break;
    case CommandOpenButtonBox: OpenButtonBoxByPrompt(); break;
  }
  commandRunning = 0;
}

// Refused while the application runs or a pick waits: the worker would serve nothing.
void DropFilesOnMainWindow(HDROP drop) {
  if (commandRunning || appRunning || PickState.active) {
    DragFinish(drop);
    return;
  }
  commandRunning = 1;
  OpenDroppedFiles(drop);
  commandRunning = 0;
}
