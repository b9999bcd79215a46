// The control panel's boxes worked from outside with mouse and keyboard messages.
#include <gtest/gtest.h>

#include "probe.h"

namespace {

HWND WaitForBox(const Probe& probe, const wchar_t* className) {
  return WaitForWindow(className, NULL, probe.program().id, 5000);
}

void ClickButton(HWND box, int i) {
  HWND button = FindChildById(box, 3000 + i);
  SendClick(button, 5, 5);
}

}  // namespace

TEST(ButtonBox, ClicksAndDigitKeysReachTheApplication) {
  Probe probe("boxes");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND box = WaitForBox(probe, L"krv_bb");
  ASSERT_TRUE(box);
  ClickButton(box, 3);
  ClickButton(box, 3);
  SendKey(box, 'S');  // after the clicks: the box takes its messages in order
  ASSERT_TRUE(probe.WaitForLog("enter"));
  ASSERT_TRUE(probe.WaitForLog("button 3 2\n"));
  SendKey(box, '7');
  EXPECT_TRUE(probe.WaitForLog("button 7 1\n"));
  SendKey(box, VK_NUMPAD1);
  EXPECT_TRUE(probe.WaitForLog("button 1 1\n"));
  ClickButton(box, 21);
  EXPECT_TRUE(probe.WaitForLog("button 21 1\n"));
  SendKey(box, 'C');
  EXPECT_TRUE(probe.WaitForLog("leave\n"));
  EXPECT_EQ(1, probe.Count("button 3 "));
  SendKey(box, VK_ESCAPE);
  EXPECT_TRUE(probe.Exited(5000));
}

TEST(InputBox, TabAndEnterCommitValuesWhileTheApplicationRuns) {
  Probe probe("boxes");
  HWND main = probe.WaitReady();
  ASSERT_TRUE(main);
  HWND box = WaitForBox(probe, L"krv_ib");
  ASSERT_TRUE(box);
  PostCommand(main, StartId);
  ASSERT_TRUE(probe.WaitForLog("value 2 0\n"));
  HWND field1 = FindChildByClass(box, L"Edit", 1), field2 = FindChildByClass(box, L"Edit", 2);
  ASSERT_TRUE(field1 && field2);
  SendDoubleClick(field1, 3, 3);  // selects the "0", as a user would before typing
  for (wchar_t c : std::wstring(L"123")) SendChar(field1, c);
  SendKey(field1, VK_TAB);
  EXPECT_TRUE(probe.WaitForLog("value 1 123\n"));
  SendDoubleClick(field2, 3, 3);
  for (wchar_t c : std::wstring(L"456")) SendChar(field2, c);
  SendKey(field2, VK_RETURN);
  EXPECT_TRUE(probe.WaitForLog("value 2 456\n"));
  EXPECT_EQ(0, probe.Count("value 0 1"));
  PostCommand(main, ExitId);
  EXPECT_TRUE(probe.Exited(5000));
}
