#include "text/text_fixture.h"

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

void TextWindows::SetUp() {
  UseFrameworkWindows();
  mainWindow = StandInMainWindow();
  CollectStandInKeys(&keysToMain);
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
  CollectStandInKeys(NULL);
}

// The typist shares the test thread's input state, so a Ctrl it holds is seen by GetKeyState
// in the window procedure.
static void HoldCtrl(bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

static bool MarkerSeen(void) {
  const int marker = PostStandInMarker();
  return WaitFor([marker] { return StandInMarkerSeen(marker); });
}

// Keys posted before a marker are in the ring once it is seen (or were replayed into it by the
// Up key's command); the input pops one per pass, and a second marker is seen once the pass
// that popped the last one has ended.
bool WaitUntilTaken(void) {
  return MarkerSeen() &&
         WaitFor([] { return *(volatile int*)&keyRing.readIndex == -1 &&
                             *(volatile int*)&lineInputCommand == LineCommandNone; }) &&
         MarkerSeen();
}

// A key typed before the input waits would be dropped, as in the program; one typed before
// the last is taken could overtake the keys the Up key replays.
std::string TextWindows::TypeLine(HWND window, const std::vector<Keystroke>& keys) {
  DWORD target = GetCurrentThreadId();
  std::thread typist([&] {
    AttachThreadInput(GetCurrentThreadId(), target, TRUE);
    WaitFor([] { return inputPending != 0; });
    for (const Keystroke& key : keys) {
      if (key.kind == Keystroke::Char) {
        PostMessageW(window, WM_CHAR, key.code, 1);
      } else {
        if (key.kind == Keystroke::CtrlKeyDown) HoldCtrl(true);
        PostMessageW(window, WM_KEYDOWN, key.code, 1);
      }
      if (key.code != L'\r') WaitUntilTaken();  // after Enter the input is gone
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
