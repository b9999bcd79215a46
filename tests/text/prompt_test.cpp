// The "Cmd>" prompt, its output read back from the window's log.
#include "text/text_fixture.h"

namespace {

std::string LogText() {
  FILE* file = fopen("KORVEL00.LOG", "rb");
  if (!file) return "<missing>";
  std::string text;
  int c;
  while ((c = fgetc(file)) != EOF) text += (char)c;
  fclose(file);
  return text;
}

class Prompt : public TextWindows {
 protected:
  void SetUp() override {
    TextWindows::SetUp();
    KRV_OpenTextWindow(0, 0, 0, 300, 200);
    DeleteFileA("KORVEL00.LOG");
    KRV_StartLog(0);
  }
  void TearDown() override {
    TextWindows::TearDown();
    DeleteFileA("KORVEL00.LOG");
  }
  // Runs the prompt while the line is typed; the log holds what it printed.
  int Run(const std::wstring& line) {
    HWND window = Slot(0).window;
    std::thread typist([&] {
      // Keys typed before the prompt waits for its line are dropped, as in the program.
      WaitFor([] { return inputPending != 0; });
      for (wchar_t c : line + L"\r") {
        Sleep(10);
        PostMessageW(window, WM_CHAR, c, 1);
      }
    });
    int result = RunCommandPrompt();
    typist.join();
    EXPECT_TRUE(PumpUntilHandled());  // the keys the prompt passed to the main window
    CloseAllLogs();
    return result;
  }
};

}  // namespace

TEST_F(Prompt, HelpListsTheCommands) {
  EXPECT_EQ(0, Run(L"help"));
  EXPECT_EQ("Cmd>help\r\nCommand list:exit help start ver color\r\n", LogText());
}

TEST_F(Prompt, CommandsAreCaseSensitiveAndUntrimmed) {
  EXPECT_EQ(1, Run(L"Help"));
  EXPECT_EQ("Cmd>Help\r\nInvalid command\r\n", LogText());
  KRV_StartLog(0);
  EXPECT_EQ(1, Run(L" help"));
  EXPECT_EQ("Cmd> help\r\nInvalid command\r\n", LogText());
  KRV_StartLog(0);
  EXPECT_EQ(1, Run(L""));
  EXPECT_EQ("Cmd>\r\nInvalid command\r\n", LogText());
}

TEST_F(Prompt, ColorPrintsTheDrawingAndTextColours) {
  int savedColor = krv_color, savedTc = krv_tc, savedTttc = krv_tttc;
  krv_color = 0xFFFFFF;
  krv_tc = 0x00A0B;
  krv_tttc = 0xFFFFFF;
  EXPECT_EQ(0, Run(L"color"));
  EXPECT_EQ("Cmd>color\r\nRed  :255\r\nGreen:255\r\nBlue :255\r\nkrv_tttc=ffffff\r\n"
            "krv_tc=000a0b\r\n",
            LogText());
  krv_color = savedColor;
  krv_tc = savedTc;
  krv_tttc = savedTttc;
}

TEST_F(Prompt, VerPrintsTheBannerAfterThePromptLine) {
  EXPECT_EQ(0, Run(L"ver"));
  std::string log = LogText();
  EXPECT_EQ(0u, log.find("Cmd>ver\r\nKORVEL version 1.0 (built ")) << log;
  EXPECT_EQ(log.size() - 3, log.find(")\r\n"));
}

TEST_F(Prompt, ExitAndStartGoToTheMainWindow) {
  EXPECT_EQ(0, Run(L"start"));
  EXPECT_EQ(std::wstring(1, L'S'), keysToMain);
  KRV_StartLog(0);
  EXPECT_EQ(0, Run(L"exit"));
  EXPECT_EQ(std::wstring(L"S") + (wchar_t)VK_ESCAPE, keysToMain);
}

TEST_F(Prompt, SpaceInAnotherWindowMakesItCurrentAndPromptsThere) {
  KRV_OpenTextWindow(1, 0, 0, 300, 200);
  KRV_SelectTextWindow(0);
  HWND other = Slot(1).window;
  std::thread typist([&] {
    WaitFor([] { return inputPending != 0; });
    for (wchar_t c : std::wstring(L"help\r")) PostMessageW(other, WM_CHAR, c, 1);
  });
  SendMessageW(other, WM_KEYDOWN, VK_SPACE, 1);
  typist.join();
  EXPECT_EQ(1, currentTextWindow);
  EXPECT_TRUE(CellHasInk(1, 0, 0));   // "Cmd>help" on its first line
  EXPECT_TRUE(CellHasInk(1, 0, 1));   // the list on the second
  CloseAllLogs();
  EXPECT_EQ("", LogText());  // window 0 saw none of it
}
