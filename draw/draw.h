// Pixels, colour conversions and drawing primitives on the current image. Worker thread, which
// owns the images. The conversions are pure integer arithmetic, usable from any thread.
#ifndef KORVEL_DRAW_H
#define KORVEL_DRAW_H

#include "image/image.h"

// The current point: where KRV_PutPixel, KRV_XorPixel and the lines left off.
extern int currentPointX, currentPointY;

// The pixel calls without moving the current point. ProbePixel reads -1 outside the image.
void PlotPixel(int x, int y, int colour);
void TogglePixel(int x, int y);
int ProbePixel(int x, int y);

// Luminance and colour differences of channels 0..255: (weighted sum + 32768) / 65536,
// truncated toward zero.
int LumaY(int r, int g, int b);
int ChromaCr(int r, int g, int b);
int ChromaCb(int r, int g, int b);
int ChromaU(int r, int g, int b);
int ChromaV(int r, int g, int b);
int ChromaI(int r, int g, int b);
int ChromaQ(int r, int g, int b);

// A point of a chroma plane back to 0x00RRGGBB: p is the horizontal axis (Cb, u or Q), n the
// vertical one (Cr, v or I).
enum ChromaSpace { ChromaYCrCb, ChromaYuv, ChromaYIQ };
int ChromaPlaneToRgb(int space, int y, int p, int n);

// ---- Picks and the drawing commands ----
// Distance from a centre to (dx, dy) away, rounded to the nearest integer, halves up.
int RoundedRadius(int dx, int dy);
// A pick's result as a go-ahead: done, and not ended by Stop.
bool Picked(int result);
// The colour dialog's custom colours, kept for the whole run.
extern COLORREF customColours[16];
// The processing menu's drawing commands on image id (the picks make it current).
void ChangeColourCommand(int id);  // colour dialog; its colour is stored even when cancelled
void PickColourCommand(int id);
void DrawLineCommand(int id);
void DrawRowCommand(int id);
void DrawColumnCommand(int id);
void DrawBoxCommand(int id);
void FillBoxCommand(int id);
void XorFillBoxCommand(int id);
void DrawCircleCommand(int id);
void FillCircleCommand(int id);
void XorFillCircleCommand(int id);
void PaintCommand(int id);

// ---- Text in images (draw/bitmap_font.cpp, draw/text_draw.cpp, draw/truetype_text.cpp) ----
enum { BitmapGlyphCount = 96, BitmapGlyphRows = 14, BitmapGlyphWidth = 8, BitmapLinePitch = 16 };
enum { FirstBitmapGlyph = 0x20, LastBitmapGlyph = 0x7F, DrawFormatSize = 4096 };
// Glyph g (code - 0x20) at rows 14 g .. 14 g + 13.
extern const unsigned char BitmapFont[BitmapGlyphCount * BitmapGlyphRows];
// The row bits of code c, 0 for rows and codes outside the font.
int GlyphRowBits(int c, int row);

// The font made at start-up: 16 high, 8 wide, "ＭＳ ゴシック", TrueType only.
void DescribeStartupTTFont(LOGFONTW* font);
HFONT CreateStartupTTFont(void);
// The description of krv_ttFont, or the start-up one when no font exists.
void ReadTTFontDescription(LOGFONTW* font);
// Style codes 1..6 change one field of the description and return 1; other codes return 0.
int ApplyTTStyleCode(LOGFONTW* font, int code);
// The next character of code-page-932 text: one byte, or lead x 256 + trail for a double-byte
// character. Returns 0 at the end, also when a lead byte has no trail; advances *text.
int NextTTCode(const char** text);
// The text commands once their point or box is picked: prompt "Text>" and read a line into
// line[256]; draw it in the bitmap font in krv_color standing on (x, y); draw it in TrueType
// with the cell size the box gives (result of KRV_SetTTFontSize).
void ReadTextLine(char* line);
void DrawBitmapTextAt(int x, int y, const char* line);
int DrawTTTextInBox(int x1, int y1, int x2, int y2, const char* line);
// The font dialog owned by owner, started from krv_ttFont; the font is made again from the
// confirmed choice, or as it was when the dialog is cancelled. krv_ttWidth and krv_ttHeight
// keep the size last set.
void ChangeTTFont(HWND owner);

// ---- Transforms and test patterns (draw/transforms.cpp, draw/test_patterns.cpp) ----
// Pixel calls act on krv_current; these run them on another image without touching the
// selection history. UseImage returns the id to give back to RestoreImage.
inline int UseImage(int id) {
  const int previous = krv_current;
  krv_current = id;
  return previous;
}
inline void RestoreImage(int previous) { krv_current = previous; }

// The old pixel that lands on (x, y) of the image a quarter turn makes of a W x H image.
void RotatedSource(int clockwise, int width, int height, int x, int y, int* oldX, int* oldY);
// (n x permille + 500) / 1000 in 64 bits; 0 when the result leaves the int range.
int ScaledLength(int n, int permille);

// In place on image id, which stays current or not as it was. 0, or 1 without such an image.
int InvertImage(int id);
int FlipImage(int id, int horizontal);
// Re-create image id (through KRV_ResizeImage, which makes it current): 0, 1 no image, 3 no
// memory for the copy, else the resize's code (the image may then be gone).
int RotateImage(int id, int clockwise);
int ScaleImage(int id, int permille);
// Copies the box x1..x2, y1..y2 (sorted) of image id into a new image of its depth at (0, 0),
// zoom 100, in the first id that can be created; the new image is current. Its id, or -1.
int ClipImage(int id, int x1, int y1, int x2, int y2);

// The first id 0..255 where an image of that depth can be made: its id (now current), or -1.
int CreateImageInFirstFreeSlot(const char* title, int width, int height, int bits);

enum TestPattern {
  PatternRgb, PatternHsv, PatternYCrCb, PatternYuv, PatternYiq, PatternGrey
};
// Pixel (x, y) of a W x H image under the colour patterns; the grey pattern's level of column x.
int RgbPatternPixel(int x, int y, int width, int height);
int HsvPatternPixel(int x, int y, int width, int height);
int ChromaPatternPixel(int space, int x, int y, int width, int height);
int GreyPatternLevel(int x, int width);
// Fills image id, row by row; 1 when there is no such image.
int FillTestPattern(int id, int pattern);

// ---- Measuring tools (draw/measure.cpp, draw/plots.cpp) ----
// The lines "Pixel" prints for pixel value v at (x, y) of an image of that depth.
enum { PixelReportSize = 256 };
void FormatPixelReport(char* out, int size, int bits, int x, int y, int v);
// Prints that report of pixel (x, y) of image id into the current text window.
void ReportPixel(int id, int x, int y);

enum ProfileChannel {
  ChannelRed, ChannelGreen, ChannelBlue, ChannelHue, ChannelSaturation, ChannelValue,
  ChannelLuma, ChannelCr, ChannelCb, ChannelByte
};
int ProfileLevel(int pixel, int channel);  // 0 .. the channel's scale
int ProfileScale(int channel);             // 359 for the hue, 255 for the rest
int ProfileRow(int level, int scale);      // 127 at 0, 0 at full scale
// Plot row of count values (ints, or bytes for ChannelByte) from column x0 on the current image.
void PlotProfile(const void* values, int x0, int count, int channel, int colour);

enum ProfileKind { ProfileRgb, ProfileHsv, ProfileYCrCb, ProfileLumi };
int ProfileMargin(int kind);  // the plot's left margin
// The plot of row y of image id in a new image (W + margin) x 128: its id, or -1 when the image,
// the row buffer or a free id is missing (or Lumi is asked of a 32-bit image, the others of an
// 8-bit one).
int RunLineProfile(int id, int y, int kind);

// (128 + Cb, 128 - Cr) of a pixel.
void CrCbPoint(int pixel, int* x, int* y);
// Axes, labels and one polyline per row of cols pixels on the current image; alternate colours
// the segments ending at odd points 0xFF00FF.
void CrCbScatter(const int* pixels, int cols, int rows, int alternate);
// The scatter of row y, or of the box x1..x2, y1..y2 (sorted), of 32-bit image id in a new
// 256 x 256 image: its id, or -1.
int RunRowCrCb(int id, int y);
int RunAreaCrCb(int id, int x1, int y1, int x2, int y2);

// ---- The measuring, transform, pattern and text commands (draw/tool_commands.cpp) ----
// Rows of the image window's command table, on the window's image id.
void PixelCommand(int id);
void RgbProfileCommand(int id);
void HsvProfileCommand(int id);
void YCrCbProfileCommand(int id);
void LumiProfileCommand(int id);
void RowCrCbCommand(int id);
void AreaCrCbCommand(int id);
void ClippingCommand(int id);
void InvertCommand(int id);
void HorizontalFlipCommand(int id);
void VerticalFlipCommand(int id);
void RightRotateCommand(int id);
void LeftRotateCommand(int id);
void Size50Command(int id);
void Size71Command(int id);
void Size141Command(int id);
void Size200Command(int id);
void RgbPatternCommand(int id);
void HsvPatternCommand(int id);
void YCrCbPatternCommand(int id);
void YuvPatternCommand(int id);
void YiqPatternCommand(int id);
void GreyPatternCommand(int id);
void DrawTextCommand(int id);
void TrueTypeDrawCommand(int id);
void FontChangeCommand(int id);

#endif
