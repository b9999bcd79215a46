#include <gtest/gtest.h>

#include <string>

#include "runtime/runtime.h"

static std::wstring ItemText(HMENU menu, int position) {
  wchar_t text[64] = L"";
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

TEST(MainMenuBar, HoldsStartStopExitInOrder) {
  HMENU bar = BuildMainMenuBar();
  ASSERT_EQ(3, GetMenuItemCount(bar));
  EXPECT_EQ(L"Start(&S)", ItemText(bar, 0));
  EXPECT_EQ(L"Stop(&C)", ItemText(bar, 1));
  EXPECT_EQ(L"Exit(&X)", ItemText(bar, 2));
  EXPECT_EQ(1001u, GetMenuItemID(bar, 0));
  EXPECT_EQ(1003u, GetMenuItemID(bar, 1));
  EXPECT_EQ(1002u, GetMenuItemID(bar, 2));
  DestroyMenu(bar);
}

TEST(MainWindow, DropStepsAddUpToFiftyFive) {
  int sum = 0;
  for (int step : dropSteps) sum += step;
  EXPECT_EQ(DropDistance, sum);
}

TEST(MainWindow, SizeIsTheClientAreaAdjustedForItsStyle) {
  int width, height;
  GetMainWindowSize(&width, &height);
  RECT expected = {0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
  AdjustWindowRect(&expected, WS_CAPTION | WS_THICKFRAME, FALSE);
  EXPECT_EQ(expected.right - expected.left, width);
  EXPECT_EQ(expected.bottom - expected.top, height);
}

static LRESULT CALLBACK Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

static HWND CreateWindowOfClass(const wchar_t* name) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = Plain;
  windowClass.hInstance = GetModuleHandleW(NULL);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
  return CreateWindowExW(0, name, L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                         GetModuleHandleW(NULL), NULL);
}

TEST(InstanceNumber, IsTheFirstClassNumberWithoutAWindow) {
  EXPECT_EQ(0, FindInstanceNumber());
  HWND first = CreateWindowOfClass(L"korvel_mw0");
  HWND third = CreateWindowOfClass(L"korvel_mw2");
  EXPECT_EQ(1, FindInstanceNumber());
  HWND second = CreateWindowOfClass(L"korvel_mw1");
  EXPECT_EQ(3, FindInstanceNumber());
  DestroyWindow(first);
  EXPECT_EQ(0, FindInstanceNumber());
  DestroyWindow(second);
  DestroyWindow(third);
}

TEST(InstanceNumber, NoneIsFreeWhenTenRun) {
  HWND windows[10];
  for (int i = 0; i < 10; i++) {
    wchar_t name[16];
    swprintf(name, 16, L"korvel_mw%d", i);
    windows[i] = CreateWindowOfClass(name);
  }
  EXPECT_EQ(-1, FindInstanceNumber());
  for (HWND window : windows) DestroyWindow(window);
}
