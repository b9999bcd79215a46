// Mending files that Wine's GDI+ encoders write wrongly, in place, right after a save.
// Worker thread.
#include "image/image.h"

static bool ReadAt(HANDLE file, DWORD offset, void* bytes, DWORD count) {
  DWORD done = 0;
  return SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN) == offset &&
         ReadFile(file, bytes, count, &done, NULL) && done == count;
}

static bool WriteAt(HANDLE file, DWORD offset, const void* bytes, DWORD count) {
  DWORD done = 0;
  return SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN) == offset &&
         WriteFile(file, bytes, count, &done, NULL) && done == count;
}

static DWORD Little32(const unsigned char* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | ((DWORD)bytes[3] << 24);
}

// The file size in the header of an 8-bit BMP leaves out the colour table; readers that
// check it refuse the file.
static void RepairBmpFileSize(HANDLE file) {
  unsigned char head[6];
  const DWORD size = GetFileSize(file, NULL);
  if (size == INVALID_FILE_SIZE || !ReadAt(file, 0, head, sizeof head)) return;
  if (head[0] != 'B' || head[1] != 'M' || Little32(head + 2) == size) return;
  const unsigned char field[4] = {(unsigned char)size, (unsigned char)(size >> 8),
                                  (unsigned char)(size >> 16), (unsigned char)(size >> 24)};
  WriteAt(file, 2, field, sizeof field);
}

// TIFF numbers in the file's own byte order.
struct TiffOrder {
  bool big;
  DWORD Get(const unsigned char* bytes, int count) const {
    DWORD value = 0;
    for (int i = 0; i < count; i++)
      value |= (DWORD)bytes[big ? i : count - 1 - i] << (8 * (count - 1 - i));
    return value;
  }
  void Put16(unsigned char* bytes, DWORD value) const {
    bytes[big ? 0 : 1] = (unsigned char)(value >> 8);
    bytes[big ? 1 : 0] = (unsigned char)value;
  }
};

enum { TiffColourMapTag = 320, TiffShort = 3, TiffColourMapCount = 3 * 256, TiffEntryBytes = 12 };

// Wine scales the 8-bit colours of a TIFF colour map by 256 instead of 257, so white reads
// back as 254. Only a map of that form (every low byte 0) is rescaled.
static void RepairTiffColourMap(HANDLE file) {
  unsigned char head[8];
  if (!ReadAt(file, 0, head, sizeof head)) return;
  if (!((head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M'))) return;
  const TiffOrder order = {head[0] == 'M'};
  const DWORD directory = order.Get(head + 4, 4);
  unsigned char countBytes[2];
  if (!ReadAt(file, directory, countBytes, 2)) return;
  const DWORD entries = order.Get(countBytes, 2);
  for (DWORD i = 0; i < entries; i++) {
    unsigned char entry[TiffEntryBytes];
    if (!ReadAt(file, directory + 2 + i * TiffEntryBytes, entry, TiffEntryBytes)) return;
    if (order.Get(entry, 2) != TiffColourMapTag) continue;
    if (order.Get(entry + 2, 2) != TiffShort || order.Get(entry + 4, 4) != TiffColourMapCount)
      return;
    const DWORD at = order.Get(entry + 8, 4);
    unsigned char map[2 * TiffColourMapCount];
    if (!ReadAt(file, at, map, sizeof map)) return;
    for (int k = 0; k < TiffColourMapCount; k++)
      if (order.Get(map + 2 * k, 2) & 0xFF) return;
    for (int k = 0; k < TiffColourMapCount; k++)
      order.Put16(map + 2 * k, (order.Get(map + 2 * k, 2) >> 8) * 257);
    WriteAt(file, at, map, sizeof map);
    return;
  }
}

void RepairWrittenFile(const wchar_t* path, int format) {
  if (format != ImageFileBmp && format != ImageFileTiff) return;
  HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  if (format == ImageFileBmp)
    RepairBmpFileSize(file);
  else
    RepairTiffColourMap(file);
  CloseHandle(file);
}
