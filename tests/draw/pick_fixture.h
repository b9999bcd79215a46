// Shared by the pick and drawing-command tests: an image whose window procedure records the
// mouse for the picks, a main window with a status label of its own, and looks at pixels and
// texts.
#ifndef KORVEL_PICK_FIXTURE_H
#define KORVEL_PICK_FIXTURE_H

#include <string.h>

#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/mouse_driver.h"
#include "image/image_fixture.h"

inline HWND WindowOf(int id) { return krv_images[id].window; }

inline std::vector<unsigned char> Snapshot(int id) {
  const ImageSlot& slot = krv_images[id];
  const unsigned char* bytes = (const unsigned char*)krv_pixels[id];
  return std::vector<unsigned char>(bytes, bytes + ImageStride(slot.bits, slot.width) * slot.height);
}

inline int PixelOf(int id, int x, int y) {
  return ((const int*)krv_pixels[id])[y * krv_images[id].width + x];
}

// Pixels that differ from a snapshot.
inline int ChangedPixels(int id, const std::vector<unsigned char>& before) {
  const std::vector<unsigned char> now = Snapshot(id);
  int changed = 0;
  for (size_t i = 0; i < now.size(); i += 4) changed += memcmp(&now[i], &before[i], 4) != 0;
  return changed;
}

inline void FillWith(int id, int colour) {
  const ImageSlot& slot = krv_images[id];
  for (int i = 0; i < slot.width * slot.height; i++) ((int*)krv_pixels[id])[i] = colour;
}

// The status label's text without its padding, read without sending a message.
inline std::string StatusText(void) {
  wchar_t text[80] = L"";
  InternalGetWindowText(statusLabel, text, 80);
  char narrow[80];
  WideToNarrow(text, narrow, 80);
  std::string s = narrow;
  const size_t first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

inline bool MainWindowTakesDrops(void) {
  return (GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}


// A 64 x 48 image at zoom 200, so that client positions are twice the image positions, with the
// stand-in main window and a status label of their own.
class PickTest : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    mainWindow = StandInMainWindow();
    statusLabel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 200, 20, mainWindow, NULL,
                                  NULL, NULL);
    DragAcceptFiles(mainWindow, TRUE);
    colourDepth = 32;
    stopRequested = 0;
    ASSERT_EQ(0, KRV_CreateImage(3, "pick", -1, -1, 64, 48, 200));
    ASSERT_EQ(200, krv_images[3].zoom);
    FillWith(3, 0x102030);
    before = Snapshot(3);
  }
  void TearDown() override {
    ImageTest::TearDown();
    DragAcceptFiles(mainWindow, FALSE);
    DestroyWindow(statusLabel);
    mainWindow = NULL;
    statusLabel = NULL;
    stopRequested = 0;
  }
  std::vector<unsigned char> before;
};

#endif
