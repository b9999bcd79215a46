@echo off
rem Registers the virtual camera (krvcamera.dll, next to this file) as a video-input device.
rem On Windows run it as administrator: the registration is written for the whole machine.
regsvr32 /s "%~dp0krvcamera.dll"
if errorlevel 1 (
  echo The virtual camera could not be registered.
  exit /b 1
)
echo The virtual camera is registered.
exit /b 0
