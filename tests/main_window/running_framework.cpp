#include "main_window/running_framework.h"

#include "boxes/boxes.h"
#include "support/test_app.h"

namespace {

volatile int setupDone;
void (*extraSetup)(void);

void SetupForTest(void) {
  if (extraSetup) extraSetup();
  setupDone = 1;
}

volatile int korvelExitCode = -1;

DWORD WINAPI RunKorvel(LPVOID) {
  korvelExitCode = KorvelMain(GetModuleHandleW(NULL));
  return 0;
}

// A test process may run the runtime more than once: the worker's windows died with it, so
// their slots and the window classes are given up before the next start.
void ForgetRuntime(void) {
  startRequested = appRunning = stopRequested = quitState = inputPending = 0;
  quitMessageSeen = 0;
  request.code = 0;
  request.done = 1;
  for (ImageSlot& slot : krv_images) slot.inUse = 0;
  for (TextWindowSlot& slot : textWindows) {
    slot.inUse = 0;
    slot.logFile = NULL;
    slot.logState = LogOff;
  }
  inputBox.window = NULL;
  buttonBox.window = NULL;
  dialogKeyboardWindows[0] = dialogKeyboardWindows[1] = NULL;
  currentTextWindow = 0;
  krv_current = 0;
  for (int& entry : krv_history) entry = 0;
  PickState.active = 0;
  mainWindow = NULL;
  const wchar_t* classes[] = {mainClassName, L"krv_iw", L"krv_twi", L"krv_ib", L"krv_bb"};
  for (const wchar_t* name : classes) UnregisterClassW(name, GetModuleHandleW(NULL));
}

}  // namespace

void RunningFramework::SetUp() { ForgetRuntime(); }

void RunningFramework::TearDown() {
  if (gui) Exit();
  ForgetRuntime();
  testAppSetup = NULL;
  testAppMain = NULL;
  extraSetup = NULL;
}

void RunningFramework::Start(void (*setup)(void), void (*appMain)(void)) {
  setupDone = 0;
  extraSetup = setup;
  testAppSetup = SetupForTest;
  testAppMain = appMain;
  korvelExitCode = -1;
  gui = CreateThread(NULL, 0, RunKorvel, NULL, 0, &guiThreadId);
  ASSERT_TRUE(gui);
  ASSERT_TRUE(WaitFor([] { return setupDone == 1; }, 15000));
  ASSERT_TRUE(mainWindow);
}

int RunningFramework::Exit(void) {
  if (!gui) return korvelExitCode;
  PostMessageW(mainWindow, WM_COMMAND, CommandExit, 0);
  return WaitForGuiThread();
}

int RunningFramework::WaitForGuiThread(void) {
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(gui, 10000));
  CloseHandle(gui);
  gui = NULL;
  return korvelExitCode;
}

// The line input copies a finished line into lastLine after it has cleared inputPending: a
// cleared inputPending alone may already belong to the next prompt.
bool RunningFramework::Answer(const std::wstring& text) {
  if (!WaitFor([] { return inputPending != 0; })) return false;
  HWND window = textWindows[inputPending - 1].window;
  lastLine[0] = 1;
  lastLine[1] = 0;
  for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
  PostMessageW(window, WM_CHAR, L'\r', 1);
  return WaitFor([&text] { return text == lastLine; });
}

// A command that arrives while another one runs is dropped: post again until one is taken.
// The new window would become the current one; the one before stays current for the prompts.
int RunningFramework::Sentinel(void) {
  int index = LowestClosedTextWindow(), current = currentTextWindow;
  for (int attempt = 0; attempt < 10; attempt++) {
    EXPECT_TRUE(WaitFor([] { return !MainMenuBusy(); }, 60000));
    Command(CommandOpenText);
    if (!WaitFor([index] { return TextSlot(index) != NULL; }, 1000)) continue;
    EXPECT_TRUE(WaitFor([] { return !MainMenuBusy(); }));
    if (TextSlot(current)) currentTextWindow = current;
    return index;
  }
  ADD_FAILURE() << "text window " << index << " never opened";
  return -1;
}

void RunningFramework::Command(int id) { PostMessageW(mainWindow, WM_COMMAND, id, 0); }

namespace {

enum { GuiMarker = WM_APP + 27 };
volatile LONG markerTaken;

LRESULT CALLBACK NoteMarker(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = (const MSG*)lParam;
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == GuiMarker) markerTaken = 1;
  return CallNextHookEx(NULL, code, wParam, lParam);
}

}  // namespace

// The GUI thread takes its posted messages in order: once it takes the marker, every message
// posted before has been handled, or is being handled in a nested pump past its first checks.
bool RunningFramework::GuiHandled(void) {
  markerTaken = 0;
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, NoteMarker, NULL, guiThreadId);
  PostMessageW(mainWindow, GuiMarker, 0, 0);
  const bool taken = WaitFor([] { return markerTaken != 0; });
  UnhookWindowsHookEx(hook);
  return taken;
}

void RunningFramework::CtrlKey(WPARAM key) {
  AttachThreadInput(GetCurrentThreadId(), guiThreadId, TRUE);
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = 0x80;
  SetKeyboardState(state);
  PostMessageW(mainWindow, WM_KEYDOWN, key, 0);
  EXPECT_TRUE(GuiHandled());  // the key's handler has looked at Ctrl
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
  AttachThreadInput(GetCurrentThreadId(), guiThreadId, FALSE);
}

int PatternColour(int x, int y) { return ((x * 5) & 0xFF) << 16 | ((y * 7) & 0xFF) << 8 | 0x40; }

bool PutPatternOnClipboard(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT,
                              sizeof(BITMAPINFOHEADER) + (size_t)stride * height);
  BITMAPINFOHEADER* header = (BITMAPINFOHEADER*)GlobalLock(block);
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = BI_RGB;
  BYTE* rows = (BYTE*)(header + 1);
  for (int y = 0; y < height; y++) {
    BYTE* row = rows + (size_t)(height - 1 - y) * stride;
    for (int x = 0; x < width; x++) {
      const int colour = PatternColour(x, y);
      row[3 * x] = colour & 0xFF;
      row[3 * x + 1] = (colour >> 8) & 0xFF;
      row[3 * x + 2] = (colour >> 16) & 0xFF;
    }
  }
  GlobalUnlock(block);
  if (!OpenClipboard(NULL)) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  bool put = SetClipboardData(CF_DIB, block) != NULL;
  if (!put) GlobalFree(block);
  CloseClipboard();
  return put;
}

std::wstring FullPath(const wchar_t* name) {
  wchar_t full[MAX_PATH];
  GetFullPathNameW(name, MAX_PATH, full, NULL);
  return full;
}

std::string TitleOf(int id) {
  ImageSlot* slot = ImageInUse(id);
  return slot && slot->title ? slot->title : "";
}
