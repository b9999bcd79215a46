// The main window on the GUI thread: Start, Stop and Exit, its fixed size, the drop
// animation that brings it to rest at the bottom of the work area, the Exit sequence, and the
// way to its popup menu, shortcuts and dropped files.
#include <stdio.h>

#include "runtime/runtime.h"

static const DWORD MainWindowStyle = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;
enum { MainClientWidth = 240, MainClientExtraHeight = 32, ExitGraceMs = 2000 };

const int dropSteps[DropStepCount] = {1,  2,  3,  4,  5,  6,  7,  8, 9, 10, -6, -5, -4, -3,
                                      -2, -1, 1,  2,  3,  4,  5,  6, -3, -2, -1, 1, 2,  3};

void GetMainWindowSize(int* width, int* height) {
  RECT rect = {0, 0, MainClientWidth, GetSystemMetrics(SM_CYMENU) + MainClientExtraHeight};
  AdjustWindowRect(&rect, MainWindowStyle, FALSE);
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
}

HMENU BuildMainMenuBar(void) {
  HMENU bar = CreateMenu();
  AppendMenuText(bar, "Start(&S)", CommandStart, MenuEnabled);
  AppendMenuText(bar, "Stop(&C)", CommandStop, MenuEnabled);
  AppendMenuText(bar, "Exit(&X)", CommandExit, MenuEnabled);
  return bar;
}

// The window comes to rest with its bottom on the visible area's bottom. Wine reports a
// SM_CYFULLSCREEN beyond the screen; the work area keeps the window whole there.
int MainWindowRestingTop(int height) {
  int top = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION) - height;
  RECT work;
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && top > work.bottom - height)
    top = work.bottom - height;
  return top;
}

HWND CreateMainWindow(void) {
  int width, height;
  GetMainWindowSize(&width, &height);
  int x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
  int y = MainWindowRestingTop(height) - DropDistance;
  return CreateWindowExW(0, mainClassName, L"KORVEL", MainWindowStyle, x, y, width, height,
                         NULL, mainMenuBar, moduleInstance, NULL);
}

static void WaitUntil(unsigned int start, unsigned int milliseconds) {
  while (KRV_GetTime() - start < milliseconds) {
  }
}

// No messages are processed meanwhile: creation takes a little over a second.
static void AnimateDrop(HWND window) {
  unsigned int mark = KRV_GetTime();
  for (int step : dropSteps) {
    RECT rect = WindowRectOf(window);
    SetWindowPos(window, NULL, rect.left, rect.top + step, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    WaitUntil(mark, DropStepMs);
    mark = KRV_GetTime();
  }
  WaitUntil(mark, DropSettleMs);
}

static void OnCreate(HWND window) {
  mainWindow = window;
  // Wine's word wrap counts the padding blanks and would push words of the status onto an
  // unseen second line; the label never needs more than one.
  statusLabel = CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP,
                                0, 6, 234, 20, window, (HMENU)(INT_PTR)StatusLabelId,
                                moduleInstance, NULL);
  AnimateDrop(window);
  HDC dc = GetDC(window);
  colourDepth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
  workerThread = CreateThread(NULL, 0, WorkerThreadMain, NULL, 0, &workerThreadId);
}

int KRV_SetForeground(int window) {
  if (window != KRVMAINWINDOW || !mainWindow) return 1;
  SetForegroundWindow(mainWindow);
  return 0;
}

void RequestStart(void) {
  if (appRunning == 0) startRequested = 1;
}

void RequestStop(void) { stopRequested = 1; }

static DWORD WorkerExitCode(void) {
  DWORD code = 0;
  if (!GetExitCodeThread(workerThread, &code)) return 0;
  return code;
}

// A modal dialog's loop never sees Stop, and a worker ended by force inside one could leave
// this thread stuck in the window system for good: every dialog of the worker is cancelled, so
// that its call returns and the worker ends on its own.
static BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  wchar_t name[8];
  if (GetClassNameW(window, name, 8) && lstrcmpW(name, L"#32770") == 0)
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

// Only sent messages are handled while waiting: a worker that sets the status label waits on
// this thread, and would otherwise sit out the whole grace and be ended inside that call. Posted
// messages wait: the worker's windows die with the worker.
static void WaitForWorker(void) {
  EnumThreadWindows(workerThreadId, CancelDialog, 0);
  unsigned int start = KRV_GetTime();
  while (WorkerExitCode() == STILL_ACTIVE) {
    unsigned int waited = KRV_GetTime() - start;
    if (waited > ExitGraceMs) break;
    MsgWaitForMultipleObjects(1, &workerThread, FALSE, ExitGraceMs - waited + 1, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void RunExitSequence(void) {
  inputPending = 0;
  stopRequested = 1;
  quitState = QuitRequested;
  // Before the wait: a worker that has to be terminated must not take buffered lines with it.
  CloseFilesBeforeExit();
  WaitForWorker();
  if (WorkerExitCode() == STILL_ACTIVE) TerminateThread(workerThread, 1);
  if (quitState == QuitRequested) quitState = QuitWorkerDone;
  CloseHandle(workerThread);
  workerThread = NULL;
  DestroyWindow(mainWindow);
}

static void OnCommand(int id) {
  switch (id) {
    case CommandStart: RequestStart(); break;
    case CommandStop: RequestStop(); break;
    case CommandExit: RunExitSequence(); break;
    default: RunMainMenuCommand(id); break;
  }
}

static void OnKeyDown(HWND window, WPARAM key) {
  if (CtrlHeld()) {
    if (key == 'V') PostMessageW(window, WM_COMMAND, CommandPasteBitmap, 0);
    if (key == 'W') PostMessageW(window, WM_COMMAND, CommandShowWindowInfo, 0);
    return;
  }
  switch (key) {
    case 'X':
    case VK_ESCAPE: RunExitSequence(); break;
    case 'S': RequestStart(); break;
    case 'C': RequestStop(); break;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_MOVE: RebuildSnapList(); return 0;
    case WM_SIZING: *(RECT*)lParam = WindowRectOf(window); return 0;
    case WM_MOVING: SnapMovingRect((RECT*)lParam, window); return 0;
    case WM_KEYDOWN: OnKeyDown(window, wParam); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN: ShowMainPopupMenu(window); return 0;
    case WM_DROPFILES: DropFilesOnMainWindow((HDROP)wParam); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
