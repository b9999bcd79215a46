// Saving image files through GDI+: the top-left part of the current image in one of five
// formats, written beside the target and put in place once it decodes. Worker thread.
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
  PaletteDibInfo info = {};
  info.header = DibHeader(w, -h, 8);
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
  int width, height;
  ReadPictureSize(path, &width, &height);
  return width == w && height == h;
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
// never leaves a broken file under the target's name. A read-only target stays as it is
// (Wine would let the rename replace it).
static int WriteChecked(GpImage* picture, const wchar_t* target, const CLSID* encoder,
                        const EncoderParameters* parameters, int format, int w, int h) {
  const DWORD attributes = GetFileAttributesW(target);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return 1;
  wchar_t temporary[PathUnits];
  const bool beside = TemporaryNameBeside(target, temporary);
  const wchar_t* written = beside ? temporary : target;
  bool saved = GdipSaveImageToFile(picture, written, encoder, parameters) == Ok;
  if (saved) RepairWrittenFile(written, format);
  saved = saved && DecodesAtSize(written, w, h);
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
                          format == ImageFileJpeg ? &parameters : NULL, format, width, height);
  ReleasePicture(&picture);
  return result;
}
