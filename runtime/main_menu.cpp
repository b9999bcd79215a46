// The main window's popup menu as a table, and the reading of the numbers its prompts ask
// for. GUI thread; the commands themselves are in wiring/main_menu_commands.cpp.
#include <limits.h>
#include <stdlib.h>

#include "runtime/runtime.h"

const MainMenuEntry mainMenuEntries[MainMenuItemCount] = {
    {"Paste\tCtrl+V", CommandPasteBitmap, 1},
    {NULL, 0, 0},
    {"Start", CommandStart, 1},
    {"Stop", CommandStop, 0},
    {"E&xit", CommandExit, 0},
    {NULL, 0, 0},
    {"Image Window", CommandCreateImage, 1},
    {"Text Window", CommandOpenText, 1},
    {"Input Box", CommandOpenInputBox, 1},
    {"Button Box", CommandOpenButtonBox, 1},
    {NULL, 0, 0},
    {"&Window Info.\tCtrl+W", CommandShowWindowInfo, 1},
};

HMENU BuildMainPopupMenu(int busy) {
  HMENU menu = CreatePopupMenu();
  for (const MainMenuEntry& entry : mainMenuEntries) {
    if (!entry.text)
      AppendMenuSeparator(menu);
    else
      AppendMenuText(menu, entry.text, entry.command,
                     busy && entry.greyable ? MenuGreyed : MenuEnabled);
  }
  return menu;
}

int ReadTypedNumber(const char* text) {
  long long value = strtoll(text, NULL, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return (int)value;
}
