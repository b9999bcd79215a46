// The main window's creation commands worked from outside: the command as the popup menu sends
// it, then each answer typed into the console once the status label says that a line is
// awaited. A command posted while another runs is dropped, so each waits for the one before.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

enum { CreateImageId = 1027, OpenInputBoxId = 1044, OpenButtonBoxId = 1051 };

// Posts the command until its first prompt waits. One that arrives while another command runs
// is dropped, and so is one still queued once the prompt runs; so when the prompt waits, every
// command before has ended, its window served or refused.
bool StartCommand(HWND main, int command) {
  for (int attempt = 0; attempt < 50; attempt++) {
    PostCommand(main, command);
    if (WaitFor([&] { return StatusShows(main, L"Input text"); }, 200)) return true;
  }
  return false;
}

// Each answer once the line input waits. The label is blanked before the answer, so the
// "Input text" seen next is the next prompt's, however soon it follows.
bool TypeAnswers(HWND main, HWND console, std::initializer_list<const wchar_t*> answers) {
  for (const wchar_t* answer : answers) {
    if (!WaitFor([&] { return StatusShows(main, L"Input text"); }, 5000)) return false;
    ClearStatus(main);
    for (const wchar_t* c = answer; *c; c++) SendChar(console, *c);
    SendChar(console, L'\r');
  }
  return true;
}

}  // namespace

TEST(MainMenuPrompts, ImageWindowTakesTheNextFreeSlotAtTheTypedSize) {
  Probe probe("image");  // images 0 and 1 exist
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  ASSERT_TRUE(StartCommand(main, CreateImageId));
  HWND console = WaitForWindow(L"krv_twi", L"TextWindow 0", probe.program().id, 5000);
  ASSERT_TRUE(console);
  ASSERT_TRUE(TypeAnswers(main, console, {L"320", L"240", L"8"}));
  HWND image = WaitForWindow(L"krv_iw", L"002(100%)[8bit]", probe.program().id, 5000);
  ASSERT_TRUE(image);
  RECT client = ClientRectOf(image);
  EXPECT_EQ(320, client.right);
  EXPECT_EQ(240, client.bottom);
  ASSERT_TRUE(StartCommand(main, CreateImageId));
  ASSERT_TRUE(TypeAnswers(main, console, {L"64", L"64", L"24"}));
  ASSERT_TRUE(StartCommand(main, CreateImageId));
  ASSERT_TRUE(TypeAnswers(main, console, {L"99999999999", L"-1", L"32"}));
  ASSERT_TRUE(StartCommand(main, CreateImageId));  // the one before has ended
  EXPECT_FALSE(WaitForWindow(L"krv_iw", L"003(100%)", probe.program().id, 0));
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}

TEST(MainMenuPrompts, BoxesOpenAtTheTypedSizes) {
  Probe probe;
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  ASSERT_TRUE(StartCommand(main, OpenButtonBoxId));
  HWND console = WaitForWindow(L"krv_twi", L"TextWindow 0", probe.program().id, 5000);
  ASSERT_TRUE(console);
  ASSERT_TRUE(TypeAnswers(main, console, {L"3", L"2"}));
  HWND buttons = WaitForWindow(L"krv_bb", NULL, probe.program().id, 5000);
  ASSERT_TRUE(buttons);
  ASSERT_TRUE(StartCommand(main, OpenInputBoxId));  // the box has all its buttons
  EXPECT_TRUE(FindChildByClass(buttons, L"Button", 5));
  EXPECT_FALSE(FindChildByClass(buttons, L"Button", 6));
  ASSERT_TRUE(TypeAnswers(main, console, {L"4"}));
  HWND input = WaitForWindow(L"krv_ib", NULL, probe.program().id, 5000);
  ASSERT_TRUE(input);
  ASSERT_TRUE(StartCommand(main, CreateImageId));  // the box has all its fields
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
  const std::initializer_list<const wchar_t*>* before = NULL;
  for (const auto& pair : refusedPairs) {
    ASSERT_TRUE(StartCommand(main, OpenButtonBoxId));  // the one before has ended
    EXPECT_FALSE(before && WaitForWindow(L"krv_bb", NULL, id, 0))
        << *before->begin() << " " << *(before->begin() + 1);
    if (!console) console = WaitForWindow(L"krv_twi", L"TextWindow 0", id, 5000);
    ASSERT_TRUE(console);
    ASSERT_TRUE(TypeAnswers(main, console, pair));
    before = &pair;
  }
  ASSERT_TRUE(StartCommand(main, OpenButtonBoxId));
  EXPECT_FALSE(WaitForWindow(L"krv_bb", NULL, id, 0)) << *before->begin();
  ASSERT_TRUE(TypeAnswers(main, console, {L"16", L"16"}));  // the largest box
  HWND buttons = WaitForWindow(L"krv_bb", NULL, id, 5000);
  ASSERT_TRUE(buttons);
  // The command ends once all its buttons are made; a command posted before then is refused.
  ASSERT_TRUE(StartCommand(main, OpenInputBoxId));
  EXPECT_TRUE(FindChildByClass(buttons, L"Button", 255));
  EXPECT_FALSE(FindChildByClass(buttons, L"Button", 256));
  ASSERT_TRUE(TypeAnswers(main, console, {L"99999999999"}));
  HWND input = WaitForWindow(L"krv_ib", NULL, id, 5000);
  ASSERT_TRUE(input);
  ASSERT_TRUE(StartCommand(main, CreateImageId));  // the box has all its fields
  EXPECT_TRUE(FindChildByClass(input, L"Edit", 29));
  EXPECT_FALSE(FindChildByClass(input, L"Edit", 30));
  EXPECT_LT(RoundTripMs(main, 5000), 5000u);
  PostCommand(main, ExitId);
  DWORD code = 99;
  EXPECT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}
