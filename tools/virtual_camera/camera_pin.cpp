// The camera's one output pin: connection, format negotiation and the capture category. The
// graph calls it on its own threads.
#include <new>
#include <string.h>

#include "camera_enums.h"

// The names under which this filter and the one downstream joined the graph, for the tests.
static void RecordPeerName(const wchar_t* own, IPin* peer) {
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

