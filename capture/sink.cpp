// The Sample Grabber's sink: copies each delivered frame, turned top-down, into its device's
// frame buffer. Runs on the streaming thread of that device.
#include <string.h>

#include "capture/capture.h"

long CopyFrameTopDown(const BYTE* source, long length, int width, int height, BYTE* frame) {
  if (!source || !frame || length <= 0 || width <= 0 || height <= 0) return 0;
  long rowLength = length / height;
  long widest = (long)width * 4;
  if (rowLength > widest) rowLength = widest;
  if (rowLength == 0) return 0;
  // The k-th row in memory is the picture's k-th row from the bottom.
  for (int k = 0; k < height; k++)
    memcpy(frame + (size_t)rowLength * (height - 1 - k), source + (size_t)(length / height) * k,
           rowLength);
  long frameBytes = widest * height;
  return length < frameBytes ? length : frameBytes;
}

STDMETHODIMP xkc_SampleGrabberCB::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == SampleGrabberCallbackIid || riid == IID_IUnknown) {
    *object = this;
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) xkc_SampleGrabberCB::AddRef() { return 2; }
STDMETHODIMP_(ULONG) xkc_SampleGrabberCB::Release() { return 1; }

STDMETHODIMP xkc_SampleGrabberCB::SampleCB(double, IMediaSample*) { return S_OK; }

volatile long krv_frameSequence[MaxCaptureDevices];
volatile LONGLONG lastArrivalCount[MaxCaptureDevices];

static void CountArrival(int device) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  lastArrivalCount[device] = now.QuadPart;
  krv_frameSequence[device] = krv_frameSequence[device] + 1;
}

static void SignalFrame(void) {
  if (krv_frameSignal) SetEvent((HANDLE)krv_frameSignal);
}

xkc_SampleGrabberCB* FreshSink(int device) {
  static xkc_SampleGrabberCB* sinks[MaxCaptureDevices];
  if (!sinks[device]) sinks[device] = &captureSinks[device];
  if (sinks[device]->retired) sinks[device] = new xkc_SampleGrabberCB();
  return sinks[device];
}

// Byte count, rows, frame sequence, then sample time: the consumer reads them in the opposite
// order.
STDMETHODIMP xkc_SampleGrabberCB::BufferCB(double sampleTime, BYTE* buffer, long length) {
  const int device = this->device;
  if (retired || device < 0 || device >= MaxCaptureDevices) return S_OK;
  int* frame = krv_frameBuffer[device];
  if (!frame) return S_OK;
  const CaptureDevice& entry = captureDevices[device];
  if (entry.frameBits == 24) {
    long valid = Rgb24FrameBytes(length, entry.rgb24, CaptureWidth, entry.frameHeight);
    if (!buffer || valid <= 0) return S_OK;  // a broken frame is dropped, the last one stays
    krv_frameByteCount[device] = valid;
    ExpandRgb24FrameTopDown(buffer, length, entry.rgb24, CaptureWidth, entry.frameHeight,
                            (BYTE*)frame);
    CountArrival(device);
    krv_sampleTime[device] = sampleTime;
    SignalFrame();
    return S_OK;
  }
  long frameBytes = (long)CaptureWidth * CaptureHeight * 4;
  long expected = length < frameBytes ? length : frameBytes;
  if (expected <= 0 || !buffer) return S_OK;
  krv_frameByteCount[device] = expected;
  CopyFrameTopDown(buffer, length, CaptureWidth, entry.frameHeight, (BYTE*)frame);
  CountArrival(device);
  krv_sampleTime[device] = sampleTime;
  SignalFrame();
  return S_OK;
}
