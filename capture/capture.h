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

  int device = 0;
  // 1 once its graph was left running after a stop that did not end: it takes no frame more,
  // and its device gets a new sink (FreshSink).
  int retired = 0;
  // The consumer's, never written by the sink: its home is krv_consumedTime[device] so that
  // programs reach it through korvel.h alone.
};

// A 24-bit RGB frame as its device delivers it: the bottom row first when the format's height is
// positive; rows padded to 4 bytes, or packed tight by Wine's capture source (Rgb24Pitch).
struct Rgb24Layout {
  int width, height;  // height without its sign
  int bottomUp;
};

struct CaptureDevice {
  IBaseFilter* captureFilter;
  ICaptureGraphBuilder2* graphBuilder;
  IBaseFilter* grabberFilter;
  SampleGrabber* grabber;
  int frameWidth, frameHeight;
  xkc_SampleGrabberCB* sink;
  // 32 when the grabber took RGB32 (the usual way), 24 when the device could only connect as
  // RGB24; then rgb24 says how its frames are laid out.
  int frameBits;
  Rgb24Layout rgb24;
};
extern CaptureDevice captureDevices[MaxCaptureDevices];
extern xkc_SampleGrabberCB captureSinks[MaxCaptureDevices];
// The sink a new graph gives the device: its own in captureSinks, or a new one once that one
// retired. Sinks are never freed.
xkc_SampleGrabberCB* FreshSink(int device);

template <typename T>
void ReleaseHeld(T** held) {
  if (*held) (*held)->Release();
  *held = NULL;
}

// Stops the graph and releases it with every device entry and frame buffer, *graph cleared;
// the one teardown of failed starts and KRV_StopCapture. The stop runs on a thread of its own
// and is waited for 3.5 s at most, the windows of the calling thread answering meanwhile. A
// graph whose stop does not end in that time keeps its buffers until it does (released by a
// later teardown), and its sinks retire.
void TearDownGraph(IGraphBuilder** graph);
// Per device, for timing programs: the performance counter at the last frame the sink took.
// Written by the streaming thread before the sample time.
extern volatile LONGLONG lastArrivalCount[MaxCaptureDevices];

// Copies one bottom-up RGB32 frame of length bytes into frame, top row first: row length is
// length / height, clamped to width * 4 so that a frame larger than width x height x 4 bytes
// loses its excess instead of writing past frame. Returns the bytes now valid in frame (the
// byte count to publish); 0 when nothing was copied.
long CopyFrameTopDown(const BYTE* source, long length, int width, int height, BYTE* frame);

// Copies the first frameBytes bytes of a frameWidth x frameHeight frame of 32-bit words into a
// width x height image of 32-bit words, top-left corners together: rows and columns beyond
// either picture are left out, and image pixels the frame does not reach keep their values.
void CopyFrameToImage(const int* frame, long frameBytes, int frameWidth, int frameHeight,
                      void* pixels, int width, int height);

// Bytes of one padded 24-bit row of width pixels.
long long Rgb24Stride(int width);
// The layout of a connected RGB24 video type; false for any other type or an absurd size.
bool Rgb24LayoutOf(const AM_MEDIA_TYPE* type, Rgb24Layout* layout);
// count pixels of B, G, R bytes into 0x00RRGGBB words.
void ExpandRgb24Row(const BYTE* source, int count, DWORD* out);
// Bytes from one row of a frame of length bytes in layout to the next: rows padded to 4 bytes
// when the frame holds them, else rows packed tight when the frame is exactly that long (Wine's
// capture source sends those); 0 for any other length.
long long Rgb24Pitch(long length, const Rgb24Layout& layout);
// The bytes a frame of length bytes in layout fills in a width x height buffer of 32-bit words
// (whole rows of that buffer); 0 when the frame is shorter than its layout says.
long Rgb24FrameBytes(long length, const Rgb24Layout& layout, int width, int height);
// Expands such a frame into frame, top row first, clipped to width x height; columns and rows
// beyond a smaller picture keep what they held. Returns Rgb24FrameBytes, 0 when nothing was
// written.
long ExpandRgb24FrameTopDown(const BYTE* source, long length, const Rgb24Layout& layout,
                             int width, int height, BYTE* frame);

// The moniker rule: on Windows only plug-and-play devices qualify; Wine names none of its
// devices so, so there every video-input device does.
bool DeviceQualifies(const wchar_t* displayName, bool underWine);
bool RunningUnderWine(void);

#endif
