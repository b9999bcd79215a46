// The stand-in device's files, as the stand-in tests use them.
#include "standin_device.h"

#include <stdio.h>
#include <string.h>

std::wstring UnixPath(const std::wstring& path) {
  typedef char*(CDECL * ToUnix)(const wchar_t*);
  ToUnix toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                                "wine_get_unix_file_name");
  char* unix = toUnix ? toUnix(path.c_str()) : NULL;
  if (!unix) return L"";
  std::wstring wide(unix, unix + strlen(unix));
  HeapFree(GetProcessHeap(), 0, unix);
  return wide;
}

std::wstring DosPath(const char* path) {
  typedef wchar_t*(CDECL * ToDos)(const char*);
  ToDos toDos = (ToDos)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                             "wine_get_dos_file_name");
  wchar_t* dos = toDos ? toDos(path) : NULL;
  if (!dos) return L"";
  std::wstring wide(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return wide;
}

std::wstring ConfigFile(void) {
  char path[MAX_PATH] = "";
  GetEnvironmentVariableA("LD_PRELOAD", path, MAX_PATH);
  char* slash = strrchr(path, '/');
  if (!slash || slash + sizeof "standin.conf" > path + MAX_PATH) return L"";
  strcpy(slash + 1, "standin.conf");
  return DosPath(path);
}

int Device::serial_;
