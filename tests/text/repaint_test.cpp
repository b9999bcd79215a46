// When a text window repaints: after a print that drew something and whenever the system asks,
// never for a print that drew nothing. What the screen shows is the bitmap, either way.
#include <algorithm>
#include <thread>
#include <vector>

#include "text/text_fixture.h"

namespace {

int paints;
WNDPROC textProc;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) paints++;
  return CallWindowProcW(textProc, window, message, wParam, lParam);
}

class Repaint : public TextWindows {
 protected:
  // Text window 0 at the top left, above everything, counting its paints from now on.
  HWND OpenCounted(int width, int height) {
    KRV_OpenTextWindow(0, 0, 0, width, height);
    HWND window = Slot(0).window;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    textProc = (WNDPROC)SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    EXPECT_TRUE(PumpUntilHandled());
    paints = 0;
    return window;
  }

  // The window's client area as the screen shows it, and the bitmap it is painted from.
  std::vector<DWORD> ScreenPixels(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(NULL);
    std::vector<DWORD> pixels = Capture(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(NULL, screen);
    return pixels;
  }
  std::vector<DWORD> BitmapPixels(int id) {
    TextWindowSlot& slot = Slot(id);
    return Capture(slot.memoryDC, 0, 0, slot.width, slot.height);
  }
  std::vector<DWORD> Capture(HDC source, int x, int y, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels((DWORD*)bits, (DWORD*)bits + (size_t)width * height);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    return pixels;
  }
  int Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (size_t i = 0; i < a.size(); i++) count += a[i] != b[i];
    return count;
  }
};

TEST_F(Repaint, EmptyPrintsPaintNothingPrintsThatDrawDo) {
  HWND window = OpenCounted(400, 300);
  KRV_Print("first");
  EXPECT_EQ(1, paints);
  paints = 0;
  for (int i = 0; i < 22; i++) KRV_Print("");
  EXPECT_EQ(0, paints);
  EXPECT_FALSE(GetUpdateRect(window, NULL, FALSE));
  KRV_Print("%s", "");
  KRV_Print("\n");  // a new line that does not scroll changes no pixel
  EXPECT_EQ(0, paints);
  EXPECT_EQ(0, Slot(0).bitmapChanged);
  KRV_Print("x");
  EXPECT_EQ(1, paints);
  KRV_ClearTextWindow();
  KRV_Print("");
  EXPECT_EQ(2, paints);  // the clearing is shown by the next pump
  KRV_Print("");
  EXPECT_EQ(2, paints);
}

TEST_F(Repaint, ScrollingIsAChangeEvenWithoutText) {
  HWND window = OpenCounted(200, 60);
  for (int i = 0; i < 10; i++) KRV_Print("line %d\n", i);  // the cursor waits on the last line
  paints = 0;
  KRV_Print("\n");  // scrolls "line 9" up: no text drawn, yet the picture moved
  EXPECT_EQ(1, paints);
  EXPECT_EQ(0, Differences(BitmapPixels(0), ScreenPixels(window)));
}

TEST_F(Repaint, SystemRequestsStillRepaint) {
  HWND window = OpenCounted(400, 300);
  KRV_Print("shown");
  paints = 0;
  RedrawWindow(window, NULL, NULL, RDW_INVALIDATE);
  KRV_Print("");
  EXPECT_EQ(1, paints);
  // Another window over it and gone again: the uncovered part shows the bitmap again, whether
  // the system asks for a paint (Windows) or restores the window's own surface (Wine).
  HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 20, 20, 200,
                               150, NULL, NULL, GetModuleHandleW(NULL), NULL);
  UpdateWindow(cover);
  // The screen is read through the display server, which shows a change a moment later.
  EXPECT_TRUE(WaitFor([&] {
    PumpWorkerMessages();
    return Differences(BitmapPixels(0), ScreenPixels(window)) > 0;
  }));
  DestroyWindow(cover);
  EXPECT_TRUE(WaitFor([&] {
    PumpWorkerMessages();
    return Differences(BitmapPixels(0), ScreenPixels(window)) == 0;
  }));
}

// The screen after prints of every kind, empty ones in between, is the bitmap pixel for pixel,
// and the bitmap holds ink where text went.
TEST_F(Repaint, ScreenShowsEveryPrint) {
  HWND window = OpenCounted(240, 96);
  KRV_PushTextColor(0x00FF00, 0x000080);
  for (int i = 0; i < 9; i++) {
    KRV_Print("line %d: ", i);
    KRV_Print("");
    KRV_Print("あい\n");
    for (int k = 0; k < 22; k++) KRV_Print("");
    EXPECT_EQ(0, Differences(BitmapPixels(0), ScreenPixels(window))) << i;
  }
  KRV_PopTextColor();
  KRV_Print("end");
  KRV_Print("");
  EXPECT_TRUE(CellHasInk(0, 0, Slot(0).y / Slot(0).lineHeight));
  EXPECT_EQ(0, Differences(BitmapPixels(0), ScreenPixels(window)));
}

// A window cleared and given the same lines again, as rimview's report does on every pass,
// repaints nothing; a value that changed repaints once. The screen is the bitmap throughout.
TEST_F(Repaint, TheSameLinesOverAClearedWindowRepaintNothing) {
  HWND window = OpenCounted(198, 198);
  KRV_Print("X0: 320\nY0: 240\n r: 192\n");
  paints = 0;
  for (int pass = 0; pass < 5; pass++) {
    for (int i = 0; i < 22; i++) KRV_Print("");
    KRV_ClearTextWindow();
    KRV_Print("X0: %d\nY0: %d\n r: %d\n", 320, 240, 192);
  }
  PumpWorkerMessages();
  EXPECT_EQ(0, paints);
  EXPECT_FALSE(GetUpdateRect(window, NULL, FALSE));
  EXPECT_EQ(0, Slot(0).bitmapChanged);
  EXPECT_EQ(0, Differences(BitmapPixels(0), ScreenPixels(window)));
  KRV_ClearTextWindow();
  KRV_Print("X0: %d\nY0: %d\n r: %d\n", 320, 240, 191);
  EXPECT_EQ(1, paints);
  EXPECT_EQ(0, Differences(BitmapPixels(0), ScreenPixels(window)));
}

// Clearing draws at once and is shown by the next pump, whoever pumps.
TEST_F(Repaint, AClearingIsShownByTheNextPump) {
  HWND window = OpenCounted(200, 100);
  KRV_Print("some text");
  paints = 0;
  KRV_ClearTextWindow();
  EXPECT_FALSE(CellHasInk(0, 0, 0));
  PumpWorkerMessages();
  EXPECT_EQ(1, paints);
  std::vector<DWORD> screen = ScreenPixels(window);
  EXPECT_EQ(0, Differences(BitmapPixels(0), screen));
  EXPECT_EQ(screen.size(), (size_t)std::count(screen.begin(), screen.end(), 0u));
}

// A program that waits in a loop of empty prints still has its messages handled: here a message
// sent from another thread, which only a pump of this thread can answer.
TEST_F(Repaint, ALoopOfEmptyPrintsStillAnswersMessages) {
  HWND window = OpenCounted(200, 100);
  volatile LONG answered = 0;
  std::thread sender([&] {
    SendMessageW(window, WM_NULL, 0, 0);
    answered = 1;
  });
  DWORD start = GetTickCount();
  while (!answered && GetTickCount() - start < 10000) KRV_Print("");
  EXPECT_EQ(1, answered);
  if (!answered) PumpFor(100);
  sender.join();
}

// A program printing 10,000 lines in a loop: messages sent to its window meanwhile are
// answered, and at the end the screen shows the last lines, as a window given only those does.
TEST_F(Repaint, TenThousandLinesStayAnsweredAndEndOnTheLastOnes) {
  HWND window = OpenCounted(198, 198);
  volatile LONG printing = 1, answers = 0;
  HANDLE ready = CreateEventW(NULL, TRUE, FALSE, NULL);
  std::thread sender([&] {
    SetEvent(ready);
    while (printing) {
      SendMessageW(window, WM_NULL, 0, 0);
      if (printing) answers = answers + 1;
    }
  });
  WaitForSingleObject(ready, INFINITE);
  const int lines = 10000;
  for (int i = 0; i < lines; i++) KRV_Print("line %d\n", i);
  printing = 0;
  LONG answeredWhilePrinting = answers;
  PumpFor(20);
  sender.join();
  CloseHandle(ready);
  EXPECT_GT(answeredWhilePrinting, 0);
  EXPECT_EQ(0, Differences(BitmapPixels(0), ScreenPixels(window)));
  std::vector<DWORD> shown = BitmapPixels(0);
  const int rows = Slot(0).height / Slot(0).lineHeight;
  KRV_OpenTextWindow(1, 400, 0, 198, 198);
  for (int i = lines - 2 * rows; i < lines; i++) KRV_Print("line %d\n", i);
  EXPECT_EQ(0, Differences(shown, BitmapPixels(1)));
  EXPECT_TRUE(CellHasInk(1, 0, rows - 2));
}

}  // namespace
