// The tests' one way of waiting: poll observable state until it holds, with a deadline, so
// that a loaded machine only makes a test slower, never wrong.
#ifndef KORVEL_WAIT_FOR_H
#define KORVEL_WAIT_FOR_H

#include <windows.h>

// Waits until condition() holds; false on time-out.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(2);
  }
  return true;
}

#endif
