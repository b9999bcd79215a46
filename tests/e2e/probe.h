// A probe application run by an end-to-end test, with its own event log.
#ifndef KORVEL_PROBE_H
#define KORVEL_PROBE_H

#include <string.h>

#include <string>
#include <vector>

#include "driver.h"

enum { StartId = 1001, ExitId = 1002, StopId = 1003, StatusId = 2001 };

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
