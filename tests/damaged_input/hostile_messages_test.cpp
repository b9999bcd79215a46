// Hostile window messages and typed answers on the worker's windows, driven on the test thread
// that plays the worker: command ids no menu has, coordinates at and past the ends of their
// range, any key code; empty, negative, huge and non-numeric answers at every prompt.
#include <stdio.h>
#include <string.h>

#include <thread>

#include "boxes/boxes.h"
#include "damaged_input/corpus.h"
#include "image/image_fixture.h"
#include "text/text.h"

namespace {


void DropPostedMessages(void) {
  MSG message;
  while (PeekMessageW(&message, StandInMainWindow(), 0, 0, PM_REMOVE)) {
  }
}

std::vector<unsigned char> PixelBytes(int id) {
  const ImageSlot& slot = krv_images[id];
  GdiFlush();
  const unsigned char* bytes = (const unsigned char*)krv_pixels[id];
  return std::vector<unsigned char>(bytes, bytes + (size_t)ImageStride(slot.bits, slot.width) *
                                                       slot.height);
}

// A command id beyond every menu and button of the windows.
WPARAM StrayCommand(Random* random) {
  int id;
  switch (random->Below(4)) {
    case 0: id = random->Between(1100, 2999); break;
    case 1: id = random->Between(3300, 8999); break;
    case 2: id = random->Between(9100, 65535); break;
    default: id = random->Below(2) ? 0 : 65535; break;
  }
  return MAKEWPARAM(id, random->Below(3) == 0 ? random->Below(0x10000) : 0);
}

LPARAM StrayPosition(Random* random) {
  static const LPARAM extremes[] = {0, (LPARAM)0xFFFFFFFF, MAKELPARAM(65535, 0), MAKELPARAM(0, 65535),
                                    MAKELPARAM(32767, 32767), MAKELPARAM(32768, 32768),
                                    MAKELPARAM(-1, 5), (LPARAM)0x7FFFFFFF};
  if (random->Below(2)) return extremes[random->Below(sizeof extremes / sizeof extremes[0])];
  return (LPARAM)random->Next();
}

// Keys that mean something to some window are left to the windows' own tests.
bool MeaningfulKey(WPARAM key) {
  return key == VK_TAB || key == VK_SPACE || key == VK_UP || (key >= '0' && key <= '9') ||
         (key >= VK_NUMPAD0 && key <= VK_NUMPAD9);
}

WPARAM StrayKey(Random* random) {
  WPARAM key;
  do {
    key = random->Below(4) == 0 ? (WPARAM)random->Next() : (WPARAM)random->Below(256);
  } while (MeaningfulKey(key));
  return key;
}

}  // namespace

class HostileMessages : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    mainWindow = StandInMainWindow();
    inputPending = 0;
    MouseState = {1, -1, 0, 0, 0, 0, 0, 0};
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  void TearDown() override {
    MouseState = {0, -1, 0, 0, 0, 0, 0, 0};
    KRV_CloseInputBox();
    KRV_CloseButtonBox();
    for (int i = 0; i < SlotCount; i++) KRV_CloseTextWindow(i);
    DropPostedMessages();
    ForgetCase();
    ImageTest::TearDown();
  }
};

TEST_F(HostileMessages, StrayCommandsKeysAndPositionsChangeNothing) {
  ASSERT_EQ(0, KRV_CreateImage(0, "soak32", 0, 0, 64, 48, 100));
  ASSERT_EQ(0, KRV_CreateImage8(1, "soak8", 100, 0, 40, 30, 200));
  for (int id : {0, 1}) {
    unsigned char* bytes = (unsigned char*)krv_pixels[id];
    for (int i = 0; i < ImageStride(krv_images[id].bits, krv_images[id].width) * krv_images[id].height; i++)
      bytes[i] = krv_images[id].bits == 32 && i % 4 == 3 ? 0 : (unsigned char)(i * 7 + id);
  }
  ASSERT_EQ(0, KRV_OpenTextWindow(3, 0, 200, 300, 200));
  KRV_Print("soak\n");
  ASSERT_EQ(0, KRV_OpenInputBox(400, 0, 3));
  ASSERT_EQ(0, KRV_OpenButtonBox(400, 300, 2, 3));
  KRV_SelectImage(1);
  const std::vector<unsigned char> pixels0 = PixelBytes(0), pixels1 = PixelBytes(1);
  const int textX = textWindows[3].x, textY = textWindows[3].y;
  const int zoom0 = krv_images[0].zoom, zoom1 = krv_images[1].zoom;  // raised to the smallest window
  const HWND windows[] = {krv_images[0].window, krv_images[1].window, textWindows[3].window,
                          inputBox.window, buttonBox.window};
  const unsigned long long seed = SoakSeed();
  const int count = (int)EnvironmentNumber("KRV_SOAK_MESSAGES", 4000);
  Random random(seed);
  for (int number = 0; number < count; number++) {
    const int which = random.Below(5);
    const HWND target = windows[which];
    static const UINT kinds[] = {WM_COMMAND, WM_KEYDOWN, WM_CHAR, WM_MOUSEMOVE, WM_LBUTTONDOWN,
                                 WM_LBUTTONUP, WM_MOUSEWHEEL};
    const UINT message = kinds[random.Below(7)];
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    switch (message) {
      case WM_COMMAND: wParam = StrayCommand(&random); break;
      case WM_KEYDOWN: wParam = StrayKey(&random), lParam = StrayPosition(&random); break;
      case WM_CHAR: wParam = (WPARAM)random.Next(), lParam = 1; break;
      case WM_MOUSEMOVE: wParam = random.Below(4), lParam = StrayPosition(&random); break;
      case WM_LBUTTONDOWN: wParam = MK_LBUTTON, lParam = StrayPosition(&random); break;
      case WM_LBUTTONUP: lParam = StrayPosition(&random); break;
      default: wParam = MAKEWPARAM(0, random.Below(0x10000)), lParam = StrayPosition(&random); break;
    }
    NoteCase("messages", seed, number);
    SendMessageW(target, message, wParam, lParam);
    ASSERT_TRUE(krv_images[0].zoom == zoom0 && krv_images[1].zoom == zoom1)
        << "message " << std::hex << message << " wParam " << wParam << " lParam " << lParam
        << " to window " << std::dec << which << " (case " << number << ")";
    if (number % 64 == 0) {
      PumpWorkerMessages();
      DropPostedMessages();
    }
  }
  EXPECT_TRUE(PumpUntilHandled());
  ForgetCase();
  for (HWND window : windows) EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(pixels0 == PixelBytes(0));
  EXPECT_TRUE(pixels1 == PixelBytes(1));

  EXPECT_EQ(1, krv_current);
  EXPECT_EQ(textX, textWindows[3].x);
  EXPECT_EQ(textY, textWindows[3].y);
  for (int i = 0; i < 6; i++) EXPECT_EQ(0, KRV_ButtonPressed(i)) << i;
  char value[256];
  for (int i = 0; i < 3; i++) {
    ASSERT_EQ(0, KRV_GetInputBoxValue(i, value, sizeof value));
    EXPECT_STREQ("0", value) << i;  // as opened
  }
  printf("window messages: seed %llu, %d sent to 5 windows, 0 crashes\n", seed, count);
}

namespace {

// Types each line into the text window of the waiting input, once an input waits. The input
// copies a finished line into lastLine after it has cleared inputPending, so a set inputPending
// seen after that belongs to the next prompt.
std::thread Typist(const std::vector<std::string>& lines) {
  return std::thread([lines] {
    for (const std::string& line : lines) {
      if (!WaitFor([] { return inputPending != 0; })) return;
      const HWND window = textWindows[inputPending - 1].window;
      lastLine[0] = 1;
      lastLine[1] = 0;
      // At a brisk typist's pace: the key ring holds what one pump brings, not a whole paste.
      for (char c : line + "\r") {
        PostMessageW(window, WM_CHAR, (unsigned char)c, 1);
        Sleep(2);
      }
      const std::wstring typed(line.begin(), line.end());
      WaitFor([&typed] { return typed == lastLine; });
    }
  });
}

const char* const hostileAnswers[] = {"", "-5", "0", "99999999999", "-99999999999", "abc",
                                      "2147483648", "1e9", " 7", "0x40"};

}  // namespace

TEST_F(HostileMessages, ZoomPromptAnswersKeepAWorkingWindow) {
  ASSERT_EQ(0, KRV_CreateImage(0, "zoom", 0, 0, 64, 48, 100));
  for (const char* answer : hostileAnswers) {
    std::thread typist = Typist({answer});
    SendMessageW(krv_images[0].window, WM_COMMAND, CommandZoomPrompt, 0);
    typist.join();
    const ImageSlot& slot = krv_images[0];
    ASSERT_TRUE(slot.inUse) << answer;
    EXPECT_GE(slot.zoom, 1) << answer;
    EXPECT_EQ((long long)slot.width * slot.zoom / 100, slot.dispWidth) << answer;
    RECT client;
    GetClientRect(slot.window, &client);
    EXPECT_EQ(slot.dispWidth, client.right) << answer;
    EXPECT_EQ(slot.dispHeight, client.bottom) << answer;
  }
}

TEST_F(HostileMessages, ResizePromptAnswersMakeAnImageOrNone) {
  for (const char* answer : hostileAnswers) {
    if (!krv_images[0].inUse) {
      ASSERT_EQ(0, KRV_CreateImage(0, "resize", 0, 0, 64, 48, 100));
    }
    std::thread typist = Typist({answer, "12"});
    SendMessageW(krv_images[0].window, WM_COMMAND, CommandResizePrompt, 0);
    typist.join();
    const ImageSlot& slot = krv_images[0];
    if (!slot.inUse) {
      EXPECT_EQ(nullptr, ImageInUse(0)) << answer;
      continue;
    }
    const long long wanted = LeadingInteger(answer);
    EXPECT_EQ(wanted > 1 ? wanted : 1, slot.width) << answer;
    EXPECT_EQ(12, slot.height) << answer;
    EXPECT_TRUE(IsWindow(slot.window)) << answer;
    ((int*)krv_pixels[0])[(long long)slot.width * slot.height - 1] = 1;  // the memory is all there
  }
}

TEST_F(HostileMessages, RenamePromptsTakeAnyLineAndKeepTheNameOnAnEmptyOne) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 0, 300, 400, 300));
  ASSERT_EQ(0, KRV_OpenInputBox(400, 0, 2));
  ASSERT_EQ(0, KRV_OpenButtonBox(400, 300, 2, 1));
  ASSERT_EQ(0, KRV_SetInputBoxTitle(1, "label"));
  ASSERT_EQ(0, KRV_SetButtonBoxTitle(1, "button"));
  const std::string longLine(400, 'w');
  std::vector<std::string> answers(std::begin(hostileAnswers), std::end(hostileAnswers));
  answers.push_back(longLine);
  for (const std::string& answer : answers) {
    inputBox.renameIndex = 1;
    buttonBox.renameIndex = 1;
    char before[2][300], after[2][300];
    GetWindowNarrowText(inputBox.labels[1], before[0], 300);
    GetWindowNarrowText(buttonBox.buttons[1], before[1], 300);
    std::thread typist = Typist({answer});
    SendMessageW(inputBox.window, WM_COMMAND, CommandRenameInputItem, 0);
    typist.join();
    typist = Typist({answer});
    SendMessageW(buttonBox.window, WM_COMMAND, CommandRenameButton, 0);
    typist.join();
    GetWindowNarrowText(inputBox.labels[1], after[0], 300);
    GetWindowNarrowText(buttonBox.buttons[1], after[1], 300);
    const std::string expected = answer.empty() ? "" : answer.substr(0, 255);
    for (int box = 0; box < 2; box++) {
      if (answer.empty())
        EXPECT_STREQ(before[box], after[box]) << box;
      else
        EXPECT_EQ(expected, after[box]) << box << " " << answer.size();
    }
  }
}
