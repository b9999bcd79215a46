// Talks to the virtual camera through its registry key and its exports.
#include "capture/camera_control.h"

static const wchar_t Key[] = L"Software\\KORVEL\\VirtualCamera";

static HMODULE Camera(void) {
  static HMODULE module = LoadLibraryW(L"krvcamera.dll");  // kept loaded for the whole test
  return module;
}

void SetCameraMode(const wchar_t* mode) {
  HKEY key = NULL;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Key, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL)) return;
  RegSetValueExW(key, L"Mode", 0, REG_SZ, (const BYTE*)mode,
                 (DWORD)((wcslen(mode) + 1) * sizeof(wchar_t)));
  RegDeleteValueW(key, L"Runs");
  RegDeleteValueW(key, L"SeenWidth");
  RegDeleteValueW(key, L"SeenHeight");
  RegDeleteValueW(key, L"SeenFrameDuration");
  RegDeleteTreeW(key, L"Connections");
  RegCloseKey(key);
}

static bool ReadValue(const wchar_t* name, void* value, DWORD size) {
  return RegGetValueW(HKEY_CURRENT_USER, Key, name, RRF_RT_ANY, NULL, value, &size) ==
         ERROR_SUCCESS;
}

DWORD CameraRuns(void) { return CameraSeenDword(L"Runs"); }

DWORD CameraSeenDword(const wchar_t* name) {
  DWORD value = 0;
  return ReadValue(name, &value, sizeof value) ? value : 0;
}

ULONGLONG CameraSeenFrameDuration(void) {
  ULONGLONG value = 0;
  return ReadValue(L"SeenFrameDuration", &value, sizeof value) ? value : 0;
}

LONG CameraLiveObjects(void) {
  typedef LONG(WINAPI * Count)(void);
  Count count = Camera() ? (Count)(void*)GetProcAddress(Camera(), "KrvCameraLiveObjects") : NULL;
  return count ? count() : -1;
}

HRESULT RegisterCamera(bool add) {
  typedef HRESULT(WINAPI * Entry)(void);
  if (!Camera()) return E_FAIL;
  Entry entry = (Entry)(void*)GetProcAddress(Camera(), add ? "DllRegisterServer"
                                                           : "DllUnregisterServer");
  return entry ? entry() : E_FAIL;
}

std::map<std::wstring, std::wstring> CameraConnections(void) {
  std::map<std::wstring, std::wstring> connections;
  HKEY key = NULL;
  std::wstring path = std::wstring(Key) + L"\\Connections";
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key)) return connections;
  for (DWORD i = 0;; i++) {
    wchar_t name[128], value[128];
    DWORD nameLength = 128, size = sizeof value - sizeof(wchar_t), type = 0;
    memset(value, 0, sizeof value);
    if (RegEnumValueW(key, i, name, &nameLength, NULL, &type, (BYTE*)value, &size)) break;
    connections[name] = value;
  }
  RegCloseKey(key);
  return connections;
}

HRESULT CameraSetInstances(int count) {
  typedef HRESULT(WINAPI * Entry)(int);
  Entry entry = Camera() ? (Entry)(void*)GetProcAddress(Camera(), "KrvCameraSetInstances") : NULL;
  return entry ? entry(count) : E_FAIL;
}
