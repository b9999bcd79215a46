// The processing menu's drawing commands, placed with picks driven by a second thread, the
// colour dialog driven through its own window, and the interactive paste.
#include "draw/pick_fixture.h"

namespace {

// Pixels of image 3 equal to colour.
int CountOf(int colour) {
  int count = 0;
  for (int y = 0; y < 48; y++)
    for (int x = 0; x < 64; x++) count += PixelOf(3, x, y) == colour;
  return count;
}

bool Inside(int x, int y, int x1, int y1, int x2, int y2) {
  return x >= x1 && x <= x2 && y >= y1 && y <= y2;
}

// The colour dialog of the test thread, once it shows; NULL after 5 s.
HWND FindColourDialog(DWORD thread) {
  HWND found = NULL;
  WaitFor([&] {
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM out) -> BOOL {
          wchar_t name[16] = L"";
          GetClassNameW(window, name, 16);
          if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
          *(HWND*)out = window;
          return FALSE;
        },
        (LPARAM)&found);
    return found != NULL;
  });
  return found;
}

// The user of the colour dialog: reads what it shows, may type red, green and blue, and ends it.
struct ColourDialogUser {
  DWORD thread;
  const wchar_t* rgb[3];  // NULL: type nothing
  int button;
  std::wstring shownRed;
  HANDLE handle;
  static DWORD WINAPI Run(LPVOID self) {
    ColourDialogUser* user = (ColourDialogUser*)self;
    HWND dialog = FindColourDialog(user->thread);
    if (!dialog) return 1;
    wchar_t text[16] = L"";
    WaitFor([&] { return GetDlgItemTextW(dialog, 706, text, 16) > 0; });  // the red field
    user->shownRed = text;
    // Each text is sent, so the dialog has taken it before the button is posted.
    for (int i = 0; i < 3; i++)
      if (user->rgb[i]) SetDlgItemTextW(dialog, 706 + i, user->rgb[i]);
    PostMessageW(dialog, WM_COMMAND, user->button, 0);
    return 0;
  }
  ColourDialogUser(const wchar_t* r, const wchar_t* g, const wchar_t* b, int button)
      : thread(GetCurrentThreadId()), rgb{r, g, b}, button(button) {
    handle = CreateThread(NULL, 0, Run, this, 0, NULL);
  }
  ~ColourDialogUser() {
    WaitForSingleObject(handle, 10000);
    CloseHandle(handle);
  }
};

}  // namespace

class DrawCommands : public PickTest {
 protected:
  void SetUp() override {
    PickTest::SetUp();
    krv_color = 0xABCDEF;
  }
};

TEST_F(DrawCommands, CancelledOrStoppedFillLeavesTheImageUnchanged) {
  {
    MouseDriver user([] { return WindowOf(3); }, {RightClick(10, 10)});
    FillBoxCommand(3);
  }
  EXPECT_EQ(0, ChangedPixels(3, before));
  {
    MouseDriver user([] { return WindowOf(3); },
                     {Click(10, 10), Move(30, 30), RightClick(30, 30), MiddleClick(3, 3)});
    FillBoxCommand(3);
  }
  EXPECT_EQ(0, ChangedPixels(3, before));
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(10, 10), Move(30, 30), PressStop()});
    FillBoxCommand(3);
  }
  EXPECT_EQ(0, ChangedPixels(3, before));
}

TEST_F(DrawCommands, BoxesAreDrawnWhereTheUserPicked) {
  KRV_SelectImage(0);
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(20, 16), Move(4, 6), Click(2, 2)});
    FillBoxCommand(3);
  }
  EXPECT_EQ(3, krv_current);
  for (int y = 0; y < 48; y++)
    for (int x = 0; x < 64; x++)
      ASSERT_EQ(Inside(x, y, 1, 1, 10, 8) ? 0xABCDEF : 0x102030, PixelOf(3, x, y)) << x << "," << y;

  FillWith(3, 0x102030);
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(2, 2), Click(20, 16)});
    DrawBoxCommand(3);
  }
  EXPECT_EQ(2 * 10 + 2 * 6, CountOf(0xABCDEF));
  EXPECT_EQ(0xABCDEF, PixelOf(3, 10, 8));
  EXPECT_EQ(0x102030, PixelOf(3, 5, 5));

  FillWith(3, 0x102030);
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(2, 2), Click(20, 16)});
    XorFillBoxCommand(3);
  }
  EXPECT_EQ(80, CountOf(0x102030 ^ 0xFFFFFF));
}

TEST_F(DrawCommands, LinesFollowTheirPicks) {
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(0, 0), Click(18, 18)});
    DrawLineCommand(3);
  }
  EXPECT_EQ(10, CountOf(0xABCDEF));
  EXPECT_EQ(0xABCDEF, PixelOf(3, 9, 9));

  FillWith(3, 0x102030);
  {
    MouseDriver user([] { return WindowOf(3); }, {Move(10, 40), Click(30, 40)});
    DrawRowCommand(3);
  }
  EXPECT_EQ(64, CountOf(0xABCDEF));
  EXPECT_EQ(0xABCDEF, PixelOf(3, 63, 20));

  FillWith(3, 0x102030);
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(30, 40)});
    DrawColumnCommand(3);
  }
  EXPECT_EQ(48, CountOf(0xABCDEF));
  EXPECT_EQ(0xABCDEF, PixelOf(3, 15, 47));
}

TEST_F(DrawCommands, CirclesAndPaint) {
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(40, 40), Click(46, 48)});
    FillCircleCommand(3);
  }
  EXPECT_EQ(0xABCDEF, PixelOf(3, 20, 20));
  EXPECT_EQ(0xABCDEF, PixelOf(3, 25, 20));
  EXPECT_EQ(0x102030, PixelOf(3, 26, 20));

  FillWith(3, 0x102030);
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(40, 40), Click(46, 48)});
    DrawCircleCommand(3);
  }
  EXPECT_EQ(0xABCDEF, PixelOf(3, 25, 20));
  EXPECT_EQ(0xABCDEF, PixelOf(3, 20, 15));
  EXPECT_EQ(0x102030, PixelOf(3, 20, 20));

  FillWith(3, 0x102030);
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(40, 40), Click(46, 48)});
    XorFillCircleCommand(3);
  }
  EXPECT_EQ(0x102030 ^ 0xFFFFFF, PixelOf(3, 20, 20));
  EXPECT_EQ(0x102030, PixelOf(3, 26, 20));

  FillWith(3, 0x102030);
  for (int x = 0; x < 64; x++) ((int*)krv_pixels[3])[10 * 64 + x] = 0;  // a wall at row 10
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(4, 4)});
    PaintCommand(3);
  }
  EXPECT_EQ(640, CountOf(0xABCDEF));
  EXPECT_EQ(0x102030, PixelOf(3, 0, 11));
}

TEST_F(DrawCommands, PickedColourBecomesTheDrawingColour) {
  ((int*)krv_pixels[3])[3 * 64 + 3] = 0x445566;
  krv_tc = 0x010101;
  {
    MouseDriver user([] { return WindowOf(3); }, {Click(6, 6)});
    PickColourCommand(3);
  }
  EXPECT_EQ(0x445566, krv_color);
  EXPECT_EQ(0x445566, krv_tttc);
  EXPECT_EQ(0x010101, krv_tc);

  ASSERT_EQ(0, KRV_CreateImage8(4, "eight", -1, -1, 64, 48, 200));
  RGBQUAD entry = {0x33, 0x22, 0x11, 0};  // blue, green, red
  RGBQUAD table[8] = {};
  table[7] = entry;
  KRV_SetPalette(table, 8);
  ((unsigned char*)krv_pixels[4])[2 * 64 + 5] = 7;
  {
    MouseDriver user([] { return WindowOf(4); }, {Click(10, 4)});
    PickColourCommand(4);
  }
  EXPECT_EQ(7, krv_color);
  EXPECT_EQ(0x112233, krv_tttc);
  EXPECT_EQ(0x010101, krv_tc);

  krv_color = 0xABCDEF;
  {
    MouseDriver user([] { return WindowOf(4); }, {RightClick(10, 4)});
    PickColourCommand(4);
  }
  EXPECT_EQ(0xABCDEF, krv_color);
}

TEST_F(DrawCommands, ColourDialogStoresItsColourEvenWhenCancelled) {
  krv_color = 0x112233;
  krv_tc = 0;
  krv_tttc = 5;
  customColours[2] = RGB(1, 2, 3);
  std::wstring shownRed;
  {
    ColourDialogUser user(NULL, NULL, NULL, IDCANCEL);
    ChangeColourCommand(3);
    WaitForSingleObject(user.handle, 10000);
    shownRed = user.shownRed;
  }
  EXPECT_EQ(L"17", shownRed);  // the dialog starts at krv_color
  EXPECT_EQ(0x112233, krv_color);
  EXPECT_EQ(0x112233, krv_tc);
  EXPECT_EQ(0x112233, krv_tttc);

  {
    ColourDialogUser user(L"200", L"100", L"50", IDOK);
    ChangeColourCommand(3);
  }
  EXPECT_EQ(0xC86432, krv_color);
  EXPECT_EQ(0xC86432, krv_tc);
  EXPECT_EQ(0xC86432, krv_tttc);
  EXPECT_EQ(RGB(1, 2, 3), customColours[2]);  // kept for the next time
  customColours[2] = 0;
}

TEST_F(DrawCommands, InteractivePasteIsCentredOnTheClick) {
  KRV_CopyImage(3);  // a 64 x 48 picture of 0x102030 on the clipboard
  ASSERT_EQ(0, KRV_CreateImage(5, "target", -1, -1, 200, 160, 100));
  ASSERT_EQ(100, krv_images[5].zoom);
  int frameCorner = 0, frameDiagonal = 0;
  {
    MouseDriver user([] { return WindowOf(5); },
                     {Move(100, 80), Then([&] {
                        frameCorner = ((int*)krv_pixels[5])[56 * 200 + 68];
                        frameDiagonal = ((int*)krv_pixels[5])[57 * 200 + 69];
                      }),
                      Click(101, 81)});
    KRV_PasteImage(5, -1, -1);
  }
  EXPECT_EQ(0xFFFFFF, frameCorner);  // the 64 x 48 frame around (100, 80), with diagonals
  EXPECT_EQ(0xFFFFFF, frameDiagonal);
  KRV_SelectImage(5);
  for (int y = 0; y < 160; y++)
    for (int x = 0; x < 200; x++)
      ASSERT_EQ(Inside(x, y, 69, 57, 132, 104) ? 0x102030 : 0, KRV_GetPixel(x, y)) << x << "," << y;

  KRV_ClearImage(5);
  {
    MouseDriver user([] { return WindowOf(5); }, {Move(100, 80), RightClick(100, 80)});
    KRV_PasteImage(5, -1, -1);
  }
  for (int i = 0; i < 200 * 160; i++) ASSERT_EQ(0, ((int*)krv_pixels[5])[i]) << i;
}

// The image window's menu commands reach the clipboard and the drawing commands.
TEST_F(DrawCommands, ImageWindowCommandsCopyCutPasteAndDraw) {
  HWND window = WindowOf(3);
  SendMessageW(window, WM_COMMAND, CommandCopy, 0);
  int count = -1;
  HBITMAP copied = KRV_GetClipboardBitmap(NULL, &count);
  ASSERT_TRUE(copied != NULL);
  BITMAP info = {};
  GetObjectW(copied, sizeof info, &info);
  DeleteObject(copied);
  EXPECT_EQ(64, info.bmWidth);
  EXPECT_EQ(48, info.bmHeight);

  SendMessageW(window, WM_COMMAND, CommandCut, 0);
  EXPECT_EQ(64 * 48, CountOf(0));
  SendMessageW(window, WM_COMMAND, CommandPasteTopLeft, 0);
  EXPECT_EQ(0, ChangedPixels(3, before));

  {
    MouseDriver user([] { return WindowOf(3); }, {Click(2, 2), Click(20, 16)});
    SendMessageW(window, WM_COMMAND, CommandBoxFill, 0);
  }
  EXPECT_EQ(80, CountOf(0xABCDEF));

  SendMessageW(window, WM_COMMAND, CommandCut, 0);  // a picture of the filled box
  {
    MouseDriver user([] { return WindowOf(3); }, {Move(64, 48), Click(64, 48)});
    SendMessageW(window, WM_COMMAND, CommandPaste, 0);
  }
  EXPECT_EQ(0xABCDEF, PixelOf(3, 1, 1));  // centred on (32, 24): the picture lands at (0, 0)
  EXPECT_EQ(80, CountOf(0xABCDEF));
}
