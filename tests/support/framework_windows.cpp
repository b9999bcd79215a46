// Lets in-process tests create framework windows on the test thread, which then plays the
// worker thread: the module handle and the window classes are set up once.
#include "support/framework_windows.h"

#include "runtime/runtime.h"
#include "support/wait_for.h"

void UseFrameworkWindows(void) {
  static bool registered;
  if (registered) return;
  moduleInstance = GetModuleHandleW(NULL);
  // The millisecond clock as the entry point sets it: printing paces its pumps by it.
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  millisecondPeriod = 1000.0 / (double)frequency.QuadPart;
  lstrcpyW(mainClassName, L"korvel_test_mw");
  RegisterWindowClasses();
  StandInMainWindow();  // on the test thread, whose pumping handles the markers
  registered = true;
}

void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    PumpWorkerMessages();
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

static std::wstring* standInKeys;
enum { StandInMarker = WM_APP + 27 };
static volatile LONG markersPosted, markersSeen;

void CollectStandInKeys(std::wstring* keys) { standInKeys = keys; }

static LRESULT CALLBACK StandInMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && standInKeys) *standInKeys += (wchar_t)wParam;
  if (message == StandInMarker) markersSeen = (LONG)wParam;
  return DefWindowProcW(window, message, wParam, lParam);
}

int PostStandInMarker(void) {
  const LONG marker = InterlockedIncrement(&markersPosted);
  PostMessageW(StandInMainWindow(), StandInMarker, (WPARAM)marker, 0);
  return (int)marker;
}

bool StandInMarkerSeen(int marker) { return markersSeen >= marker; }

// The second marker follows what the handlers of the first round posted.
bool PumpUntilHandled(void) {
  for (int round = 0; round < 2; round++) {
    const int marker = PostStandInMarker();
    if (!WaitFor([marker] {
          PumpWorkerMessages();
          return StandInMarkerSeen(marker);
        }))
      return false;
  }
  return true;
}

HWND StandInMainWindow(void) {
  static HWND standIn;
  if (!standIn) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = StandInMain;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"korvel_test_stand_in_main";
    RegisterClassW(&windowClass);
    standIn = CreateWindowW(L"korvel_test_stand_in_main", L"", WS_OVERLAPPED, 0, 0, 10, 10, NULL,
                            NULL, GetModuleHandleW(NULL), NULL);
  }
  return standIn;
}
