// The runtime driven from outside: instance limit, main window, Start, Stop and Exit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probe.h"


TEST(MainWindow, RestsAtTheBottomCentreWithItsFixedSize) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  RECT adjusted = {0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
  AdjustWindowRect(&adjusted, WS_CAPTION | WS_THICKFRAME, FALSE);
  int width = adjusted.right - adjusted.left, height = adjusted.bottom - adjusted.top;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int top = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION) - height;
  if (top > work.bottom - height) top = work.bottom - height;
  RECT rect = OuterRect(window);
  EXPECT_EQ((GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2, rect.left);
  EXPECT_EQ(top, rect.top);
  EXPECT_EQ(width, rect.right - rect.left);
  EXPECT_EQ(height, rect.bottom - rect.top);
  EXPECT_EQ(240, ClientRectOf(window).right);
  EXPECT_EQ(L"KORVEL", TextOf(window));
  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(WS_CAPTION | WS_THICKFRAME | WS_VISIBLE,
            style & (WS_CAPTION | WS_THICKFRAME | WS_VISIBLE | WS_SYSMENU));
}

TEST(MainWindow, StatusLabelShowsTheColourDepth) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  HWND label = FindChildById(window, StatusId);
  ASSERT_TRUE(label);
  HDC screen = GetDC(NULL);
  char depth[16];
  snprintf(depth, sizeof depth, "%d-bit color", GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(NULL, screen);
  std::string text(depth);
  std::wstring expected = std::wstring(18 - text.size() / 2, L' ') +
                          std::wstring(text.begin(), text.end());
  expected.resize(63, L' ');
  EXPECT_EQ(expected, TextOf(label));
  RECT rect = OuterRect(label), parent = OuterRect(window);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  EXPECT_EQ(origin.x, rect.left);
  EXPECT_EQ(origin.y + 6, rect.top);
  EXPECT_EQ(234, rect.right - rect.left);
  EXPECT_EQ(20, rect.bottom - rect.top);
  EXPECT_LT(rect.bottom, parent.bottom + 1);
}

TEST(MainWindow, SizingKeepsTheCurrentRectangle) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  RECT before = OuterRect(window);
  RECT proposed = {before.left - 30, before.top - 40, before.right + 50, before.bottom + 60};
  SendMessageW(window, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&proposed);
  EXPECT_EQ(before.left, proposed.left);
  EXPECT_EQ(before.top, proposed.top);
  EXPECT_EQ(before.right, proposed.right);
  EXPECT_EQ(before.bottom, proposed.bottom);
}

TEST(Instances, SecondInstanceUsesClassNumberOne) {
  Probe first;
  ASSERT_TRUE(first.WaitReady(L"korvel_mw0"));
  // Started once the first has its window, the second finds number 0 taken.
  Probe second;
  EXPECT_TRUE(second.WaitReady(L"korvel_mw1"));
}

TEST(Instances, EleventhInstanceIsRefused) {
  std::vector<Probe*> running;
  for (int i = 0; i < 10; i++) {
    running.push_back(new Probe);
    wchar_t name[16];
    swprintf(name, 16, L"korvel_mw%d", i);
    ASSERT_TRUE(running.back()->WaitReady(name)) << i;
  }
  Probe eleventh;
  HWND box = WaitForWindow(L"#32770", L"KORVEL", eleventh.program().id, 10000);
  ASSERT_TRUE(box);
  HWND text = NULL;
  for (int i = 0; (text = FindChildByClass(box, L"Static", i)); i++)
    if (TextOf(text) == L"Over instance limit!") break;
  EXPECT_TRUE(text) << "no static text with the message";
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  DWORD code = 0;
  ASSERT_TRUE(eleventh.Exited(5000, &code));
  EXPECT_EQ(1u, code);
  for (Probe* probe : running) delete probe;
}

TEST(RunState, StartPressedTwiceRunsAppMainOnce) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  PostCommand(window, StartId);
  PostCommand(window, StartId);
  ASSERT_TRUE(probe.WaitForLog("enter"));
  PostCommand(window, StopId);
  ASSERT_TRUE(probe.WaitForLog("leave"));
  // A remembered Start would have run AppMain in the idle pass that served the first window.
  ASSERT_TRUE(CommandsDone(window, probe.program().id));
  ASSERT_TRUE(CommandsDone(window, probe.program().id));
  EXPECT_EQ("setup\nenter stop=0\nleave\n", probe.Log());
}

TEST(RunState, StartWhileRunningIsIgnoredAndNotRemembered) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  PostCommand(window, StartId);
  ASSERT_TRUE(probe.WaitForLog("enter"));
  PostCommand(window, StartId);
  PostCommand(window, StopId);
  ASSERT_TRUE(probe.WaitForLog("leave"));
  ASSERT_TRUE(CommandsDone(window, probe.program().id));
  ASSERT_TRUE(CommandsDone(window, probe.program().id));
  EXPECT_EQ(1, probe.Count("enter"));
  // Idle again: the next Start runs it once more.
  PostCommand(window, StartId);
  EXPECT_TRUE(WaitFor([&] { return probe.Count("enter") == 2; }, 5000));
}

TEST(RunState, StopWhileIdleIsForgottenOnTheNextStart) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  ASSERT_TRUE(CommandsDone(window, probe.program().id));  // a window of the worker
  HWND console = WaitForWindow(L"krv_twi", NULL, probe.program().id, 5000);
  ASSERT_TRUE(console);
  PostCommand(window, StopId);
  PostCommand(window, StartId);
  ASSERT_TRUE(probe.WaitForLog("enter stop=0\n"));
  // AppMain looks at Stop between two pumps: a message answered, then another, mean it looked.
  EXPECT_LT(RoundTripMs(console, 5000), 5000u);
  EXPECT_LT(RoundTripMs(console, 5000), 5000u);
  EXPECT_EQ(0, probe.Count("leave"));  // still running: the old Stop did not end it
}

TEST(RunState, KeysStartStopAndExit) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  SendKey(window, 'S');
  ASSERT_TRUE(probe.WaitForLog("enter"));
  SendKey(window, 'C');
  ASSERT_TRUE(probe.WaitForLog("leave"));
  SendKey(window, VK_ESCAPE);
  DWORD code = 99;
  ASSERT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}

TEST(RunState, KeyXExits) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  SendKey(window, 'X');
  DWORD code = 99;
  ASSERT_TRUE(probe.Exited(5000, &code));
  EXPECT_EQ(0u, code);
}

TEST(Exit, WhileAppMainPollsStopItReturnsAndTheProgramEndsAtOnce) {
  Probe probe;
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  PostCommand(window, StartId);
  ASSERT_TRUE(probe.WaitForLog("enter"));
  DWORD start = GetTickCount();
  PostCommand(window, ExitId);
  DWORD code = 99;
  ASSERT_TRUE(probe.Exited(5000, &code));
  DWORD elapsed = GetTickCount() - start;
  EXPECT_EQ(0u, code);
  EXPECT_EQ(1, probe.Count("leave"));
  EXPECT_LT(elapsed, 1900u) << "the program waited out the grace period";
}

TEST(Exit, WhenAppMainNeverReturnsTheWorkerIsEndedAfterTwoSeconds) {
  Probe probe("hang");
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window);
  PostCommand(window, StartId);
  ASSERT_TRUE(probe.WaitForLog("enter"));
  DWORD start = GetTickCount();
  PostCommand(window, ExitId);
  DWORD code = 99;
  ASSERT_TRUE(probe.Exited(10000, &code));
  DWORD elapsed = GetTickCount() - start;
  EXPECT_EQ(0u, code);
  EXPECT_EQ(0, probe.Count("leave"));
  EXPECT_GE(elapsed, 1990u);
}

TEST(Rimview, BothProgramsStartAndExit) {
  for (const wchar_t* name : {L"rimview.exe", L"rimview-qvga.exe"}) {
    Program program;
    ASSERT_TRUE(StartProgram(name, &program));
    HWND window = WaitForWindow(L"korvel_mw0", NULL, program.id, 10000);
    ASSERT_TRUE(window) << name;
    ASSERT_TRUE(WaitFor([&] { return TextOf(FindChildById(window, StatusId)).find(L"bit color") !=
                                     std::wstring::npos; }, 5000));
    PostCommand(window, ExitId);
    DWORD code = 99;
    EXPECT_TRUE(WaitForExit(program, 5000, &code)) << name;
    EXPECT_EQ(0u, code);
    KillProgram(&program);
  }
}
