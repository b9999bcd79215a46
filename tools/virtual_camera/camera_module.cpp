// The camera DLL's exports: its class factory, self-registration as a video-input device, the
// count of live objects for leak tests, and the registry values of the test modes.
#include "camera.h"

#include <new>
#include <string.h>

volatile LONG liveObjects = 0;
HMODULE cameraModule = NULL;
static volatile LONG serverLocks = 0;

// ---- Registry values of the test modes ----

static HKEY OpenCameraKey(void) {
  HKEY key = NULL;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, CameraKey, 0, NULL, 0, KEY_READ | KEY_WRITE, NULL, &key,
                      NULL) != ERROR_SUCCESS)
    return NULL;
  return key;
}

CameraMode ReadCameraMode(void) {
  wchar_t mode[32] = L"";
  DWORD size = sizeof mode - sizeof(wchar_t);
  HKEY key = OpenCameraKey();
  if (!key) return ModeNormal;
  DWORD type = 0;
  if (RegQueryValueExW(key, L"Mode", NULL, &type, (BYTE*)mode, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    mode[0] = 0;
  RegCloseKey(key);
  if (wcscmp(mode, L"silent") == 0) return ModeSilent;
  if (wcscmp(mode, L"refuse") == 0) return ModeRefuse;
  if (wcscmp(mode, L"oversized") == 0) return ModeOversized;
  if (wcscmp(mode, L"noconfig") == 0) return ModeNoConfig;
  if (wcscmp(mode, L"noconnect") == 0) return ModeNoConnect;
  if (wcscmp(mode, L"norun") == 0) return ModeNoRun;
  if (wcscmp(mode, L"rgb24") == 0) return ModeRgb24;
  if (wcscmp(mode, L"rgb24narrow") == 0) return ModeRgb24Narrow;
  if (wcscmp(mode, L"undersized") == 0) return ModeUndersized;
  if (wcscmp(mode, L"stopping") == 0) return ModeStopping;
  if (wcscmp(mode, L"flood") == 0) return ModeFlood;
  return ModeNormal;
}

void RecordFormatSeen(const VIDEOINFOHEADER* format) {
  HKEY key = OpenCameraKey();
  if (!key) return;
  DWORD width = (DWORD)format->bmiHeader.biWidth, height = (DWORD)format->bmiHeader.biHeight;
  ULONGLONG duration = (ULONGLONG)format->AvgTimePerFrame;
  RegSetValueExW(key, L"SeenWidth", 0, REG_DWORD, (const BYTE*)&width, sizeof width);
  RegSetValueExW(key, L"SeenHeight", 0, REG_DWORD, (const BYTE*)&height, sizeof height);
  RegSetValueExW(key, L"SeenFrameDuration", 0, REG_QWORD, (const BYTE*)&duration,
                 sizeof duration);
  RegCloseKey(key);
}

void RecordConnection(const wchar_t* own, const wchar_t* peer) {
  HKEY key = OpenCameraKey(), connections = NULL;
  if (!key) return;
  if (RegCreateKeyExW(key, L"Connections", 0, NULL, 0, KEY_WRITE, NULL, &connections, NULL) ==
      ERROR_SUCCESS) {
    RegSetValueExW(connections, own, 0, REG_SZ, (const BYTE*)peer,
                   (DWORD)((wcslen(peer) + 1) * sizeof(wchar_t)));
    RegCloseKey(connections);
  }
  RegCloseKey(key);
}

void CountRun(void) {
  HKEY key = OpenCameraKey();
  if (!key) return;
  DWORD runs = 0, size = sizeof runs;
  if (RegQueryValueExW(key, L"Runs", NULL, NULL, (BYTE*)&runs, &size) != ERROR_SUCCESS) runs = 0;
  runs++;
  RegSetValueExW(key, L"Runs", 0, REG_DWORD, (const BYTE*)&runs, sizeof runs);
  RegCloseKey(key);
}

// ---- Class factory ----

namespace {

class CameraFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
  }
  // The one factory is static; its references only keep the DLL loaded.
  STDMETHODIMP_(ULONG) AddRef() { return InterlockedIncrement(&serverLocks) + 1; }
  STDMETHODIMP_(ULONG) Release() { return InterlockedDecrement(&serverLocks) + 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = NULL;
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateCameraFilter(riid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) {
    if (lock) InterlockedIncrement(&serverLocks);
    else InterlockedDecrement(&serverLocks);
    return S_OK;
  }
};

CameraFactory factory;

// ---- Registration ----

void ClsidKeyPath(wchar_t* out, int capacity) {
  wchar_t clsid[40];
  StringFromGUID2(CameraClsid, clsid, 40);
  wcsncpy(out, L"CLSID\\", capacity);
  out[capacity - 1] = 0;
  wcsncat(out, clsid, capacity - wcslen(out) - 1);
}

HRESULT RegisterCameraClass(void) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(cameraModule, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return E_FAIL;
  wchar_t keyPath[80], serverPath[120];
  ClsidKeyPath(keyPath, 80);
  wcscpy(serverPath, keyPath);
  wcscat(serverPath, L"\\InprocServer32");
  HKEY key = NULL, server = NULL;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL))
    return E_FAIL;
  RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)CameraName, sizeof CameraName);
  RegCloseKey(key);
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, serverPath, 0, NULL, 0, KEY_WRITE, NULL, &server, NULL))
    return E_FAIL;
  LONG a = RegSetValueExW(server, NULL, 0, REG_SZ, (const BYTE*)path,
                          (DWORD)((wcslen(path) + 1) * sizeof(wchar_t)));
  static const wchar_t both[] = L"Both";
  LONG b = RegSetValueExW(server, L"ThreadingModel", 0, REG_SZ, (const BYTE*)both, sizeof both);
  RegCloseKey(server);
  return a == ERROR_SUCCESS && b == ERROR_SUCCESS ? S_OK : E_FAIL;
}

void UnregisterCameraClass(void) {
  wchar_t keyPath[80];
  ClsidKeyPath(keyPath, 80);
  RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath);
}

enum { MaxInstances = 16 };

// The first instance is named CameraName, the others "<CameraName> <n>" from 2.
void InstanceName(int number, wchar_t* out, int capacity) {
  if (number == 1) lstrcpynW(out, CameraName, capacity);
  else _snwprintf(out, capacity, L"%ls %d", CameraName, number);
  out[capacity - 1] = 0;
}

// The category entry is what makes the system device enumerator list the camera.
HRESULT RegisterInCategory(bool add, int number) {
  wchar_t name[64];
  InstanceName(number, name, 64);
  IFilterMapper2* mapper = NULL;
  HRESULT result = CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER,
                                    IID_IFilterMapper2, (void**)&mapper);
  if (FAILED(result)) return result;
  if (add) {
    REGPINTYPES type = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32};
    REGFILTERPINS2 pin;
    memset(&pin, 0, sizeof pin);
    pin.dwFlags = 0;  // an output pin
    pin.cInstances = 1;
    pin.nMediaTypes = 1;
    pin.lpMediaType = &type;
    pin.clsPinCategory = &PIN_CATEGORY_CAPTURE;
    REGFILTER2 filter;
    memset(&filter, 0, sizeof filter);
    filter.dwVersion = 2;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins2 = 1;
    filter.rgPins2 = &pin;
    result = mapper->RegisterFilter(CameraClsid, name, NULL, &CLSID_VideoInputDeviceCategory,
                                    name, &filter);
  } else {
    result = mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, name, CameraClsid);
  }
  mapper->Release();
  return result;
}

// regsvr32 calls the entries on a thread of its own choosing; COM is joined for the mapper.
// Instances 1..count are registered, count + 1 .. MaxInstances removed where present.
HRESULT SetInstances(int count) {
  HRESULT joined = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  HRESULT result = S_OK;
  for (int number = 1; number <= MaxInstances; number++) {
    HRESULT one = RegisterInCategory(number <= count, number);
    if (number <= count && FAILED(one)) result = one;
    if (number == 1 && count == 0) result = one;
  }
  if (SUCCEEDED(joined)) CoUninitialize();
  return result;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    cameraModule = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid,
                                                       void** object) {
  if (!object) return E_POINTER;
  *object = NULL;
  if (clsid != CameraClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(riid, object);
}

HRESULT WINAPI DllCanUnloadNow(void) {
  return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer(void) {
  HRESULT result = RegisterCameraClass();
  if (FAILED(result)) return result;
  result = SetInstances(1);
  if (FAILED(result)) UnregisterCameraClass();
  return result;
}

HRESULT WINAPI DllUnregisterServer(void) {
  HRESULT result = SetInstances(0);
  UnregisterCameraClass();
  return result;
}

// For tests of several devices: the camera listed count times (1..16) under distinct names.
HRESULT WINAPI KrvCameraSetInstances(int count) {
  if (count < 1 || count > MaxInstances) return E_INVALIDARG;
  return SetInstances(count);
}

// Filters, pin enumerators and type enumerators alive now: 0 once every user released them.
LONG WINAPI KrvCameraLiveObjects(void) { return liveObjects; }

}  // extern "C"
