// Files dropped on a window in the tests: a DROPFILES block with the wide names, as the shell
// makes it; the window's DragFinish frees it.
#ifndef KORVEL_DROPPED_FILES_H
#define KORVEL_DROPPED_FILES_H

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

HDROP MakeDrop(const std::vector<std::wstring>& names);

#endif
