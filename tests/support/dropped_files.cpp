#include "support/dropped_files.h"

#include <shlobj.h>
#include <string.h>

HDROP MakeDrop(const std::vector<std::wstring>& names) {
  size_t units = 1;
  for (const std::wstring& name : names) units += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                               sizeof(DROPFILES) + units * sizeof(wchar_t));
  DROPFILES* drop = (DROPFILES*)GlobalLock(memory);
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  wchar_t* at = (wchar_t*)(drop + 1);
  for (const std::wstring& name : names) {
    memcpy(at, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    at += name.size() + 1;
  }
  GlobalUnlock(memory);
  return (HDROP)memory;
}
