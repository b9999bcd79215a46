// Sound picture files of every kind and the damage done to them. The raster files the
// framework can write are written by it; the rest are put together byte by byte.
#include "damaged_input/corpus.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "image/image.h"
#include "image/picture_files.h"

unsigned long long EnvironmentNumber(const char* name, unsigned long long fallback) {
  char text[32] = "";
  if (!GetEnvironmentVariableA(name, text, sizeof text) || !text[0]) return fallback;
  char* end = NULL;
  const unsigned long long value = strtoull(text, &end, 0);
  return end && *end == 0 ? value : fallback;
}

// ---- Byte builders ----
static void Put16(Bytes* bytes, int value) {
  bytes->push_back((unsigned char)value);
  bytes->push_back((unsigned char)(value >> 8));
}
static void Put32(Bytes* bytes, unsigned int value) {
  Put16(bytes, (int)(value & 0xFFFF));
  Put16(bytes, (int)(value >> 16));
}

static void PutInfoHeader(Bytes* bytes, int width, int height, int bits, int compression,
                          int imageSize, int colours) {
  Put32(bytes, 40);
  Put32(bytes, (unsigned int)width);
  Put32(bytes, (unsigned int)height);
  Put16(bytes, 1);
  Put16(bytes, bits);
  Put32(bytes, (unsigned int)compression);
  Put32(bytes, (unsigned int)imageSize);
  Put32(bytes, 2834);
  Put32(bytes, 2834);
  Put32(bytes, (unsigned int)colours);
  Put32(bytes, 0);
}

static void PutFileHeader(Bytes* bytes, unsigned int size, unsigned int offset) {
  bytes->push_back('B');
  bytes->push_back('M');
  Put32(bytes, size);
  Put32(bytes, 0);
  Put32(bytes, offset);
}

static void PutGreyTable(Bytes* bytes, int count) {
  for (int i = 0; i < count; i++) {
    const unsigned char level = (unsigned char)(i * 255 / (count > 1 ? count - 1 : 1));
    bytes->push_back(level);
    bytes->push_back((unsigned char)(255 - level));
    bytes->push_back(level);
    bytes->push_back(0);
  }
}

// 8-bit BMP, 10 x 5, plain or run-length coded.
static Bytes MakeBmp8(bool runLength) {
  const int width = 10, height = 5, stride = 12;
  Bytes data;
  for (int y = 0; y < height; y++) {
    if (runLength) {
      data.push_back(width);
      data.push_back((unsigned char)(y * 40));
      data.push_back(0);
      data.push_back(0);  // end of line
    } else {
      for (int x = 0; x < stride; x++) data.push_back((unsigned char)(x < width ? x * 25 + y : 0));
    }
  }
  if (runLength) {
    data.push_back(0);
    data.push_back(1);  // end of picture
  }
  const unsigned int offset = 14 + 40 + 256 * 4;
  Bytes bytes;
  PutFileHeader(&bytes, offset + (unsigned int)data.size(), offset);
  PutInfoHeader(&bytes, width, height, 8, runLength ? BI_RLE8 : BI_RGB, (int)data.size(), 256);
  PutGreyTable(&bytes, 256);
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// A 16 x 16 icon of 32-bit colour with its mask.
static Bytes MakeIcon(void) {
  const int size = 16;
  Bytes image;
  PutInfoHeader(&image, size, 2 * size, 32, BI_RGB, 0, 0);
  for (int i = 0; i < size * size; i++) Put32(&image, 0xFF000000u | (unsigned int)(i * 977));
  for (int i = 0; i < size * 4; i++) image.push_back(0);  // mask rows of 4 bytes
  Bytes bytes;
  Put16(&bytes, 0);
  Put16(&bytes, 1);  // icon
  Put16(&bytes, 1);  // one picture
  bytes.push_back(size);
  bytes.push_back(size);
  bytes.push_back(0);
  bytes.push_back(0);
  Put16(&bytes, 1);
  Put16(&bytes, 32);
  Put32(&bytes, (unsigned int)image.size());
  Put32(&bytes, 6 + 16);
  bytes.insert(bytes.end(), image.begin(), image.end());
  return bytes;
}

static void DrawMetafileFigure(HDC dc) {
  HBRUSH brush = CreateSolidBrush(RGB(200, 40, 10));
  HGDIOBJ old = SelectObject(dc, brush);
  Rectangle(dc, 5, 5, 60, 40);
  Ellipse(dc, 20, 10, 90, 70);
  MoveToEx(dc, 0, 0, NULL);
  LineTo(dc, 99, 79);
  SelectObject(dc, old);
  DeleteObject(brush);
}

static Bytes FileBytes(const wchar_t* path) {
  char narrow[MAX_PATH];
  WideToNarrow(path, narrow, MAX_PATH);
  Bytes bytes = ReadBytes(narrow);
  DeleteFileW(path);
  return bytes;
}

static Bytes MakeEmf(void) {
  const wchar_t* path = L"soak_seed.emf";
  RECT frame = {0, 0, 2000, 1600};  // 0.01 mm
  HDC dc = CreateEnhMetaFileW(NULL, path, &frame, NULL);
  if (!dc) return Bytes();
  DrawMetafileFigure(dc);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
  return FileBytes(path);
}

// A placeable metafile: the 22-byte head that gives its size, then the metafile records.
static Bytes MakePlaceableWmf(void) {
  const wchar_t* path = L"soak_seed.wmf";
  HDC dc = CreateMetaFileW(path);
  if (!dc) return Bytes();
  DrawMetafileFigure(dc);
  DeleteMetaFile(CloseMetaFile(dc));
  Bytes records = FileBytes(path);
  Bytes bytes;
  Put32(&bytes, 0x9AC6CDD7u);
  Put16(&bytes, 0);
  const int head[5] = {0, 0, 100, 80, 96};  // left top right bottom, units per inch
  for (int value : head) Put16(&bytes, value);
  Put32(&bytes, 0);
  int check = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) check ^= bytes[i] | (bytes[i + 1] << 8);
  Put16(&bytes, check);
  bytes.insert(bytes.end(), records.begin(), records.end());
  return bytes;
}

static int Stripes(int x, int y) { return ((x * 11) << 16) | ((y * 13) << 8) | ((x ^ y) * 7); }

// A raster file written by the framework from a 24 x 16 image of the given depth.
static Bytes Saved(int bits, int format) {
  const int id = 255, width = 24, height = 16;
  const int previous = krv_current;
  const int made = bits == 8 ? KRV_CreateImage8(id, "seed", 0, 0, width, height, 100)
                             : KRV_CreateImage(id, "seed", 0, 0, width, height, 100);
  if (made != 0) return Bytes();
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) KRV_PutPixel(x, y, bits == 8 ? (x * 9 + y) & 0xFF : Stripes(x, y));
  static const char* names[] = {"soak_seed.bmp", "soak_seed.jpg", "soak_seed.gif", "soak_seed.png",
                                "soak_seed.tif"};
  Bytes bytes;
  if (KRV_SaveImageFile(width, height, format, names[format]) == 0) bytes = ReadBytes(names[format]);
  DeleteFileA(names[format]);
  KRV_DestroyImage(id);
  KRV_SelectImage(previous);
  return bytes;
}

static Bytes TextBytes(const char* text) { return Bytes(text, text + strlen(text)); }

static Bytes Noise(int count, unsigned long long seed) {
  Random random(seed);
  Bytes bytes;
  for (int i = 0; i < count; i++) bytes.push_back((unsigned char)random.Next());
  return bytes;
}

static int Grey(int x, int y) { return ((x * 20) << 16) | ((y * 30) << 8) | 0x40; }

const std::vector<SoundFile>& SoundFiles(void) {
  static std::vector<SoundFile> files;
  if (!files.empty()) return files;
  files = {
      {"bmp24", MakeBmp24(13, 7, Grey)},
      {"bmp8", MakeBmp8(false)},
      {"bmp-rle8", MakeBmp8(true)},
      {"png", Saved(32, ImageFilePng)},
      {"png8", Saved(8, ImageFilePng)},
      {"jpeg", Saved(32, ImageFileJpeg)},
      {"gif", Saved(32, ImageFileGif)},
      {"gif8", Saved(8, ImageFileGif)},
      {"tiff", Saved(32, ImageFileTiff)},
      {"tiff8", Saved(8, ImageFileTiff)},
      {"ico", MakeIcon()},
      {"wmf", MakePlaceableWmf()},
      {"emf", MakeEmf()},
      {"text", TextBytes("KORVEL soak: these bytes are no picture at all.\r\n")},
      {"zeros", Bytes(300, 0)},
      {"noise", Noise(500, 7)},
      {"empty", Bytes()},
      {"bmp-magic-only", TextBytes("BM")},
      {"png-signature-only", Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})},
  };
  return files;
}

bool IsPicture(const SoundFile& file) {
  const std::string& kind = file.kind;
  return kind != "text" && kind != "zeros" && kind != "noise" && kind != "empty" &&
         kind.find("only") == std::string::npos;
}

const char* ExtensionOf(const std::string& kind) {
  if (kind.compare(0, 3, "bmp") == 0) return ".bmp";
  if (kind.compare(0, 3, "png") == 0) return ".png";
  if (kind.compare(0, 3, "gif") == 0) return ".gif";
  if (kind.compare(0, 4, "tiff") == 0) return ".tif";
  if (kind == "jpeg") return ".jpg";
  if (kind == "ico") return ".ico";
  if (kind == "wmf") return ".wmf";
  if (kind == "emf") return ".emf";
  return ".bin";
}

bool OfferDib(const Bytes& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return false;
  memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  if (!OpenClipboard(NULL)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool given = SetClipboardData(CF_DIB, memory) != NULL;
  if (!given) GlobalFree(memory);
  CloseClipboard();
  return given;
}

// ---- Damage ----
static const unsigned int interesting[] = {0,      1,          0x7F,       0x80,      0xFF,
                                           0xFFFF, 0x10000,    0x7FFFFFFF, 0x80000000,
                                           0xFFFFFFFF, 0xFFFFFFFE, 0x40000000};

static int SpanOf(const Bytes& bytes, int limit) {
  return bytes.size() < (size_t)limit ? (int)bytes.size() : limit;
}

static void Truncate(Bytes* bytes, Random* random, std::string* how) {
  const size_t size = random->Below((int)bytes->size() + 1);
  bytes->resize(size);
  *how += " truncate@" + std::to_string(size);
}

static void FlipBits(Bytes* bytes, Random* random, std::string* how) {
  if (bytes->empty()) return;
  const int flips = random->Between(1, 16);
  // Half the time the flips stay in the first 256 bytes, where the headers are.
  const int span = random->Below(2) ? (int)bytes->size() : SpanOf(*bytes, 256);
  for (int i = 0; i < flips; i++) (*bytes)[random->Below(span)] ^= (unsigned char)(1 << random->Below(8));
  *how += " flip" + std::to_string(flips);
}

static void MangleHeader(Bytes* bytes, Random* random, std::string* how) {
  if (bytes->empty()) return;
  const int span = SpanOf(*bytes, 128);
  const int fields = random->Between(1, 4);
  for (int i = 0; i < fields; i++) {
    const int at = random->Below(span);
    const int width = 1 << random->Below(3);  // 1, 2 or 4 bytes
    unsigned int value = interesting[random->Below(sizeof interesting / sizeof interesting[0])];
    if (random->Below(4) == 0) value = (unsigned int)random->Next();
    for (int b = 0; b < width && at + b < (int)bytes->size(); b++)
      (*bytes)[at + b] = (unsigned char)(value >> (8 * b));
    char note[40];
    snprintf(note, sizeof note, " mangle@%d=%x/%d", at, value, width);
    *how += note;
  }
}

static void Extend(Bytes* bytes, Random* random, std::string* how) {
  const int extra = random->Between(1, 4096);
  for (int i = 0; i < extra; i++) bytes->push_back((unsigned char)random->Next());
  *how += " extend" + std::to_string(extra);
}

Bytes Damage(const Bytes& sound, Random* random, std::string* how) {
  Bytes bytes = sound;
  how->clear();
  switch (random->Below(6)) {
    case 0: Truncate(&bytes, random, how); break;
    case 1: FlipBits(&bytes, random, how); break;
    case 2: MangleHeader(&bytes, random, how); break;
    case 3:
      MangleHeader(&bytes, random, how);
      FlipBits(&bytes, random, how);
      break;
    case 4:
      MangleHeader(&bytes, random, how);
      Truncate(&bytes, random, how);
      break;
    default:
      FlipBits(&bytes, random, how);
      Extend(&bytes, random, how);
      break;
  }
  return bytes;
}

// ---- Images under test ----
Snapshot SnapshotOf(int id) {
  const ImageSlot& slot = krv_images[id];
  const size_t size = (size_t)ImageStride(slot.bits, slot.width) * slot.height;
  Snapshot shot;
  GdiFlush();
  shot.pixels.assign((unsigned char*)krv_pixels[id], (unsigned char*)krv_pixels[id] + size);
  shot.table.resize(256);
  const int previous = krv_current;
  KRV_SelectImage(id);
  KRV_GetPalette(shot.table.data());
  KRV_SelectImage(previous);
  return shot;
}

// Every byte of the pixels different from its neighbours, and a colour table of its own.
void Scribble(int id, Random* random) {
  const ImageSlot& slot = krv_images[id];
  unsigned char* bytes = (unsigned char*)krv_pixels[id];
  const int stride = ImageStride(slot.bits, slot.width);
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < stride; x++)
      bytes[y * stride + x] = slot.bits == 32 && x % 4 == 3 ? 0 : (unsigned char)random->Next();
  if (slot.bits == 8) {
    RGBQUAD table[256];
    for (RGBQUAD& entry : table) {
      const unsigned int value = (unsigned int)random->Next();
      memcpy(&entry, &value, sizeof entry);
      entry.rgbReserved = 0;
    }
    const int previous = krv_current;
    KRV_SelectImage(id);
    KRV_SetPalette(table, 256);
    KRV_SelectImage(previous);
  }
}

// Whether the page after the pixel memory is out of bounds for the process.
bool GuardedAfter(int id) {
  const ImageSlot& slot = krv_images[id];
  const unsigned char* end =
      (const unsigned char*)krv_pixels[id] + (size_t)ImageStride(slot.bits, slot.width) * slot.height;
  MEMORY_BASIC_INFORMATION info = {};
  if (!VirtualQuery(end, &info, sizeof info)) return false;
  return info.State != MEM_COMMIT || (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0;
}

// Pixels above row y or left of column x: a picture drawn at (x, y) never reaches them.
bool UntouchedBeforeCorner(int id, const Snapshot& before, int x, int y) {
  const ImageSlot& slot = krv_images[id];
  const int bytesPerPixel = slot.bits / 8, stride = ImageStride(slot.bits, slot.width);
  const unsigned char* now = (const unsigned char*)krv_pixels[id];
  for (int row = 0; row < slot.height; row++)
    for (int column = 0; column < slot.width; column++) {
      if (row >= y && column >= x) continue;
      const size_t at = (size_t)row * stride + (size_t)column * bytesPerPixel;
      if (memcmp(now + at, before.pixels.data() + at, bytesPerPixel) != 0) return false;
    }
  return true;
}

// ---- The case under way, printed when the program dies in it ----
static char caseUnderWay[160];
static volatile DWORD caseStarted;
enum { HangMs = 20000 };

static LONG WINAPI PrintCaseAndDie(EXCEPTION_POINTERS* exception) {
  void* address = exception->ExceptionRecord->ExceptionAddress;
  HMODULE module = NULL;
  char name[MAX_PATH] = "?";
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         (const char*)address, &module))
    GetModuleFileNameA(module, name, sizeof name);
  if (caseUnderWay[0])
    fprintf(stderr, "\nCRASH (code %08lx at %p in %s) in %s\n",
            exception->ExceptionRecord->ExceptionCode, address, name, caseUnderWay);
  fflush(stderr);
  // Ended at once: a debugger started on the crash would hold the test until its time-out.
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

// A case that runs for more than 20 s is taken for a hang: printed, and the program ended.
static DWORD WINAPI WatchForHangs(LPVOID) {
  for (;;) {
    Sleep(1000);
    if (caseUnderWay[0] && GetTickCount() - caseStarted > HangMs) {
      fprintf(stderr, "\nHANG (over %d ms) in %s\n", HangMs, caseUnderWay);
      fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 4);
    }
  }
}

void NoteCase(const char* what, unsigned long long seed, int number) {
  static bool installed;
  if (!installed) {
    SetUnhandledExceptionFilter(PrintCaseAndDie);
    CloseHandle(CreateThread(NULL, 0, WatchForHangs, NULL, 0, NULL));
    installed = true;
  }
  caseStarted = GetTickCount();
  snprintf(caseUnderWay, sizeof caseUnderWay, "%s seed %llu case %d", what, seed, number);
}

void ForgetCase(void) { caseUnderWay[0] = 0; }
