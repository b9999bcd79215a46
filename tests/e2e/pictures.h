// Picture files for the end-to-end tests, written and read back with GDI+ in the driver's own
// process, apart from the program under test.
#ifndef KORVEL_E2E_PICTURES_H
#define KORVEL_E2E_PICTURES_H

#include <windows.h>

#include <string>

// A width x height PNG (or BMP, by mime) whose pixel (x, y) is colour(x, y) as 0x00RRGGBB.
bool WritePicture(const std::wstring& path, int width, int height, int (*colour)(int x, int y),
                  const wchar_t* mime = L"image/png");
// Whether the file decodes to its last row as a picture of that size.
bool DecodesWhole(const std::wstring& path, int width, int height);
// Whether the file's last bytes are a PNG's end chunk: a PNG cut short has none.
bool EndsLikeAPng(const std::wstring& path);

#endif
