// The camera's filter and its one output pin as classes, shared by the files that implement
// them (camera_filter.cpp, camera_pin.cpp, camera_stream.cpp). The graph calls the filter and
// the pin on its own threads; the streaming thread delivers the samples.
#ifndef KORVEL_CAMERA_OBJECTS_H
#define KORVEL_CAMERA_OBJECTS_H

#include "camera.h"

const REFERENCE_TIME DefaultDuration = 333333;  // 30 frames per second until SetFormat
const int DefaultWidth = 640, DefaultHeight = 480;
const long SampleBuffers = 3;

class CameraFilter;

class CameraPin final : public IPin, public IAMStreamConfig, public IKsPropertySet {
 public:
  explicit CameraPin(CameraFilter* filter) : filter_(filter) {}

  // IUnknown: the pin lives and dies with its filter.
  STDMETHODIMP QueryInterface(REFIID riid, void** object);
  STDMETHODIMP_(ULONG) AddRef();
  STDMETHODIMP_(ULONG) Release();

  // IPin
  STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type);
  STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }
  STDMETHODIMP Disconnect();
  STDMETHODIMP ConnectedTo(IPin** pin);
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type);
  STDMETHODIMP QueryPinInfo(PIN_INFO* info);
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = PINDIR_OUTPUT;
    return S_OK;
  }
  STDMETHODIMP QueryId(LPWSTR* id);
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type);
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types);
  STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }
  STDMETHODIMP EndOfStream() { return E_UNEXPECTED; }
  STDMETHODIMP BeginFlush() { return E_UNEXPECTED; }
  STDMETHODIMP EndFlush() { return E_UNEXPECTED; }
  STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

  // IAMStreamConfig
  STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type);
  STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type);
  STDMETHODIMP GetNumberOfCapabilities(int* count, int* size);
  STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps);

  // IKsPropertySet: only the pin category, which says "capture".
  STDMETHODIMP Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) { return E_NOTIMPL; }
  STDMETHODIMP Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID data, DWORD size,
                   DWORD* returned);
  STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support);

 private:
  CameraFilter* filter_;
};

class CameraFilter final : public IBaseFilter {
 public:
  CameraFilter();
  ~CameraFilter();

  STDMETHODIMP QueryInterface(REFIID riid, void** object);
  STDMETHODIMP_(ULONG) AddRef() { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  // IPersist, IMediaFilter, IBaseFilter
  STDMETHODIMP GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CameraClsid;
    return S_OK;
  }
  STDMETHODIMP Stop();
  STDMETHODIMP Pause();
  STDMETHODIMP Run(REFERENCE_TIME start);
  STDMETHODIMP GetState(DWORD, FILTER_STATE* state);
  STDMETHODIMP SetSyncSource(IReferenceClock* clock);
  STDMETHODIMP GetSyncSource(IReferenceClock** clock);
  STDMETHODIMP EnumPins(IEnumPins** pins);
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin);
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info);
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name);
  STDMETHODIMP QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

  // Shared with the pin.
  CRITICAL_SECTION lock;
  CameraPin pin;
  IPin* connected = NULL;
  IMemInputPin* receiver = NULL;
  IMemAllocator* allocator = NULL;
  int width = DefaultWidth, height = DefaultHeight;
  REFERENCE_TIME duration = DefaultDuration;
  FILTER_STATE state = State_Stopped;
  IFilterGraph* graph = NULL;  // not held: the graph holds the filter
  wchar_t name[128];
  CameraMode mode = ModeNormal;

  int Bits() const { return mode == ModeRgb24 || mode == ModeRgb24Narrow ? 24 : 32; }
  long FrameBytes() const { return CameraRowBytes(width, Bits()) * height; }

 private:
  static DWORD WINAPI StreamMain(LPVOID self);
  void Stream();
  void FillSample(BYTE* data, long size, int frame);
  bool DrawPicture(DWORD* pixels, int w, int h, int frame);
  void StopStreaming();

  LONG references_ = 1;
  IReferenceClock* clock_ = NULL;
  HANDLE thread_ = NULL;
  HANDLE stopEvent_ = NULL;
  volatile LONG runGeneration_ = 0;
  LONGLONG runStartTicks_ = 0;
  DWORD* still_ = NULL;  // the still picture, bottom-up, for the current size
  DWORD* picture_ = NULL;  // the 32-bit frame a 24-bit sample is packed from
  int stillWidth_ = 0, stillHeight_ = 0;
};

// ---- Media types (camera_media_types.cpp) ----
const GUID& SubtypeOf(int bits);  // RGB24 for 24 bits, else RGB32
// A complete video type of the camera's subtype with its format block.
bool IsCameraType(const AM_MEDIA_TYPE* type, int bits);
// A type the pin can connect with: nothing asked for, or video of the camera's subtype in the
// parts given.
bool Acceptable(const AM_MEDIA_TYPE* type, int bits);

#endif
