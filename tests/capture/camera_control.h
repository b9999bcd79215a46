// The capture tests' hold on the virtual camera: its test mode, what it saw, its registration
// and the count of its live objects. The camera is loaded from the tests' own folder.
#ifndef KORVEL_CAMERA_CONTROL_H
#define KORVEL_CAMERA_CONTROL_H

#include <windows.h>

#include <string>

// Mode "" streams, "silent" sends nothing, "refuse" refuses SetFormat, "oversized" sends
// samples twice the frame's size. Also clears what the camera recorded.
void SetCameraMode(const wchar_t* mode);
DWORD CameraRuns(void);                 // Run calls since the last SetCameraMode
DWORD CameraSeenDword(const wchar_t* name);  // SeenWidth, SeenHeight; 0 when absent
ULONGLONG CameraSeenFrameDuration(void);
// SeenName: the camera's own name in the graph; SeenPeerName: the name of the filter it feeds.
std::wstring CameraSeenName(const wchar_t* name);
LONG CameraLiveObjects(void);  // -1 when the camera cannot be loaded
HRESULT RegisterCamera(bool add);

#endif
