// Shared by the image and drawing tests: image windows on the test thread, which plays the
// worker thread, and a clean table after each test.
#ifndef KORVEL_IMAGE_FIXTURE_H
#define KORVEL_IMAGE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "image/image.h"
#include "support/framework_windows.h"
#include "support/wait_for.h"

inline void ForgetAllImages(void) {
  for (int id = 0; id < SlotCount; id++) KRV_DestroyImage(id);
  krv_current = 0;
  for (int& entry : krv_history) entry = 0;
  PumpFor(2);
}

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFrameworkWindows();
    ForgetAllImages();
  }
  void TearDown() override { ForgetAllImages(); }
};

inline std::wstring CaptionOf(HWND window) {
  wchar_t text[300] = L"";
  GetWindowTextW(window, text, 300);
  return text;
}

inline SIZE ClientSizeOf(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

#endif
