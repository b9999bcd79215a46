// Image slots, creation, display and the image window procedure. Everything here runs on the
// worker thread, which owns the image windows, except KRV_SelectPreviousImage, which the main
// window's paste and drop commands call on the GUI thread after their requests.
// The zoom fit and the caption are pure functions, tested without windows.
#ifndef KORVEL_IMAGE_H
#define KORVEL_IMAGE_H

#include "runtime/runtime.h"

enum { ImageCaptionSize = 256, ImageHistoryLength = 8, PaletteSize = 256 };
extern const DWORD ImageWindowStyle;

// The smallest and largest client size an image window may have.
struct ZoomLimits {
  int minWidth, minHeight, maxWidth, maxHeight;
};
ZoomLimits ScreenLimits(int fitScreen);

struct ZoomFit {
  int zoom, dispWidth, dispHeight;
};
// Fits the requested zoom of a width x height image to the limits; 0, or 2 when no zoom fits.
int FitZoom(int zoom, int width, int height, const ZoomLimits& limits, ZoomFit* fit);

// "%s(%d%%)", "[8bit]" for 8-bit images and "*" under HALFTONE, cut to fit out.
void FormatImageCaption(const char* title, int zoom, int bits, int halftone,
                        char out[ImageCaptionSize]);

// A DIB header followed by a full colour table, as GDI takes an 8-bit picture.
struct PaletteDibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[PaletteSize];
};

// Bytes per row of the pixel memory: width x 4, or width rounded up to 4 for 8-bit images.
inline int ImageStride(int bits, int width) { return (int)DibStride(width, bits); }

// The slot of id when id is 0..255 and in use, else NULL.
ImageSlot* ImageInUse(int id);

// -1 leaves the place of an image window to the window system.
inline int WindowCoordinate(int value) { return value == -1 ? (int)CW_USEDEFAULT : value; }

// Makes an image at the window position given as the window system takes it (no -1 mapping):
// the create results of KRV_CreateImage.
int MakeImage(int id, const char* title, int x, int y, int width, int height, int zoom, int bits,
              int fitScreen);

int ImageIdOfWindow(HWND window);      // lowest in-use id with that window, -1 when none
int SelectImageOfWindow(HWND window);  // selects it too; returns the id or -1
void SetImageTitle(int id);            // rebuilds the caption
// Stretching mode of one of an image's contexts; HALFTONE needs the brush origin reset.
void SetDcStretchMode(HDC dc, int mode);

// Commands of the image window's two popup menus and its keys.
enum ImageCommand {
  CommandLoadImage = 1004,
  CommandDestroyImage = 1005,
  CommandZoom50 = 1007,
  CommandZoom100 = 1008,
  CommandZoom200 = 1009,
  CommandSaveImage = 1010,
  CommandCut = 1011,
  CommandCopy = 1012,
  CommandPaste = 1013,
  CommandPasteTopLeft = 1014,
  CommandPixel = 1015,
  CommandLineRgb = 1016,
  CommandLineHsv = 1017,
  CommandLineYCrCb = 1018,
  CommandClipping = 1019,
  CommandLineCrCb = 1021,
  CommandAreaCrCb = 1022,
  CommandColorChange = 1031,
  CommandLineNormal = 1032,
  CommandLineHorizontal = 1034,
  CommandLineVertical = 1035,
  CommandBoxNormal = 1036,
  CommandBoxFill = 1037,
  CommandBoxFillXor = 1038,
  CommandCircleNormal = 1039,
  CommandCircleFill = 1040,
  CommandCircleFillXor = 1041,
  CommandDrawText = 1042,
  CommandPaint = 1043,
  CommandZoomPrompt = 1046,
  CommandResizePrompt = 1047,
  CommandTrueTypeDraw = 1048,
  CommandFontChange = 1049,
  CommandColorPick = 1052,
  CommandPatternRgb = 1053,
  CommandPatternHsv = 1054,
  CommandPatternYCrCb = 1055,
  CommandInvert = 1058,
  CommandHorizontalFlip = 1059,
  CommandVerticalFlip = 1060,
  CommandRotateRight = 1061,
  CommandRotateLeft = 1062,
  CommandSize50 = 1063,
  CommandSize71 = 1064,
  CommandSize141 = 1065,
  CommandSize200 = 1066,
  CommandPatternYuv = 1067,
  CommandPatternYiq = 1068,
  CommandLineLumi = 1070,
  CommandPatternGrey = 1071,
};

// ---- Clipboard pictures ----
// A packed bitmap another program put on the clipboard, checked so that nothing past its
// block is read: header is the picture's own (40 bytes, colour count trimmed to what is used)
// and colours follows it as GDI expects, holding the colour table or the three BI_BITFIELDS
// masks; bits points into the block, which holds all rows.
struct PackedDib {
  BITMAPINFOHEADER header;
  RGBQUAD colours[PaletteSize];
  const BYTE* bits;
  int colourCount;  // table entries for bit counts up to 8, else 0
};
enum PackedDibCheck {
  DibReadable = 0,
  DibTooShort = 1,       // shorter than its header, masks or colour table
  DibUnknownHeader = 2,  // header size other than 40, 52, 56, 108 or 124
  DibBadSize = 3,        // width or height zero, negative width, or too many pixels
  DibNotDrawable = 4,    // planes, bit count, compression or masks the system does not draw
  DibBitsMissing = 5,    // the rows do not fit in the block
};
enum { DibSideLimit = 32767, DibPixelLimit = 1 << 26 };
int ReadPackedDib(const void* block, size_t size, PackedDib* dib);  // a PackedDibCheck
// Bytes a copy puts on the clipboard: header, colour table (8-bit only) and bottom-up rows of
// 24 bits (32-bit images) or 8 bits.
size_t CopiedDibSize(int bits, int width, int height);
// Request 9004: draws the handed-over bitmap at the current image's corner and deletes it.
void PastePendingBitmap(RequestBlock* block);
// The image menu's clipboard commands for image id.
void CutImage(int id);  // copies, then clears the image even when the copy failed
void PasteImagePlaced(int id);   // the user places the picture with the mouse
void PasteImageAtCorner(int id);

LRESULT CALLBACK ImageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The interactive pick under way: the picks (draw/) set active and image and consume the rest;
// the image window procedure fills the mouse fields. Read by the main and text windows' menus,
// which stay shut while a pick waits. Worker thread writes.
struct PickRecord {
  int active;
  int image;  // -1 when no pick runs
  int moved, moveX, moveY;
  int clicked, clickX, clickY;
  int rightClicked;
};
extern PickRecord PickState;

// ---- Image window menus and commands (image/image_menus.cpp, image/image_commands.cpp) ----
// Popup menus of image id, built from their tables; the caller tracks and destroys them.
HMENU BuildImageMenu(int id);
HMENU BuildProcessMenu(int id);
// Runs command of an image window's menus or keys; ids no row knows do nothing.
void RunImageCommand(HWND window, int command);
// One row per command: its handler, given the window and its image.
struct ImageCommandRow {
  int id;
  void (*run)(HWND window, int image);
};
enum { ImageCommandCount = 50 };
extern const ImageCommandRow imageCommands[ImageCommandCount];  // wiring/image_command_table.cpp
// The image folder's own commands.
void LoadImageByDialog(HWND window, int id);
void SaveImageByDialog(HWND window, int id);  // JPEG at quality 100
void ZoomImageTo50(HWND window, int id);
void ZoomImageTo100(HWND window, int id);
void ZoomImageTo200(HWND window, int id);
void ZoomImageByPrompt(HWND window, int id);  // the answers are read in text window 0
void ResizeImageByPrompt(HWND window, int id);
void DestroyImageCommand(HWND window, int id);
// The leading decimal integer of a typed line (strtol's rules, clamped to int), else 0.
int LeadingInteger(const char* text);
// Zoom steps of Ctrl + wheel and the keypad: requests that KRV_ZoomImage then fits.
inline int ZoomInStep(int zoom) { return (10 * zoom + 4) / 9; }
inline int ZoomOutStep(int zoom) { return (9 * zoom + 5) / 10; }
// Client position of a mouse message to image pixels at zoom percent.
inline int ImageCoordinate(unsigned int client, int zoom) {
  return zoom > 0 ? (int)(client * 100u / (unsigned int)zoom) : 0;
}

// ---- Image files (image/image_load.cpp, image_save.cpp, file_rules.cpp, file_dialogs.cpp,
// file_repairs.cpp) ----
enum { ImageFileFormatCount = 5, PathUnits = MAX_PATH };
struct ImageFileType {
  const wchar_t* mime;
  const wchar_t* extension;
};
extern const ImageFileType imageFileTypes[ImageFileFormatCount];
// Appends extension (4 units, lower case) unless the name's last 4 units, lower-cased, equal
// it. name holds PathUnits units; 1 when the result would not fit (name unchanged), else 0.
int AppendExtension(wchar_t* name, const wchar_t* extension);
// Entries of a palette whose reported size is bytes (an 8-byte head, then 4 bytes each).
int PaletteEntryCount(int bytes);
// The save dialog's filter index (1..6) as an ImageFileFormat; "All Files" saves BMP.
int FormatOfSaveFilter(int filterIndex);
// An indexed copy of count 0x00RRGGBB pixels: the exact colours when there are at most 256
// (in order of first appearance), else a 6 x 7 x 6 colour cube with each pixel's nearest
// entry. Fills palette (256 entries, unused ones black) and indexes; returns the colours used.
int IndexPixels(const int* pixels, long long count, RGBQUAD* palette, unsigned char* indexes);
// The entry of a 256-entry palette nearest to a 0x00RRGGBB colour (squared distance; the
// lowest index among equals, so an exact colour finds its first entry).
int NearestPaletteIndex(const RGBQUAD* palette, int rgb);
void MapToPalette(const int* colours, long long count, const RGBQUAD* palette,
                  unsigned char* indexes);
// The class id of the first encoder of exactly that MIME type; 1 when there is none.
int FindEncoder(const wchar_t* mime, CLSID* encoder);
// File dialogs on the worker thread, remembering folder and filter; path gets PathUnits bytes.
int ChooseLoadFile(char* path);  // 0 chosen, 1 cancelled
int ChooseSaveFile(char* path);
// Where each dialog opens: the start-up directory, then the folder of its last chosen file.
extern wchar_t openDirectoryW[MAX_PATH];
extern char openDirectory[MAX_PATH];
extern wchar_t saveDirectoryW[MAX_PATH];
extern char saveDirectory[MAX_PATH];
extern int openFilterIndex;  // the dialogs' remembered filters, 2 at start
extern int saveFilterIndex;
void ReadFileDialogFolders(void);  // GUI thread at start-up, before the worker exists
// The load command once its dialog chose path: the file into the image of window, made current
// again when another image became current while the dialog ran, and the window repainted.
// KRV_LoadImageFile's result; 2 when the window has no image any more.
int LoadChosenFile(HWND window, const char* path);
void ServeLoadImageFile(RequestBlock* block);  // request 9003
// 1 when the bytes are a placeable WMF or an EMF whose records do not fit in the file (sizes
// running past the end, no end record, point counts larger than their record), an EMF with a
// shape's box beyond GDI's 27-bit coordinates or a curve (ellipse, arc, chord, pie, rounded
// rectangle) more than 2^20 units across, or a TIFF whose
// directories, values or strips lie outside it, or a BMP or icon whose colour table or pixels
// do not fit (or an icon that claims more than 256 colours), or a JPEG whose segments before the scan run
// past the end, or a PNG whose chunks up to its end chunk do not fit (or that has none); 0
// otherwise (also for every other kind).
int PictureFileIsDamaged(const unsigned char* bytes, long long size);
// The size of the picture in a file as GDI+ decodes it, 0 x 0 when it gives none; the file is
// not left open. Either thread (the main window reads dropped files with it).
void ReadPictureSize(const wchar_t* path, int* width, int* height);
// Shared by loading and saving (image/image_load.cpp).
namespace Gdiplus {
class GpImage;  // a GDI+ picture
}
void* AllocateBytes(long long bytes);  // from the process heap; NULL outside 1..INT_MAX bytes
void FreeBytes(void* memory);
void DisposePicture(Gdiplus::GpImage* picture);
// A path that does not fit in full is refused: cut short, it could name another file.
bool PathToWide(const char* path, wchar_t* out);
// Mends what Wine's encoders write wrongly into a file just saved in format: the file size of
// an 8-bit BMP, the 16-bit colour map of an indexed TIFF.
void RepairWrittenFile(const wchar_t* path, int format);

// Requests 9001 and 9002 and the snapping source.
void ServeCreateImage(RequestBlock* block);
void ServeRedrawImage(RequestBlock* block);
HWND ImageWindowAt(int index);

#endif
