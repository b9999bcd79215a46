// Loading image files through GDI+: a file's picture drawn into the current image, and the
// size of the picture in a file. Worker thread.
#include <limits.h>
#include <string.h>

#include <objidl.h>
#include <gdiplus.h>

#include "image/image.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

void* AllocateBytes(long long bytes) {
  if (bytes <= 0 || bytes > INT_MAX) return NULL;
  return HeapAlloc(GetProcessHeap(), 0, (SIZE_T)bytes);
}

void FreeBytes(void* memory) {
  if (memory) HeapFree(GetProcessHeap(), 0, memory);
}

void DisposePicture(GpImage* picture) {
  if (picture) GdipDisposeImage(picture);
}

bool PathToWide(const char* path, wchar_t* out) {
  if (!path || !path[0]) return false;
  const int units = MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0);
  if (units <= 0 || units > PathUnits) return false;
  NarrowToWide(path, out, PathUnits);
  return true;
}

// The whole file in a stream of its own, or NULL when it cannot be read or is damaged in a way
// the decoders do not survive. Wine's GDI+ keeps a file it failed to decode open
// (and so undeletable) until the program ends; decoding from memory leaves no handle behind.
static IStream* ReadFileStream(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return NULL;
  LARGE_INTEGER size;
  HGLOBAL memory = NULL;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < INT_MAX)
    memory = GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)size.QuadPart);
  void* bytes = memory ? GlobalLock(memory) : NULL;
  DWORD count = 0;
  const bool read = bytes && ReadFile(file, bytes, (DWORD)size.QuadPart, &count, NULL) &&
                    count == (DWORD)size.QuadPart &&
                    !PictureFileIsDamaged((const unsigned char*)bytes, size.QuadPart);
  if (bytes) GlobalUnlock(memory);
  CloseHandle(file);
  IStream* stream = NULL;
  if (read && CreateStreamOnHGlobal(memory, TRUE, &stream) == S_OK) return stream;
  if (memory) GlobalFree(memory);
  return NULL;
}

// A picture decoded from a file, or NULL when it gives none (also for 0 x 0 pictures).
static GpImage* OpenPicture(const wchar_t* path, UINT* width, UINT* height) {
  *width = *height = 0;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return NULL;
  IStream* stream = ReadFileStream(path);
  if (!stream) return NULL;
  GpImage* picture = NULL;
  if (GdipLoadImageFromStream(stream, &picture) != Ok) picture = NULL;
  stream->Release();  // the picture holds its own reference while it needs the bytes
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

void ReadPictureSize(const wchar_t* path, int* width, int* height) {
  UINT w = 0, h = 0;
  GpImage* picture = OpenPicture(path, &w, &h);
  *width = picture ? (int)w : 0;
  *height = picture ? (int)h : 0;
  DisposePicture(picture);
}

// The picture's colour table as colour-table entries: the count taken (0 for none). A table
// longer than the pixels can index (a BMP may carry one) gives its first 2^bits entries, and
// never more than 256.
static int ReadPictureColours(GpImage* picture, RGBQUAD* colours) {
  INT bytes = 0;
  if (GdipGetImagePaletteSize(picture, &bytes) != Ok) return 0;
  const int count = PaletteEntryCount(bytes);
  if (count <= 0) return 0;
  PixelFormat format = PixelFormatUndefined;
  int taken = count < PaletteSize ? count : PaletteSize;
  if (GdipGetImagePixelFormat(picture, &format) == Ok && (format & PixelFormatIndexed)) {
    const int indexable = 1 << GetPixelFormatSize(format);
    if (taken > indexable) taken = indexable;
  }
  ColorPalette* palette = (ColorPalette*)AllocateBytes(bytes);
  if (!palette) return 0;
  // The head is only filled by a successful read; some libraries report room for an entry
  // they do not fill.
  if (GdipGetImagePalette(picture, palette, bytes) != Ok)
    taken = 0;
  else if ((UINT)taken > palette->Count)
    taken = (int)palette->Count;
  for (int i = 0; i < taken; i++) {
    const ARGB colour = palette->Entries[i] & 0x00FFFFFF;
    memcpy(&colours[i], &colour, sizeof colour);
  }
  FreeBytes(palette);
  return taken;
}

// The part of a picture drawn at (x, y) that falls inside the image; false when none does.
struct ClipRect {
  int left, top, width, height;
};
static bool ClipToImage(const ImageSlot* slot, int x, int y, UINT width, UINT height,
                        ClipRect* clip) {
  const long long left = x > 0 ? x : 0, top = y > 0 ? y : 0;
  long long right = (long long)x + width, bottom = (long long)y + height;
  if (right > slot->width) right = slot->width;
  if (bottom > slot->height) bottom = slot->height;
  if (right <= left || bottom <= top) return false;
  *clip = {(int)left, (int)top, (int)(right - left), (int)(bottom - top)};
  return true;
}

// A 32-bit canvas of the clipped area: the picture is drawn on it, never on the image itself,
// and then copied in (or matched to the colour table of an 8-bit image).
struct Canvas {
  int* colours;
  GpBitmap* bitmap;
  GpGraphics* graphics;
};

static void ReleaseCanvas(Canvas* canvas) {
  if (canvas->graphics) GdipDeleteGraphics(canvas->graphics);
  DisposePicture(canvas->bitmap);
  FreeBytes(canvas->colours);
}

static int MakeCanvas(const ClipRect& clip, Canvas* canvas) {
  *canvas = {};
  canvas->colours = (int*)AllocateBytes(4LL * clip.width * clip.height);
  if (!canvas->colours ||
      GdipCreateBitmapFromScan0(clip.width, clip.height, clip.width * 4, PixelFormat32bppRGB,
                                (BYTE*)canvas->colours, &canvas->bitmap) != Ok ||
      GdipGetImageGraphicsContext(canvas->bitmap, &canvas->graphics) != Ok) {
    ReleaseCanvas(canvas);
    return 1;
  }
  return 0;
}

// The picture at (x, y) of the image, drawn on the canvas of its clipped place.
static void DrawOnCanvas(const Canvas& canvas, const ClipRect& clip, GpImage* picture, int x,
                         int y, UINT width, UINT height) {
  GdipDrawImageRectI(canvas.graphics, picture, x - clip.left, y - clip.top, (INT)width,
                     (INT)height);
  GdipFlush(canvas.graphics, FlushIntentionSync);
}

// The picture is drawn on a canvas of its place inside the image, which holds the image's
// pixels there: a damaged metafile's records may draw far outside its frame, and Wine's
// playback ignores a clip. Wine's GDI+ also sets the reserved byte of every pixel it draws;
// the framework's pixels keep it 0.
static int DrawIntoTrueColour(const ImageSlot* slot, GpImage* picture, int x, int y,
                              UINT width, UINT height) {
  ClipRect clip;
  if (!ClipToImage(slot, x, y, width, height, &clip)) return 0;
  Canvas canvas = {};
  if (MakeCanvas(clip, &canvas) != 0) return 1;
  int* pixels = (int*)krv_pixels[krv_current];
  for (int row = 0; row < clip.height; row++)
    memcpy(canvas.colours + (long long)row * clip.width,
           pixels + (long long)(clip.top + row) * slot->width + clip.left, 4 * (size_t)clip.width);
  DrawOnCanvas(canvas, clip, picture, x, y, width, height);
  for (int row = 0; row < clip.height; row++) {
    const int* from = canvas.colours + (long long)row * clip.width;
    int* to = pixels + (long long)(clip.top + row) * slot->width + clip.left;
    for (int column = 0; column < clip.width; column++) to[column] = from[column] & 0x00FFFFFF;
  }
  ReleaseCanvas(&canvas);
  return 0;
}

// GDI's colour matching into an 8-bit DIB is approximate under Wine (a grey image saved and
// loaded again came back with other indexes), so the picture is drawn in 32 bits over the
// image's present colours and each colour then takes its exact or nearest entry.
static int DrawIntoEightBit(const ImageSlot* slot, GpImage* picture, int x, int y, UINT width,
                            UINT height, const RGBQUAD* colours, int colourCount) {
  ClipRect clip = {0, 0, 0, 0};
  const bool inside = ClipToImage(slot, x, y, width, height, &clip);
  Canvas canvas = {};
  if (inside && MakeCanvas(clip, &canvas) != 0) return 1;
  if (colourCount > 0) KRV_SetPalette(colours, colourCount);
  if (!inside) return 0;
  RGBQUAD table[PaletteSize];
  KRV_GetPalette(table);
  unsigned char* pixels = (unsigned char*)krv_pixels[krv_current];
  const int stride = ImageStride(8, slot->width);
  for (int row = 0; row < clip.height; row++) {
    const unsigned char* indexes = pixels + (long long)(clip.top + row) * stride + clip.left;
    for (int column = 0; column < clip.width; column++) {
      const RGBQUAD& entry = table[indexes[column]];
      canvas.colours[(long long)row * clip.width + column] =
          (entry.rgbRed << 16) | (entry.rgbGreen << 8) | entry.rgbBlue;
    }
  }
  DrawOnCanvas(canvas, clip, picture, x, y, width, height);
  for (int row = 0; row < clip.height; row++)
    MapToPalette(canvas.colours + (long long)row * clip.width, clip.width, table,
                 pixels + (long long)(clip.top + row) * stride + clip.left);
  ReleaseCanvas(&canvas);
  return 0;
}

int KRV_LoadImageFile(const char* path, int x, int y) {
  ImageSlot* slot = ImageInUse(krv_current);
  if (!slot) return 2;
  wchar_t wide[PathUnits];
  if (!PathToWide(path, wide)) return 1;
  UINT width, height;
  GpImage* picture = OpenPicture(wide, &width, &height);
  if (!picture) return 1;
  int result = 1;
  if (slot->bits == 8) {
    RGBQUAD colours[PaletteSize];
    const int colourCount = ReadPictureColours(picture, colours);
    result = DrawIntoEightBit(slot, picture, x, y, width, height, colours, colourCount);
  } else {
    result = DrawIntoTrueColour(slot, picture, x, y, width, height);
  }
  DisposePicture(picture);
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
