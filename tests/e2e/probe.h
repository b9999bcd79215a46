// A probe application run by an end-to-end test, with its own event log.
#ifndef KORVEL_PROBE_H
#define KORVEL_PROBE_H

#include <string.h>

#include <string>
#include <vector>

#include "driver.h"

enum { StartId = 1001, ExitId = 1002, StopId = 1003, OpenTextId = 1028, StatusId = 2001 };

// Whether the main window's status label shows text ("Input text" while a line input waits).
inline bool StatusShows(HWND main, const wchar_t* text) {
  return TextOf(FindChildById(main, StatusId)).find(text) != std::wstring::npos;
}

// Blanks the status label, so that the next "Input text" seen belongs to the next prompt.
inline void ClearStatus(HWND main) {
  DWORD_PTR result;
  SendMessageTimeoutW(FindChildById(main, StatusId), WM_SETTEXT, 0, (LPARAM)L"", SMTO_NORMAL,
                      5000, &result);
}

// Waits until the window has nothing left to paint: its worker has painted what it holds.
inline bool Painted(HWND window, DWORD timeoutMs = 5000) {
  return WaitFor([window] { return !GetUpdateRect(window, NULL, FALSE); }, timeoutMs);
}

inline int CountWindows(const wchar_t* className, DWORD processId) {
  struct Count {
    const wchar_t* className;
    DWORD processId;
    int windows;
  } count = {className, processId, 0};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        Count* count = (Count*)parameter;
        wchar_t name[64] = L"";
        DWORD owner = 0;
        GetClassNameW(window, name, 64);
        GetWindowThreadProcessId(window, &owner);
        count->windows += lstrcmpW(name, count->className) == 0 && owner == count->processId &&
                          IsWindowVisible(window);
        return TRUE;
      },
      (LPARAM)&count);
  return count.windows;
}

// Opens one more text window with the main window's command, posted again until it is taken.
// A command that arrives while another one runs, or while AppMain runs, is dropped, and the
// worker serves the window only from its idle loop: once it opens, every command before has
// ended and the worker has passed its idle loop.
inline bool CommandsDone(HWND main, DWORD processId) {
  const int before = CountWindows(L"krv_twi", processId);
  for (int attempt = 0; attempt < 50; attempt++) {
    PostCommand(main, OpenTextId);
    if (WaitFor([&] { return CountWindows(L"krv_twi", processId) > before; }, 200)) return true;
  }
  return false;
}

// One running krvprobe.exe (or another program of the same reports); mode is its KRV_PROBE_MODE.
class Probe {
 public:
  explicit Probe(const char* mode = "poll", const wchar_t* program = L"krvprobe.exe",
                 std::initializer_list<std::wstring> environment = {}) {
    static int serial;
    wchar_t name[64];
    swprintf(name, 64, L"probe-%lu-%d.log", GetCurrentProcessId(), serial++);
    log_ = DriverFolder() + name;
    DeleteFileW(log_.c_str());
    std::wstring wideMode(mode, mode + strlen(mode));
    std::vector<std::wstring> entries = {L"KRV_PROBE_LOG=" + log_, L"KRV_PROBE_MODE=" + wideMode};
    entries.insert(entries.end(), environment.begin(), environment.end());
    started_ = StartProgram(program, &program_, entries);
  }
  ~Probe() {
    KillProgram(&program_);
    DeleteFileW(log_.c_str());
  }

  // Waits until the main window has dropped into place and AppSetup ran.
  HWND WaitReady(const wchar_t* className = L"korvel_mw0") {
    if (!started_) return NULL;
    window_ = WaitForWindow(className, NULL, program_.id, 10000);
    if (!window_ || !WaitForLog("setup\n")) return NULL;
    return window_;
  }
  bool WaitForLog(const std::string& text, DWORD timeoutMs = 5000) {
    return WaitFor([&] { return Log().find(text) != std::string::npos; }, timeoutMs);
  }
  std::string Log() const { return ReadFileText(log_); }
  int Count(const std::string& what) const {
    std::string log = Log();
    int count = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
      count++;
    return count;
  }
  bool Exited(DWORD timeoutMs, DWORD* code = NULL) {
    return WaitForExit(program_, timeoutMs, code);
  }
  const Program& program() const { return program_; }
  HWND window() const { return window_; }

 private:
  Program program_;
  std::wstring log_;
  bool started_ = false;
  HWND window_ = NULL;
};


#endif
