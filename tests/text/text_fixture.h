// Text windows as real windows on the test thread, which plays the worker thread, with a
// typist on another thread for the line input and a stand-in main window.
#ifndef KORVEL_TEXT_FIXTURE_H
#define KORVEL_TEXT_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/framework_windows.h"
#include "support/wait_for.h"
#include "text/text.h"

// One key event posted by the typist: a character, or a key down (with Ctrl held, if asked).
struct Keystroke {
  enum Kind { Char, KeyDown, CtrlKeyDown } kind;
  WPARAM code;
};
std::vector<Keystroke> Chars(const std::wstring& text);
Keystroke Key(WPARAM key);
Keystroke CtrlKey(WPARAM key);
std::vector<Keystroke> operator+(std::vector<Keystroke> a, const std::vector<Keystroke>& b);

// From another thread while the test thread waits in a line input: waits until the input has
// taken every key posted to its window so far. False on time-out.
bool WaitUntilTaken(void);

class TextWindows : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs KRV_InputLine while another thread types the keystrokes into window, each once the
  // input has taken the one before.
  std::string TypeLine(HWND window, const std::vector<Keystroke>& keys);
  TextWindowSlot& Slot(int id) { return textWindows[id]; }
  bool CellHasInk(int id, int column, int row);  // any non-black pixel in that cell
  std::wstring keysToMain;  // keys the text windows posted to the main window
};

#endif
