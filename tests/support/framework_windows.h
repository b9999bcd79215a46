// In-process tests that create framework windows on the test thread.
#ifndef KORVEL_FRAMEWORK_WINDOWS_H
#define KORVEL_FRAMEWORK_WINDOWS_H

#include <windows.h>

#include <string>

void UseFrameworkWindows(void);  // module handle and window classes, once
void PumpFor(DWORD milliseconds);  // PumpWorkerMessages for about that long
// A plain window on the test thread that can stand in for the main window, which the worker's
// windows hand some keys to; made once.
HWND StandInMainWindow(void);
// The keys sent to the stand-in from now on are appended to keys; NULL stops collecting.
void CollectStandInKeys(std::wstring* keys);
// A marker posted to the stand-in behind what was posted before to the windows of the test
// thread: a thread's posted messages are handled in order, so once the marker is seen (while
// the thread pumps) they have all been handled. Any thread may post one.
int PostStandInMarker(void);
bool StandInMarkerSeen(int marker);
// On the test thread: pumps until what was posted to its windows so far has been handled, and
// what those handlers posted in turn. False on time-out.
bool PumpUntilHandled(void);

#endif
