// The main window's creation commands worked from outside: the command as the popup menu sends
// it, then the answers typed into the console at a person's pace once the status label says
// that a line is awaited.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

enum { CreateImageId = 1027, OpenInputBoxId = 1044, OpenButtonBoxId = 1051 };

bool AwaitsLine(HWND main) {
  return TextOf(FindChildById(main, StatusId)).find(L"Input text") != std::wstring::npos;
}

// Each answer once the line input waits; the next prompt follows within milliseconds.
bool TypeAnswers(HWND main, HWND console, std::initializer_list<const wchar_t*> answers) {
  for (const wchar_t* answer : answers) {
    if (!WaitFor([&] { return AwaitsLine(main); }, 5000)) return false;
    for (const wchar_t* c = answer; *c; c++) SendChar(console, *c);
    SendChar(console, L'\r');
    Sleep(300);
  }
  return true;
}

}  // namespace

TEST(MainMenuPrompts, ImageWindowTakesTheNextFreeSlotAtTheTypedSize) {
  Probe probe("image");  // images 0 and 1 exist
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  PostCommand(main, CreateImageId);
  HWND console = WaitForWindow(L"krv_twi", L"TextWindow 0", probe.program().id, 5000);
  ASSERT_TRUE(console);
  ASSERT_TRUE(TypeAnswers(main, console, {L"320", L"240", L"8"}));
  HWND image = WaitForWindow(L"krv_iw", L"002(100%)[8bit]", probe.program().id, 5000);
  ASSERT_TRUE(image);
  RECT client = ClientRectOf(image);
  EXPECT_EQ(320, client.right);
  EXPECT_EQ(240, client.bottom);
  PostCommand(main, CreateImageId);
  ASSERT_TRUE(TypeAnswers(main, console, {L"64", L"64", L"24"}));
  PostCommand(main, CreateImageId);
  ASSERT_TRUE(TypeAnswers(main, console, {L"99999999999", L"-1", L"32"}));
  Sleep(500);
  EXPECT_FALSE(WaitForWindow(L"krv_iw", L"003(100%)", probe.program().id, 0));
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}

TEST(MainMenuPrompts, BoxesOpenAtTheTypedSizes) {
  Probe probe;
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  PostCommand(main, OpenButtonBoxId);
  HWND console = WaitForWindow(L"krv_twi", L"TextWindow 0", probe.program().id, 5000);
  ASSERT_TRUE(console);
  ASSERT_TRUE(TypeAnswers(main, console, {L"3", L"2"}));
  HWND buttons = WaitForWindow(L"krv_bb", NULL, probe.program().id, 5000);
  ASSERT_TRUE(buttons);
  EXPECT_TRUE(FindChildByClass(buttons, L"Button", 5));
  EXPECT_FALSE(FindChildByClass(buttons, L"Button", 6));
  PostCommand(main, OpenInputBoxId);
  ASSERT_TRUE(TypeAnswers(main, console, {L"4"}));
  HWND input = WaitForWindow(L"krv_ib", NULL, probe.program().id, 5000);
  ASSERT_TRUE(input);
  EXPECT_TRUE(FindChildByClass(input, L"Edit", 3));
  EXPECT_FALSE(FindChildByClass(input, L"Edit", 4));
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}

// Answers nobody should type: empty, negative, huge, not numbers. A box opens only at a size it
// can have, and the program goes on answering and ends cleanly.
TEST(MainMenuPrompts, HostileAnswersOpenABoxOfASizeItCanHaveOrNone) {
  Probe probe;
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  const DWORD id = probe.program().id;
  HWND console = NULL;
  const std::initializer_list<const wchar_t*> refusedPairs[] = {
      {L"", L""}, {L"-1", L"4"}, {L"3", L"-2147483648"}, {L"abc", L"2"}, {L"99999999999", L"1"},
      {L"16", L"17"}, {L"2147483647", L"2147483647"}};
  for (const auto& pair : refusedPairs) {
    PostCommand(main, OpenButtonBoxId);
    if (!console) console = WaitForWindow(L"krv_twi", L"TextWindow 0", id, 5000);
    ASSERT_TRUE(console);
    ASSERT_TRUE(TypeAnswers(main, console, pair));
    EXPECT_FALSE(WaitForWindow(L"krv_bb", NULL, id, 0)) << *pair.begin() << " " << *(pair.begin() + 1);
  }
  PostCommand(main, OpenButtonBoxId);
  ASSERT_TRUE(TypeAnswers(main, console, {L"16", L"16"}));  // the largest box
  HWND buttons = WaitForWindow(L"krv_bb", NULL, id, 5000);
  ASSERT_TRUE(buttons);
  // The command ends once all its buttons are made; a command posted before then is refused.
  EXPECT_TRUE(WaitFor([&] { return FindChildByClass(buttons, L"Button", 255) != NULL; }, 5000));
  EXPECT_FALSE(FindChildByClass(buttons, L"Button", 256));
  Sleep(300);
  PostCommand(main, OpenInputBoxId);
  ASSERT_TRUE(TypeAnswers(main, console, {L"99999999999"}));
  HWND input = WaitForWindow(L"krv_ib", NULL, id, 5000);
  ASSERT_TRUE(input);
  EXPECT_TRUE(FindChildByClass(input, L"Edit", 29));
  EXPECT_FALSE(FindChildByClass(input, L"Edit", 30));
  EXPECT_LT(RoundTripMs(main, 5000), 5000u);
  PostCommand(main, ExitId);
  DWORD code = 99;
  EXPECT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}
