// Finds the common dialog (a font or colour dialog) that a window of the test thread owns, so
// that a second thread can end it.
#ifndef KORVEL_OWNED_DIALOG_H
#define KORVEL_OWNED_DIALOG_H

#include <windows.h>

// The visible dialog owned by owner, once it shows; NULL after 5 s.
inline HWND FindOwnedDialog(HWND owner) {
  struct Search {
    HWND owner, found;
  } search = {owner, NULL};
  for (int waited = 0; waited < 5000 && !search.found; waited += 5) {
    EnumThreadWindows(
        GetWindowThreadProcessId(owner, NULL),
        [](HWND window, LPARAM out) -> BOOL {
          Search* s = (Search*)out;
          wchar_t name[16] = L"";
          GetClassNameW(window, name, 16);
          if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window) ||
              GetWindow(window, GW_OWNER) != s->owner)
            return TRUE;
          s->found = window;
          return FALSE;
        },
        (LPARAM)&search);
    if (!search.found) Sleep(5);
  }
  return search.found;
}

#endif
