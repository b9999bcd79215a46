// The camera's streaming thread: one sample per frame time, filled with the synthetic picture
// at the agreed size and depth.
#include <new>
#include <string.h>

#include "camera_objects.h"
#include "picture.h"

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
static void PackRgb24(const DWORD* pixels, int w, int h, BYTE* data) {
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

