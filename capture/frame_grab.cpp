// KRV_GrabFrame: a program's wait for the next frame of a device and its copy into an image.
// Worker thread; it pumps the worker's messages while it waits.
#include <string.h>

#include "capture/capture.h"
#include "image/image.h"

namespace {

// The frame sequence each device's last grab returned; a sequence other than this one is a new
// frame. Sample times cannot tell, since some sources stamp every sample 0.
long grabbedSequence[MaxCaptureDevices];

// Between looks the thread sleeps until a frame or a message comes; it wakes every few
// milliseconds to see Stop and the time-out. Without a frame signal it looks every millisecond.
enum { LookMs = 10 };

bool DeviceCaptures(int device) {
  return krv_captureRunning && device < krv_captureDeviceCount && krv_frameBuffer[device];
}

}  // namespace

void CopyFrameToImage(const int* frame, long frameBytes, int frameWidth, int frameHeight,
                      void* pixels, int width, int height) {
  if (!frame || !pixels || frameBytes <= 0 || frameWidth <= 0) return;
  long frameStride = (long)frameWidth * 4;
  int rows = height < frameHeight ? height : frameHeight;
  long columnBytes = (long)(width < frameWidth ? width : frameWidth) * 4;
  for (int y = 0; y < rows; y++) {
    long available = frameBytes - frameStride * y;
    if (available <= 0) break;
    memcpy((char*)pixels + (size_t)width * 4 * y, (const char*)frame + (size_t)frameStride * y,
           (size_t)(available < columnBytes ? available : columnBytes));
  }
}

int KRV_GrabFrame(int device, int id, int timeoutMs) {
  if (device < 0 || device >= MaxCaptureDevices) return GrabNoCapture;
  unsigned int start = KRV_GetTime();
  for (;;) {
    ImageSlot* slot = ImageInUse(id);
    if (!slot) return GrabNoImage;
    if (slot->bits != 32) return GrabImage8Bit;
    if (stopRequested) return GrabStopped;
    if (!DeviceCaptures(device)) return GrabNoCapture;
    long sequence = krv_frameSequence[device];
    if (sequence != grabbedSequence[device]) {
      // The sink advances the sequence after the frame, so what is read now is that frame or
      // a later one.
      grabbedSequence[device] = sequence;
      CopyFrameToImage(krv_frameBuffer[device], krv_frameByteCount[device], CaptureWidth,
                       CaptureHeight, krv_pixels[id], slot->width, slot->height);
      return GrabDone;
    }
    unsigned int waited = KRV_GetTime() - start;
    if (timeoutMs >= 0 && waited >= (unsigned int)timeoutMs) return GrabTimedOut;
    PumpWorkerMessages();
    DWORD look = LookMs;
    if (timeoutMs >= 0 && (unsigned int)timeoutMs - waited < look) look = timeoutMs - waited;
    HANDLE signal = (HANDLE)krv_frameSignal;
    if (signal)
      MsgWaitForMultipleObjects(1, &signal, FALSE, look, QS_ALLINPUT);
    else
      MsgWaitForMultipleObjects(0, NULL, FALSE, 1, QS_ALLINPUT);
  }
}
