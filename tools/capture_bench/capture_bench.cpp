// Measures the capture: frames delivered per second and the process's CPU time per frame while
// the graph runs, and optionally writes one frame as a top-down BMP to look at.
// Usage: capture_bench [seconds [fps [frame.bmp]]]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "korvel.h"

static double CpuSeconds(void) {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  ULARGE_INTEGER k, u;
  k.LowPart = kernel.dwLowDateTime;
  k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime;
  u.HighPart = user.dwHighDateTime;
  return (double)(k.QuadPart + u.QuadPart) / 1e7;
}

static void WriteFrame(const char* path) {
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  DWORD bytes = (DWORD)CaptureWidth * CaptureHeight * 4;
  info.biSize = sizeof info;
  info.biWidth = CaptureWidth;
  info.biHeight = -CaptureHeight;  // the frame buffer is top row first
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + bytes;
  FILE* out = fopen(path, "wb");
  if (!out) return;
  fwrite(&file, sizeof file, 1, out);
  fwrite(&info, sizeof info, 1, out);
  fwrite((const void*)krv_frameBuffer[0], bytes, 1, out);
  fclose(out);
}

int main(int argc, char** argv) {
  double seconds = argc > 1 ? atof(argv[1]) : 10.0;
  double fps = argc > 2 ? atof(argv[2]) : 10.0;
  int code = KRV_StartCapture(fps);
  if (code) {
    printf("start failed: %d\n", code);
    return 1;
  }
  // The frame sequence counts the frames delivered, whatever the source stamps them with.
  long firstFrame = krv_frameSequence[0];
  double cpuBefore = CpuSeconds();
  DWORD start = GetTickCount();
  Sleep((DWORD)(seconds * 1000));
  double elapsed = (GetTickCount() - start) / 1000.0;
  double cpuAfter = CpuSeconds();
  double frames = (double)(krv_frameSequence[0] - firstFrame);
  if (argc > 3) WriteFrame(argv[3]);
  printf("%dx%d at %.1f fps asked: %.0f frames in %.2f s = %.2f fps, CPU %.3f s = %.2f ms per "
         "frame (%.2f %% of one core)\n",
         CaptureWidth, CaptureHeight, fps, frames, elapsed, frames / elapsed,
         cpuAfter - cpuBefore, frames > 0 ? (cpuAfter - cpuBefore) * 1000 / frames : 0.0,
         (cpuAfter - cpuBefore) * 100 / elapsed);
  printf("stop: %d\n", KRV_StopCapture());
  return 0;
}
