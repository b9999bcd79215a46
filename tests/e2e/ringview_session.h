// ringview and ringview-hd driven from outside, for the end-to-end tests on the virtual camera
// and on the V4L2 stand-in: the program's four windows, its panel, the report its console
// prints (read through the console's log), and the panorama it must show, worked out from the
// camera picture shown with a plain double-precision unwrap.
#ifndef KORVEL_RINGVIEW_SESSION_H
#define KORVEL_RINGVIEW_SESSION_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "driver.h"
#include "probe.h"

// The panel's buttons, row by row.
enum RingviewButton {
  PressXLess,
  PressXMore,
  PressFind,
  PressYLess,
  PressYMore,
  PressSmooth,
  PressOuterLess,
  PressOuterMore,
  PressOverlay,
  PressInnerLess,
  PressInnerMore,
  PressHold,
  PressTurnLess,
  PressTurnMore,
  PressSave,
};

// The last report the console printed.
struct RingReport {
  bool valid = false;
  int x0 = 0, y0 = 0, outer = 0, inner = 0, turn = 0;
  bool smooth = false, overlay = false, hold = false;
  int frames = 0;  // from "... fps": at least one frame shown in the last second
  double msPerFrame = 0, fps = 0, cpu = 0;
  std::string message;  // the last event line
  int search = 0;       // the number of the search the event line tells of, or 0
  size_t at = 0;        // where the report begins in the log
};
RingReport ParseLastReport(const std::string& log);

// A picture's pixel (x, y) as the screen shows it (0x00BBGGRR); only asked for inside it.
typedef std::function<COLORREF(int x, int y)> Picture;
Picture PictureOf(const std::vector<COLORREF>& pixels, int width);  // a picture read back

// The panorama of a width x height picture unwrapped into pw x ph: column c, row y samples
// angle turn + 2 pi (pw - c) / pw at radius outer - (outer - inner) y / (ph - 1), nearest pixel
// or the four around it; outside pixels are black.
std::vector<COLORREF> ReferenceUnwrap(const Picture& picture, int width, int height,
                                      const RingReport& ring, int pw, int ph);

class Ringview {
 public:
  Ringview(const wchar_t* program, int width, int height,
           const std::vector<std::wstring>& environment = {});
  ~Ringview();
  bool Ready() const { return main_ && console_ && panel_ && camera_ && panorama_; }
  void Start() { PostCommand(main_, StartId); }
  void Stop() { PostCommand(main_, StopId); }
  bool Exit();
  void Press(int button);
  // Presses the button until the report shows what the press does; that report (invalid when
  // it never does). A click is lost when another window takes the mouse capture between the
  // button's down and up (as the windows of an earlier test's program go); a press that
  // changes anything is reported at once, so the button is pressed again only after the
  // report has shown nothing of it for 3 s.
  RingReport PressFor(int button, const std::function<bool(const RingReport&)>& shown);
  // The console's log so far, and the last report in it.
  std::string Log();
  RingReport Report() { return ParseLastReport(Log()); }
  // Waits until the last report satisfies the condition; that report (invalid on time-out).
  RingReport WaitForReport(const std::function<bool(const RingReport&)>& condition,
                           DWORD timeoutMs = 10000);
  // The window's picture shown, once it stays the same for two readings in a row; empty on
  // time-out.
  std::vector<COLORREF> SteadyScreen(HWND window, DWORD timeoutMs = 5000);
  // Waits until the picture shown in the window is one of the pictures; its index, or -1.
  static int ShowsOneOf(HWND window, int width, int height, const std::vector<Picture>& pictures,
                        DWORD timeoutMs = 10000);
  // Waits until the panorama shown is the unwrap, with the ring, of one of the pictures (the
  // frames a camera delivers); its index, or -1.
  int PanoramaOfOneOf(const std::vector<Picture>& pictures, const RingReport& ring,
                      DWORD timeoutMs = 10000);
  HWND main() const { return main_; }
  HWND console() const { return console_; }
  HWND panel() const { return panel_; }
  HWND camera() const { return camera_; }
  HWND panorama() const { return panorama_; }
  int width() const { return width_; }
  int height() const { return height_; }
  int panoramaWidth() const { return width_; }
  int panoramaHeight() const { return height_ * 3 / 10; }
  const Program& program() const { return program_; }

 private:
  Program program_;
  int width_, height_;
  std::wstring log_;
  HWND main_ = NULL, console_ = NULL, panel_ = NULL, camera_ = NULL, panorama_ = NULL;
};

#endif
