// Opening, closing and printing into text windows, checked on their off-screen bitmaps.
#include "text/text_fixture.h"

TEST_F(TextWindows, OpeningTwiceReturnsZeroThenOneAndMakesItCurrent) {
  ASSERT_EQ(0, KRV_OpenTextWindow(5, 10, 20, -1, -1));
  KRV_OpenTextWindow(2, 10, 20, 100, 100);
  EXPECT_EQ(2, currentTextWindow);
  EXPECT_EQ(1, KRV_OpenTextWindow(5, 300, 300, 50, 50));
  EXPECT_EQ(5, currentTextWindow);
  TextWindowSlot& slot = Slot(5);
  EXPECT_EQ(400, slot.width);
  EXPECT_EQ(300, slot.height);
  RECT client;
  GetClientRect(slot.window, &client);
  EXPECT_EQ(400, client.right);
  EXPECT_EQ(300, client.bottom);
  EXPECT_EQ(10, WindowRectOf(slot.window).left);
  wchar_t title[64];
  GetWindowTextW(slot.window, title, 64);
  EXPECT_STREQ(L"TextWindow 5", title);
  EXPECT_EQ(0xFFFFFF, slot.textColor);
  EXPECT_EQ(0, slot.backColor);
  EXPECT_EQ(0, slot.logState);
  EXPECT_EQ(5, TextWindowIndexOf(slot.window));
}

TEST_F(TextWindows, ClosingTheCurrentWindowSelectsTheLowestOpenOne) {
  KRV_OpenTextWindow(7, 0, 0, 100, 100);
  KRV_OpenTextWindow(3, 0, 0, 100, 100);
  KRV_OpenTextWindow(9, 0, 0, 100, 100);
  EXPECT_EQ(0, KRV_CloseTextWindow(9));
  EXPECT_EQ(3, currentTextWindow);
  EXPECT_EQ(1, KRV_CloseTextWindow(9));
  EXPECT_EQ(1, KRV_CloseTextWindow(256));
  EXPECT_EQ(1, KRV_SelectTextWindow(9));
  EXPECT_EQ(1, KRV_SelectTextWindow(300));
  EXPECT_EQ(0, KRV_SelectTextWindow(7));
  EXPECT_EQ(7, currentTextWindow);
  KRV_CloseTextWindow(3);
  EXPECT_EQ(7, currentTextWindow);
  KRV_CloseTextWindow(7);
  EXPECT_EQ(7, currentTextWindow);  // none left: the index stays
  KRV_Print("dropped");               // and printing does nothing
}

TEST_F(TextWindows, TwoPrintsOfThreeCharactersShareTheFirstLine) {
  KRV_OpenTextWindow(0, 0, 0, 400, 300);
  KRV_Print("abc");
  KRV_Print("%s", "def");
  TextWindowSlot& slot = Slot(0);
  EXPECT_EQ(6 * slot.charWidth, slot.x);
  EXPECT_EQ(0, slot.y);
  for (int column = 0; column < 6; column++) EXPECT_TRUE(CellHasInk(0, column, 0)) << column;
  EXPECT_FALSE(CellHasInk(0, 6, 0));
  EXPECT_FALSE(CellHasInk(0, 0, 1));
}

TEST_F(TextWindows, LongPrintWrapsAtTheRightEdge) {
  KRV_OpenTextWindow(0, 0, 0, 400, 300);
  TextWindowSlot& slot = Slot(0);
  int perLine = 400 / slot.charWidth;
  KRV_Print("%s", std::string(perLine + 10, 'W').c_str());
  EXPECT_EQ(slot.lineHeight, slot.y);
  EXPECT_EQ(10 * slot.charWidth, slot.x);
  EXPECT_TRUE(CellHasInk(0, perLine - 1, 0));
  EXPECT_TRUE(CellHasInk(0, 9, 1));
  EXPECT_FALSE(CellHasInk(0, 10, 1));
}

TEST_F(TextWindows, WideCharacterAtTheEdgeMovesToTheNextLineWhole) {
  KRV_OpenTextWindow(0, 0, 0, 400, 300);
  TextWindowSlot& slot = Slot(0);
  int perLine = 400 / slot.charWidth;
  KRV_Print("%s", std::string(perLine - 1, '-').c_str());
  KRV_Print("あ");
  EXPECT_EQ(slot.lineHeight, slot.y);
  EXPECT_EQ(2 * slot.charWidth, slot.x);
  EXPECT_FALSE(CellHasInk(0, perLine - 1, 0));
  EXPECT_TRUE(CellHasInk(0, 0, 1) || CellHasInk(0, 1, 1));
}

TEST_F(TextWindows, LineFeedOnTheBottomLineScrollsUpOneLine) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  TextWindowSlot& slot = Slot(0);
  int lines = 100 / slot.lineHeight;
  KRV_Print("A\n\n");
  EXPECT_EQ(2 * slot.lineHeight, slot.y);
  EXPECT_FALSE(CellHasInk(0, 0, 1));  // two line feeds draw nothing
  for (int i = 2; i < lines - 1; i++) KRV_Print("\n");
  KRV_Print("Z");
  EXPECT_EQ((lines - 1) * slot.lineHeight, slot.y);
  EXPECT_TRUE(CellHasInk(0, 0, 0));
  KRV_Print("\n");  // from the bottom line: everything moves up by one line
  EXPECT_EQ((lines - 1) * slot.lineHeight, slot.y);
  EXPECT_FALSE(CellHasInk(0, 0, 0));
  EXPECT_TRUE(CellHasInk(0, 0, lines - 2));
  for (int x = 0; x < 200; x++)
    for (int y = slot.y; y < 100; y++) ASSERT_EQ(0u, GetPixel(slot.memoryDC, x, y) & 0xFFFFFF);
}

TEST_F(TextWindows, WindowLowerThanOneLineKeepsPrintingAtTheTop) {
  KRV_OpenTextWindow(0, 0, 0, 200, 5);
  TextWindowSlot& slot = Slot(0);
  KRV_Print("a\nb\nc\n");
  EXPECT_EQ(0, slot.y);
  KRV_Print("d");
  EXPECT_EQ(0, slot.y);
  EXPECT_EQ(slot.charWidth, slot.x);
}

TEST_F(TextWindows, PushedColoursDrawAndPopRestoresWhiteOnBlack) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  TextWindowSlot& slot = Slot(0);
  KRV_PushTextColor(0xFF0000, 0x0000FF);
  KRV_Print(" ");
  // A blank shows only its background: blue, handed to GDI as 0x00BBGGRR.
  EXPECT_EQ(RGB(0, 0, 255), GetPixel(slot.memoryDC, 1, 1));
  KRV_PushTextColor(0x00FF00, 0);
  KRV_PushTextColor(0x123456, 0);
  KRV_PopTextColor();
  KRV_PopTextColor();
  KRV_PopTextColor();
  EXPECT_EQ(0xFFFFFF, slot.textColor);
  EXPECT_EQ(0, slot.backColor);
  EXPECT_EQ(RGB(255, 255, 255), GetTextColor(slot.memoryDC));
  EXPECT_EQ(RGB(0, 0, 0), GetBkColor(slot.memoryDC));
}

TEST_F(TextWindows, OverlongPrintIsCutWithinTheBuffer) {
  KRV_OpenTextWindow(0, 0, 0, 400, 300);
  std::string wide;
  for (int i = 0; i < 3000; i++) wide += "あ";  // 6000 bytes
  KRV_Print("%s", wide.c_str());
  TextWindowSlot& slot = Slot(0);
  EXPECT_GE(slot.y, 0);
  EXPECT_LT(slot.y, slot.height);
}

TEST_F(TextWindows, ResizingClearsTheTextAndStartsAtTheTopLeft) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  TextWindowSlot& slot = Slot(0);
  KRV_Print("hello\nworld");
  SetWindowPos(slot.window, NULL, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  PumpFor(10);
  RECT client;
  GetClientRect(slot.window, &client);
  EXPECT_EQ(client.right, slot.width);
  EXPECT_EQ(client.bottom, slot.height);
  EXPECT_EQ(0, slot.x);
  EXPECT_EQ(0, slot.y);
  EXPECT_FALSE(CellHasInk(0, 0, 0));
  KRV_Print("x");
  EXPECT_TRUE(CellHasInk(0, 0, 0));
}

TEST_F(TextWindows, MinimisingKeepsTheText) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  TextWindowSlot& slot = Slot(0);
  KRV_Print("keep");
  ShowWindow(slot.window, SW_MINIMIZE);
  PumpFor(10);
  ShowWindow(slot.window, SW_RESTORE);
  PumpFor(10);
  EXPECT_EQ(200, slot.width);
  EXPECT_EQ(4 * slot.charWidth, slot.x);
  EXPECT_TRUE(CellHasInk(0, 0, 0));
}

TEST_F(TextWindows, ClearingEmptiesTheWindow) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  KRV_Print("some\ntext");
  KRV_ClearTextWindow();
  EXPECT_EQ(0, Slot(0).x);
  EXPECT_EQ(0, Slot(0).y);
  EXPECT_FALSE(CellHasInk(0, 0, 0));
  EXPECT_FALSE(CellHasInk(0, 0, 1));
}

TEST_F(TextWindows, ShowOpensWindowZeroCentredWhenNoneIsCurrent) {
  KRV_ShowTextWindow();
  TextWindowSlot& slot = Slot(0);
  ASSERT_TRUE(slot.inUse);
  EXPECT_EQ(400, slot.width);
  EXPECT_EQ(300, slot.height);
  EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 200, WindowRectOf(slot.window).left);
}

TEST_F(TextWindows, KeysWithoutALineInputGoToTheMainWindowOrTheMenu) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  KRV_OpenTextWindow(1, 0, 0, 200, 100);
  HWND window = Slot(0).window;
  for (WPARAM key : {(WPARAM)'S', (WPARAM)'C', (WPARAM)'Z', (WPARAM)'X'})
    SendMessageW(window, WM_KEYDOWN, key, 1);
  PumpFor(10);
  EXPECT_EQ(L"SCX", keysToMain);
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = 0x80;
  SetKeyboardState(state);
  SendMessageW(window, WM_KEYDOWN, 'S', 1);  // Ctrl+S selects the window
  state[VK_CONTROL] = 0;
  SetKeyboardState(state);
  PumpFor(10);
  EXPECT_EQ(0, currentTextWindow);
  EXPECT_EQ(L"SCX", keysToMain);
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(Slot(0).inUse);
  EXPECT_EQ(1, currentTextWindow);
}
