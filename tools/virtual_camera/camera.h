// The virtual camera: a DirectShow live source of one capture pin that offers RGB32 at any size
// and rate and pushes the synthetic picture from its own streaming thread. Test and demo
// infrastructure for machines without a camera; the graph's threads and the streaming thread
// call into it, so the filter's state is guarded by one critical section.
#ifndef KORVEL_CAMERA_H
#define KORVEL_CAMERA_H

#include <windows.h>
#include <dshow.h>

#include "runtime/dib_stride.h"

// {5C1F7A4E-2B3D-4E8A-9F61-7D0C4B2A91E3}
static const CLSID CameraClsid = {
    0x5c1f7a4e, 0x2b3d, 0x4e8a, {0x9f, 0x61, 0x7d, 0x0c, 0x4b, 0x2a, 0x91, 0xe3}};
static const wchar_t CameraName[] = L"KORVEL Virtual Camera";
// Test modes and what the camera saw live under this key of HKEY_CURRENT_USER.
static const wchar_t CameraKey[] = L"Software\\KORVEL\\VirtualCamera";

// Value "Mode": "" or absent streams normally; "silent" delivers no frame; "refuse" refuses
// SetFormat; "oversized" delivers samples twice the size of the frame; "noconfig" offers no
// IAMStreamConfig and no pin category; "noconnect" refuses every connection; "norun" fails Pause and Run;
// "rgb24" offers only bottom-up 24-bit RGB, as Wine's own capture source does; "rgb24narrow"
// does the same one column narrower than asked, so that its rows carry padding; "undersized"
// delivers samples half the size of the frame; "stopping" delivers 20 frames after each Run,
// then nothing; "flood" delivers 1000 frames a second whatever rate was agreed.
enum CameraMode {
  ModeNormal, ModeSilent, ModeRefuse, ModeOversized, ModeNoConfig, ModeNoConnect, ModeNoRun,
  ModeRgb24, ModeRgb24Narrow, ModeUndersized, ModeStopping, ModeFlood
};
enum { StoppingFrames = 20 };
CameraMode ReadCameraMode(void);
void RecordFormatSeen(const VIDEOINFOHEADER* format);  // values SeenWidth/Height/FrameDuration
void CountRun(void);  // value Runs, one more per Run (per refused Pause in mode "norun")
// Subkey "Connections": one value per connected camera, named by the camera's name in the
// graph, holding the name of the filter it feeds.
void RecordConnection(const wchar_t* own, const wchar_t* peer);

extern volatile LONG liveObjects;  // filters, enumerators and factories not yet released
extern HMODULE cameraModule;

HRESULT CreateCameraFilter(REFIID riid, void** object);

// Media types offered: RGB32 (bits 32) or RGB24 (bits 24), bottom-up, any size, at the given
// frame duration (100 ns units).
void FillCameraType(AM_MEDIA_TYPE* type, VIDEOINFOHEADER* format, int width, int height,
                    REFERENCE_TIME duration, int bits);
AM_MEDIA_TYPE* NewCameraType(int width, int height, REFERENCE_TIME duration, int bits);
// Bytes of one bottom-up row: 4 per pixel, or 3 padded to a multiple of 4.
inline long CameraRowBytes(int width, int bits) { return (long)DibStride(width, bits); }
void DeleteMediaType(AM_MEDIA_TYPE* type);

#endif
