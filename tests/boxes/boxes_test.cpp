// The boxes as real windows on the test thread, which plays the worker thread.
#include <gtest/gtest.h>

#include <string>

#include "boxes/boxes.h"
#include "support/framework_windows.h"

namespace {

std::wstring Text(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

SIZE ClientSize(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

std::string Value(int i) {
  char value[256];
  KRV_GetInputBoxValue(i, value, sizeof value);
  return value;
}

void Type(HWND field, const wchar_t* text) {
  for (const wchar_t* c = text; *c; c++) PostMessageW(field, WM_CHAR, *c, 1);
}

void PostKey(HWND window, UINT key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001u);
}

class Boxes : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFrameworkWindows();
    buttonBox.buttonWidth = 98;
    buttonBox.buttonHeight = 26;
    inputBox.isize = 80;
    inputBox.esize = 70;
  }
  void TearDown() override {
    KRV_CloseButtonBox();
    KRV_CloseInputBox();
    PumpFor(5);
  }
};

}  // namespace

TEST_F(Boxes, PanoramaButtonBoxHas22NumberedButtons) {
  ASSERT_EQ(0, KRV_OpenButtonBox(200, 0, 2, 11));
  HWND box = buttonBox.window;
  ASSERT_TRUE(box);
  EXPECT_EQ(L"ButtonBox", Text(box));
  SIZE client = ClientSize(box);
  EXPECT_EQ(208, client.cx);
  EXPECT_EQ(334, client.cy);
  EXPECT_EQ(200, WindowRectOf(box).left);
  EXPECT_EQ(0, WindowRectOf(box).top);
  for (int i = 0; i < 22; i++) {
    HWND button = GetDlgItem(box, 3000 + i);
    ASSERT_TRUE(button) << i;
    EXPECT_EQ(std::to_wstring(i), Text(button));
    EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & BS_MULTILINE);
  }
  EXPECT_FALSE(GetDlgItem(box, 3022));
  EXPECT_EQ(box, dialogKeyboardWindows[DialogButtonBox]);
  EXPECT_EQ(1, KRV_OpenButtonBox(0, 0, 1, 1));  // one box at a time
}

TEST_F(Boxes, ButtonBoxDimensionsAreChecked) {
  EXPECT_EQ(2, KRV_OpenButtonBox(0, 0, 16, 17));
  EXPECT_EQ(2, KRV_OpenButtonBox(0, 0, 0, 5));
  EXPECT_EQ(2, KRV_OpenButtonBox(0, 0, 5, -1));
  EXPECT_EQ(2, KRV_OpenButtonBox(0, 0, 65536, 65536));  // the product overflows an int
  EXPECT_FALSE(buttonBox.window);
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 16, 16));
  EXPECT_TRUE(GetDlgItem(buttonBox.window, 3255));
}

TEST_F(Boxes, PressesAreCountedUntilPolled) {
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 2, 11));
  HWND button = GetDlgItem(buttonBox.window, 3003);
  SendMessageW(button, BM_CLICK, 0, 0);
  SendMessageW(button, BM_CLICK, 0, 0);
  PumpFor(10);
  EXPECT_EQ(2, KRV_ButtonPressed(3));
  EXPECT_EQ(0, KRV_ButtonPressed(3));
  EXPECT_EQ(0, KRV_ButtonPressed(22));
  EXPECT_EQ(0, KRV_ButtonPressed(-1));
  EXPECT_EQ(buttonBox.window, GetFocus());  // the box has the focus for the digit keys
}

TEST_F(Boxes, DigitKeysCountAsPressesOfTheirButtons) {
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 2, 11));
  PostKey(buttonBox.window, '7');
  PostKey(buttonBox.window, VK_NUMPAD7);
  PostKey(buttonBox.window, VK_NUMPAD0);
  EXPECT_TRUE(PumpUntilHandled());
  EXPECT_EQ(2, KRV_ButtonPressed(7));
  EXPECT_EQ(1, KRV_ButtonPressed(0));
  EXPECT_EQ(0, KRV_ButtonPressed(1));
}

TEST_F(Boxes, StartStopAndExitKeysGoToTheMainWindow) {
  HWND saved = mainWindow;
  mainWindow = StandInMainWindow();
  std::wstring keysForwarded;
  CollectStandInKeys(&keysForwarded);
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 2, 11));
  for (UINT key : {(UINT)'S', (UINT)'C', (UINT)VK_ESCAPE, (UINT)'X', (UINT)'A'})
    PostKey(buttonBox.window, key);
  EXPECT_TRUE(PumpUntilHandled());
  EXPECT_EQ(std::wstring(L"SC") + (wchar_t)VK_ESCAPE + L"X", keysForwarded);
  CollectStandInKeys(NULL);
  KRV_CloseButtonBox();
  mainWindow = saved;
}

TEST_F(Boxes, ResizingRecomputesTheButtonSize) {
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 2, 11));
  RECT rect = WindowRectOf(buttonBox.window);
  SetWindowPos(buttonBox.window, NULL, 0, 0, rect.right - rect.left + 20, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(108, buttonBox.buttonWidth);
  RECT button;
  GetWindowRect(GetDlgItem(buttonBox.window, 3001), &button);
  EXPECT_EQ(108, button.right - button.left);
  EXPECT_EQ(0, KRV_ResizeButtonBox(416, 94));
  EXPECT_EQ(202, buttonBox.buttonWidth);  // (416 - 12) / 2
  EXPECT_EQ(4, buttonBox.buttonHeight);   // (94 - 48) / 11
  EXPECT_EQ(2, KRV_ResizeButtonBox(0, 10));
  KRV_CloseButtonBox();
  EXPECT_EQ(1, KRV_ResizeButtonBox(100, 100));
}

TEST_F(Boxes, ButtonTitlesAreSetOnlyForExistingButtons) {
  EXPECT_EQ(1, KRV_SetButtonBoxTitle(0, "none"));
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 2, 2));
  EXPECT_EQ(0, KRV_SetButtonBoxTitle(3, "右へ\n回転"));
  EXPECT_EQ(L"右へ\n回転", Text(GetDlgItem(buttonBox.window, 3003)));
  EXPECT_EQ(1, KRV_SetButtonBoxTitle(4, "beyond"));
  EXPECT_EQ(1, KRV_SetButtonBoxTitle(-1, "before"));
}

TEST_F(Boxes, CtrlQClosesTheButtonBox) {
  ASSERT_EQ(0, KRV_OpenButtonBox(0, 0, 2, 2));
  HWND box = buttonBox.window;
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(box, WM_KEYDOWN, 'Q', 1);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  PumpFor(10);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(buttonBox.window);
  EXPECT_FALSE(dialogKeyboardWindows[DialogButtonBox]);
}

TEST_F(Boxes, InputBoxOfThreeItems) {
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 3));
  HWND box = inputBox.window;
  EXPECT_EQ(L"InputBox", Text(box));
  SIZE client = ClientSize(box);
  EXPECT_EQ(162, client.cx);
  EXPECT_EQ(86, client.cy);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(L"Item " + std::to_wstring(i), Text(inputBox.labels[i]));
    EXPECT_EQ(L"0", Text(inputBox.fields[i]));
    EXPECT_EQ("0", Value(i));
  }
  EXPECT_EQ(1, KRV_OpenInputBox(0, 0, 5));
  EXPECT_EQ(3, inputBox.count);
}

TEST_F(Boxes, InputBoxCountsAreClamped) {
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 0));
  EXPECT_EQ(1, inputBox.count);
  KRV_CloseInputBox();
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 45));
  EXPECT_EQ(30, inputBox.count);
  EXPECT_EQ(30 * 28 + 2, ClientSize(inputBox.window).cy);
}

TEST_F(Boxes, TabAndEnterCommitTypedText) {
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 3));
  SetFocus(inputBox.fields[1]);
  SendMessageW(inputBox.fields[1], EM_SETSEL, 0, -1);  // typing replaces the "0"
  PumpFor(5);
  Type(inputBox.fields[1], L"123");
  PumpFor(5);
  EXPECT_EQ("0", Value(1));  // not a value until committed
  PostKey(inputBox.fields[1], VK_TAB);
  PumpFor(10);
  EXPECT_EQ("123", Value(1));
  EXPECT_EQ(inputBox.fields[2], GetFocus());
  SendMessageW(inputBox.fields[2], EM_SETSEL, 0, -1);
  Type(inputBox.fields[2], L"456");
  PostKey(inputBox.fields[2], VK_RETURN);
  PumpFor(10);
  EXPECT_EQ("456", Value(2));
  EXPECT_EQ(inputBox.fields[2], GetFocus());
}

TEST_F(Boxes, ValuesAreCopiedSafely) {
  char small[3] = "xy";
  EXPECT_EQ(1, KRV_GetInputBoxValue(0, small, 3));  // no box
  EXPECT_STREQ("", small);
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 1));
  SetWindowTextW(inputBox.fields[0], L"日本語テキスト");
  CommitInputField(inputBox.fields[0]);
  EXPECT_EQ(0, KRV_GetInputBoxValue(0, small, 3));
  EXPECT_EQ(2u, strlen(small));
  EXPECT_EQ("日本語テキスト", Value(0));
  EXPECT_EQ(1, KRV_GetInputBoxValue(1, small, 3));
  KRV_CloseInputBox();
  EXPECT_EQ(1, KRV_GetInputBoxValue(0, small, 3));
  EXPECT_FALSE(inputBox.values[0]);
}

TEST_F(Boxes, InputBoxHeightCannotChange) {
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 3));
  RECT current = WindowRectOf(inputBox.window);
  RECT proposed = {current.left - 10, current.top - 30, current.right, current.bottom + 40};
  SendMessageW(inputBox.window, WM_SIZING, WMSZ_TOPLEFT, (LPARAM)&proposed);
  EXPECT_EQ(current.top, proposed.top);
  EXPECT_EQ(current.bottom, proposed.bottom);
  EXPECT_EQ(current.left - 10, proposed.left);
  SetWindowPos(inputBox.window, NULL, proposed.left, proposed.top, proposed.right - proposed.left,
               proposed.bottom - proposed.top, SWP_NOZORDER);
  EXPECT_EQ(90, inputBox.isize);  // dragged at the left: the label column grew
  EXPECT_EQ(70, inputBox.esize);
  RECT field;
  GetWindowRect(inputBox.fields[0], &field);
  POINT corner = {field.left, field.top};
  ScreenToClient(inputBox.window, &corner);
  EXPECT_EQ(98, corner.x);
}

TEST_F(Boxes, ResizingAnOpenInputBoxLaysItOutAgain) {
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 2));
  EXPECT_EQ(0, KRV_ResizeInputBox(100, 50));
  EXPECT_EQ(162, ClientSize(inputBox.window).cx);
  EXPECT_EQ(100, inputBox.isize);
  EXPECT_EQ(50, inputBox.esize);
  RECT field;
  GetWindowRect(inputBox.fields[1], &field);
  EXPECT_EQ(50, field.right - field.left);
  EXPECT_EQ(2, KRV_ResizeInputBox(0, 50));
  KRV_CloseInputBox();
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 1));  // the widths size the next box too
  EXPECT_EQ(162, ClientSize(inputBox.window).cx);
}

TEST_F(Boxes, InputBoxTitlesAndClosing) {
  EXPECT_EQ(1, KRV_CloseInputBox());
  ASSERT_EQ(0, KRV_OpenInputBox(0, 0, 2));
  EXPECT_EQ(0, KRV_SetInputBoxTitle(1, "半径"));
  EXPECT_EQ(L"半径", Text(inputBox.labels[1]));
  EXPECT_EQ(1, KRV_SetInputBoxTitle(2, "none"));
  HWND box = inputBox.window;
  SendMessageW(box, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(box));
  EXPECT_FALSE(inputBox.window);
  EXPECT_FALSE(dialogKeyboardWindows[DialogInputBox]);
}
