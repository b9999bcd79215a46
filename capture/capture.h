// Capture internals: the graph's per-device table, the sink the Sample Grabber calls, and the
// pure rules of frame copying and device selection. KRV_StartCapture and KRV_StopCapture run
// on the worker thread; the sinks run on DirectShow's streaming threads, one per device.
#ifndef KORVEL_CAPTURE_H
#define KORVEL_CAPTURE_H

#include <windows.h>
#include <dshow.h>

#include "capture/sample_grabber.h"
#include "korvel.h"

// Receives every frame of one device. It lives in a static table for the whole process, so
// neither its AddRef nor its Release counts anything.
class xkc_SampleGrabberCB : public GrabberCallback {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object);
  STDMETHODIMP_(ULONG) AddRef();
  STDMETHODIMP_(ULONG) Release();
  STDMETHODIMP SampleCB(double sampleTime, IMediaSample* sample);
  STDMETHODIMP BufferCB(double sampleTime, BYTE* buffer, long length);

  int device;
  // The consumer's, never written by the sink: its home is krv_consumedTime[device] so that
  // programs reach it through korvel.h alone.
};

struct CaptureDevice {
  IBaseFilter* captureFilter;
  ICaptureGraphBuilder2* graphBuilder;
  IBaseFilter* grabberFilter;
  SampleGrabber* grabber;
  int frameWidth, frameHeight;
  xkc_SampleGrabberCB* sink;
};
extern CaptureDevice captureDevices[MaxCaptureDevices];
extern xkc_SampleGrabberCB captureSinks[MaxCaptureDevices];

// Copies one bottom-up RGB32 frame of length bytes into frame, top row first: row length is
// length / height, clamped to width * 4 so that a frame larger than width x height x 4 bytes
// loses its excess instead of writing past frame. Returns the bytes now valid in frame (the
// byte count to publish); 0 when nothing was copied.
long CopyFrameTopDown(const BYTE* source, long length, int width, int height, BYTE* frame);

// The moniker rule: on Windows only plug-and-play devices qualify; Wine names none of its
// devices so, so there every video-input device does.
bool DeviceQualifies(const wchar_t* displayName, bool underWine);
bool RunningUnderWine(void);

#endif
