// Menus are built by inserting items by position, each text converted from narrow text.
#include "runtime/runtime.h"

static void InsertItemAtEnd(HMENU menu, MENUITEMINFOW* item) {
  item->cbSize = sizeof(*item);
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, item);
}

static UINT StateFlags(int state) {
  if (state == MenuChecked) return MFS_CHECKED;
  if (state == MenuGreyed) return MFS_DISABLED | MFS_GRAYED;
  return MFS_ENABLED;
}

void AppendMenuText(HMENU menu, const char* text, UINT id, int state) {
  wchar_t wide[256];
  NarrowToWide(text, wide, 256);
  MENUITEMINFOW item = {};
  item.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
  item.fType = MFT_STRING;
  item.fState = StateFlags(state);
  item.wID = id;
  item.dwTypeData = wide;
  InsertItemAtEnd(menu, &item);
}

void AppendMenuSeparator(HMENU menu) {
  MENUITEMINFOW item = {};
  item.fMask = MIIM_FTYPE;
  item.fType = MFT_SEPARATOR;
  InsertItemAtEnd(menu, &item);
}

void AppendSubmenu(HMENU menu, const char* text, HMENU submenu) {
  wchar_t wide[256];
  NarrowToWide(text, wide, 256);
  MENUITEMINFOW item = {};
  item.fMask = MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
  item.fType = MFT_STRING;
  item.hSubMenu = submenu;
  item.dwTypeData = wide;
  InsertItemAtEnd(menu, &item);
}

void TrackMenuAtCursor(HMENU menu, HWND owner) {
  POINT cursor;
  GetCursorPos(&cursor);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, NULL);
  DestroyMenu(menu);
}

void TrackSingleItemMenu(HWND owner, const char* text, UINT id) {
  HMENU menu = CreatePopupMenu();
  AppendMenuText(menu, text, id, MenuEnabled);
  TrackMenuAtCursor(menu, owner);
}

HMENU BuildMenuFromTable(const MenuTable& table, int subject) {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < table.count; i++) {
    const MenuRow& row = table.rows[i];
    const int state = row.state ? row.state(subject) : MenuEnabled;
    if (state == MenuHidden) continue;
    if (!row.text)
      AppendMenuSeparator(menu);
    else if (row.submenu)
      AppendSubmenu(menu, row.text, BuildMenuFromTable(*row.submenu, subject));
    else
      AppendMenuText(menu, row.text, row.id, state);
  }
  return menu;
}
