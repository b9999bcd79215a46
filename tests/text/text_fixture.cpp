#include "text/text_fixture.h"

static std::wstring* keysSink;

std::vector<Keystroke> Chars(const std::wstring& text) {
  std::vector<Keystroke> keys;
  for (wchar_t c : text) keys.push_back({Keystroke::Char, (WPARAM)c});
  return keys;
}
Keystroke Key(WPARAM key) { return {Keystroke::KeyDown, key}; }
Keystroke CtrlKey(WPARAM key) { return {Keystroke::CtrlKeyDown, key}; }
std::vector<Keystroke> operator+(std::vector<Keystroke> a, const std::vector<Keystroke>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

static LRESULT CALLBACK StandInMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && keysSink) *keysSink += (wchar_t)wParam;
  return DefWindowProcW(window, message, wParam, lParam);
}

void TextWindows::SetUp() {
  UseFrameworkWindows();
  static HWND standIn;
  if (!standIn) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = StandInMain;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"text_test_main";
    RegisterClassW(&windowClass);
    standIn = CreateWindowW(L"text_test_main", L"", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                            GetModuleHandleW(NULL), NULL);
  }
  mainWindow = standIn;
  keysSink = &keysToMain;
  GetCurrentDirectoryA(MAX_PATH, logDirectory);
  lstrcatA(logDirectory, "\\");
  instanceNumber = 0;
}

void TextWindows::TearDown() {
  for (int i = 0; i < SlotCount; i++) KRV_CloseTextWindow(i);
  PumpFor(5);
  while (PopKey(&keyRing)) {
  }
  lineInputCommand = LineCommandNone;
  inputPending = 0;
  currentTextWindow = 0;
  keysSink = NULL;
}

// The typist shares the test thread's input state, so a Ctrl it holds is seen by GetKeyState
// in the window procedure.
static void HoldCtrl(bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

std::string TextWindows::TypeLine(HWND window, const std::vector<Keystroke>& keys,
                                  DWORD paceMs) {
  DWORD target = GetCurrentThreadId();
  std::thread typist([&] {
    AttachThreadInput(GetCurrentThreadId(), target, TRUE);
    for (const Keystroke& key : keys) {
      Sleep(paceMs);
      if (key.kind == Keystroke::Char) {
        PostMessageW(window, WM_CHAR, key.code, 1);
        continue;
      }
      if (key.kind == Keystroke::CtrlKeyDown) HoldCtrl(true);
      PostMessageW(window, WM_KEYDOWN, key.code, 1);
      Sleep(20);
      if (key.kind == Keystroke::CtrlKeyDown) HoldCtrl(false);
    }
    AttachThreadInput(GetCurrentThreadId(), target, FALSE);
  });
  char line[LineBufferSize] = "untouched";
  KRV_InputLine(line);
  typist.join();
  return line;
}

bool TextWindows::CellHasInk(int id, int column, int row) {
  TextWindowSlot& slot = textWindows[id];
  for (int y = row * slot.lineHeight; y < (row + 1) * slot.lineHeight; y++)
    for (int x = column * slot.charWidth; x < (column + 1) * slot.charWidth; x++)
      if (GetPixel(slot.memoryDC, x, y) & 0xFFFFFF) return true;
  return false;
}
