// The V4L2 stand-in device (tools/v4l2_standin) as the stand-in tests set it up: its settings
// file beside the preloaded library, its log and its resume file, and the fixture that leaves
// it the only video-input device.
#ifndef KORVEL_STANDIN_DEVICE_H
#define KORVEL_STANDIN_DEVICE_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <windows.h>

#include <string>
#include <vector>

#include "capture/camera_control.h"
#include "driver.h"

// The virtual camera is unregistered while a test runs, so that the stand-in is the only
// video-input device.
class StandinOnly : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, RegisterCamera(false)); }
  void TearDown() override { EXPECT_EQ(S_OK, RegisterCamera(true)); }
};

std::wstring UnixPath(const std::wstring& path);  // the Linux path of a Windows one
std::wstring DosPath(const char* path);           // the Windows path of a Linux one
// The settings file the stand-in reads as a program starts: standin.conf beside the library
// that the test script preloads.
std::wstring ConfigFile(void);

// The stand-in device of the programs a test starts: its settings, log and resume file, all
// removed afterwards.
class Device {
 public:
  // settings: "KRV_V4L2_NAME=value" lines for the programs started from now on.
  explicit Device(std::vector<std::wstring> settings = {}) {
    wchar_t name[64];
    swprintf(name, 64, L"standin-%lu-%d", GetCurrentProcessId(), serial_++);
    log_ = DriverFolder() + name + L".log";
    resume_ = DriverFolder() + name + L".resume";
    DeleteFileW(log_.c_str());
    DeleteFileW(resume_.c_str());
    settings.push_back(L"KRV_V4L2_LOG=" + UnixPath(log_));
    settings.push_back(L"KRV_V4L2_RESUME=" + UnixPath(resume_));
    std::string text;
    for (const std::wstring& line : settings) text += std::string(line.begin(), line.end()) + "\n";
    HANDLE file = CreateFileW(ConfigFile().c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    configured_ = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL) &&
                  written == text.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  ~Device() {
    DeleteFileW(ConfigFile().c_str());
    DeleteFileW(log_.c_str());
    DeleteFileW(resume_.c_str());
  }
  bool Configured() const { return configured_; }
  std::string Log() const { return ReadFileText(log_); }
  bool WaitForLog(const std::string& text, DWORD timeoutMs) const {
    return WaitFor([&] { return Log().find(text) != std::string::npos; }, timeoutMs);
  }
  // Plugs the device back in and lets it deliver again.
  void Resume() const {
    HANDLE file = CreateFileW(resume_.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(file);
  }

 private:
  static int serial_;
  std::wstring log_, resume_;
  bool configured_ = false;
};

#endif
