// The window-information report on real windows: the printed lines through the window's log,
// their colours in the text bitmap, and the listing on the clipboard.
#include <memory>
#include <string>

#include "boxes/boxes.h"
#include "image/image.h"
#include "support/saved_text.h"
#include "text/text_fixture.h"

namespace {

void PutTextOnClipboard(const char* text) {
  ASSERT_TRUE(OpenClipboard(NULL));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
  strcpy((char*)GlobalLock(block), text);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

class WindowInfo : public TextWindows {
 protected:
  void SetUp() override {
    TextWindows::SetUp();
    DeleteFileA("KORVEL00.LOG");
    PutTextOnClipboard("before");
  }
  void TearDown() override {
    for (int id = 0; id < SlotCount; id++) KRV_DestroyImage(id);
    KRV_CloseInputBox();
    KRV_CloseButtonBox();
    TextWindows::TearDown();
    DeleteFileA("KORVEL00.LOG");
  }
  // The report as text window 0's menu runs it, with the window's log recording it.
  std::string RunReport() {
    KRV_StartLog(0);
    SendMessageW(textWindows[0].window, WM_COMMAND, CommandWindowInfo, 0);
    KRV_CloseTextWindow(0);
    return FileText("KORVEL00.LOG");
  }
  // Colours (0x00RRGGBB) of the ink and background found in a cell of text window 0.
  bool CellHolds(int column, int row, int rgb) {
    TextWindowSlot& slot = Slot(0);
    COLORREF wanted = ToColorref(rgb);
    for (int y = row * slot.lineHeight; y < (row + 1) * slot.lineHeight; y++)
      for (int x = column * slot.charWidth; x < (column + 1) * slot.charWidth; x++)
        if (GetPixel(slot.memoryDC, x, y) == wanted) return true;
    return false;
  }
};

const char Done[] = "クリップボードにレイアウト作成ソースリストを保存しました．\r\n";

}  // namespace

TEST_F(WindowInfo, ExampleLayoutPrintsAndCopiesExactly) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 10, 20, 400, 300));
  ASSERT_EQ(0, KRV_CreateImage(0, "000", 0, 0, 640, 480, 100));
  EXPECT_EQ(std::string("******* Window information *******\r\n"
                        "[Image Window]\r\n"
                        " 0 32 1  '000' X:0 Y:0 W:640 H:480 ZM:100%\r\n"
                        "[Text Window]\r\n"
                        " 0 X:10 Y:20 W:400 H:300\r\n"
                        "**********************************\r\n") +
                Done,
            RunReport());
  EXPECT_EQ(
      "\t// KORVEL --- Automatic Source Generator\n"
      "\t// [Image Window]\n"
      "\tKRV_CreateImage(0,\"000\",0,0,640,480,100);\n"
      "\t// [Text Window]\n"
      "\tKRV_OpenTextWindow(0,10,20,400,300);\n"
      "\tKRV_SetForeground(KRVMAINWINDOW);\n",
      ClipboardText());
}

TEST_F(WindowInfo, EachPartHasItsColourAndTheWindowsColoursComeBack) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 10, 20, 400, 300));
  KRV_PushTextColor(0x123456, 0x000000);
  ASSERT_EQ(0, KRV_CreateImage(0, "000", 0, 0, 64, 48, 100));
  SendMessageW(Slot(0).window, WM_COMMAND, CommandWindowInfo, 0);
  EXPECT_TRUE(CellHolds(0, 0, 0xFFFF00));   // the star line
  EXPECT_TRUE(CellHolds(1, 1, 0x00FF00));   // [Image Window]
  EXPECT_TRUE(CellHolds(1, 2, 0xFFFFFF));   // the id
  EXPECT_TRUE(CellHolds(3, 2, 0x0080FF));   // the depth
  EXPECT_FALSE(CellHolds(3, 2, 0xFFFFFF));
  EXPECT_TRUE(CellHolds(6, 2, 0xFF00FF));   // the fit flag
  EXPECT_TRUE(CellHolds(1, 3, 0x00FF00));   // [Text Window]
  EXPECT_TRUE(CellHolds(0, 5, 0xFFFF00));   // the closing star line
  EXPECT_TRUE(CellHolds(0, 6, 0x000080));   // the confirmation's background
  EXPECT_EQ(0x123456, Slot(0).textColor);
  EXPECT_EQ(0x000000, Slot(0).backColor);
}

TEST_F(WindowInfo, NoImageSectionWithoutImagesAndBoxesAreListed) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 10, 20, 400, 300));
  ASSERT_EQ(0, KRV_OpenInputBox(30, 40, 2));
  KRV_SetInputBoxTitle(0, "Radius \"r\"");
  ASSERT_EQ(0, KRV_OpenButtonBox(300, 50, 2, 1));
  KRV_SetButtonBoxTitle(1, "Two\nlines");
  RECT client;
  GetClientRect(buttonBox.window, &client);
  std::string report = RunReport();
  EXPECT_EQ(std::string::npos, report.find("[Image Window]"));
  char line[128];
  snprintf(line, sizeof line, "[Input Box]\r\n X:30 Y:40 ITEM:2 ISIZE:%d ESIZE:%d\r\n",
           inputBox.isize, inputBox.esize);
  EXPECT_NE(std::string::npos, report.find(line)) << report;
  snprintf(line, sizeof line, "[Button Box]\r\n X:300 Y:50 NX:2 NY:1 SIZE:%ldx%ld\r\n",
           client.right, client.bottom);
  EXPECT_NE(std::string::npos, report.find(line)) << report;
  std::string listing = ClipboardText();
  EXPECT_NE(std::string::npos, listing.find("\tKRV_OpenInputBox(30,40,2);\n"
                                            "\tKRV_ResizeInputBox(80,70);\n"
                                            "\tKRV_SetInputBoxTitle(0,\"Radius \\\"r\\\"\");\n"
                                            "\tKRV_SetInputBoxTitle(1,\"Item 1\");\n"))
      << listing;
  snprintf(line, sizeof line,
           "\tKRV_OpenButtonBox(300,50,2,1);\n\tKRV_ResizeButtonBox(%ld,%ld);\n", client.right,
           client.bottom);
  EXPECT_NE(std::string::npos, listing.find(line)) << listing;
  EXPECT_NE(std::string::npos, listing.find("\tKRV_SetButtonBoxTitle(0,\"0\");\n"
                                            "\tKRV_SetButtonBoxTitle(1,\"Two\\nlines\");\n"));
}

// The report goes to the window whose menu ran it, which becomes the current one.
TEST_F(WindowInfo, ReportGoesToTheWindowItWasAskedIn) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 10, 20, 400, 300));
  ASSERT_EQ(0, KRV_OpenTextWindow(3, 500, 20, 200, 100));
  KRV_SelectTextWindow(3);
  std::string report = RunReport();
  EXPECT_EQ(0u, report.find("******* Window information *******\r\n"));
  EXPECT_NE(std::string::npos, report.find(" 3 X:500 Y:20 W:200 H:100\r\n"));
}

TEST_F(WindowInfo, AListingThatHadToBeShortenedSaysSo) {
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 10, 20, 400, 300));
  std::string title(600, 'L');
  ASSERT_EQ(0, KRV_CreateImage(0, title.c_str(), 0, 0, 64, 48, 100));
  std::string report = RunReport();
  EXPECT_NE(std::string::npos,
            report.find(std::string("**********************************\r\n"
                                    "ソースリストは長すぎるため一部を省きました．\r\n") +
                        Done))
      << report;
  std::string listing = ClipboardText();
  size_t start = listing.find("\tKRV_CreateImage(0,\"");
  ASSERT_NE(std::string::npos, start);
  EXPECT_EQ((size_t)ListingLineSize - 1, listing.find('\n', start) + 1 - start);
}
