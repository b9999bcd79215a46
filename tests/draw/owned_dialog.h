// Finds the common dialog (a font or colour dialog) that a window of the test thread owns, so
// that a second thread can end it.
#ifndef KORVEL_OWNED_DIALOG_H
#define KORVEL_OWNED_DIALOG_H

#include <windows.h>

#include "support/wait_for.h"

// The visible dialog owned by owner, once it shows; NULL after 5 s.
inline HWND FindOwnedDialog(HWND owner) {
  struct Search {
    HWND owner, found;
  } search = {owner, NULL};
  WaitFor([&search] {
    EnumThreadWindows(
        GetWindowThreadProcessId(search.owner, NULL),
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
    return search.found != NULL;
  });
  return search.found;
}

#endif
