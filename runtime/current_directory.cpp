// The working directory as the file dialogs and the logs take it at start-up. Any thread; in
// a file of its own so that a program using the logs alone does not link the start-up.
#include "runtime/runtime.h"

void ReadCurrentDirectory(wchar_t* wide, char* narrow, bool withBackslash) {
  DWORD length = GetCurrentDirectoryW(MAX_PATH, wide);
  if (length == 0 || length >= MAX_PATH) {
    wide[0] = 0;
    length = 0;
  }
  if (withBackslash && (length == 0 || wide[length - 1] != L'\\') && length + 1 < MAX_PATH) {
    wide[length] = L'\\';
    wide[length + 1] = 0;
  }
  WideToNarrow(wide, narrow, MAX_PATH);
}
