// The program's entry point on the GUI thread: instance limit, shared state, window classes,
// the main window and the message loop.
#include <objidl.h>
#include <gdiplus.h>
#include <stdio.h>

#include "runtime/runtime.h"

int FindInstanceNumber(void) {
  for (int number = 0; number < InstanceLimit; number++) {
    wchar_t name[16];
    swprintf(name, 16, L"korvel_mw%d", number);
    if (!FindWindowW(name, NULL)) return number;
  }
  return -1;
}

static void StartGdiplus(void) {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug routine, nothing suppressed
  Gdiplus::GdiplusStartup(&gdiplusToken, &input, NULL);  // a failure is ignored
}

static void InitialiseSharedState(HINSTANCE instance) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  millisecondPeriod = 1000.0 / (double)frequency.QuadPart;
  moduleInstance = instance;
  StartSubsystems();
}

static void ShowInitialStatus(void) {
  ShowColourDepthStatus();
  DragAcceptFiles(mainWindow, TRUE);
  UpdateWindow(mainWindow);
}

static void RunMessageLoop(void) {
  MSG message;
  while (!quitMessageSeen && GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

static void ShutDown(void) {
  StopSubsystems();
  DestroyMenu(mainMenuBar);
  Gdiplus::GdiplusShutdown(gdiplusToken);
}

int KorvelMain(HINSTANCE instance) {
  instanceNumber = FindInstanceNumber();
  if (instanceNumber < 0) {
    ShowMessageW(L"Over instance limit!", L"KORVEL");
    return 1;
  }
  swprintf(mainClassName, 16, L"korvel_mw%d", instanceNumber);
  StartGdiplus();
  InitialiseSharedState(instance);
  if (RegisterWindowClasses() != 0) return 1;
  mainMenuBar = BuildMainMenuBar();
  if (!CreateMainWindow()) return 1;
  ShowInitialStatus();
  RunMessageLoop();
  ShutDown();
  return 0;
}
