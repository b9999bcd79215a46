// The end-to-end driver's window work, all through documented Win32 calls across processes.
#include "driver.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

std::wstring DriverFolder(void) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

static std::vector<wchar_t> EnvironmentWith(const std::vector<std::wstring>& extra) {
  std::vector<wchar_t> block;
  wchar_t* current = GetEnvironmentStringsW();
  for (const wchar_t* entry = current; *entry; entry += lstrlenW(entry) + 1)
    block.insert(block.end(), entry, entry + lstrlenW(entry) + 1);
  FreeEnvironmentStringsW(current);
  for (const std::wstring& entry : extra) block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  block.push_back(0);
  return block;
}

bool StartProgram(const wchar_t* name, Program* program,
                  const std::vector<std::wstring>& environment) {
  std::wstring path = DriverFolder() + name;
  std::wstring commandLine = L"\"" + path + L"\"";
  std::vector<wchar_t> env = EnvironmentWith(environment);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(path.c_str(), &commandLine[0], NULL, NULL, FALSE,
                      CREATE_UNICODE_ENVIRONMENT, env.data(), DriverFolder().c_str(), &startup,
                      &info))
    return false;
  CloseHandle(info.hThread);
  program->process = info.hProcess;
  program->id = info.dwProcessId;
  return true;
}

bool WaitForExit(const Program& program, DWORD timeoutMs, DWORD* code) {
  if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0) return false;
  if (code) GetExitCodeProcess(program.process, code);
  return true;
}

void KillProgram(Program* program) {
  if (!program->process) return;
  if (WaitForSingleObject(program->process, 0) != WAIT_OBJECT_0) {
    TerminateProcess(program->process, 99);
    WaitForSingleObject(program->process, 5000);
  }
  CloseHandle(program->process);
  program->process = NULL;
}

struct WindowSearch {
  const wchar_t* className;
  const wchar_t* title;
  DWORD processId;
  HWND found;
};

static BOOL CALLBACK MatchTopLevel(HWND window, LPARAM parameter) {
  WindowSearch* search = (WindowSearch*)parameter;
  wchar_t name[256];
  GetClassNameW(window, name, 256);
  if (lstrcmpW(name, search->className) != 0 || !IsWindowVisible(window)) return TRUE;
  if (search->title && TextOf(window) != search->title) return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId && owner != search->processId) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD processId,
                   DWORD timeoutMs) {
  WindowSearch search = {className, title, processId, NULL};
  WaitFor([&] {
    EnumWindows(MatchTopLevel, (LPARAM)&search);
    return search.found != NULL;
  }, timeoutMs);
  return search.found;
}

HWND FindChildById(HWND parent, int id) { return GetDlgItem(parent, id); }

HWND FindChildByClass(HWND parent, const wchar_t* className, int index) {
  for (HWND child = FindWindowExW(parent, NULL, className, NULL); child;
       child = FindWindowExW(parent, child, className, NULL))
    if (index-- == 0) return child;
  return NULL;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024];
  LRESULT length = SendMessageW(window, WM_GETTEXT, 1024, (LPARAM)text);
  return std::wstring(text, (size_t)length);
}

RECT OuterRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRectOf(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return rect;
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(NULL);
  COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(NULL, screen);
  return colour;
}

std::vector<COLORREF> ScreenOf(HWND window) {
  RECT client = ClientRectOf(window);
  int w = client.right, h = client.bottom;
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = NULL;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> pixels((size_t)w * h);
  const DWORD* rgb = (const DWORD*)bits;
  for (size_t i = 0; i < pixels.size(); i++)
    pixels[i] = RGB((rgb[i] >> 16) & 0xFF, (rgb[i] >> 8) & 0xFF, rgb[i] & 0xFF);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(NULL, screen);
  return pixels;
}

void PostCommand(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void SendKey(HWND window, UINT key) {
  UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageW(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void SendChar(HWND window, wchar_t character) { PostMessageW(window, WM_CHAR, character, 1); }

static void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y) {
  PostMessageW(window, message, keys, MAKELPARAM(x, y));
}

void SendClick(HWND window, int x, int y) {
  PostMouse(window, WM_MOUSEMOVE, 0, x, y);
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  PostMouse(window, WM_LBUTTONUP, 0, x, y);
}

void SendDoubleClick(HWND window, int x, int y) {
  SendClick(window, x, y);
  PostMouse(window, WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
  PostMouse(window, WM_LBUTTONUP, 0, x, y);
}

void SendRightClick(HWND window, int x, int y) {
  PostMouse(window, WM_RBUTTONDOWN, MK_RBUTTON, x, y);
  PostMouse(window, WM_RBUTTONUP, 0, x, y);
}

std::string ReadFileText(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

DWORD RoundTripMs(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result))
    return timeoutMs + 1;
  return GetTickCount() - start;
}

std::string ClipboardText(void) {
  if (!OpenClipboard(NULL)) return "";
  std::string text;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* bytes = data ? (const char*)GlobalLock(data) : NULL;
  if (bytes) {
    text.assign(bytes, strnlen(bytes, GlobalSize(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

static std::string Utf8(const std::wstring& text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
  std::string out(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], bytes, NULL, NULL);
  return out;
}

static std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

static std::string DescribeWindow(HWND window, HWND parent) {
  RECT rect = OuterRect(window), client = ClientRectOf(window);
  if (parent) MapWindowPoints(NULL, parent, (POINT*)&rect, 2);
  char numbers[96];
  snprintf(numbers, sizeof numbers, " | %ld %ld %ld %ld | %ldx%ld", rect.left, rect.top,
           rect.right, rect.bottom, client.right, client.bottom);
  return Utf8(ClassOf(window) + L" | " + TextOf(window)) + numbers;
}

struct LayoutSearch {
  DWORD processId;
  std::vector<std::string> lines;
};

static BOOL CALLBACK AddChild(HWND child, LPARAM parameter) {
  LayoutSearch* search = (LayoutSearch*)parameter;
  search->lines.back() += "\n  " + DescribeWindow(child, GetParent(child));
  return TRUE;
}

static BOOL CALLBACK AddFrameworkWindow(HWND window, LPARAM parameter) {
  LayoutSearch* search = (LayoutSearch*)parameter;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  if (ClassOf(window).compare(0, 4, L"krv_") != 0) return TRUE;
  search->lines.push_back(DescribeWindow(window, NULL));
  EnumChildWindows(window, AddChild, parameter);
  return TRUE;
}

std::string DescribeFrameworkWindows(DWORD processId) {
  LayoutSearch search = {processId, {}};
  EnumWindows(AddFrameworkWindow, (LPARAM)&search);
  std::sort(search.lines.begin(), search.lines.end());
  std::string text;
  for (const std::string& line : search.lines) text += line + "\n";
  return text;
}
