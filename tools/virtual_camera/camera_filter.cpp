// The camera filter, its one output pin and their enumerators. The graph calls the filter and
// the pin on its own threads; the streaming thread delivers the samples.
#include "camera.h"

#include <new>
#include <string.h>

#include "picture.h"

namespace {

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

// An enumerator over the one item a camera has of a kind (its pin, its media type). Self
// supplies InterfaceId() and MakeItem(), which returns a new reference or NULL.
template <class Interface, class Item, class Self>
class OneItemEnum : public Interface {
 public:
  OneItemEnum(CameraFilter* filter, ULONG position) : filter_(filter), position_(position) {
    filter_->AddRef();
    InterlockedIncrement(&liveObjects);
  }
  ~OneItemEnum() {
    filter_->Release();
    InterlockedDecrement(&liveObjects);
  }
  STDMETHODIMP QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == Self::InterfaceId()) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete static_cast<Self*>(this);
    return left;
  }
  STDMETHODIMP Next(ULONG count, Item** items, ULONG* fetched) {
    if (!items) return E_POINTER;
    ULONG given = 0;
    while (given < count && position_ < 1) {
      items[given] = static_cast<Self*>(this)->MakeItem();
      if (!items[given]) break;
      given++;
      position_++;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) {
    position_ += count;
    return position_ <= 1 ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** copy) {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) Self(filter_, position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 protected:
  CameraFilter* filter_;

 private:
  LONG references_ = 1;
  ULONG position_;
};

class PinEnum final : public OneItemEnum<IEnumPins, IPin, PinEnum> {
 public:
  using OneItemEnum::OneItemEnum;
  static const IID& InterfaceId() { return IID_IEnumPins; }
  IPin* MakeItem() {
    filter_->pin.AddRef();
    return &filter_->pin;
  }
};

// One type: RGB32 (or RGB24) at the current size and rate.
class TypeEnum final : public OneItemEnum<IEnumMediaTypes, AM_MEDIA_TYPE, TypeEnum> {
 public:
  using OneItemEnum::OneItemEnum;
  static const IID& InterfaceId() { return IID_IEnumMediaTypes; }
  AM_MEDIA_TYPE* MakeItem() {
    EnterCriticalSection(&filter_->lock);
    AM_MEDIA_TYPE* type =
        NewCameraType(filter_->width, filter_->height, filter_->duration, filter_->Bits());
    LeaveCriticalSection(&filter_->lock);
    return type;
  }
};

// ---- Media types ----

const GUID& SubtypeOf(int bits) { return bits == 24 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32; }

bool IsCameraType(const AM_MEDIA_TYPE* type, int bits) {
  return type && type->majortype == MEDIATYPE_Video && type->subtype == SubtypeOf(bits) &&
         type->formattype == FORMAT_VideoInfo && type->pbFormat &&
         type->cbFormat >= sizeof(VIDEOINFOHEADER);
}

// A type the pin can connect with: nothing asked for, or video of the camera's subtype in the
// parts given.
bool Acceptable(const AM_MEDIA_TYPE* type, int bits) {
  if (!type) return true;
  if (type->majortype != GUID_NULL && type->majortype != MEDIATYPE_Video) return false;
  if (type->subtype != GUID_NULL && type->subtype != SubtypeOf(bits)) return false;
  if (type->formattype != GUID_NULL && type->formattype != FORMAT_VideoInfo) return false;
  return true;
}

}  // namespace

void FillCameraType(AM_MEDIA_TYPE* type, VIDEOINFOHEADER* format, int width, int height,
                    REFERENCE_TIME duration, int bits) {
  memset(format, 0, sizeof *format);
  format->AvgTimePerFrame = duration;
  format->dwBitRate =
      (DWORD)((LONGLONG)width * height * bits * 10000000 / (duration ? duration : 1));
  format->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format->bmiHeader.biWidth = width;
  format->bmiHeader.biHeight = height;
  format->bmiHeader.biPlanes = 1;
  format->bmiHeader.biBitCount = (WORD)bits;
  format->bmiHeader.biCompression = BI_RGB;
  format->bmiHeader.biSizeImage = (DWORD)(CameraRowBytes(width, bits) * height);
  memset(type, 0, sizeof *type);
  type->majortype = MEDIATYPE_Video;
  type->subtype = SubtypeOf(bits);
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = format->bmiHeader.biSizeImage;
  type->formattype = FORMAT_VideoInfo;
  type->cbFormat = sizeof *format;
  type->pbFormat = (BYTE*)format;
}

AM_MEDIA_TYPE* NewCameraType(int width, int height, REFERENCE_TIME duration, int bits) {
  AM_MEDIA_TYPE* type = (AM_MEDIA_TYPE*)CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE));
  VIDEOINFOHEADER* format = (VIDEOINFOHEADER*)CoTaskMemAlloc(sizeof(VIDEOINFOHEADER));
  if (!type || !format) {
    CoTaskMemFree(type);
    CoTaskMemFree(format);
    return NULL;
  }
  FillCameraType(type, format, width, height, duration, bits);
  return type;
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  CoTaskMemFree(type);
}

HRESULT CreateCameraFilter(REFIID riid, void** object) {
  CameraFilter* filter = new (std::nothrow) CameraFilter();
  if (!filter) return E_OUTOFMEMORY;
  HRESULT result = filter->QueryInterface(riid, object);
  filter->Release();
  return result;
}

namespace {

// ---- Filter ----

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

// Stop must return only once the thread has gone: decommitting unblocks a GetBuffer waiting
// for a free sample, the event ends a wait for the next frame's time.
void CameraFilter::StopStreaming() {
  if (!thread_) return;
  SetEvent(stopEvent_);
  if (allocator) allocator->Decommit();
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = NULL;
}

DWORD WINAPI CameraFilter::StreamMain(LPVOID self) {
  CameraFilter* filter = static_cast<CameraFilter*>(self);
  filter->Stream();
  filter->Release();
  return 0;
}

void CameraFilter::Stream() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  LONG generation = -1;
  LONGLONG frame = 0;
  for (;;) {
    EnterCriticalSection(&lock);
    FILTER_STATE current = state;
    LONGLONG start = runStartTicks_;
    REFERENCE_TIME step = duration > 0 ? duration : DefaultDuration;
    if (mode == ModeFlood) step = 10000;  // 1 ms
    LeaveCriticalSection(&lock);
    const bool spent = mode == ModeStopping && generation == runGeneration_ && frame >= StoppingFrames;
    if (current != State_Running || mode == ModeSilent || spent) {
      if (WaitForSingleObject(stopEvent_, 5) == WAIT_OBJECT_0) return;
      continue;
    }
    if (generation != runGeneration_) {
      generation = runGeneration_;
      frame = 0;
    }
    // Frame n (from 1) is stamped and delivered n frame durations after Run.
    REFERENCE_TIME stamp = (frame + 1) * step;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    LONGLONG due = start + stamp * frequency.QuadPart / 10000000;
    if (now.QuadPart < due) {
      DWORD wait = (DWORD)((due - now.QuadPart) * 1000 / frequency.QuadPart);
      if (WaitForSingleObject(stopEvent_, wait ? wait : 1) == WAIT_OBJECT_0) return;
      continue;
    }
    IMediaSample* sample = NULL;
    if (FAILED(allocator->GetBuffer(&sample, NULL, NULL, 0))) return;
    BYTE* data = NULL;
    sample->GetPointer(&data);
    long size = mode == ModeOversized ? 2 * FrameBytes() : FrameBytes();
    if (mode == ModeUndersized) size = FrameBytes() / 2;
    if (size > sample->GetSize()) size = sample->GetSize();
    if (size < FrameBytes())
      memset(data, 0x80, size);  // a short sample holds no whole picture: plain grey
    else
      FillSample(data, size, (int)frame);
    REFERENCE_TIME end = stamp + step;
    sample->SetTime(&stamp, &end);
    sample->SetActualDataLength(size);
    sample->SetSyncPoint(TRUE);
    receiver->Receive(sample);
    sample->Release();
    frame++;
  }
}

// Bytes B, G, R per pixel, rows padded with 0xA5 so that a reader that ignores the padding
// sees wrong colours.
void PackRgb24(const DWORD* pixels, int w, int h, BYTE* data) {
  long rowBytes = CameraRowBytes(w, 24);
  for (int k = 0; k < h; k++) {
    BYTE* row = data + (size_t)rowBytes * k;
    const DWORD* from = pixels + (size_t)w * k;
    for (int x = 0; x < w; x++) {
      row[3 * x] = (BYTE)from[x];
      row[3 * x + 1] = (BYTE)(from[x] >> 8);
      row[3 * x + 2] = (BYTE)(from[x] >> 16);
    }
    memset(row + 3 * w, 0xA5, rowBytes - 3 * w);
  }
}

// Rows go bottom-up, as a bitmap with a positive height stores them.
void CameraFilter::FillSample(BYTE* data, long size, int frame) {
  int w = width, h = height, bits = Bits();
  long pictureBytes = CameraRowBytes(w, bits) * h;
  if (pictureBytes > size) return;
  if (!DrawPicture(bits == 32 ? (DWORD*)data : NULL, w, h, frame)) return;
  if (bits == 24) PackRgb24(picture_, w, h, data);
  // Whatever lies past the frame in an oversized sample is plain white.
  if (size > pictureBytes) memset(data + pictureBytes, 0xFF, size - pictureBytes);
}

// The picture of frame number frame into pixels, or into picture_ when pixels is NULL.
bool CameraFilter::DrawPicture(DWORD* pixels, int w, int h, int frame) {
  if (!still_ || stillWidth_ != w || stillHeight_ != h) {
    delete[] still_;
    delete[] picture_;
    picture_ = NULL;
    still_ = new (std::nothrow) DWORD[(size_t)w * h];
    if (!still_) return false;
    stillWidth_ = w;
    stillHeight_ = h;
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) still_[(size_t)(h - 1 - y) * w + x] = CameraStillPixel(x, y, w, h);
  }
  if (!pixels) {
    if (!picture_) picture_ = new (std::nothrow) DWORD[(size_t)w * h];
    pixels = picture_;
    if (!pixels) return false;
  }
  memcpy(pixels, still_, (size_t)w * h * 4);
  double mx, my;
  CameraMarkerCentre(frame, w, h, &mx, &my);
  double r = CameraMarkerRadius(h);
  for (int y = (int)(my - r) - 1; y <= (int)(my + r) + 1; y++) {
    if (y < 0 || y >= h) continue;
    for (int x = (int)(mx - r) - 1; x <= (int)(mx + r) + 1; x++) {
      if (x < 0 || x >= w) continue;
      pixels[(size_t)(h - 1 - y) * w + x] = CameraPixel(x, y, w, h, frame);
    }
  }
  return true;
}

// ---- Pin ----

// The names under which this filter and the one downstream joined the graph, for the tests.
void RecordPeerName(const wchar_t* own, IPin* peer) {
  PIN_INFO pin;
  if (FAILED(peer->QueryPinInfo(&pin))) return;
  if (!pin.pFilter) return;
  FILTER_INFO info;
  if (SUCCEEDED(pin.pFilter->QueryFilterInfo(&info))) {
    RecordConnection(own, info.achName);
    if (info.pGraph) info.pGraph->Release();
  }
  pin.pFilter->Release();
}

STDMETHODIMP CameraPin::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IPin) {
    *object = static_cast<IPin*>(this);
  } else if (riid == IID_IAMStreamConfig && filter_->mode != ModeNoConfig) {
    *object = static_cast<IAMStreamConfig*>(this);
  } else if (riid == IID_IKsPropertySet && filter_->mode != ModeNoConfig) {
    *object = static_cast<IKsPropertySet*>(this);
  } else {
    *object = NULL;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CameraPin::AddRef() { return filter_->AddRef(); }
STDMETHODIMP_(ULONG) CameraPin::Release() { return filter_->Release(); }

STDMETHODIMP CameraPin::Connect(IPin* receiverPin, const AM_MEDIA_TYPE* wanted) {
  if (!receiverPin) return E_POINTER;
  CameraFilter* f = filter_;
  EnterCriticalSection(&f->lock);
  HRESULT result = S_OK;
  if (f->connected) result = VFW_E_ALREADY_CONNECTED;
  else if (f->state != State_Stopped) result = VFW_E_NOT_STOPPED;
  else if (!Acceptable(wanted, f->Bits()) || f->mode == ModeNoConnect)
    result = VFW_E_TYPE_NOT_ACCEPTED;
  AM_MEDIA_TYPE type;
  VIDEOINFOHEADER format;
  FillCameraType(&type, &format, f->width, f->height, f->duration, f->Bits());
  if (result == S_OK && FAILED(receiverPin->ReceiveConnection(this, &type)))
    result = VFW_E_NO_ACCEPTABLE_TYPES;
  IMemInputPin* input = NULL;
  IMemAllocator* samples = NULL;
  if (result == S_OK) result = receiverPin->QueryInterface(IID_IMemInputPin, (void**)&input);
  // The receiver may offer no allocator; then the samples come from a memory allocator of ours.
  if (result == S_OK && FAILED(input->GetAllocator(&samples)))
    result = CoCreateInstance(CLSID_MemoryAllocator, NULL, CLSCTX_INPROC_SERVER,
                              IID_IMemAllocator, (void**)&samples);
  if (result == S_OK) {
    ALLOCATOR_PROPERTIES asked = {SampleBuffers, 2 * f->FrameBytes(), 1, 0}, got;
    result = samples->SetProperties(&asked, &got);
    if (result == S_OK && got.cbBuffer < 2 * f->FrameBytes()) result = VFW_E_SIZENOTSET;
  }
  if (result == S_OK) result = input->NotifyAllocator(samples, FALSE);
  if (result == S_OK) {
    f->connected = receiverPin;
    receiverPin->AddRef();
    f->receiver = input;
    f->allocator = samples;
    RecordPeerName(f->name, receiverPin);
  } else {
    if (input) {
      receiverPin->Disconnect();
      input->Release();
    }
    if (samples) samples->Release();
  }
  LeaveCriticalSection(&f->lock);
  return result;
}

STDMETHODIMP CameraPin::Disconnect() {
  CameraFilter* f = filter_;
  EnterCriticalSection(&f->lock);
  HRESULT result = S_FALSE;
  if (f->state != State_Stopped) {
    result = VFW_E_NOT_STOPPED;
  } else if (f->connected) {
    f->connected->Release();
    f->connected = NULL;
    f->receiver->Release();
    f->receiver = NULL;
    f->allocator->Release();
    f->allocator = NULL;
    result = S_OK;
  }
  LeaveCriticalSection(&f->lock);
  return result;
}

STDMETHODIMP CameraPin::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  EnterCriticalSection(&filter_->lock);
  *pin = filter_->connected;
  if (*pin) (*pin)->AddRef();
  LeaveCriticalSection(&filter_->lock);
  return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP CameraPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  CameraFilter* f = filter_;
  EnterCriticalSection(&f->lock);
  HRESULT result = VFW_E_NOT_CONNECTED;
  memset(type, 0, sizeof *type);
  if (f->connected) {
    VIDEOINFOHEADER* format = (VIDEOINFOHEADER*)CoTaskMemAlloc(sizeof(VIDEOINFOHEADER));
    if (format) {
      FillCameraType(type, format, f->width, f->height, f->duration, f->Bits());
      result = S_OK;
    } else {
      result = E_OUTOFMEMORY;
    }
  }
  LeaveCriticalSection(&f->lock);
  return result;
}

STDMETHODIMP CameraPin::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = filter_;
  filter_->AddRef();
  info->dir = PINDIR_OUTPUT;
  lstrcpynW(info->achName, L"Capture", MAX_PIN_NAME);
  return S_OK;
}

STDMETHODIMP CameraPin::QueryId(LPWSTR* id) {
  if (!id) return E_POINTER;
  *id = (LPWSTR)CoTaskMemAlloc(sizeof L"Capture");
  if (!*id) return E_OUTOFMEMORY;
  memcpy(*id, L"Capture", sizeof L"Capture");
  return S_OK;
}

STDMETHODIMP CameraPin::QueryAccept(const AM_MEDIA_TYPE* type) {
  return IsCameraType(type, filter_->Bits()) ? S_OK : S_FALSE;
}

STDMETHODIMP CameraPin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (!types) return E_POINTER;
  *types = new (std::nothrow) TypeEnum(filter_, 0);
  return *types ? S_OK : E_OUTOFMEMORY;
}

// Any size and rate in the camera's one subtype; the caller's biSizeImage is not trusted but
// recomputed. The narrow mode keeps a width one below the one asked for.
STDMETHODIMP CameraPin::SetFormat(AM_MEDIA_TYPE* type) {
  CameraFilter* f = filter_;
  if (f->mode == ModeRefuse) return VFW_E_INVALIDMEDIATYPE;
  if (!IsCameraType(type, f->Bits())) return VFW_E_INVALIDMEDIATYPE;
  const VIDEOINFOHEADER* format = (const VIDEOINFOHEADER*)type->pbFormat;
  LONG width = format->bmiHeader.biWidth, height = format->bmiHeader.biHeight;
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096 ||
      format->bmiHeader.biBitCount != f->Bits() || format->AvgTimePerFrame < 0)
    return VFW_E_INVALIDMEDIATYPE;
  if (f->mode == ModeRgb24Narrow && width > 1) width--;
  EnterCriticalSection(&f->lock);
  HRESULT result = S_OK;
  if (f->connected) {
    result = VFW_E_ALREADY_CONNECTED;
  } else {
    f->width = width;
    f->height = height;
    if (format->AvgTimePerFrame > 0) f->duration = format->AvgTimePerFrame;
  }
  LeaveCriticalSection(&f->lock);
  if (result == S_OK) RecordFormatSeen(format);
  return result;
}

STDMETHODIMP CameraPin::GetFormat(AM_MEDIA_TYPE** type) {
  if (!type) return E_POINTER;
  EnterCriticalSection(&filter_->lock);
  *type = NewCameraType(filter_->width, filter_->height, filter_->duration, filter_->Bits());
  LeaveCriticalSection(&filter_->lock);
  return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CameraPin::GetNumberOfCapabilities(int* count, int* size) {
  if (!count || !size) return E_POINTER;
  *count = 1;
  *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
  return S_OK;
}

STDMETHODIMP CameraPin::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
  if (!type || !caps) return E_POINTER;
  if (index != 0) return S_FALSE;
  HRESULT result = GetFormat(type);
  if (FAILED(result)) return result;
  VIDEO_STREAM_CONFIG_CAPS* c = (VIDEO_STREAM_CONFIG_CAPS*)caps;
  memset(c, 0, sizeof *c);
  c->guid = FORMAT_VideoInfo;
  c->MinOutputSize.cx = c->MinCroppingSize.cx = 1;
  c->MinOutputSize.cy = c->MinCroppingSize.cy = 1;
  c->MaxOutputSize.cx = c->MaxCroppingSize.cx = c->InputSize.cx = 4096;
  c->MaxOutputSize.cy = c->MaxCroppingSize.cy = c->InputSize.cy = 4096;
  c->OutputGranularityX = c->OutputGranularityY = 1;
  c->MinFrameInterval = 10000;       // 1000 frames per second
  c->MaxFrameInterval = 100000000;  // one frame in 10 s
  return S_OK;
}

STDMETHODIMP CameraPin::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID data, DWORD size,
                            DWORD* returned) {
  if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (returned) *returned = sizeof(GUID);
  if (!data) return returned ? S_OK : E_POINTER;
  if (size < sizeof(GUID)) return E_UNEXPECTED;
  *(GUID*)data = PIN_CATEGORY_CAPTURE;
  return S_OK;
}

STDMETHODIMP CameraPin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
  if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
  if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
  if (support) *support = KSPROPERTY_SUPPORT_GET;
  return S_OK;
}

}  // namespace
