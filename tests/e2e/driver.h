// The end-to-end driver: starts framework programs and works their windows from outside,
// with the messages a user's mouse and keyboard would produce.
#ifndef KORVEL_DRIVER_H
#define KORVEL_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

#include "support/wait_for.h"

struct Program {
  HANDLE process = NULL;
  DWORD id = 0;
};

// Starts bin/<name> from the folder of the running driver, with extra environment
// variables given as "NAME=value" entries; returns false when it cannot start.
bool StartProgram(const wchar_t* name, Program* program,
                  const std::vector<std::wstring>& environment = {});
// Waits for the program to end; returns false on time-out. code receives its exit code.
bool WaitForExit(const Program& program, DWORD timeoutMs, DWORD* code = NULL);
void KillProgram(Program* program);  // ends it when still running, closes the handle

// Waits for a visible top-level window of the class (and title, when given) that belongs to
// the program (any program when id is 0). NULL on time-out.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD processId,
                   DWORD timeoutMs);
HWND FindChildById(HWND parent, int id);
HWND FindChildByClass(HWND parent, const wchar_t* className, int index);
std::wstring TextOf(HWND window);
RECT OuterRect(HWND window);
RECT ClientRectOf(HWND window);
COLORREF ScreenPixel(HWND window, int x, int y);  // what the screen shows at a client point
// What the screen shows of the window's client area, row by row as 0x00BBGGRR.
std::vector<COLORREF> ScreenOf(HWND window);

void PostCommand(HWND window, int id);
void SendKey(HWND window, UINT key);  // key down and up, posted
void SendChar(HWND window, wchar_t character);
void SendClick(HWND window, int x, int y);  // left button at client coordinates
void SendDoubleClick(HWND window, int x, int y);
void SendRightClick(HWND window, int x, int y);

// What a running program holds: kernel handles, GDI and USER objects, private bytes.
struct ResourceCounts {
  DWORD handles, gdi, user;
  SIZE_T privateBytes;
};
// Milliseconds a message takes to be answered by the window's thread; timeoutMs + 1 when it
// is not answered in time.
DWORD RoundTripMs(HWND window, DWORD timeoutMs);

std::string ReadFileText(const std::wstring& path);  // "" when missing
std::string ClipboardText(void);  // the CF_TEXT bytes, "" when there are none
// Every visible krv_ window of the process, one line each (class, caption, outer rectangle,
// client size; UTF-8), sorted, each followed by its child windows relative to it.
std::string DescribeFrameworkWindows(DWORD processId);
std::wstring DriverFolder(void);  // the folder of the running driver, with a backslash

#endif
