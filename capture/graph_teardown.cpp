// The one way a capture graph goes, after a failed start and on KRV_StopCapture alike: stopped
// on a thread of its own, then released with its devices and frame buffers. Worker thread; the
// stopping thread is the only other one.
#include <stdlib.h>
#include <string.h>

#include "capture/capture.h"

namespace {

enum { StopMs = 3000, StopWaitMs = StopMs + 500, MaxGraphsOnTheirWay = 8 };

// A graph being stopped, with everything its streaming threads may still write.
struct GraphOnItsWay {
  HANDLE stopper;  // NULL: the slot is free
  IGraphBuilder* graph;
  CaptureDevice devices[MaxCaptureDevices];
  int* buffers[MaxCaptureDevices];
};
// Graphs whose stop outlasted the wait stay here until their stopper ends.
GraphOnItsWay graphsOnTheirWay[MaxGraphsOnTheirWay];

void ReleaseDevice(CaptureDevice* entry) {
  ReleaseHeld(&entry->grabber);
  ReleaseHeld(&entry->grabberFilter);
  ReleaseHeld(&entry->captureFilter);
  ReleaseHeld(&entry->graphBuilder);
}

// Only once nothing streams: the buffers go last, after the filters that wrote them.
void ReleaseGraph(GraphOnItsWay* way) {
  for (int i = MaxCaptureDevices - 1; i >= 0; i--) {
    if (way->devices[i].sink) way->devices[i].sink->Release();
    ReleaseDevice(&way->devices[i]);
    free(way->buffers[i]);
  }
  ReleaseHeld(&way->graph);
  if (way->stopper) CloseHandle(way->stopper);
  memset(way, 0, sizeof *way);
}

// Stop again and again until it succeeds or 3000 ms have passed. Wine's Stop waits for its
// capture source's reading thread, which asks the device again and again until a frame comes: a
// device that delivers nothing holds the stop for good, hence the thread of its own. After a
// Run that failed half-way, Wine's graph believes itself stopped while some filters stay
// paused, and its release then loops forever failing to remove them: so every filter of ours
// is stopped directly as well.
DWORD WINAPI StopGraph(LPVOID parameter) {
  GraphOnItsWay* way = (GraphOnItsWay*)parameter;
  HRESULT com = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  IMediaControl* control = NULL;
  if (way->graph && SUCCEEDED(way->graph->QueryInterface(IID_IMediaControl, (void**)&control))) {
    DWORD start = GetTickCount();
    while (control->Stop() != S_OK && GetTickCount() - start <= StopMs) {
    }
    control->Release();
  }
  for (int i = 0; i < MaxCaptureDevices; i++) {
    if (way->devices[i].captureFilter) way->devices[i].captureFilter->Stop();
    if (way->devices[i].grabberFilter) way->devices[i].grabberFilter->Stop();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

// Graphs left on their way whose stop has ended since are released now.
void ReleaseStoppedGraphs(void) {
  for (GraphOnItsWay& way : graphsOnTheirWay)
    if (way.stopper && WaitForSingleObject(way.stopper, 0) == WAIT_OBJECT_0) ReleaseGraph(&way);
}

GraphOnItsWay* FreeSlot(void) {
  for (GraphOnItsWay& way : graphsOnTheirWay)
    if (!way.stopper) return &way;
  return NULL;
}

// Waits for the thread, the windows of this thread answering meanwhile; false on time-out.
bool WaitAnswering(HANDLE thread, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD waited = GetTickCount() - start;
    if (waited > timeoutMs) return false;
    DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - waited, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    PumpWorkerMessages();
  }
}

}  // namespace

void TearDownGraph(IGraphBuilder** graph) {
  ReleaseStoppedGraphs();
  GraphOnItsWay* way = FreeSlot();
  GraphOnItsWay alone;  // when every slot holds a graph that never stopped
  if (!way) {
    memset(&alone, 0, sizeof alone);
    way = &alone;
  }
  way->graph = *graph;
  *graph = NULL;
  // From here the sinks find no buffer and drop their frames.
  for (int i = 0; i < MaxCaptureDevices; i++) {
    way->devices[i] = captureDevices[i];
    way->buffers[i] = krv_frameBuffer[i];
    krv_frameBuffer[i] = NULL;
    memset(&captureDevices[i], 0, sizeof captureDevices[i]);
  }
  if (way->graph && way != &alone) {
    way->stopper = CreateThread(NULL, 0, StopGraph, way, 0, NULL);
    if (!way->stopper) StopGraph(way);
  }
  if (!way->stopper || WaitAnswering(way->stopper, StopWaitMs)) {
    if (way != &alone) {
      ReleaseGraph(way);
      return;
    }
  }
  // The graph may still deliver: it keeps its buffers, and its sinks take nothing more, so that
  // a later start's buffers are never written by it.
  for (int i = 0; i < MaxCaptureDevices; i++)
    if (way->devices[i].sink) way->devices[i].sink->retired = 1;
}
