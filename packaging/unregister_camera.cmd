@echo off
rem Removes the virtual camera (krvcamera.dll, next to this file) from the video-input devices.
rem On Windows run it as administrator, as for the registration.
regsvr32 /s /u "%~dp0krvcamera.dll"
if errorlevel 1 (
  echo The virtual camera could not be removed.
  exit /b 1
)
echo The virtual camera is removed.
exit /b 0
