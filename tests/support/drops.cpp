// Dropped-file blocks laid out as the shell lays them out: the head, then the names, each
// ended by a null, and one more null after the last.
#include "support/drops.h"

#include <string.h>
// After windows.h, which it needs.
#include <shlobj.h>

template <typename Unit, typename Name>
static HDROP MakeDropOf(const std::vector<Name>& names, BOOL wide) {
  size_t units = 1;
  for (const Name& name : names) units += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(Unit));
  DROPFILES* drop = (DROPFILES*)GlobalLock(memory);
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = wide;
  Unit* at = (Unit*)(drop + 1);
  for (const Name& name : names) {
    memcpy(at, name.c_str(), (name.size() + 1) * sizeof(Unit));
    at += name.size() + 1;
  }
  GlobalUnlock(memory);
  return (HDROP)memory;
}

HDROP MakeDrop(const std::vector<std::wstring>& names) {
  return MakeDropOf<wchar_t>(names, TRUE);
}

HDROP MakeNarrowDrop(const std::vector<std::string>& names) {
  return MakeDropOf<char>(names, FALSE);
}
