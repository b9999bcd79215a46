// What a test program holds, measured from inside and reported as one line
// "resources HANDLES GDI USER BYTES frames F missed M": Wine answers none of these about another
// process, and counts neither handles nor GDI and USER objects, so handles are found by asking
// each possible handle value, and the bytes are the private bytes, else the committed ones,
// else the working set, whichever the system tells.
#ifndef KORVEL_RESOURCE_REPORT_H
#define KORVEL_RESOURCE_REPORT_H

#include <windows.h>

#include <psapi.h>
#include <stdio.h>

#include "probe_report.h"

inline DWORD CountHandles(void) {
  DWORD count = 0, flags = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4)
    if (GetHandleInformation((HANDLE)value, &flags)) count++;
  return count;
}

inline unsigned long long MemoryBytes(void) {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&memory, sizeof memory))
    return 0;
  if (memory.PrivateUsage) return memory.PrivateUsage;
  if (memory.PagefileUsage) return memory.PagefileUsage;
  return memory.WorkingSetSize;
}

inline void ReportResources(int frames, int missed) {
  char line[128];
  snprintf(line, sizeof line, "resources %lu %lu %lu %llu frames %d missed %d\n", CountHandles(),
           GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
           GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), MemoryBytes(), frames, missed);
  Report(line);
}

#endif
