// Which video-input devices the capture takes. Worker thread.
#include <wchar.h>

#include "capture/capture.h"

bool DeviceQualifies(const wchar_t* displayName, bool underWine) {
  if (underWine) return true;
  return displayName && wcsstr(displayName, L"@device:pnp") != NULL;
}

// Wine's ntdll exports its version; Windows' does not.
bool RunningUnderWine(void) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != NULL;
}
