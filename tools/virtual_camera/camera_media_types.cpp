// The media types the camera offers and accepts: RGB32 or RGB24, bottom-up, any size and rate.
#include <string.h>

#include "camera_objects.h"

const GUID& SubtypeOf(int bits) { return bits == 24 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32; }

bool IsCameraType(const AM_MEDIA_TYPE* type, int bits) {
  return type && type->majortype == MEDIATYPE_Video && type->subtype == SubtypeOf(bits) &&
         type->formattype == FORMAT_VideoInfo && type->pbFormat &&
         type->cbFormat >= sizeof(VIDEOINFOHEADER);
}

bool Acceptable(const AM_MEDIA_TYPE* type, int bits) {
  if (!type) return true;
  if (type->majortype != GUID_NULL && type->majortype != MEDIATYPE_Video) return false;
  if (type->subtype != GUID_NULL && type->subtype != SubtypeOf(bits)) return false;
  if (type->formattype != GUID_NULL && type->formattype != FORMAT_VideoInfo) return false;
  return true;
}

void FillCameraType(AM_MEDIA_TYPE* type, VIDEOINFOHEADER* format, int width, int height,
                    REFERENCE_TIME duration, int bits) {
  memset(format, 0, sizeof *format);
  format->AvgTimePerFrame = duration;
  format->dwBitRate =
      (DWORD)((LONGLONG)width * height * bits * 10000000 / (duration ? duration : 1));
  format->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format->bmiHeader.biWidth = width;
  format->bmiHeader.biHeight = height;
  format->bmiHeader.biPlanes = 1;
  format->bmiHeader.biBitCount = (WORD)bits;
  format->bmiHeader.biCompression = BI_RGB;
  format->bmiHeader.biSizeImage = (DWORD)(CameraRowBytes(width, bits) * height);
  memset(type, 0, sizeof *type);
  type->majortype = MEDIATYPE_Video;
  type->subtype = SubtypeOf(bits);
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = format->bmiHeader.biSizeImage;
  type->formattype = FORMAT_VideoInfo;
  type->cbFormat = sizeof *format;
  type->pbFormat = (BYTE*)format;
}

AM_MEDIA_TYPE* NewCameraType(int width, int height, REFERENCE_TIME duration, int bits) {
  AM_MEDIA_TYPE* type = (AM_MEDIA_TYPE*)CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE));
  VIDEOINFOHEADER* format = (VIDEOINFOHEADER*)CoTaskMemAlloc(sizeof(VIDEOINFOHEADER));
  if (!type || !format) {
    CoTaskMemFree(type);
    CoTaskMemFree(format);
    return NULL;
  }
  FillCameraType(type, format, width, height, duration, bits);
  return type;
}

void DeleteMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  CoTaskMemFree(type);
}
