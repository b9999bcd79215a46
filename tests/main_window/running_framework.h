// The whole runtime in the test process: KorvelMain on a GUI thread of its own, with its
// worker thread running the test application, so that the main window's commands, prompts and
// drops are worked with real messages and their results read straight from the tables.
#ifndef KORVEL_RUNNING_FRAMEWORK_H
#define KORVEL_RUNNING_FRAMEWORK_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image.h"
#include "support/dropped_files.h"
#include "support/picture_writer.h"
#include "support/wait_for.h"
#include "text/text.h"
#include "wiring/wiring.h"

class RunningFramework : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the runtime; setup runs inside AppSetup on the worker thread.
  void Start(void (*setup)(void) = NULL, void (*appMain)(void) = NULL);
  // Chooses Exit and waits for KorvelMain to return; its exit code.
  int Exit(void);
  int WaitForGuiThread(void);  // KorvelMain's exit code once it has returned
  // Types one answer into the text window whose line input waits; true once it was taken.
  bool Answer(const std::wstring& text);
  // Opens the lowest closed text window and waits for it: every command before has ended.
  // The current text window stays what it was.
  int Sentinel(void);
  void Command(int id);
  void CtrlKey(WPARAM key);  // the key with Ctrl held, as the main window receives it
  // Once the GUI thread has taken what was posted to it before; false on time-out.
  bool GuiHandled(void);

  HANDLE gui = NULL;
  DWORD guiThreadId = 0;
};

// The colour of pixel (x, y) of the pictures the tests write (WritePicture) and paste.
int PatternColour(int x, int y);
// The clipboard holding a bottom-up 24-bit device-independent bitmap of PatternColour.
bool PutPatternOnClipboard(int width, int height);
std::wstring FullPath(const wchar_t* name);
std::string TitleOf(int id);  // "" when the slot is not in use

#endif
