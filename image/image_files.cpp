// Image files through GDI+: drawing a decoded file into the current image, and writing the
// top-left part of the current image in one of five formats. Worker thread.
#include <limits.h>
#include <string.h>

#include <objidl.h>
#include <gdiplus.h>

#include "image/image.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

int krv_jpeg_quality = 100;

static const GUID QualityParameter = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
enum { PixelsPerMetre = 2834 };

static void* AllocateBytes(long long bytes) {
  if (bytes <= 0 || bytes > INT_MAX) return NULL;
  return HeapAlloc(GetProcessHeap(), 0, (SIZE_T)bytes);
}

static void FreeBytes(void* memory) {
  if (memory) HeapFree(GetProcessHeap(), 0, memory);
}

static void DisposePicture(GpImage* picture) {
  if (picture) GdipDisposeImage(picture);
}

// A path that does not fit in full is refused: cut short, it could name another file.
static bool PathToWide(const char* path, wchar_t* out) {
  if (!path || !path[0]) return false;
  const int units = MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0);
  if (units <= 0 || units > PathUnits) return false;
  NarrowToWide(path, out, PathUnits);
  return true;
}

// A picture decoded from a file, or NULL when it gives none (also for 0 x 0 pictures).
static GpImage* OpenPicture(const wchar_t* path, UINT* width, UINT* height) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return NULL;
  GpImage* picture = NULL;
  if (GdipLoadImageFromFile(path, &picture) != Ok) picture = NULL;
  *width = *height = 0;
  if (picture) {
    GdipGetImageWidth(picture, width);
    GdipGetImageHeight(picture, height);
  }
  if (*width == 0 || *height == 0 || *width > INT_MAX || *height > INT_MAX) {
    DisposePicture(picture);
    return NULL;
  }
  return picture;
}

// The picture's colour table as colour-table entries: the count taken (0 for none), or -1
// when the picture claims more than 256 entries.
static int ReadPictureColours(GpImage* picture, RGBQUAD* colours) {
  INT bytes = 0;
  if (GdipGetImagePaletteSize(picture, &bytes) != Ok) return 0;
  int count = PaletteEntryCount(bytes);
  if (count > PaletteSize) return -1;
  if (count <= 0) return 0;
  ColorPalette* palette = (ColorPalette*)AllocateBytes(bytes);
  if (!palette) return 0;
  if (GdipGetImagePalette(picture, palette, bytes) != Ok) count = 0;
  // Some libraries report room for an entry they do not fill.
  if (count > (int)palette->Count) count = (int)palette->Count;
  for (int i = 0; i < count; i++) {
    const ARGB colour = palette->Entries[i] & 0x00FFFFFF;
    memcpy(&colours[i], &colour, sizeof colour);
  }
  FreeBytes(palette);
  return count;
}

// Wine's GDI+ sets the reserved byte of every 32-bit pixel it draws; the framework's pixels
// keep it 0.
static void ClearReservedBytes(const ImageSlot* slot, int x, int y, UINT width, UINT height) {
  GdiFlush();
  const long long left = x > 0 ? x : 0, top = y > 0 ? y : 0;
  long long right = (long long)x + width, bottom = (long long)y + height;
  if (right > slot->width) right = slot->width;
  if (bottom > slot->height) bottom = slot->height;
  int* pixels = (int*)krv_pixels[krv_current];
  for (long long row = top; row < bottom; row++)
    for (long long column = left; column < right; column++)
      pixels[row * slot->width + column] &= 0x00FFFFFF;
}

int KRV_LoadImageFile(const char* path, int x, int y) {
  ImageSlot* slot = ImageInUse(krv_current);
  if (!slot) return 2;
  wchar_t wide[PathUnits];
  if (!PathToWide(path, wide)) return 1;
  UINT width, height;
  GpImage* picture = OpenPicture(wide, &width, &height);
  if (!picture) return 1;
  RGBQUAD colours[PaletteSize];
  const int colourCount = slot->bits == 8 ? ReadPictureColours(picture, colours) : 0;
  GpGraphics* graphics = NULL;
  if (colourCount < 0 || GdipCreateFromHDC(slot->memDC, &graphics) != Ok) {
    DisposePicture(picture);
    return 1;
  }
  if (colourCount > 0) KRV_SetPalette(colours, colourCount);
  GdipDrawImageRectI(graphics, picture, x, y, (INT)width, (INT)height);
  GdipDeleteGraphics(graphics);
  DisposePicture(picture);
  if (slot->bits == 32) ClearReservedBytes(slot, x, y, width, height);
  return 0;
}

int FindEncoder(const wchar_t* mime, CLSID* encoder) {
  UINT count = 0, bytes = 0;
  if (GdipGetImageEncodersSize(&count, &bytes) != Ok || count == 0) return 1;
  ImageCodecInfo* codecs = (ImageCodecInfo*)AllocateBytes(bytes);
  if (!codecs) return 1;
  int result = 1;
  if (GdipGetImageEncoders(count, bytes, codecs) == Ok) {
    for (UINT i = 0; i < count; i++) {
      if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mime) == 0) {
        *encoder = codecs[i].Clsid;
        result = 0;
        break;
      }
    }
  }
  FreeBytes(codecs);
  return result;
}

// What a picture to save is made of; all of it is released after the save.
struct SavePicture {
  GpBitmap* bitmap;
  HBITMAP dibSection;  // the pixels of an indexed picture, read by the bitmap until disposed
};

static void ReleasePicture(SavePicture* picture) {
  DisposePicture(picture->bitmap);
  if (picture->dibSection) DeleteObject(picture->dibSection);
}

// 32-bit pixels through a 24-bit clone.
static int MakeTrueColourPicture(int w, int h, SavePicture* picture) {
  int* words = (int*)AllocateBytes(4LL * w * h);
  if (!words) return 1;
  KRV_ReadImageRect(words, 0, 0, w, h);
  GpBitmap* wrapper = NULL;
  if (GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppRGB, (BYTE*)words, &wrapper) == Ok) {
    if (GdipCloneBitmapAreaI(0, 0, w, h, PixelFormat24bppRGB, wrapper, &picture->bitmap) != Ok)
      picture->bitmap = NULL;
    DisposePicture(wrapper);
  }
  FreeBytes(words);
  return picture->bitmap ? 0 : 1;
}

struct IndexedDibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[PaletteSize];
};

// GDI+ takes the palette with alpha; an entry of alpha 0 would be written as transparent.
static int SetOpaquePalette(GpBitmap* bitmap, const RGBQUAD* colours) {
  struct {
    UINT flags, count;
    ARGB entries[PaletteSize];
  } palette;
  palette.flags = 0;
  palette.count = PaletteSize;
  for (int i = 0; i < PaletteSize; i++)
    palette.entries[i] = 0xFF000000u | ((ARGB)colours[i].rgbRed << 16) |
                         ((ARGB)colours[i].rgbGreen << 8) | colours[i].rgbBlue;
  return GdipSetImagePalette(bitmap, (ColorPalette*)&palette) == Ok ? 0 : 1;
}

// A top-down 8-bit DIB of w x h packed indexes with the colour table, wrapped for GDI+.
// Wine's GDI+ leaves the palette of such a bitmap out, so it is set once more.
static int MakeIndexedPicture(int w, int h, const unsigned char* indexes, const RGBQUAD* colours,
                              SavePicture* picture) {
  IndexedDibInfo info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = w;
  info.header.biHeight = -h;
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biCompression = BI_RGB;
  info.header.biXPelsPerMeter = info.header.biYPelsPerMeter = PixelsPerMetre;
  memcpy(info.colours, colours, sizeof info.colours);
  void* bits = NULL;
  picture->dibSection =
      CreateDIBSection(NULL, (BITMAPINFO*)&info, DIB_RGB_COLORS, &bits, NULL, 0);
  if (!picture->dibSection || !bits) return 1;
  const int stride = ImageStride(8, w);
  for (int row = 0; row < h; row++)
    memcpy((unsigned char*)bits + (long long)row * stride, indexes + (long long)row * w, w);
  if (GdipCreateBitmapFromGdiDib((BITMAPINFO*)&info, bits, &picture->bitmap) != Ok) {
    picture->bitmap = NULL;
    return 1;
  }
  return SetOpaquePalette(picture->bitmap, colours);
}

// The current image's pixels as indexes: its own for 8-bit images, an indexed copy of the
// colours for 32-bit ones (Wine writes an empty GIF from anything but an indexed picture).
static int MakeIndexedPictureOfImage(const ImageSlot* slot, int w, int h,
                                     SavePicture* picture) {
  unsigned char* indexes = (unsigned char*)AllocateBytes((long long)w * h);
  if (!indexes) return 1;
  RGBQUAD colours[PaletteSize];
  int result = 1;
  if (slot->bits == 8) {
    KRV_ReadImageRect(indexes, 0, 0, w, h);
    KRV_GetPalette(colours);
    result = MakeIndexedPicture(w, h, indexes, colours, picture);
  } else {
    int* words = (int*)AllocateBytes(4LL * w * h);
    if (words) {
      KRV_ReadImageRect(words, 0, 0, w, h);
      IndexPixels(words, (long long)w * h, colours, indexes);
      FreeBytes(words);
      result = MakeIndexedPicture(w, h, indexes, colours, picture);
    }
  }
  FreeBytes(indexes);
  return result;
}

// GDI+ may report success for a file it could not really write: the file must decode again
// to the size that was saved.
static bool DecodesAtSize(const wchar_t* path, int w, int h) {
  UINT width, height;
  GpImage* picture = OpenPicture(path, &width, &height);
  DisposePicture(picture);
  return picture && (int)width == w && (int)height == h;
}

// A file of a unique name beside the target, or false when none can be made.
static bool TemporaryNameBeside(const wchar_t* target, wchar_t* temporary) {
  wchar_t folder[PathUnits];
  wchar_t* namePart = NULL;
  const DWORD length = GetFullPathNameW(target, PathUnits, folder, &namePart);
  if (length == 0 || length >= PathUnits || !namePart) return false;
  *namePart = 0;
  return GetTempFileNameW(folder, L"krv", 0, temporary) != 0;
}

// Writes to a temporary file and puts it in place only once it decodes, so a failed save
// never leaves a broken file under the target's name.
static int WriteChecked(GpImage* picture, const wchar_t* target, const CLSID* encoder,
                        const EncoderParameters* parameters, int w, int h) {
  wchar_t temporary[PathUnits];
  const bool beside = TemporaryNameBeside(target, temporary);
  const wchar_t* written = beside ? temporary : target;
  const bool saved = GdipSaveImageToFile(picture, written, encoder, parameters) == Ok &&
                     DecodesAtSize(written, w, h);
  if (!saved) {
    DeleteFileW(written);
    return 1;
  }
  if (beside && !MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary);
    return 1;
  }
  return 0;
}

int KRV_SaveImageFile(int width, int height, int format, const char* path) {
  ImageSlot* slot = ImageInUse(krv_current);
  if (!slot) return 3;
  if (width < 1 || height < 1) return 2;
  if (format < 0 || format >= ImageFileFormatCount) return 1;
  if (4LL * width * height > INT_MAX) return 1;
  CLSID encoder;
  if (FindEncoder(imageFileTypes[format].mime, &encoder) != 0) return 1;
  wchar_t name[PathUnits];
  if (!PathToWide(path, name) || AppendExtension(name, imageFileTypes[format].extension) != 0)
    return 1;
  SavePicture picture = {};
  const bool indexed = slot->bits == 8 || format == ImageFileGif;
  const int made = indexed ? MakeIndexedPictureOfImage(slot, width, height, &picture)
                           : MakeTrueColourPicture(width, height, &picture);
  ULONG quality = (ULONG)krv_jpeg_quality;
  EncoderParameters parameters;
  parameters.Count = 1;
  parameters.Parameter[0].Guid = QualityParameter;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
  parameters.Parameter[0].Value = &quality;
  int result = 1;
  if (made == 0)
    result = WriteChecked(picture.bitmap, name, &encoder,
                          format == ImageFileJpeg ? &parameters : NULL, width, height);
  ReleasePicture(&picture);
  return result;
}

void ServeLoadImageFile(RequestBlock* block) {
  // An id that names no image must not load into whatever image happens to be current.
  if (KRV_SelectImage(block->id) != 0) {
    block->result = 2;
    return;
  }
  block->result = KRV_LoadImageFile(block->path, block->x, block->y);
  KRV_SelectPreviousImage();
}
