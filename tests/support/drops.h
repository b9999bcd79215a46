// Dropped files as the shell hands them over: a DROPFILES block in movable global memory.
#ifndef KORVEL_DROPS_H
#define KORVEL_DROPS_H

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

// The receiver of WM_DROPFILES frees it with DragFinish.
HDROP MakeDrop(const std::vector<std::wstring>& names);
HDROP MakeNarrowDrop(const std::vector<std::string>& names);  // fWide FALSE

#endif
