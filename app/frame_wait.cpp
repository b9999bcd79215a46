// The hand-over of device 0's frames to image 0: the wait for a new frame, the copy, and the
// camera brought back for a run after one that stopped it. Worker thread.
#include <windows.h>
#include <string.h>

#include "app/app.h"

long FrameCopyBytes(long reported, long imageBytes) {
  if (reported < 0 || imageBytes < 0) return 0;
  return reported < imageBytes ? reported : imageBytes;
}

static long CameraImageBytes(void) {
  int height = 0, stride = 0;
  if (!krv_pixels[CameraImage] ||
      KRV_GetImageInfo(CameraImage, NULL, &height, NULL, &stride) != 0)
    return 0;
  return (long)stride * height;
}

// Between looks the thread sleeps until a frame or a message comes, so the windows answer at
// once and a frame is taken as it arrives; it wakes every few milliseconds to see Stop. Without
// the capture's frame signal it looks every millisecond.
enum { StopLookMs = 10 };

long takenFrameSequence;

// A new frame is told by device 0's frame sequence, never by its sample time: Wine's own capture
// source stamps every sample 0, and other sources repeat or go back.
int WaitForFrame(void) {
  for (;;) {
    if (stopRequested) return 0;
    if (krv_captureRunning && krv_captureDeviceCount > 0) {
      long sequence = krv_frameSequence[0];
      if (sequence != takenFrameSequence) {
        takenFrameSequence = sequence;
        krv_consumedTime[0] = krv_sampleTime[0];
        return 1;
      }
    }
    PumpWorkerMessages();
    HANDLE signal = (HANDLE)krv_frameSignal;
    if (signal)
      MsgWaitForMultipleObjects(1, &signal, FALSE, StopLookMs, QS_ALLINPUT);
    else
      MsgWaitForMultipleObjects(0, NULL, FALSE, 1, QS_ALLINPUT);
  }
}

void CopyCameraFrame(void) {
  if (!krv_captureRunning || krv_captureDeviceCount <= 0) return;
  const int* frame = krv_frameBuffer[0];
  long bytes = FrameCopyBytes(krv_frameByteCount[0], CameraImageBytes());
  if (frame && bytes > 0) memcpy(krv_pixels[CameraImage], frame, (size_t)bytes);
}

void ReviveCamera(void) {
  if (!krv_images[CameraImage].inUse)
    KRV_CreateImage(CameraImage, "000", 0, 0, CaptureWidth, CaptureHeight, 100);
  if (!krv_captureRunning) {
    int code = KRV_StartCapture(10.0);
    if (code != 0) KRV_Print("Error %d\n", code);
  }
}
