#include "image/picture_files.h"

#include <stdio.h>

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return bytes;
  int c;
  while ((c = fgetc(file)) != EOF) bytes.push_back((unsigned char)c);
  fclose(file);
  return bytes;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return;
  if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static void Put16(std::vector<unsigned char>& out, size_t at, int value) {
  out[at] = (unsigned char)value;
  out[at + 1] = (unsigned char)(value >> 8);
}

static void Put32(std::vector<unsigned char>& out, size_t at, int value) {
  Put16(out, at, value & 0xFFFF);
  Put16(out, at + 2, (value >> 16) & 0xFFFF);
}

static int Get16(const std::vector<unsigned char>& in, size_t at) {
  return in[at] | (in[at + 1] << 8);
}

static int Get32(const std::vector<unsigned char>& in, size_t at) {
  return Get16(in, at) | (Get16(in, at + 2) << 16);
}

std::vector<unsigned char> MakeTableBmp(int bits, int width, int height, int tableEntries,
                                        const std::vector<int>& table, int (*indexAt)(int, int)) {
  const int stride = (width * bits + 31) / 32 * 4;
  const int pixelsAt = 54 + 4 * tableEntries;
  std::vector<unsigned char> out((size_t)pixelsAt + (size_t)stride * height, 0);
  auto put32 = [&](size_t at, unsigned int value) {
    for (int i = 0; i < 4; i++) out[at + i] = (unsigned char)(value >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, (unsigned int)out.size());
  put32(10, (unsigned int)pixelsAt);
  put32(14, 40);
  put32(18, (unsigned int)width);
  put32(22, (unsigned int)height);
  out[26] = 1;
  out[28] = (unsigned char)bits;
  put32(46, (unsigned int)tableEntries);
  for (int i = 0; i < tableEntries; i++) put32(54 + 4 * (size_t)i, (unsigned int)table[i]);
  for (int y = 0; y < height; y++) {
    unsigned char* row = out.data() + pixelsAt + (size_t)(height - 1 - y) * stride;
    for (int x = 0; x < width; x++) {
      const int index = indexAt(x, y);
      if (bits == 24) {
        const int colour = table[index];
        row[3 * x] = (unsigned char)colour;
        row[3 * x + 1] = (unsigned char)(colour >> 8);
        row[3 * x + 2] = (unsigned char)(colour >> 16);
      } else if (bits == 8) {
        row[x] = (unsigned char)index;
      } else {
        row[x / 4] |= (unsigned char)(index << (6 - 2 * (x % 4)));
      }
    }
  }
  return out;
}

std::vector<unsigned char> MakeBmp24(int width, int height, int (*colourAt)(int x, int y)) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> out(54 + (size_t)stride * height, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, (int)out.size());
  Put32(out, 10, 54);
  Put32(out, 14, 40);
  Put32(out, 18, width);
  Put32(out, 22, height);
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const int colour = colourAt(x, y);
      const size_t at = 54 + (size_t)(height - 1 - y) * stride + x * 3;
      out[at] = (unsigned char)colour;
      out[at + 1] = (unsigned char)(colour >> 8);
      out[at + 2] = (unsigned char)(colour >> 16);
    }
  return out;
}

BmpPicture ParseBmp(const std::vector<unsigned char>& bytes) {
  BmpPicture picture;
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return picture;
  const int offset = Get32(bytes, 10);
  const int headerSize = Get32(bytes, 14);
  picture.width = Get32(bytes, 18);
  const int rawHeight = Get32(bytes, 22);
  picture.bits = Get16(bytes, 28);
  if (Get32(bytes, 30) != 0 || picture.width <= 0 || rawHeight == 0) return picture;
  const bool bottomUp = rawHeight > 0;
  picture.height = bottomUp ? rawHeight : -rawHeight;
  if (picture.bits == 8) {
    int used = Get32(bytes, 46);
    if (used == 0) used = 256;
    for (int i = 0; i < used; i++) {
      const size_t at = 14 + headerSize + (size_t)i * 4;
      if (at + 4 > bytes.size()) return picture;
      picture.table.push_back(Get32(bytes, at) & 0xFFFFFF);
    }
  } else if (picture.bits != 24 && picture.bits != 32) {
    return picture;
  }
  const int stride = ((picture.width * picture.bits / 8) + 3) & ~3;
  if ((size_t)offset + (size_t)stride * picture.height > bytes.size()) return picture;
  for (int y = 0; y < picture.height; y++) {
    const int row = bottomUp ? picture.height - 1 - y : y;
    const size_t start = offset + (size_t)row * stride;
    for (int x = 0; x < picture.width; x++) {
      if (picture.bits == 8) {
        const int index = bytes[start + x];
        picture.indexes.push_back(index);
        picture.pixels.push_back(index < (int)picture.table.size() ? picture.table[index] : -1);
      } else {
        const size_t at = start + (size_t)x * (picture.bits / 8);
        picture.pixels.push_back(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16));
      }
    }
  }
  picture.ok = true;
  return picture;
}

// Made with an image editor from a 16 x 4 picture of the colours below, one per column; the
// file's colour table holds them in an order of its own.
const unsigned char sixteenColourGif[] = {
  0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x10, 0x00, 0x04, 0x00, 0xf3, 0x00,
  0x00, 0x46, 0x6e, 0x1e, 0xc8, 0x1e, 0x1e, 0xa0, 0x5a, 0x0a, 0x1e, 0xc8,
  0x1e, 0x0a, 0xa0, 0x5a, 0xfa, 0x80, 0x0a, 0x80, 0xfa, 0x0a, 0xdc, 0xdc,
  0x28, 0x5a, 0x0a, 0xa0, 0x1e, 0x1e, 0xc8, 0xdc, 0x28, 0xdc, 0x0a, 0x80,
  0xfa, 0x28, 0xdc, 0xdc, 0xff, 0xc8, 0x96, 0xc8, 0x96, 0xff, 0x96, 0xff,
  0xc8, 0x21, 0xf9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
  0x00, 0x00, 0x10, 0x00, 0x04, 0x00, 0x00, 0x04, 0x1c, 0x30, 0x8c, 0x74,
  0x98, 0x2a, 0xcb, 0x20, 0x41, 0xda, 0x73, 0x80, 0x44, 0x59, 0x98, 0xc6,
  0x79, 0xa0, 0x58, 0x5d, 0xd9, 0xd6, 0x7d, 0xe1, 0xb4, 0x96, 0x2e, 0x0a,
  0x44, 0x00, 0x3b
};
const unsigned int sixteenColourGifSize = sizeof(sixteenColourGif);
const int gifColours[16] = {0xC81E1E, 0x1EC81E, 0x1E1EC8, 0xDCDC28, 0x28DCDC, 0xDC28DC,
                            0xFA800A, 0x0A80FA, 0x80FA0A, 0x5A0AA0, 0xA05A0A, 0x0AA05A,
                            0xFFC896, 0x96FFC8, 0xC896FF, 0x466E1E};
