// A second thread that acts as the user during a pick: once the pick runs, it sends mouse
// messages to an image window, each once the pick has dealt with the one before, and can look
// at the image, the status label and the main window's drop state between steps, or press Stop.
#ifndef KORVEL_MOUSE_DRIVER_H
#define KORVEL_MOUSE_DRIVER_H

#include <functional>
#include <string>
#include <vector>

#include "image/image.h"
#include "support/wait_for.h"

struct MouseStep {
  UINT message;  // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN; 0: no message
  int x, y;      // client position
  std::function<void(void)> then;  // runs on the driver thread after the step has been seen
};

inline MouseStep Move(int x, int y) { return {WM_MOUSEMOVE, x, y, nullptr}; }
inline MouseStep Click(int x, int y) { return {WM_LBUTTONDOWN, x, y, nullptr}; }
inline MouseStep RightClick(int x, int y) { return {WM_RBUTTONDOWN, x, y, nullptr}; }
inline MouseStep MiddleClick(int x, int y) { return {WM_MBUTTONDOWN, x, y, nullptr}; }
inline MouseStep Then(std::function<void(void)> look) { return {0, 0, 0, look}; }
inline MouseStep PressStop(void) {
  return {0, 0, 0, [] { stopRequested = 1; }};
}

class MouseDriver {
 public:
  // The window is read when the pick has started, so it may be found by a function.
  MouseDriver(std::function<HWND(void)> window, std::vector<MouseStep> steps)
      : window(window), steps(steps) {
    thread = CreateThread(NULL, 0, Run, this, 0, NULL);
  }
  ~MouseDriver() {
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
  }

 private:
  static bool PickRunning(void) { return *(volatile int*)&PickState.active != 0; }
  // The flag a step sets, which the pick clears when it takes the step (a pick whose figure
  // does not follow the mouse leaves moves alone: those wait out the time-out).
  static volatile int* FlagOf(UINT message) {
    if (message == WM_MOUSEMOVE) return &PickState.moved;
    if (message == WM_LBUTTONDOWN) return &PickState.clicked;
    if (message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) return &PickState.rightClicked;
    return NULL;
  }
  // Once the step's flag is cleared, a message sent now is answered by the pump of the pick's
  // next pass, after the pass that took the step has ended (sent any earlier, it could be
  // answered by the very pump that delivered the step). Polled, since the pick may end
  // meanwhile and pump no more.
  static void Settle(HWND window) {
    WaitFor([window] {
      DWORD_PTR answer;
      return !PickRunning() ||
             SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20, &answer) != 0;
    });
  }
  // Sent, so that it has been recorded when this returns; then waited on until the pick has
  // dealt with it. Two clicks seen in one pass of the pick would count as one.
  static void Deliver(HWND window, const MouseStep& step) {
    const WPARAM keys = step.message == WM_LBUTTONDOWN   ? MK_LBUTTON
                        : step.message == WM_RBUTTONDOWN ? MK_RBUTTON
                        : step.message == WM_MBUTTONDOWN ? MK_MBUTTON
                                                         : 0;
    DWORD_PTR answer;
    SendMessageTimeoutW(window, step.message, keys, MAKELPARAM(step.x, step.y), SMTO_NORMAL,
                        2000, &answer);
    volatile int* flag = FlagOf(step.message);
    if (flag) WaitFor([flag] { return !*flag || !PickRunning(); }, 2000);
    Settle(window);
  }
  static DWORD WINAPI Run(LPVOID self) {
    MouseDriver* driver = (MouseDriver*)self;
    WaitFor(PickRunning);
    const HWND window = driver->window();
    Settle(window);  // the pick has shown its cursor
    for (const MouseStep& step : driver->steps) {
      if (step.message) Deliver(window, step);
      if (step.then) step.then();
    }
    return 0;
  }
  std::function<HWND(void)> window;
  std::vector<MouseStep> steps;
  HANDLE thread;
};

#endif
