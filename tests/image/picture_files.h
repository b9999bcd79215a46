// Picture files made and read byte by byte, independently of GDI+, for the file tests.
#ifndef KORVEL_PICTURE_FILES_H
#define KORVEL_PICTURE_FILES_H

#include <windows.h>

#include <string>
#include <vector>

#include "support/picture_writer.h"

// Bytes of a file, empty when it cannot be read.
std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool FileExists(const std::string& path);

// A bottom-up 24-bit BMP of width x height whose pixel (x, y) is colourAt(x, y) (0x00RRGGBB).
std::vector<unsigned char> MakeBmp24(int width, int height, int (*colourAt)(int x, int y));

// A bottom-up BMP of 2, 8 or 24 bits carrying a colour table of tableEntries entries (the
// header states them all), the pixels right after it. Palette pixels hold indexAt(x, y); 24-bit
// pixels the table entry of that index, so one expectation fits every depth.
std::vector<unsigned char> MakeTableBmp(int bits, int width, int height, int tableEntries,
                                        const std::vector<int>& table, int (*indexAt)(int, int));

// An uncompressed BMP as read from its bytes: depth, size, colour table and pixels as
// 0x00RRGGBB (indexes resolved through the table for 8-bit files); ok false when malformed.
struct BmpPicture {
  bool ok = false;
  int bits = 0, width = 0, height = 0;
  std::vector<int> table;
  std::vector<int> indexes;  // 8-bit files only, row by row from the top
  std::vector<int> pixels;   // row by row from the top
  int At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};
BmpPicture ParseBmp(const std::vector<unsigned char>& bytes);

// A GIF of 16 colours, 16 x 4 pixels, column x in colour gifColours[x]; made once by hand.
extern const unsigned char sixteenColourGif[];
extern const unsigned int sixteenColourGifSize;
extern const int gifColours[16];

#endif
