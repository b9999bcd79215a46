// The camera filter: its states, clock, graph membership and pin lookup. The graph calls it on
// its own threads.
#include <new>
#include <string.h>

#include "camera_enums.h"

HRESULT CreateCameraFilter(REFIID riid, void** object) {
  CameraFilter* filter = new (std::nothrow) CameraFilter();
  if (!filter) return E_OUTOFMEMORY;
  HRESULT result = filter->QueryInterface(riid, object);
  filter->Release();
  return result;
}

CameraFilter::CameraFilter() : pin(this) {
  InitializeCriticalSection(&lock);
  name[0] = 0;
  stopEvent_ = CreateEventW(NULL, TRUE, FALSE, NULL);
  mode = ReadCameraMode();
  InterlockedIncrement(&liveObjects);
}

CameraFilter::~CameraFilter() {
  StopStreaming();
  if (connected) connected->Release();
  if (receiver) receiver->Release();
  if (allocator) allocator->Release();
  if (clock_) clock_->Release();
  if (stopEvent_) CloseHandle(stopEvent_);
  delete[] still_;
  delete[] picture_;
  DeleteCriticalSection(&lock);
  InterlockedDecrement(&liveObjects);
}

STDMETHODIMP CameraFilter::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IPersist || riid == IID_IMediaFilter ||
      riid == IID_IBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = NULL;
  return E_NOINTERFACE;
}

STDMETHODIMP CameraFilter::Stop() {
  StopStreaming();
  EnterCriticalSection(&lock);
  state = State_Stopped;
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP CameraFilter::Pause() {
  // Wine's graph pauses every filter before it runs them and ignores a failing Run.
  if (mode == ModeNoRun) {
    CountRun();
    return E_FAIL;
  }
  EnterCriticalSection(&lock);
  HRESULT result = S_OK;
  if (state == State_Stopped && receiver && allocator) {
    // Samples are drawn from our own allocator; committing it lets GetBuffer hand them out.
    result = allocator->Commit();
    if (SUCCEEDED(result)) {
      ResetEvent(stopEvent_);
      AddRef();  // the streaming thread's own reference
      thread_ = CreateThread(NULL, 0, StreamMain, this, 0, NULL);
      if (!thread_) {
        Release();
        allocator->Decommit();
        result = E_FAIL;
      }
    }
  }
  if (SUCCEEDED(result)) state = State_Paused;
  LeaveCriticalSection(&lock);
  return result;
}

STDMETHODIMP CameraFilter::Run(REFERENCE_TIME) {
  if (mode == ModeNoRun) return E_FAIL;
  if (state == State_Stopped) {
    HRESULT result = Pause();
    if (FAILED(result)) return result;
  }
  EnterCriticalSection(&lock);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  runStartTicks_ = now.QuadPart;
  InterlockedIncrement(&runGeneration_);
  state = State_Running;
  LeaveCriticalSection(&lock);
  CountRun();
  return S_OK;
}

STDMETHODIMP CameraFilter::GetState(DWORD, FILTER_STATE* current) {
  if (!current) return E_POINTER;
  EnterCriticalSection(&lock);
  *current = state;
  LeaveCriticalSection(&lock);
  // A live source has nothing to cue while paused.
  return *current == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP CameraFilter::SetSyncSource(IReferenceClock* clock) {
  EnterCriticalSection(&lock);
  if (clock) clock->AddRef();
  if (clock_) clock_->Release();
  clock_ = clock;
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP CameraFilter::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  EnterCriticalSection(&lock);
  *clock = clock_;
  if (clock_) clock_->AddRef();
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP CameraFilter::EnumPins(IEnumPins** pins) {
  if (!pins) return E_POINTER;
  *pins = new (std::nothrow) PinEnum(this, 0);
  return *pins ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CameraFilter::FindPin(LPCWSTR id, IPin** found) {
  if (!id || !found) return E_POINTER;
  if (wcscmp(id, L"Capture") != 0) {
    *found = NULL;
    return VFW_E_NOT_FOUND;
  }
  *found = &pin;
  pin.AddRef();
  return S_OK;
}

STDMETHODIMP CameraFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  EnterCriticalSection(&lock);
  lstrcpynW(info->achName, name, MAX_FILTER_NAME);
  info->pGraph = graph;
  if (graph) graph->AddRef();
  LeaveCriticalSection(&lock);
  return S_OK;
}

STDMETHODIMP CameraFilter::JoinFilterGraph(IFilterGraph* newGraph, LPCWSTR newName) {
  EnterCriticalSection(&lock);
  graph = newGraph;
  lstrcpynW(name, newName ? newName : L"", 128);
  LeaveCriticalSection(&lock);
  return S_OK;
}
