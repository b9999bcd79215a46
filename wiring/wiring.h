// Where the framework's folders meet: the tables and start-up steps the runtime reads
// (declared in runtime/runtime.h, defined here), the image window's command table, and the
// main window's commands that make other folders' windows. Only this folder includes more
// than one other folder.
#ifndef KORVEL_WIRING_H
#define KORVEL_WIRING_H

#include "runtime/runtime.h"

// ---- Main window commands (wiring/main_menu_commands.cpp, main_drop.cpp), GUI thread ----
int MainMenuBusy(void);  // appRunning, a line input waiting, or a command of this menu running
int LowestFreeImageSlot(void);     // -1 when all 256 are in use
int LowestClosedTextWindow(void);  // -1 when all 256 are open
// Makes the first slot from 0 up that takes a width x height 32-bit image and pastes bitmap
// into it; the bitmap is deleted when no slot takes it. Returns the slot or -1.
int PasteBitmapAsImage(HBITMAP bitmap);
void PasteClipboardImage(void);  // the clipboard's picture, when it has one, as a new image
void OpenDroppedFiles(HDROP drop);  // one image window per image file; releases the drop

#endif
