// Picks in a running program: the user clicks the image window while AppMain waits in a pick,
// reads the prompts in the main window, and ends the last pick with Stop.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L' '), last = text.find_last_not_of(L' ');
  return first == std::wstring::npos ? L"" : text.substr(first, last - first + 1);
}

void PostMove(HWND window, int x, int y) {
  PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

}  // namespace

TEST(Picks, BoxThenCircleEndedByStop) {
  Probe probe("pick");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND image = WaitForWindow(L"krv_iw", L"pick(100%)", probe.program().id, 5000);
  ASSERT_TRUE(image);
  HWND label = FindChildById(main, StatusId);
  auto prompt = [&](const wchar_t* text) {
    return WaitFor([&] { return Trimmed(TextOf(label)) == text; }, 5000);
  };
  PostCommand(main, StartId);
  ASSERT_TRUE(prompt(L"Click the first point"));
  SendClick(image, 100, 70);
  ASSERT_TRUE(prompt(L"Click the second point"));
  PostMove(image, 40, 30);
  auto shows = [&](int x, int y, COLORREF colour) {
    return WaitFor([&] { return ScreenPixel(image, x, y) == colour; }, 5000);
  };
  EXPECT_TRUE(shows(40, 50, RGB(0x7F, 0x7F, 0x7F)));  // the band's left side
  SendClick(image, 10, 20);
  ASSERT_TRUE(probe.WaitForLog("box 0 10 20 100 70\n"));

  ASSERT_TRUE(prompt(L"Click the first point"));
  SendClick(image, 50, 50);
  ASSERT_TRUE(prompt(L"Click the second point"));
  PostMove(image, 60, 60);
  EXPECT_TRUE(shows(64, 50, RGB(0x7F, 0x7F, 0x7F)));  // radius 14 to the right
  PostCommand(main, StopId);
  ASSERT_TRUE(probe.WaitForLog("circle 0 50 50 14 stop=1\n"));
  ASSERT_TRUE(probe.WaitForLog("leave\n"));
  EXPECT_TRUE(shows(64, 50, RGB(0x80, 0x80, 0x80)));  // Stop erased the band
  EXPECT_TRUE(shows(40, 50, RGB(0x80, 0x80, 0x80)));
  HDC screen = GetDC(NULL);
  wchar_t depth[16];
  swprintf(depth, 16, L"%d-bit color", GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(NULL, screen);
  EXPECT_EQ(depth, Trimmed(TextOf(label)));
}
