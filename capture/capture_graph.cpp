// The capture graph: every video-input device into a Sample Grabber of its own, one filter
// graph for all, started and stopped from the worker thread.
#include <math.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "capture/capture.h"

volatile int krv_captureRunning;
volatile int krv_captureDeviceCount;
int* volatile krv_frameBuffer[MaxCaptureDevices];
volatile long krv_frameByteCount[MaxCaptureDevices];
volatile double krv_sampleTime[MaxCaptureDevices];
volatile double krv_consumedTime[MaxCaptureDevices];
void* volatile krv_frameSignal;  // lives as long as the process

CaptureDevice captureDevices[MaxCaptureDevices];
xkc_SampleGrabberCB captureSinks[MaxCaptureDevices];

namespace {

enum {
  StartOk = 0, StartRunning = 1, StartGraph = 3, StartDeviceEnum = 4, StartClassEnum = 5,
  StartDisplayName = 6, StartBindDevice = 7, StartNoDevice = 8, StartGraphBuilder = 9,
  StartStreamConfig = 10, StartFormat = 11, StartGrabber = 12, StartGrabberType = 13,
  StartAddGrabber = 14, StartConnect = 15, StartBufferSamples = 16, StartOneShot = 17,
  StartMediaControl = 18, StartRun = 19, StartCallback = 20, StartNoFrame = 21,
};
enum { MonikerAttempts = 8, StartAttempts = 3, FirstFrameMs = 3000 };

int comInitialised;
HRESULT lastResult;
IGraphBuilder* graph;

// What one attempt holds only while it runs.
struct AttemptHandles {
  ICreateDevEnum* deviceEnum;
  IEnumMoniker* classEnum;
  IMoniker* moniker;
  IMediaControl* control;
  IAMStreamConfig* config;
};

void FreeMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  CoTaskMemFree(type);
}

void EndGraph(void) {
  TearDownGraph(&graph);
  if (comInitialised) {
    CoUninitialize();
    comInitialised = 0;
  }
}

void CleanUpAttempt(AttemptHandles* held) {
  ReleaseHeld(&held->deviceEnum);
  ReleaseHeld(&held->classEnum);
  ReleaseHeld(&held->moniker);
  ReleaseHeld(&held->control);
  ReleaseHeld(&held->config);
  EndGraph();
}

// The first pin of the wanted direction, with its reference; NULL when there is none.
IPin* FindPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  IEnumPins* pins = NULL;
  lastResult = filter->EnumPins(&pins);
  if (FAILED(lastResult) || !pins) return NULL;
  IPin* found = NULL;
  IPin* pin = NULL;
  while (!found && pins->Next(1, &pin, NULL) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) found = pin;
    else pin->Release();
  }
  pins->Release();
  return found;
}

// The frame duration in 100 ns units for fps, or 0 when fps gives none.
LONGLONG FrameDuration(double fps) {
  if (!(fps > 0.0)) return 0;
  double units = floor(10000000.0 / fps + 0.5);
  if (!(units >= 1.0 && units <= 1e15)) return 0;
  return (LONGLONG)units;
}

int FindDevices(AttemptHandles* held) {
  lastResult = CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, (void**)&held->deviceEnum);
  if (FAILED(lastResult)) return StartDeviceEnum;
  lastResult = held->deviceEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory,
                                                       &held->classEnum, 0);
  if (lastResult != S_OK) return StartClassEnum;
  bool underWine = RunningUnderWine();
  krv_captureDeviceCount = 0;
  for (int attempt = 0; attempt < MonikerAttempts; attempt++) {
    if (held->classEnum->Next(1, &held->moniker, NULL) != S_OK) {
      held->moniker = NULL;
      continue;
    }
    LPOLESTR displayName = NULL;
    lastResult = held->moniker->GetDisplayName(NULL, NULL, &displayName);
    if (FAILED(lastResult)) return StartDisplayName;
    bool qualifies = DeviceQualifies(displayName, underWine);
    CoTaskMemFree(displayName);
    if (!qualifies) {
      ReleaseHeld(&held->moniker);
      continue;
    }
    int count = krv_captureDeviceCount;
    CaptureDevice& entry = captureDevices[count];
    lastResult = held->moniker->BindToObject(NULL, NULL, IID_IBaseFilter,
                                             (void**)&entry.captureFilter);
    if (FAILED(lastResult)) return StartBindDevice;
    ReleaseHeld(&held->moniker);
    wchar_t name[32];
    swprintf(name, 32, L"Video Capture %d", count);
    lastResult = graph->AddFilter(entry.captureFilter, name);
    if (FAILED(lastResult)) return StartBindDevice;
    krv_captureDeviceCount = count + 1;
  }
  ReleaseHeld(&held->classEnum);
  ReleaseHeld(&held->deviceEnum);
  return krv_captureDeviceCount == 0 ? StartNoDevice : StartOk;
}

// GetFormat, then the capture size and rate in the device's own type.
int RequestFormat(AttemptHandles* held, const CaptureDevice& entry, double fps) {
  AM_MEDIA_TYPE* type = NULL;
  lastResult = held->config->GetFormat(&type);
  if (FAILED(lastResult) || !type) return StartFormat;
  LONGLONG duration = FrameDuration(fps);
  int code = StartFormat;
  if (duration > 0 && type->formattype == FORMAT_VideoInfo && type->pbFormat &&
      type->cbFormat >= sizeof(VIDEOINFOHEADER)) {
    VIDEOINFOHEADER* format = (VIDEOINFOHEADER*)type->pbFormat;
    format->bmiHeader.biWidth = entry.frameWidth;
    format->bmiHeader.biHeight = entry.frameHeight;
    format->AvgTimePerFrame = duration;
    lastResult = held->config->SetFormat(type);
    if (SUCCEEDED(lastResult)) code = StartOk;
  }
  FreeMediaType(type);
  return code;
}

int ConnectPins(CaptureDevice& entry) {
  IPin* output = FindPin(entry.captureFilter, PINDIR_OUTPUT);
  IPin* input = FindPin(entry.grabberFilter, PINDIR_INPUT);
  int code = StartConnect;
  if (output && input) {
    lastResult = graph->Connect(output, input);
    if (SUCCEEDED(lastResult)) code = StartOk;
  }
  if (output) output->Release();
  if (input) input->Release();
  return code;
}

bool AskGrabberFor(CaptureDevice& entry, const GUID& subtype) {
  AM_MEDIA_TYPE wanted;
  memset(&wanted, 0, sizeof wanted);
  wanted.majortype = MEDIATYPE_Video;
  wanted.subtype = subtype;
  wanted.formattype = FORMAT_VideoInfo;
  lastResult = entry.grabber->SetMediaType(&wanted);
  return SUCCEEDED(lastResult);
}

// RGB32 first: on Windows the graph puts whatever converter the device needs in between. Wine
// has no such converter and its own capture source offers only bottom-up RGB24, so a device
// that cannot give RGB32 connects as RGB24 and the sink expands its frames itself.
int ConnectToGrabber(CaptureDevice& entry) {
  entry.frameBits = 32;
  if (ConnectPins(entry) == StartOk) return StartOk;
  if (!AskGrabberFor(entry, MEDIASUBTYPE_RGB24) || ConnectPins(entry) != StartOk)
    return StartConnect;
  AM_MEDIA_TYPE connected;
  memset(&connected, 0, sizeof connected);
  lastResult = entry.grabber->GetConnectedMediaType(&connected);
  if (FAILED(lastResult)) return StartConnect;
  bool known = Rgb24LayoutOf(&connected, &entry.rgb24);
  CoTaskMemFree(connected.pbFormat);
  if (connected.pUnk) connected.pUnk->Release();
  if (!known) return StartConnect;
  entry.frameBits = 24;
  return StartOk;
}

int SetUpDevice(AttemptHandles* held, int i, double fps) {
  CaptureDevice& entry = captureDevices[i];
  entry.frameWidth = CaptureWidth;
  entry.frameHeight = CaptureHeight;
  lastResult = CoCreateInstance(CLSID_CaptureGraphBuilder2, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICaptureGraphBuilder2, (void**)&entry.graphBuilder);
  if (FAILED(lastResult)) return StartGraphBuilder;
  lastResult = entry.graphBuilder->SetFiltergraph(graph);
  if (FAILED(lastResult)) return StartGraphBuilder;
  lastResult = entry.graphBuilder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video,
                                                 entry.captureFilter, IID_IAMStreamConfig,
                                                 (void**)&held->config);
  if (FAILED(lastResult)) return StartStreamConfig;
  int code = RequestFormat(held, entry, fps);
  if (code) return code;
  ReleaseHeld(&held->config);

  lastResult = CoCreateInstance(SampleGrabberClsid, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                (void**)&entry.grabberFilter);
  if (FAILED(lastResult)) return StartGrabber;
  lastResult = entry.grabberFilter->QueryInterface(SampleGrabberIid, (void**)&entry.grabber);
  if (FAILED(lastResult)) return StartGrabber;
  if (!AskGrabberFor(entry, MEDIASUBTYPE_RGB32)) return StartGrabberType;
  wchar_t name[32];
  swprintf(name, 32, L"Grabber %d", i);
  lastResult = graph->AddFilter(entry.grabberFilter, name);
  if (FAILED(lastResult)) return StartAddGrabber;
  code = ConnectToGrabber(entry);
  if (code) return code;
  lastResult = entry.grabber->SetBufferSamples(FALSE);
  if (FAILED(lastResult)) return StartBufferSamples;
  lastResult = entry.grabber->SetOneShot(FALSE);
  if (FAILED(lastResult)) return StartOneShot;

  // Without its frame buffer the sink has nowhere to deliver: the callback cannot be set.
  int* buffer = (int*)calloc((size_t)CaptureWidth * CaptureHeight, 4);
  if (!buffer) return StartCallback;
  krv_frameBuffer[i] = buffer;
  entry.sink = FreshSink(i);
  entry.sink->device = i;
  krv_consumedTime[i] = 0.0;
  krv_frameByteCount[i] = 0;
  krv_sampleTime[i] = 0.0;
  lastResult = entry.grabber->SetCallback(entry.sink, 1);  // 1: BufferCB
  if (FAILED(lastResult)) return StartCallback;
  return StartOk;
}

int StartAttempt(double fps) {
  AttemptHandles held;
  memset(&held, 0, sizeof held);
  graph = NULL;
  memset(captureDevices, 0, sizeof captureDevices);
  for (int i = 0; i < MaxCaptureDevices; i++) krv_frameBuffer[i] = NULL;
  lastResult = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  if (lastResult == S_OK) comInitialised = 1;

  int code = StartOk;
  lastResult = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                (void**)&graph);
  if (FAILED(lastResult)) code = StartGraph;
  if (!code) code = FindDevices(&held);
  for (int i = 0; !code && i < krv_captureDeviceCount; i++) code = SetUpDevice(&held, i, fps);
  if (!code) {
    lastResult = graph->QueryInterface(IID_IMediaControl, (void**)&held.control);
    if (FAILED(lastResult)) code = StartMediaControl;
  }
  if (!code) {
    lastResult = held.control->Run();
    if (FAILED(lastResult)) code = StartRun;
    else ReleaseHeld(&held.control);
  }
  if (!code) {
    // A busy wait: the first frame usually comes within one frame period.
    DWORD start = GetTickCount();
    while (krv_frameByteCount[0] == 0) {
      if (GetTickCount() - start > FirstFrameMs) {
        code = StartNoFrame;
        break;
      }
    }
  }
  if (code) CleanUpAttempt(&held);
  return code;
}

}  // namespace

int KRV_StartCapture(double fps) {
  if (krv_captureRunning) return StartRunning;
  if (!krv_frameSignal) krv_frameSignal = CreateEventW(NULL, FALSE, FALSE, NULL);
  int code = StartOk;
  bool retrying = false;
  for (int attempt = 0; attempt < StartAttempts; attempt++) {
    code = StartAttempt(fps);
    if (code == StartOk) {
      krv_captureRunning = 1;
      return StartOk;
    }
    if (code == StartRun || code == StartNoFrame) retrying = true;
    if (!retrying) return code;
  }
  return code;
}

int KRV_StopCapture(void) {
  if (!krv_captureRunning) return 1;
  IMediaControl* control = NULL;
  lastResult = graph->QueryInterface(IID_IMediaControl, (void**)&control);
  if (FAILED(lastResult)) return 2;
  control->Release();
  EndGraph();
  krv_captureRunning = 0;
  return 0;
}
