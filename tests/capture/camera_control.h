// The capture tests' hold on the virtual camera: its test mode, what it saw, its registration
// and the count of its live objects. The camera is loaded from the tests' own folder.
#ifndef KORVEL_CAMERA_CONTROL_H
#define KORVEL_CAMERA_CONTROL_H

#include <windows.h>

#include <map>
#include <string>

// Mode "" streams, "silent" sends nothing, "refuse" refuses SetFormat, "oversized" sends
// samples twice the frame's size, "rgb24" offers only bottom-up RGB24, "rgb24narrow" the same one
// column narrower than asked (tools/virtual_camera/camera.h has them all). Also clears what the
// camera recorded.
void SetCameraMode(const wchar_t* mode);
DWORD CameraRuns(void);                 // Run calls since the last SetCameraMode
DWORD CameraSeenDword(const wchar_t* name);  // SeenWidth, SeenHeight; 0 when absent
ULONGLONG CameraSeenFrameDuration(void);
// Each connected camera's name in the graph with the name of the filter it feeds.
std::map<std::wstring, std::wstring> CameraConnections(void);
// The camera listed count times (1..16) in the video-input category; 1 is the usual.
HRESULT CameraSetInstances(int count);
LONG CameraLiveObjects(void);  // -1 when the camera cannot be loaded
HRESULT RegisterCamera(bool add);

#endif
