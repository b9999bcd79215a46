// Writes image files through the framework for a decoder that shares nothing with GDI+ (see
// decode_check.sh), with the pixels each file must hold as raw RGB bytes beside them.
#include <stdio.h>

#include <string>

#include "image/image.h"
#include "image/picture_files.h"
#include "support/framework_windows.h"

namespace {

// 60 colours in blocks of 4 x 4: GIF keeps them all, JPEG stays close.
int Blocks(int x, int y) { return ((x / 4 * 20) << 16) | ((y / 4 * 50) << 8) | 100; }
int Gradient(int x, int y) { return (x * 4 << 16) | (y * 4 << 8) | ((x ^ y) * 4); }

bool WriteExpected(const std::string& path, int width, int height, int (*colourAt)(int, int)) {
  std::vector<unsigned char> bytes;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const int colour = colourAt(x, y);
      bytes.push_back((unsigned char)(colour >> 16));
      bytes.push_back((unsigned char)(colour >> 8));
      bytes.push_back((unsigned char)colour);
    }
  WriteBytes(path, bytes);
  return FileExists(path);
}

void Fill(int id, int (*colourAt)(int, int)) {
  int* pixels = (int*)krv_pixels[id];
  for (int y = 0; y < krv_images[id].height; y++)
    for (int x = 0; x < krv_images[id].width; x++)
      pixels[y * krv_images[id].width + x] = colourAt(x, y);
}

RGBQUAD table[256];
int IndexOf(int x, int y) { return x * 8 + y; }
int TableColour(int x, int y) {
  const RGBQUAD& entry = table[IndexOf(x, y)];
  return (entry.rgbRed << 16) | (entry.rgbGreen << 8) | entry.rgbBlue;
}

int failures;
void Save(int width, int height, int format, const std::string& path) {
  if (KRV_SaveImageFile(width, height, format, path.c_str()) != 0) {
    printf("not saved: %s\n", path.c_str());
    failures++;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string folder = std::string(argv[1]) + "\\";
  UseGdiplus();
  UseFrameworkWindows();

  KRV_CreateImage(0, "true colour", -1, -1, 48, 20, 100);
  Fill(0, Blocks);
  const char* extensions[] = {"bmp", "jpg", "gif", "png", "tif"};
  for (int format = 0; format < 5; format++)
    Save(48, 20, format, folder + "true." + extensions[format]);
  WriteExpected(folder + "true.rgb", 48, 20, Blocks);

  KRV_CreateImage(1, "many colours", -1, -1, 64, 64, 100);
  Fill(1, Gradient);
  Save(64, 64, ImageFileGif, folder + "many.gif");
  WriteExpected(folder + "many.rgb", 64, 64, Gradient);

  KRV_CreateImage8(2, "indexed", -1, -1, 30, 6, 100);
  for (int i = 0; i < 256; i++) table[i] = {(BYTE)i, (BYTE)(255 - i), (BYTE)(i * 3), 0};
  KRV_SetPalette(table, 256);
  unsigned char* indexes = (unsigned char*)krv_pixels[2];
  for (int y = 0; y < 6; y++)
    for (int x = 0; x < 30; x++) indexes[y * ImageStride(8, 30) + x] = (unsigned char)IndexOf(x, y);
  for (int format : {ImageFileBmp, ImageFileGif, ImageFilePng, ImageFileTiff})
    Save(30, 6, format, folder + "indexed." + extensions[format]);
  WriteExpected(folder + "indexed.rgb", 30, 6, TableColour);

  for (int id = 0; id < 3; id++) KRV_DestroyImage(id);
  return failures == 0 ? 0 : 1;
}
