// Text windows worked from outside: the command prompt, Exit while it waits, and the rename
// prompts of the boxes, which read their answer in a text window.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

void Type(HWND window, const std::wstring& text) {
  for (wchar_t c : text) SendChar(window, c);
}

HWND WaitForConsole(const Probe& probe) {
  return WaitForWindow(L"krv_twi", NULL, probe.program().id, 5000);
}

bool AwaitsLine(HWND main) {
  return WaitFor([&] { return StatusShows(main, L"Input text"); }, 5000);
}

}  // namespace

TEST(TextWindow, ExitTypedAtThePromptEndsTheProgram) {
  Probe probe("text");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND console = WaitForConsole(probe);
  ASSERT_TRUE(console);
  EXPECT_EQ(L"TextWindow 0", TextOf(console));
  SendKey(console, VK_SPACE);
  ASSERT_TRUE(AwaitsLine(main));
  Type(console, L"exit\r");
  DWORD code = 99;
  EXPECT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}

TEST(TextWindow, ExitChosenWhileAPromptWaitsEndsTheProgram) {
  Probe probe("text");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND console = WaitForConsole(probe);
  ASSERT_TRUE(console);
  SendKey(console, VK_SPACE);
  ASSERT_TRUE(AwaitsLine(main));
  Type(console, L"ex");
  PostCommand(main, ExitId);
  DWORD code = 99;
  EXPECT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}

TEST(TextWindow, StartTypedAtThePromptStartsTheApplication) {
  Probe probe("text");
  HWND main = probe.WaitReady();
  HWND console = WaitForConsole(probe);
  ASSERT_TRUE(main && console);
  SendKey(console, VK_SPACE);
  ASSERT_TRUE(AwaitsLine(main));
  Type(console, L"start\r");
  EXPECT_TRUE(probe.WaitForLog("enter stop=0\n"));
  SendKey(console, 'C');  // keys of the console reach the main window
  EXPECT_TRUE(probe.WaitForLog("leave\n"));
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}

TEST(BoxRename, DoubleClickedButtonTakesTheTypedCaption) {
  Probe probe("boxes");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND box = WaitForWindow(L"krv_bb", NULL, probe.program().id, 5000);
  ASSERT_TRUE(box);
  HWND button = FindChildById(box, 3003);
  ASSERT_TRUE(button);
  RECT rect = OuterRect(button), boxRect = OuterRect(box);
  POINT inBox = {rect.left + 3, rect.top + 3};
  ScreenToClient(box, &inBox);
  SendDoubleClick(box, inBox.x, inBox.y);
  HWND console = WaitForConsole(probe);
  ASSERT_TRUE(console);
  ASSERT_TRUE(AwaitsLine(main));
  Type(console, L"Go\r");
  EXPECT_TRUE(WaitFor([&] { return TextOf(button) == L"Go"; }, 3000)) << (int)boxRect.left;
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}

TEST(BoxRename, EmptyAnswerLeavesTheLabelAlone) {
  Probe probe("boxes");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND box = WaitForWindow(L"krv_ib", NULL, probe.program().id, 5000);
  ASSERT_TRUE(box);
  HWND label = FindChildByClass(box, L"Static", 1);
  ASSERT_TRUE(label);
  EXPECT_EQ(L"Item 1", TextOf(label));
  SendDoubleClick(box, 5, 28 + 5);  // the row of item 1
  HWND console = WaitForConsole(probe);
  ASSERT_TRUE(console);
  ASSERT_TRUE(AwaitsLine(main));
  Type(console, L"\r");
  // The first rename has its answer once the line input shows the colour depth again; the
  // worker takes the second double click after the first rename has returned.
  ASSERT_TRUE(WaitFor([&] { return StatusShows(main, L"bit color"); }, 5000));
  SendDoubleClick(box, 5, 28 + 5);
  ASSERT_TRUE(AwaitsLine(main));
  EXPECT_EQ(L"Item 1", TextOf(label));
  Type(console, L"Speed\r");
  EXPECT_TRUE(WaitFor([&] { return TextOf(label) == L"Speed"; }, 3000));
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}
