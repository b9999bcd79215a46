// Lines typed into a text window with real WM_CHAR and WM_KEYDOWN messages.
#include "text/text_fixture.h"

namespace {

// Characters a row takes before the cursor has no cell left and moves to the next row.
int RowCapacity(int width, int cw) { return (width - 2 * cw) / cw + 2; }

class LineInput : public TextWindows {
 protected:
  HWND Open(int width = 400, int height = 300) {
    KRV_OpenTextWindow(0, 0, 0, width, height);
    return Slot(0).window;
  }
};

}  // namespace

TEST_F(LineInput, BackspaceDeletesTheLastCharacter) {
  HWND window = Open();
  EXPECT_EQ("13", TypeLine(window, Chars(L"12\b3\r")));
  EXPECT_EQ(0, inputPending);
  EXPECT_STREQ(L"13", lastLine);
  EXPECT_EQ(0, Slot(0).x);
  EXPECT_EQ(Slot(0).lineHeight, Slot(0).y);
  EXPECT_TRUE(CellHasInk(0, 0, 0));
  EXPECT_TRUE(CellHasInk(0, 1, 0));
  EXPECT_FALSE(CellHasInk(0, 2, 0));  // the cursor is gone with the Enter
}

TEST_F(LineInput, EnterOnAnEmptyLineGivesAnEmptyBuffer) {
  HWND window = Open();
  KRV_Print("Q>");
  EXPECT_EQ("", TypeLine(window, Chars(L"\r")));
  EXPECT_EQ(0, Slot(0).x);
  EXPECT_EQ(Slot(0).lineHeight, Slot(0).y);
}

TEST_F(LineInput, TabTypesABlankAndControlUnitsAreKept) {
  HWND window = Open();
  EXPECT_EQ("a b\x01", TypeLine(window, Chars(L"a\tb\x01\r")));
}

TEST_F(LineInput, TypingPastTheEdgeWrapsAndBackspaceReturns) {
  HWND window = Open(60, 200);
  TextWindowSlot& slot = Slot(0);
  int cw = slot.charWidth, perRow = RowCapacity(60, cw);
  std::wstring row(perRow, L'x');
  std::string typed = TypeLine(window, Chars(row + L"y\b\b\r"));
  EXPECT_EQ(std::string(perRow - 1, 'x'), typed);
  // Back on the first row, then Enter: the cursor ends on the emptied second row.
  EXPECT_EQ(slot.lineHeight, slot.y);
  EXPECT_FALSE(CellHasInk(0, 0, 1));
}

TEST_F(LineInput, WrappedRowPositionsAreExact) {
  HWND window = Open(60, 200);
  TextWindowSlot& slot = Slot(0);
  int cw = slot.charWidth, perRow = RowCapacity(60, cw);
  // Enter never comes: the window is closed, which cancels the input with an empty line.
  std::vector<Keystroke> keys = Chars(std::wstring(perRow, L'x'));
  int xAfterRow = -1, yAfterRow = -1, xAfterBack = -1, yAfterBack = -1;
  std::thread probe([&] {
    WaitFor([] { return inputPending != 0; });
    for (const Keystroke& key : keys) PostMessageW(window, WM_CHAR, key.code, 1);
    WaitUntilTaken();
    xAfterRow = slot.x;
    yAfterRow = slot.y;
    PostMessageW(window, WM_CHAR, 8, 1);
    WaitUntilTaken();
    xAfterBack = slot.x;
    yAfterBack = slot.y;
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  char line[LineBufferSize] = "untouched";
  KRV_InputLine(line);
  probe.join();
  EXPECT_STREQ("", line);
  EXPECT_EQ(0, xAfterRow);
  EXPECT_EQ(slot.lineHeight, yAfterRow);
  EXPECT_EQ((perRow - 1) * cw, xAfterBack);
  EXPECT_EQ(0, yAfterBack);
}

TEST_F(LineInput, WideCharacterThatDoesNotFitStartsTheNextRowAndDeletesBack) {
  HWND window = Open(60, 200);
  TextWindowSlot& slot = Slot(0);
  int cw = slot.charWidth;
  int narrow = (60 - 2 * cw) / cw + 1;  // enough for x to pass width - 2 cells
  int before = -1, afterWide = -1, afterBack = -1, rowAfterWide = -1, rowAfterBack = -1;
  std::thread probe([&] {
    WaitFor([] { return inputPending != 0; });
    for (int i = 0; i < narrow; i++) PostMessageW(window, WM_CHAR, L'n', 1);
    WaitUntilTaken();
    before = slot.x;
    PostMessageW(window, WM_CHAR, 0x3042, 1);
    WaitUntilTaken();
    afterWide = slot.x;
    rowAfterWide = slot.y;
    PostMessageW(window, WM_CHAR, 8, 1);
    WaitUntilTaken();
    afterBack = slot.x;
    rowAfterBack = slot.y;
    PostMessageW(window, WM_CHAR, 13, 1);
  });
  char line[LineBufferSize];
  KRV_InputLine(line);
  probe.join();
  ASSERT_GT(before, 60 - 2 * cw);
  EXPECT_EQ(2 * cw, afterWide);
  EXPECT_EQ(slot.lineHeight, rowAfterWide);
  EXPECT_EQ(before, afterBack);
  EXPECT_EQ(0, rowAfterBack);
  EXPECT_EQ(std::string(narrow, 'n'), line);
}

TEST_F(LineInput, WideCharactersComeBackAsCodePage932) {
  HWND window = Open();
  EXPECT_EQ("あい", TypeLine(window, Chars(L"\x3042\x3044\r")));
}

TEST_F(LineInput, UpReplaysTheLastLineAndAppendsToWhatIsTyped) {
  HWND window = Open();
  EXPECT_EQ("640", TypeLine(window, Chars(L"640\r")));
  EXPECT_EQ("640", TypeLine(window, std::vector<Keystroke>{Key(VK_UP)} + Chars(L"\r")));
  EXPECT_EQ("1640", TypeLine(window, Chars(L"1") + std::vector<Keystroke>{Key(VK_UP)} +
                                         Chars(L"\r")));
}

TEST_F(LineInput, CtrlVPastesTheFirstClipboardLineOnly) {
  HWND window = Open();
  const wchar_t text[] = L"first line\r\nsecond";
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  memcpy(GlobalLock(block), text, sizeof text);
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(NULL));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
  EXPECT_EQ("> first line!",
            TypeLine(window, Chars(L"> ") + std::vector<Keystroke>{CtrlKey('V')} + Chars(L"!\r")));
}

TEST_F(LineInput, TheTwoHundredFiftySixthCharacterIsIgnored) {
  HWND window = Open();
  // The ring holds 256 units; each key is taken before the next is typed, so none are dropped.
  std::string typed = TypeLine(window, Chars(std::wstring(254, L'a') + L"bc\r"));
  EXPECT_EQ(std::string(254, 'a') + "b", typed);
}

TEST_F(LineInput, ClosingTheWindowCancelsWithAnEmptyLine) {
  HWND window = Open();
  std::thread closer([&] {
    WaitFor([] { return inputPending != 0; });
    PostMessageW(window, WM_CHAR, L'7', 1);
    WaitUntilTaken();
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  char line[LineBufferSize] = "untouched";
  KRV_InputLine(line);
  closer.join();
  EXPECT_STREQ("", line);
  EXPECT_EQ(0, inputPending);
  EXPECT_FALSE(Slot(0).inUse);
}

TEST_F(LineInput, ExitWhileWaitingCancelsWithAnEmptyLine) {
  Open();
  std::thread exitRequest([] {
    WaitFor([] { return inputPending != 0; });
    inputPending = 0;  // what the Exit sequence does first
  });
  char line[LineBufferSize] = "untouched";
  KRV_InputLine(line);
  exitRequest.join();
  EXPECT_STREQ("", line);
}

TEST_F(LineInput, WithoutACurrentWindowTheBufferIsLeftAlone) {
  char line[LineBufferSize] = "untouched";
  KRV_InputLine(line);
  EXPECT_STREQ("untouched", line);
}

TEST_F(LineInput, RightClickShowsNoMenuWhileALineWaits) {
  HWND window = Open();
  bool menuSeen = false, clickHandled = false;
  std::thread watcher([&] {
    WaitFor([] { return inputPending != 0; });
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    const int marker = PostStandInMarker();
    clickHandled = WaitFor([marker] { return StandInMarkerSeen(marker); });
    menuSeen = FindWindowW(L"#32768", NULL) && IsWindowVisible(FindWindowW(L"#32768", NULL));
    PostMessageW(window, WM_CHAR, 13, 1);
  });
  char line[LineBufferSize];
  KRV_InputLine(line);
  watcher.join();
  EXPECT_TRUE(clickHandled);
  EXPECT_FALSE(menuSeen);
}
