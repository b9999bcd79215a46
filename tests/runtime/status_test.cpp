#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "runtime/runtime.h"

static std::string Formatted(const char* text) {
  char field[StatusFieldLength + 1];
  FormatStatusText(text, field);
  return field;
}

TEST(StatusText, CentresAboutColumnEighteen) {
  std::string field = Formatted("32-bit color");
  ASSERT_EQ(63u, field.size());
  EXPECT_EQ(std::string(12, ' ') + "32-bit color" + std::string(39, ' '), field);
  EXPECT_EQ(std::string(13, ' ') + "Input text" + std::string(40, ' '), Formatted("Input text"));
  EXPECT_EQ(std::string(63, ' '), Formatted(""));
}

TEST(StatusText, IsLeftAloneOnceExitHasBegun) {
  // The label's thread does not pump, as the GUI thread does not while Exit waits.
  HANDLE created = CreateEventW(NULL, TRUE, FALSE, NULL);
  HANDLE release = CreateEventW(NULL, TRUE, FALSE, NULL);
  std::thread owner([&] {
    statusLabel = CreateWindowW(L"STATIC", L"before", WS_POPUP, 0, 0, 100, 20, NULL, NULL,
                                GetModuleHandleW(NULL), NULL);
    SetEvent(created);
    WaitForSingleObject(release, INFINITE);
    DestroyWindow(statusLabel);
  });
  WaitForSingleObject(created, INFINITE);
  quitState = QuitRequested;
  SetStatusText("Input text");
  quitState = QuitRunning;
  wchar_t text[64];
  InternalGetWindowText(statusLabel, text, 64);  // reads without a message to the owner
  EXPECT_STREQ(L"before", text);
  SetEvent(release);
  owner.join();
  statusLabel = NULL;
  CloseHandle(created);
  CloseHandle(release);
}
