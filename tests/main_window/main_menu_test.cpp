// The main window's popup menu and the commands behind it, run in the real runtime: prompts
// answered by typing into the text window, windows made by the worker through requests.
#include <limits.h>

#include "boxes/boxes.h"
#include "main_window/running_framework.h"
#include "support/saved_text.h"

namespace {

std::wstring ItemText(HMENU menu, int position) {
  wchar_t text[64] = L"";
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

bool Greyed(HMENU menu, int position) {
  return (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0;
}

void TwoImages(void) {
  KRV_CreateImage(0, "zero", 0, 0, 16, 16, 100);
  KRV_CreateImage(1, "one", 40, 0, 16, 16, 100);
}

void ConsoleWithLog(void) {
  KRV_OpenTextWindow(0, 0, 300, 400, 300);
  KRV_StartLog(0);
}

void TwoImagesAndConsole(void) {
  TwoImages();
  ConsoleWithLog();
}

void RunUntilStopped(void) {
  while (!stopRequested) {
    PumpWorkerMessages();
    Sleep(1);
  }
}

int ImagesInUse(void) {
  int count = 0;
  for (int id = 0; id < SlotCount; id++) count += ImageInUse(id) != NULL;
  return count;
}

class MainMenu : public RunningFramework {
 protected:
  void SetUp() override {
    RunningFramework::SetUp();
    DeleteFileA("KORVEL00.LOG");
  }
  void TearDown() override {
    RunningFramework::TearDown();
    DeleteFileA("KORVEL00.LOG");
  }
  // Answers the image prompt; the command has ended when the sentinel window is open.
  void CreateByPrompt(const wchar_t* width, const wchar_t* height, const wchar_t* bits) {
    Command(CommandCreateImage);
    EXPECT_TRUE(Answer(width));
    EXPECT_TRUE(Answer(height));
    EXPECT_TRUE(Answer(bits));
    Sentinel();
  }
};

}  // namespace

TEST(MainPopupMenu, TwelveItemsInOrderGreyedOnlyWhereBusyWouldHarm) {
  HMENU menu = BuildMainPopupMenu(0);
  ASSERT_EQ(12, GetMenuItemCount(menu));
  const wchar_t* texts[12] = {L"Paste\tCtrl+V", L"",           L"Start",     L"Stop",
                              L"E&xit",         L"",           L"Image Window", L"Text Window",
                              L"Input Box",     L"Button Box", L"",          L"&Window Info.\tCtrl+W"};
  const int ids[12] = {1026, 0, 1001, 1003, 1002, 0, 1027, 1028, 1044, 1051, 0, 1045};
  for (int i = 0; i < 12; i++) {
    EXPECT_EQ(texts[i], ItemText(menu, i)) << i;
    bool separator = (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) != 0;
    EXPECT_EQ(ids[i] == 0, separator) << i;
    if (!separator) {
      EXPECT_EQ((UINT)ids[i], GetMenuItemID(menu, i)) << i;
    }
    EXPECT_FALSE(Greyed(menu, i)) << i;
  }
  DestroyMenu(menu);
  menu = BuildMainPopupMenu(1);
  const bool grey[12] = {true, false, true, false, false, false,
                         true, true,  true, true,  false, true};
  for (int i = 0; i < 12; i++) EXPECT_EQ(grey[i], Greyed(menu, i)) << i;
  DestroyMenu(menu);
}

TEST(TypedNumbers, ReadLikeDecimalButNeverOverflow) {
  EXPECT_EQ(320, ReadTypedNumber("320"));
  EXPECT_EQ(0, ReadTypedNumber(""));
  EXPECT_EQ(0, ReadTypedNumber("abc"));
  EXPECT_EQ(12, ReadTypedNumber(" 12px"));
  EXPECT_EQ(-5, ReadTypedNumber("-5"));
  EXPECT_EQ(INT_MAX, ReadTypedNumber("99999999999"));
  EXPECT_EQ(INT_MIN, ReadTypedNumber("-99999999999"));
  EXPECT_EQ(INT_MAX, ReadTypedNumber("999999999999999999999999999"));
}

TEST_F(MainMenu, ImagePromptMakesTheLowestFreeSlotAtTheTypedSize) {
  Start(TwoImagesAndConsole);
  CreateByPrompt(L"320", L"240", L"8");
  ImageSlot* slot = ImageInUse(2);
  ASSERT_TRUE(slot);
  EXPECT_EQ("002", TitleOf(2));
  EXPECT_EQ(8, slot->bits);
  EXPECT_EQ(320, slot->width);
  EXPECT_EQ(240, slot->height);
  EXPECT_EQ(3, ImagesInUse());
  EXPECT_EQ(0, Exit());
  EXPECT_EQ(
      "Creating ImageWindow...\r\n Width=320\r\nHeight=240\r\nBit[32 or 8]=8\r\n",
      FileText("KORVEL00.LOG"));
}

TEST_F(MainMenu, ImagePromptWithAnyOtherDepthOrAnImpossibleSizeMakesNothing) {
  Start(ConsoleWithLog);
  CreateByPrompt(L"320", L"240", L"24");
  CreateByPrompt(L"-5", L"240", L"32");
  CreateByPrompt(L"0", L"0", L"8");
  CreateByPrompt(L"abc", L"x", L"8");
  CreateByPrompt(L"99999999999", L"99999999999", L"32");
  CreateByPrompt(L"40000", L"1", L"32");  // wider than any zoom can show
  EXPECT_EQ(0, ImagesInUse());
  CreateByPrompt(L"64", L"1", L"32");
  EXPECT_EQ("000", TitleOf(0));
}

TEST_F(MainMenu, BoxPromptsOpenWhatTheBoxesAccept) {
  Start(ConsoleWithLog);
  Command(CommandOpenInputBox);
  ASSERT_TRUE(Answer(L"99999999999"));
  Sentinel();
  ASSERT_TRUE(inputBox.window);
  EXPECT_EQ(30, inputBox.count);
  Command(CommandOpenButtonBox);
  ASSERT_TRUE(Answer(L"2"));
  ASSERT_TRUE(Answer(L"1073741825"));  // times 2 overflows an int
  Sentinel();
  EXPECT_FALSE(buttonBox.window);
  Command(CommandOpenButtonBox);
  ASSERT_TRUE(Answer(L"4"));
  ASSERT_TRUE(Answer(L"2"));
  Sentinel();
  ASSERT_TRUE(buttonBox.window);
  EXPECT_EQ(8, buttonBox.count);
  Command(CommandOpenInputBox);
  ASSERT_TRUE(Answer(L"3"));
  Sentinel();
  EXPECT_EQ(3, inputBox.count);
  EXPECT_EQ(0, Exit());
  EXPECT_EQ(
      "Creating InpuxBox...\r\nHow many items? >99999999999\r\n"
      "Creating ButtonBox...\r\nNumber[X]=>2\r\nNumber[Y]=>1073741825\r\n"
      "Creating ButtonBox...\r\nNumber[X]=>4\r\nNumber[Y]=>2\r\n"
      "Creating InpuxBox...\r\nHow many items? >3\r\n",
      FileText("KORVEL00.LOG"));
}

TEST_F(MainMenu, TextWindowCommandOpensTheLowestClosedIndex) {
  Start(ConsoleWithLog);
  EXPECT_EQ(1, Sentinel());
  EXPECT_EQ(2, Sentinel());
  EXPECT_EQ(DefaultTextWidth, textWindows[2].width);
  EXPECT_EQ(DefaultTextHeight, textWindows[2].height);
}

TEST_F(MainMenu, ExitWhileAPromptWaitsEndsTheCommandAndTheProgram) {
  Start(ConsoleWithLog);
  Command(CommandCreateImage);
  ASSERT_TRUE(Answer(L"320"));
  ASSERT_TRUE(WaitFor([] { return inputPending != 0; }));
  Command(CommandExit);
  EXPECT_EQ(0, WaitForGuiThread());
  EXPECT_EQ(0, ImagesInUse());
}

TEST_F(MainMenu, CtrlWWithoutATextWindowOpensWindowZeroWithTheReport) {
  ASSERT_TRUE(OpenClipboard(NULL));
  EmptyClipboard();
  CloseClipboard();
  Start();
  ASSERT_FALSE(TextSlot(0));
  CtrlKey('W');
  ASSERT_TRUE(WaitFor([] { return TextSlot(0) != NULL; }));
  ASSERT_TRUE(WaitFor([] { return ClipboardText().find("KRV_OpenTextWindow(0,") != std::string::npos; }));
  EXPECT_EQ(0u, ClipboardText().find("\t// KORVEL --- Automatic Source Generator\n"
                                     "\t// [Text Window]\n"
                                     "\tKRV_OpenTextWindow(0,"));
}

// The menu as the right button on the caption opens it; it is closed again with Escape.
static HMENU WaitForPopupMenu(HWND* popup) {
  bool shown = WaitFor([&] {
    *popup = FindWindowW(L"#32768", NULL);
    return *popup && IsWindowVisible(*popup);
  });
  return shown ? (HMENU)SendMessageW(*popup, MN_GETHMENU, 0, 0) : NULL;
}

static bool ClosePopupMenu(HWND popup) {
  PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  return WaitFor([] {
    HWND open = FindWindowW(L"#32768", NULL);
    return !open || !IsWindowVisible(open);
  });
}

TEST_F(MainMenu, CaptionRightClickWhileIdleOffersEveryItem) {
  Start();
  PostMessageW(mainWindow, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(10, 10));
  HWND popup = NULL;
  HMENU menu = WaitForPopupMenu(&popup);
  ASSERT_TRUE(menu);
  ASSERT_EQ(12, GetMenuItemCount(menu));
  EXPECT_EQ(L"Image Window", ItemText(menu, 6));
  for (int i = 0; i < 12; i++) EXPECT_FALSE(Greyed(menu, i)) << i;
  EXPECT_TRUE(ClosePopupMenu(popup));
}

// The prompt pumps the main window's messages too: its menu opens, with creation greyed.
TEST_F(MainMenu, WhileAPromptWaitsTheMenuOffersOnlyStopAndExit) {
  Start(ConsoleWithLog);
  Command(CommandCreateImage);
  ASSERT_TRUE(WaitFor([] { return inputPending != 0; }));
  PostMessageW(mainWindow, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
  HWND popup = NULL;
  HMENU menu = WaitForPopupMenu(&popup);
  ASSERT_TRUE(menu);
  for (int i : {0, 2, 6, 7, 8, 9, 11}) EXPECT_TRUE(Greyed(menu, i)) << i;
  for (int i : {3, 4}) EXPECT_FALSE(Greyed(menu, i)) << i;
  ASSERT_TRUE(ClosePopupMenu(popup));
  EXPECT_TRUE(Answer(L"32"));
  EXPECT_TRUE(Answer(L"16"));
  EXPECT_TRUE(Answer(L"32"));
  Sentinel();
  EXPECT_EQ("000", TitleOf(0));
}

TEST_F(MainMenu, WhileAppMainRunsOnlyStopAndExitAreOfferedPasteAndDropsAreRefused) {
  Start(NULL, RunUntilStopped);
  Command(CommandStart);
  ASSERT_TRUE(WaitFor([] { return appRunning == 1; }));
  PostMessageW(mainWindow, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
  HWND popup = NULL;
  HMENU menu = WaitForPopupMenu(&popup);
  ASSERT_TRUE(menu);
  ASSERT_EQ(12, GetMenuItemCount(menu));
  for (int i = 0; i < 12; i++) {
    if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) continue;
    EXPECT_EQ(i == 3 || i == 4, !Greyed(menu, i)) << i;
  }
  ASSERT_TRUE(ClosePopupMenu(popup));
  Command(CommandCreateImage);  // as the greyed item would have sent it
  Command(CommandOpenText);
  ASSERT_TRUE(PutPatternOnClipboard(8, 8));
  CtrlKey('V');
  ASSERT_TRUE(WritePicture(L"refused.png", 8, 8, PatternColour, L"image/png"));
  PostMessageW(mainWindow, WM_DROPFILES, (WPARAM)MakeDrop({FullPath(L"refused.png")}), 0);
  ASSERT_TRUE(GuiHandled());
  EXPECT_EQ(0, inputPending);
  Command(CommandStop);
  ASSERT_TRUE(WaitFor([] { return appRunning == 0; }));
  EXPECT_EQ(0, Sentinel());  // nothing was opened meanwhile, nor after
  EXPECT_EQ(0, ImagesInUse());
  DeleteFileW(L"refused.png");
}
