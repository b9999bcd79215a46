// Log files checked byte for byte on disk and on the clipboard.
#include "support/saved_text.h"
#include "text/text_fixture.h"

namespace {

class Logs : public TextWindows {
 protected:
  void SetUp() override {
    TextWindows::SetUp();
    DeleteFileA("KORVEL00.LOG");
    DeleteFileA("KORVEL03.LOG");
  }
  void TearDown() override {
    TextWindows::TearDown();
    DeleteFileA("KORVEL00.LOG");
    DeleteFileA("KORVEL03.LOG");
  }
};

}  // namespace

TEST_F(Logs, PrintedTextReachesTheClipboardWithCarriageReturns) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  ASSERT_EQ(0, KRV_StartLog(0));
  KRV_Print("abc\n");
  EXPECT_EQ(0, KRV_CopyLog(0));
  EXPECT_EQ("abc\r\n", ClipboardText());
  EXPECT_EQ(LogOn, Slot(0).logState);
}

TEST_F(Logs, StartingTwiceLeavesTheFileAlone) {
  KRV_OpenTextWindow(3, 0, 0, 200, 100);
  ASSERT_EQ(0, KRV_StartLog(3));
  KRV_Print("one ");
  EXPECT_EQ(1, KRV_StartLog(3));
  KRV_Print("two");
  KRV_CloseTextWindow(3);  // ends the transcript with everything in it
  EXPECT_EQ("one two", FileText("KORVEL03.LOG"));
}

TEST_F(Logs, TextPrintedWhilePausedIsAbsent) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  EXPECT_EQ(1, KRV_StopLog(0));
  KRV_StartLog(0);
  KRV_Print("kept\n");
  EXPECT_EQ(0, KRV_StopLog(0));
  EXPECT_EQ(0, KRV_StopLog(0));
  KRV_Print("lost\n");
  EXPECT_EQ(0, KRV_StartLog(0));
  KRV_Print("again\n");
  CloseAllLogs();
  EXPECT_EQ(LogOff, Slot(0).logState);
  EXPECT_EQ("kept\r\nagain\r\n", FileText("KORVEL00.LOG"));
}

TEST_F(Logs, CopyingWhileLoggingThenPrintingAppends) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  KRV_StartLog(0);
  KRV_Print("before\n");
  KRV_CopyLog(0);
  KRV_Print("after\n");
  KRV_StopLog(0);
  EXPECT_EQ(0, KRV_CopyLog(0));
  EXPECT_EQ("before\r\nafter\r\n", ClipboardText());
  EXPECT_EQ(LogPaused, Slot(0).logState);
}

TEST_F(Logs, CopyOfAWindowThatNeverLoggedTakesTheOlderFile) {
  FILE* old = fopen("KORVEL00.LOG", "wb");
  fputs("from an earlier run\r\n", old);
  fclose(old);
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  EXPECT_EQ(0, KRV_CopyLog(0));
  EXPECT_EQ("from an earlier run\r\n", ClipboardText());
}

TEST_F(Logs, TypedLinesAndClearingAreLogged) {
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  KRV_StartLog(0);
  KRV_Print("Name?");
  EXPECT_EQ("korvel", TypeLine(Slot(0).window, Chars(L"korvel\r")));
  KRV_ClearTextWindow();
  KRV_Print("end");
  CloseAllLogs();
  EXPECT_EQ("Name?korvel\r\n\r\nend", FileText("KORVEL00.LOG"));
}

TEST_F(Logs, MissingWindowsAreRefused) {
  EXPECT_EQ(3, KRV_StartLog(4));
  EXPECT_EQ(2, KRV_StopLog(4));
  EXPECT_EQ(4, KRV_CopyLog(4));
  EXPECT_EQ(3, KRV_StartLog(256));
  EXPECT_EQ(4, KRV_CopyLog(-1));
}

TEST_F(Logs, MenuShowsTheLogStateAndTheFileName) {
  KRV_OpenTextWindow(3, 0, 0, 200, 100);
  KRV_OpenTextWindow(0, 0, 0, 200, 100);
  KRV_StartLog(3);
  KRV_StopLog(3);
  HWND window = Slot(3).window;
  struct Seen {
    std::wstring items;
    UINT states[11];
  } seen = {};
  volatile bool read = false;
  std::thread reader([&] {
    // The tracked popup is the menu window of this process; read it, then dismiss it.
    HWND popup = NULL;
    HMENU menu = NULL;
    WaitFor([&] {
      popup = FindWindowW(L"#32768", NULL);
      if (!popup || !IsWindowVisible(popup)) return false;
      menu = (HMENU)SendMessageW(popup, 0x01E1 /* MN_GETHMENU */, 0, 0);
      return menu != NULL;
    });
    for (int i = 0; menu && i < GetMenuItemCount(menu) && i < 11; i++) {
      wchar_t text[64] = L"";
      GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
      seen.items += std::wstring(text) + L"|";
      seen.states[i] = GetMenuState(menu, i, MF_BYPOSITION);
    }
    PostMessageW(window, WM_CANCELMODE, 0, 0);
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    read = true;
  });
  PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(WaitFor([&] {  // the menu's own loop runs inside this pump until it is dismissed
    PumpWorkerMessages();
    return read;
  }, 10000));
  reader.join();
  EXPECT_EQ(L"&Select\tCtrl+S|&Window Info.\tCtrl+W|Command||Start Log|Stop Log|"
            L"&Copy KORVEL03.LOG\tCtrl+C||&About KORVEL\tCtrl+A||&Destroy\tCtrl+Q|",
            seen.items);
  EXPECT_FALSE(seen.states[0] & MF_CHECKED);  // window 0 is the current one
  EXPECT_FALSE(seen.states[4] & MF_CHECKED);
  EXPECT_TRUE(seen.states[5] & MF_CHECKED);
}
