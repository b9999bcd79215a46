// Picture files for the end-to-end tests, read back with GDI+ in the driver's own
// process, apart from the program under test.
#ifndef KORVEL_E2E_PICTURES_H
#define KORVEL_E2E_PICTURES_H

#include <windows.h>

#include <string>
#include <vector>

#include "support/picture_writer.h"

// The file's pixels as 0x00RRGGBB, top row first, and its size; empty when it does not decode.
std::vector<int> ReadPicture(const std::wstring& path, int* width, int* height);
// Whether the file decodes to its last row as a picture of that size.
bool DecodesWhole(const std::wstring& path, int width, int height);
// Whether the file's last bytes are a PNG's end chunk: a PNG cut short has none.
bool EndsLikeAPng(const std::wstring& path);

#endif
