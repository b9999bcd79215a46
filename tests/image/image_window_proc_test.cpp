// The image window procedure driven with real messages on the test thread, which plays the
// worker thread; its menus built in-process and read back item by item.
#include <stdio.h>

#include <thread>

#include "image/image_fixture.h"
// After windows.h, which it needs.
#include <shlobj.h>
#include "image/picture_files.h"
#include "support/dropped_files.h"
#include "text/text.h"

namespace {

struct Item {
  std::string text;  // narrow; "-" for a separator, "> text" for a submenu
  UINT id;
  bool checked, greyed;
};

std::vector<Item> ItemsOf(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); i++) {
    wchar_t text[256] = L"";
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 256;
    GetMenuItemInfoW(menu, i, TRUE, &info);
    char narrow[256];
    WideToNarrow(text, narrow, 256);
    Item item;
    item.text = (info.fType & MFT_SEPARATOR) ? "-" : info.hSubMenu ? std::string("> ") + narrow
                                                                    : narrow;
    item.id = info.hSubMenu ? 0 : info.wID;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    item.greyed = (info.fState & MFS_GRAYED) != 0;
    items.push_back(item);
  }
  return items;
}

std::string Describe(const std::vector<Item>& items) {
  std::string out;
  for (const Item& item : items) {
    out += item.text;
    if (item.id) out += "=" + std::to_string(item.id);
    if (item.checked) out += " [x]";
    if (item.greyed) out += " (grey)";
    out += "\n";
  }
  return out;
}

std::string DescribeSubmenu(HMENU menu, int position) {
  return Describe(ItemsOf(GetSubMenu(menu, position)));
}

void HoldCtrl(bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

void CtrlKey(HWND window, WPARAM key) {
  HoldCtrl(true);
  SendMessageW(window, WM_KEYDOWN, key, 1);
  HoldCtrl(false);
}

void Wheel(HWND window, int delta, WPARAM keys = MK_CONTROL) {
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(10, 10));
}

// Commands the window posted to itself, taken off its queue.
std::vector<UINT> PostedCommands(HWND window) {
  std::vector<UINT> commands;
  MSG message;
  while (PeekMessageW(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE))
    commands.push_back(LOWORD(message.wParam));
  return commands;
}

std::vector<WPARAM> PostedKeys(HWND window) {
  std::vector<WPARAM> keys;
  MSG message;
  while (PeekMessageW(&message, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
    keys.push_back(message.wParam);
  return keys;
}


// Watches for the popup menu that a click opens on the test thread, notes its first item
// and closes it with Escape; "" when no menu came within the time.
class MenuWatcher {
 public:
  explicit MenuWatcher(HWND owner) : owner(owner) {
    thread = std::thread([this] {
      DWORD start = GetTickCount();
      while (GetTickCount() - start < 1500) {
        HWND popup = FindWindowW(L"#32768", NULL);
        if (popup && IsWindowVisible(popup)) {
          HMENU menu = (HMENU)SendMessageW(popup, MN_GETHMENU, 0, 0);
          wchar_t text[256] = L"";
          GetMenuStringW(menu, 0, text, 256, MF_BYPOSITION);
          firstItem = text;
          PostMessageW(this->owner, WM_KEYDOWN, VK_ESCAPE, 0);
          return;
        }
        Sleep(10);
      }
    });
  }
  std::wstring Result() {
    thread.join();
    return firstItem;
  }

 private:
  HWND owner;
  std::thread thread;
  std::wstring firstItem;
};

}  // namespace

class ImageWindow : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    UseGdiplus();
    mainWindow = StandInMainWindow();
    PostedKeys(mainWindow);
    PickState = {0, -1, 0, 0, 0, 0, 0, 0, 0};
    MouseState = {0, -1, 0, 0, 0, 0, 0, 0};
    inputPending = 0;
  }
  void TearDown() override {
    PickState = {0, -1, 0, 0, 0, 0, 0, 0, 0};
    MouseState = {0, -1, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < SlotCount; i++) KRV_CloseTextWindow(i);
    ImageTest::TearDown();
  }
  HWND Window(int id) { return krv_images[id].window; }
};

TEST_F(ImageWindow, ImageMenuItemsInOrderWithTheZoomChecked) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 320, 240, 200));
  HMENU menu = BuildImageMenu(0);
  EXPECT_EQ(
      "Cut\tCtrl+X=1011\nCopy\tCtrl+C=1012\nPaste\tCtrl+V=1013\n-\n&Load image file=1004\n"
      "&Save as=1010\n-\nZoom: 50%=1007\nZoom:100%\tCtrl+0=1008\nZoom:200%=1009 [x]\n"
      "&Zoom...=1046\n-\n&Resize...=1047\n&Destroy\tCtrl+Q=1005\n",
      Describe(ItemsOf(menu)));
  DestroyMenu(menu);
  KRV_ZoomImage(100, 0);
  menu = BuildImageMenu(0);
  std::vector<Item> items = ItemsOf(menu);
  EXPECT_FALSE(items[7].checked);
  EXPECT_TRUE(items[8].checked);
  EXPECT_FALSE(items[9].checked);
  DestroyMenu(menu);
  KRV_ZoomImage(50, 0);
  menu = BuildImageMenu(0);
  items = ItemsOf(menu);
  EXPECT_TRUE(items[7].checked);
  EXPECT_FALSE(items[8].checked);
  DestroyMenu(menu);
  KRV_ZoomImage(73, 0);
  menu = BuildImageMenu(0);
  for (const Item& item : ItemsOf(menu)) EXPECT_FALSE(item.checked) << item.text;
  DestroyMenu(menu);
}

TEST_F(ImageWindow, ProcessingMenuAndItsSubmenus) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 64, 64, 100));
  HMENU menu = BuildProcessMenu(0);
  EXPECT_EQ(
      "> Process...\n-\n> Information...\n-\n> Test Pattern...\n-\nClipping\tCtrl+R=1019\n-\n"
      "> Color...\n> Draw Line...\n> Draw Box...\n> Draw Circle...\n> TrueType...\n"
      "Draw Text=1042\nPaint=1043\n",
      Describe(ItemsOf(menu)));
  EXPECT_EQ(
      "Invert=1058\n-\nR. Rotate=1061\nL. Rotate=1062\n-\nHorz. Flip=1059\nVert. Flip=1060\n-\n"
      "Size 50.0%=1063\nSize 70.7%=1064\nSize 141.4%=1065\nSize 200.0%=1066\n",
      DescribeSubmenu(menu, 0));
  EXPECT_EQ(
      "Pixel=1015\nLine(RGB)=1016\nLine(HSV)=1017\nLine(YCrCb)=1018\nLine(CrCb)=1021\n-\n"
      "Area(CrCb)=1022\n",
      DescribeSubmenu(menu, 2));
  EXPECT_EQ("RGB=1053\nHSV=1054\nYCrCb=1055\nYuv=1067\nYIQ=1068\nGrey=1071\n",
            DescribeSubmenu(menu, 4));
  EXPECT_EQ("Change=1031\nPick=1052\n", DescribeSubmenu(menu, 8));
  EXPECT_EQ("Normal=1032\nHorz.=1034\nVert.=1035\n", DescribeSubmenu(menu, 9));
  EXPECT_EQ("Normal=1036\nFill=1037\nFill XOR=1038\n", DescribeSubmenu(menu, 10));
  EXPECT_EQ("Normal=1039\nFill=1040\nFill XOR=1041\n", DescribeSubmenu(menu, 11));
  EXPECT_EQ("Draw=1048\nFont Change=1049\n", DescribeSubmenu(menu, 12));
  DestroyMenu(menu);

  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 64, 64, 100));
  menu = BuildProcessMenu(1);
  EXPECT_EQ(15, GetMenuItemCount(menu));
  EXPECT_EQ("Pixel=1015\nLine(Lumi)=1070\n", DescribeSubmenu(menu, 2));
  DestroyMenu(menu);
}

TEST_F(ImageWindow, CtrlWheelStepsTheZoom) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 640, 480, 100));
  HWND window = Window(0);
  Wheel(window, -WHEEL_DELTA);
  EXPECT_EQ(111, krv_images[0].zoom);
  KRV_ZoomImage(100, 0);
  Wheel(window, WHEEL_DELTA);
  EXPECT_EQ(90, krv_images[0].zoom);
  KRV_ZoomImage(50, 0);
  Wheel(window, -3 * WHEEL_DELTA);  // one step whatever the delta
  EXPECT_EQ(56, krv_images[0].zoom);
  KRV_ZoomImage(50, 0);
  Wheel(window, 1);
  EXPECT_EQ(45, krv_images[0].zoom);
  Wheel(window, 0);
  EXPECT_EQ(45, krv_images[0].zoom);
  Wheel(window, -WHEEL_DELTA, 0);  // without Ctrl
  EXPECT_EQ(45, krv_images[0].zoom);
  EXPECT_EQ(L"000(45%)", CaptionOf(window));
}

TEST_F(ImageWindow, CtrlKeysZoomOrPostTheirCommands) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 640, 480, 50));
  HWND window = Window(0);
  CtrlKey(window, '0');  // the main keyboard's 0
  EXPECT_EQ(50, krv_images[0].zoom);
  CtrlKey(window, VK_NUMPAD0);
  EXPECT_EQ(100, krv_images[0].zoom);
  CtrlKey(window, VK_ADD);
  EXPECT_EQ(111, krv_images[0].zoom);
  KRV_ZoomImage(100, 0);
  CtrlKey(window, VK_SUBTRACT);
  EXPECT_EQ(90, krv_images[0].zoom);
  SendMessageW(window, WM_KEYDOWN, VK_NUMPAD0, 1);  // without Ctrl
  EXPECT_EQ(90, krv_images[0].zoom);

  PostedCommands(window);
  for (WPARAM key : {'X', 'C', 'V', 'R', 'Q'}) CtrlKey(window, key);
  EXPECT_EQ(std::vector<UINT>({1011, 1012, 1014, 1019, 1005}), PostedCommands(window));
  EXPECT_TRUE(PostedKeys(mainWindow).empty());
  PostMessageW(window, WM_COMMAND, CommandDestroyImage, 0);
  EXPECT_TRUE(PumpUntilHandled());
  EXPECT_FALSE(krv_images[0].inUse);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(ImageWindow, PlainKeysGoToTheMainWindowAndTabTogglesHalftone) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 200, 100, 100));
  HWND window = Window(0);
  for (WPARAM key : {WPARAM('X'), WPARAM('C'), WPARAM('S'), WPARAM(VK_ESCAPE), WPARAM('A'), WPARAM(VK_NUMPAD0)})
    SendMessageW(window, WM_KEYDOWN, key, 1);
  CtrlKey(window, 'S');  // not a Ctrl key of the image window
  EXPECT_EQ(std::vector<WPARAM>({'X', 'C', 'S', VK_ESCAPE, 'S'}), PostedKeys(mainWindow));
  EXPECT_TRUE(PostedCommands(window).empty());

  SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(HALFTONE, KRV_GetStretchMode(0));
  EXPECT_EQ(L"000(100%)*", CaptionOf(window));
  SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(COLORONCOLOR, KRV_GetStretchMode(0));
  EXPECT_EQ(L"000(100%)", CaptionOf(window));
}

TEST_F(ImageWindow, KeysAreIgnoredDuringAPick) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 640, 480, 100));
  HWND window = Window(0);
  PickState.active = 1;
  PickState.image = 0;
  CtrlKey(window, VK_NUMPAD0 + 0);
  CtrlKey(window, VK_ADD);
  CtrlKey(window, 'Q');
  SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  SendMessageW(window, WM_KEYDOWN, 'S', 1);
  EXPECT_EQ(100, krv_images[0].zoom);
  EXPECT_EQ(COLORONCOLOR, KRV_GetStretchMode(0));
  EXPECT_TRUE(PostedCommands(window).empty());
  EXPECT_TRUE(PostedKeys(mainWindow).empty());
}

TEST_F(ImageWindow, DraggingTheFrameKeepsTheSize) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", 30, 40, 200, 100, 100));
  HWND window = Window(0);
  const RECT before = WindowRectOf(window);
  RECT proposed = {before.left - 20, before.top, before.right + 55, before.bottom + 30};
  SendMessageW(window, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&proposed);
  EXPECT_TRUE(EqualRect(&before, &proposed));

  // And for real: the mouse drags the bottom-right corner of the frame 60 pixels outwards.
  SetForegroundWindow(window);
  EXPECT_TRUE(PumpUntilHandled());
  const DWORD thread = GetCurrentThreadId();
  volatile bool released = false;
  std::thread hand([before, thread, &released] {
    // The frame's sizing loop runs on the test thread while the button is down.
    auto sizing = [thread] {
      GUITHREADINFO info = {};
      info.cbSize = sizeof info;
      return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) != 0;
    };
    SetCursorPos(before.right - 2, before.bottom - 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    WaitFor(sizing);
    for (int step = 1; step <= 6; step++) {
      SetCursorPos(before.right - 2 + 10 * step, before.bottom - 2 + 10 * step);
      mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    WaitFor([&] { return !sizing(); });
    released = true;
  });
  EXPECT_TRUE(WaitFor([&] {
    PumpWorkerMessages();
    return released;
  }, 10000));
  hand.join();
  EXPECT_TRUE(PumpUntilHandled());
  const RECT after = WindowRectOf(window);
  EXPECT_TRUE(EqualRect(&before, &after))
      << after.left << "," << after.top << "," << after.right << "," << after.bottom;
  SIZE client = ClientSizeOf(window);
  EXPECT_EQ(200, client.cx);
  EXPECT_EQ(100, client.cy);
}

TEST_F(ImageWindow, MouseReportAndPickFields) {
  ASSERT_EQ(0, KRV_CreateImage(2, "002", -1, -1, 200, 100, 200));
  ASSERT_EQ(0, KRV_CreateImage(3, "003", -1, -1, 200, 100, 100));
  HWND two = Window(2), three = Window(3);
  SendMessageW(two, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(31, 41));
  EXPECT_EQ(-1, MouseState.image);  // not enabled

  MouseState.enabled = 1;
  SendMessageW(two, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(31, 41));
  EXPECT_EQ(2, MouseState.image);
  EXPECT_EQ(15, MouseState.x);
  EXPECT_EQ(20, MouseState.y);
  EXPECT_NE(0, MouseState.left);
  EXPECT_EQ(0, MouseState.middle);
  EXPECT_NE(0, MouseState.shift);
  EXPECT_NE(0, MouseState.ctrl);
  EXPECT_EQ(0, PickState.moved);  // no pick runs

  PickState.active = 1;
  PickState.image = 2;
  SendMessageW(three, WM_MOUSEMOVE, 0, MAKELPARAM(7, 8));
  EXPECT_EQ(3, MouseState.image);
  EXPECT_EQ(0, PickState.moved);
  SendMessageW(two, WM_MOUSEMOVE, 0, MAKELPARAM(100, 60));
  EXPECT_EQ(1, PickState.moved);
  EXPECT_EQ(50, PickState.moveX);
  EXPECT_EQ(30, PickState.moveY);
  SendMessageW(three, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 8));
  EXPECT_EQ(0, PickState.clicked);
  MouseState.enabled = 0;
  SendMessageW(two, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(11, 13));
  EXPECT_EQ(1, PickState.clicked);
  EXPECT_EQ(5, PickState.clickX);
  EXPECT_EQ(6, PickState.clickY);
  EXPECT_EQ(1, MouseState.shift);
  SendMessageW(two, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 13));
  EXPECT_EQ(0, MouseState.shift);

  // Right clicks during the pick: only the pick's own window counts, and no menu opens.
  MenuWatcher otherWindow(three);
  SendMessageW(three, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(L"", otherWindow.Result());
  EXPECT_EQ(0, PickState.rightClicked);
  EXPECT_EQ(1, PickState.active);
  MenuWatcher ownWindow(two);
  SendMessageW(two, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(L"", ownWindow.Result());
  EXPECT_EQ(1, PickState.rightClicked);
  PickState.rightClicked = 0;
  SendMessageW(two, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(1, PickState.rightClicked);
}

TEST_F(ImageWindow, ClicksOpenTheRightMenu) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", 10, 10, 200, 100, 100));
  HWND window = Window(0);
  SetForegroundWindow(window);
  struct {
    UINT message;
    WPARAM keys;
    const wchar_t* firstItem;
  } cases[] = {
      {WM_RBUTTONDOWN, MK_RBUTTON, L"Cut\tCtrl+X"},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, L"Process..."},
      {WM_MBUTTONDOWN, MK_MBUTTON, L"Process..."},
  };
  for (auto& c : cases) {
    MenuWatcher watcher(window);
    SendMessageW(window, c.message, c.keys, MAKELPARAM(20, 20));
    EXPECT_EQ(c.firstItem, watcher.Result());
  }
  inputPending = 1;  // a line input waits: no menu
  MenuWatcher watcher(window);
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(L"", watcher.Result());
  inputPending = 0;
}

TEST_F(ImageWindow, MenuCommandsZoomAndDestroyWhileOthersDoNothingYet) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 320, 240, 100));
  HWND window = Window(0);
  SendMessageW(window, WM_COMMAND, CommandZoom200, 0);
  EXPECT_EQ(200, krv_images[0].zoom);
  SendMessageW(window, WM_COMMAND, CommandZoom50, 0);
  EXPECT_EQ(50, krv_images[0].zoom);
  SendMessageW(window, WM_COMMAND, CommandZoom100, 0);
  EXPECT_EQ(100, krv_images[0].zoom);
  ((int*)krv_pixels[0])[0] = 0x123456;
  for (int id : {9999})
    SendMessageW(window, WM_COMMAND, id, 0);
  EXPECT_EQ(0x123456, ((int*)krv_pixels[0])[0]);
  EXPECT_EQ(320, krv_images[0].width);
  EXPECT_EQ(100, krv_images[0].zoom);
  SendMessageW(window, WM_COMMAND, CommandDestroyImage, 0);
  EXPECT_FALSE(krv_images[0].inUse);
}

namespace {

int Red(int, int) { return 0xFF0000; }
int Green(int, int) { return 0x00FF00; }
int Blue(int, int) { return 0x0000FF; }

}  // namespace

TEST_F(ImageWindow, OnlyTheFirstOfThreeDroppedFilesLoadsAtTheCorner) {
  WriteBytes("drop_a.bmp", MakeBmp24(10, 6, Red));
  WriteBytes("drop_b.bmp", MakeBmp24(30, 30, Green));
  WriteBytes("drop_c.bmp", MakeBmp24(30, 30, Blue));
  ASSERT_EQ(0, KRV_CreateImage(4, "004", -1, -1, 20, 20, 100));
  ASSERT_EQ(0, KRV_CreateImage(6, "006", -1, -1, 20, 20, 100));
  ASSERT_EQ(6, krv_current);
  wchar_t folder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::wstring base = std::wstring(folder) + L"\\";
  SendMessageW(Window(4), WM_DROPFILES,
               (WPARAM)MakeDrop({base + L"drop_a.bmp", base + L"drop_b.bmp", base + L"drop_c.bmp"}),
               0);
  const int* pixels = (const int*)krv_pixels[4];
  for (int y = 0; y < 20; y++)
    for (int x = 0; x < 20; x++)
      ASSERT_EQ(x < 10 && y < 6 ? 0xFF0000 : 0, pixels[y * 20 + x]) << x << "," << y;
  EXPECT_EQ(6, krv_current);
  for (int i = 0; i < 400; i++) ASSERT_EQ(0, ((const int*)krv_pixels[6])[i]);
  // A name longer than the window takes is not cut short into another file's name.
  SendMessageW(Window(6), WM_DROPFILES, (WPARAM)MakeDrop({base + std::wstring(300, L'd')}), 0);
  EXPECT_EQ(6, krv_current);
  for (const char* name : {"drop_a.bmp", "drop_b.bmp", "drop_c.bmp"}) DeleteFileA(name);
}

namespace {

// Types the lines into text window 0, each once a prompt waits for it. The input copies a
// finished line into lastLine after it has cleared inputPending, so a set inputPending seen
// after that belongs to the next prompt.
std::thread Typist(const std::vector<std::wstring>& lines) {
  return std::thread([lines] {
    for (const std::wstring& line : lines) {
      if (!WaitFor([] { return textWindows[0].inUse && inputPending != 0; })) return;
      lastLine[0] = 1;
      lastLine[1] = 0;
      for (wchar_t c : line + L"\r") PostMessageW(textWindows[0].window, WM_CHAR, c, 1);
      WaitFor([&line] { return line == lastLine; });
    }
  });
}

}  // namespace

TEST_F(ImageWindow, ZoomPromptTakesTheLeadingNumber) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 320, 240, 100));
  std::thread typist = Typist({L"150%"});
  SendMessageW(Window(0), WM_COMMAND, CommandZoomPrompt, 0);
  typist.join();
  EXPECT_EQ(150, krv_images[0].zoom);
  EXPECT_TRUE(textWindows[0].inUse);

  typist = Typist({L"abc"});
  SendMessageW(Window(0), WM_COMMAND, CommandZoomPrompt, 0);
  typist.join();
  ZoomFit smallest;
  ASSERT_EQ(0, FitZoom(0, 320, 240, ScreenLimits(1), &smallest));
  EXPECT_EQ(smallest.zoom, krv_images[0].zoom);
  EXPECT_LT(krv_images[0].zoom, 100);
}

TEST_F(ImageWindow, ResizePromptRemakesTheImage) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 320, 240, 100));
  ((int*)krv_pixels[0])[0] = 0xFFFFFF;
  std::thread typist = Typist({L"64", L"48"});
  SendMessageW(Window(0), WM_COMMAND, CommandResizePrompt, 0);
  typist.join();
  EXPECT_EQ(64, krv_images[0].width);
  EXPECT_EQ(48, krv_images[0].height);
  EXPECT_EQ(0, ((int*)krv_pixels[0])[0]);
}

// What the prompts print, read from text window 0's log: the image id in brackets.
TEST_F(ImageWindow, PromptsNameTheImageInTextWindowZero) {
  ASSERT_EQ(0, KRV_CreateImage(7, "007", -1, -1, 320, 240, 100));
  DeleteFileA("KORVEL00.LOG");
  ASSERT_EQ(0, KRV_OpenTextWindow(0, 0, 0, 300, 120));
  ASSERT_EQ(0, KRV_StartLog(0));
  std::thread typist = Typist({L"150"});
  SendMessageW(Window(7), WM_COMMAND, CommandZoomPrompt, 0);
  typist.join();
  EXPECT_EQ(150, krv_images[7].zoom);
  typist = Typist({L"64", L"48"});
  SendMessageW(Window(7), WM_COMMAND, CommandResizePrompt, 0);
  typist.join();
  CloseAllLogs();
  std::string logged;
  if (FILE* file = fopen("KORVEL00.LOG", "rb")) {
    char buffer[256];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) logged.append(buffer, read);
    fclose(file);
  }
  DeleteFileA("KORVEL00.LOG");
  EXPECT_EQ("[7] Zoom(%)=150\r\n[7] New x-size(pixel)=64\r\n[7] New y-size(pixel)=48\r\n", logged);
  EXPECT_EQ(64, krv_images[7].width);
}
