#include <gtest/gtest.h>

#include <string.h>

#include "runtime/runtime.h"
#include "support/wait_for.h"

TEST(CodePage, SystemCodePageIsJapanese) { EXPECT_EQ(932u, GetACP()); }

TEST(CodePage, NarrowJapaneseBecomesUtf16) {
  wchar_t wide[16];
  EXPECT_EQ(5, NarrowToWide("日本語ab", wide, 16));
  EXPECT_STREQ(L"日本語ab", wide);
  EXPECT_EQ(2, NarrowToWide("日本語ab", wide, 3));  // cut to what fits, terminated
  EXPECT_STREQ(L"日本", wide);
  EXPECT_EQ(0, NarrowToWide(NULL, wide, 16));
  EXPECT_STREQ(L"", wide);
}

TEST(CodePage, WideTextIsCutBetweenDoubleByteCharacters) {
  char narrow[16];
  EXPECT_EQ(8, WideToNarrow(L"ｶﾅ日本語", narrow, 16));  // half-width kana are one byte
  EXPECT_EQ(0, strcmp("ｶﾅ日本語", narrow));
  EXPECT_EQ(4, WideToNarrow(L"日本語", narrow, 6));  // "日本" and no half character
  EXPECT_EQ(0, strcmp("日本", narrow));
  EXPECT_EQ(0, WideToNarrow(L"日", narrow, 2));
  EXPECT_STREQ("", narrow);
}

TEST(Colours, SwapBetweenRgbAndGdiOrder) {
  EXPECT_EQ(0x00332211u, ToColorref(0x112233));
  EXPECT_EQ(0x112233, FromColorref(0x00332211));
  EXPECT_EQ(0x0000FFu, ToColorref(0xFF0000));
}

TEST(Clock, CountsMilliseconds) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  millisecondPeriod = 1000.0 / (double)frequency.QuadPart;
  unsigned int start = KRV_GetTime();
  const DWORD ticks = GetTickCount();  // the system's own clock
  ASSERT_TRUE(WaitFor([ticks] { return GetTickCount() - ticks >= 100; }));
  unsigned int elapsed = KRV_GetTime() - start;
  EXPECT_GE(elapsed, 95u);
  EXPECT_LT(elapsed, 2000u);
}

TEST(Pumps, QuitMessageIsNotedAndLeftForTheMainLoop) {
  quitMessageSeen = 0;
  PostQuitMessage(3);
  PumpWorkerMessages();
  EXPECT_EQ(1, quitMessageSeen);
  MSG message;
  EXPECT_EQ(0, GetMessageW(&message, NULL, 0, 0));
  EXPECT_EQ(3u, message.wParam);
  quitMessageSeen = 0;
}

TEST(Pumps, DispatchTheCallersMessages) {
  static int received;
  received = 0;
  struct Local {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_APP) received += (int)wParam;
      return DefWindowProcW(window, message, wParam, lParam);
    }
  };
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = Local::Procedure;
  windowClass.hInstance = GetModuleHandleW(NULL);
  windowClass.lpszClassName = L"pump_probe";
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(0, L"pump_probe", L"", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                GetModuleHandleW(NULL), NULL);
  PostMessageW(window, WM_APP, 2, 0);
  PostMessageW(window, WM_APP, 5, 0);
  PumpMessages();
  EXPECT_EQ(7, received);
  PostMessageW(window, WM_APP, 1, 0);
  PumpWorkerMessages();
  EXPECT_EQ(8, received);
  DestroyWindow(window);
}
