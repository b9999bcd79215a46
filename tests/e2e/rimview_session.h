// rimview and rimview-qvga driven from outside as a user meets them, for the end-to-end tests on
// the virtual camera and on the V4L2 stand-in: the program with its windows, and what the screen
// shows of them.
#ifndef KORVEL_RIMVIEW_SESSION_H
#define KORVEL_RIMVIEW_SESSION_H

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "probe.h"

struct Size {
  const wchar_t* program;
  int width, height;
};
extern const Size Sizes[2];  // rimview.exe at 640 x 480, rimview-qvga.exe at 320 x 240
extern const Size HdSize;    // rimview-hd.exe at 1280 x 960

COLORREF AsColorref(int rgb);  // 0x00RRGGBB to 0x00BBGGRR
// How the window's screen differs from the expected pixels, for the failure message.
std::string Difference(HWND window, const std::vector<COLORREF>& expected);
void MoveTo(HWND window, int x, int y);
// Moves the window so that its client area's top left corner is at (x, y) on the screen: a
// 1280-pixel client fits a 1280-pixel screen only with the window's left edge off it.
void MoveClientTo(HWND window, int x, int y);
// The console of a probe that printed the lines ('|' between them), as the screen shows it.
std::vector<COLORREF> PrintedLines(const wchar_t* lines);

class Rimview {
 public:
  // environment: extra "NAME=value" entries for the program.
  explicit Rimview(const Size& size, const std::vector<std::wstring>& environment = {});
  ~Rimview() { KillProgram(&program_); }
  bool Ready() const { return main_ && text_ && box_ && camera_; }

  void Start() { PostCommand(main_, StartId); }
  void Stop() { PostCommand(main_, StopId); }
  HWND Output(DWORD timeoutMs = 10000) {
    return WaitForWindow(L"krv_iw", L"Hello,there!(100%)", program_.id, timeoutMs);
  }
  HWND Camera(DWORD timeoutMs = 10000) {
    return WaitForWindow(L"krv_iw", L"000(100%)", program_.id, timeoutMs);
  }
  void Click(int i) { SendClick(FindChildById(box_, 3000 + i), 5, 5); }
  // The text window out from under image 0 and the panel's edge.
  void UncoverText();
  // Image 0 stays at (0, 0); the others go where they cover nothing.
  void UncoverCamera();
  // What the moves uncovered has been painted again.
  void PaintedAll();
  HWND main() const { return main_; }
  HWND text() const { return text_; }
  HWND box() const { return box_; }
  HWND camera() const { return camera_; }
  const Program& program() const { return program_; }

 private:
  Size size_;
  Program program_;
  HWND main_ = NULL, text_ = NULL, box_ = NULL, camera_ = NULL;
};

#endif
