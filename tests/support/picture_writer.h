// Picture files written with GDI+ by the tests themselves, apart from the framework's own
// writer: the in-process suites and the end-to-end driver share it.
#ifndef KORVEL_PICTURE_WRITER_H
#define KORVEL_PICTURE_WRITER_H

#include <windows.h>

#include <string>

void UseGdiplus(void);  // starts GDI+ once for the test program

// A width x height picture whose pixel (x, y) is colour(x, y) as 0x00RRGGBB, encoded by mime
// ("image/png", "image/jpeg", "image/bmp", ...); false when it could not be written.
bool WritePicture(const std::wstring& path, int width, int height, int (*colour)(int x, int y),
                  const wchar_t* mime = L"image/png");

#endif
