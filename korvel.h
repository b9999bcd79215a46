// KORVEL: the calls and variables an application uses, and the manual of them.
//
// Threads. The framework owns the entry point; its GUI thread runs the main window (Start, Stop,
//   Exit) and nothing of yours. Your AppSetup runs once and your AppMain on each Start, both on
//   the one worker thread, which creates and owns every image window, text window and box.
//   Call every KRV_ function from that thread (AppSetup, AppMain or what they call); only
//   KRV_GetTime and reading the capture's variables are safe on any thread. There are no locks.
// Run state. Start runs AppMain; Stop sets stopRequested, which nothing enforces: AppMain polls
//   it and returns soon; the picks and KRV_GrabFrame end on it, line input waits for its line.
//   Exit also waits up to 2 seconds for AppMain to return, then ends the worker by force.
// Pumping. The worker's windows answer only while it pumps their messages: PumpWorkerMessages
//   does, and so do KRV_Print, KRV_InputLine, the picks, KRV_GrabFrame and the message boxes
//   (KRV_Pause). Their window procedures (clicks counted, mouse recorded, windows closed) run
//   inside those calls, so an image may be gone after one; a loop that calls none must pump.
// Text. Narrow text is code page 932 (Shift_JIS). Keep sources UTF-8: the korvel target
//   compiles every program built on it with narrow literals converted to code page 932, so
//   "テスト" is 83 65 83 58 83 67. A character code page 932 lacks (µ, é) stops the build with
//   "converting to execution character set"; write it another way ("us", "e").
// Results. Calls return 0 on success and small codes otherwise; ids and indexes are 0..255.
//
// A camera program (CMake: add_subdirectory(path/to/korvel korvel EXCLUDE_FROM_ALL) and
// korvel_add_app(camera camera.cpp)):
//
//   #include "korvel.h"
//   void AppSetup(void) {
//     KRV_OpenTextWindow(0, 660, 0, -1, -1);
//     if (int code = KRV_StartCapture(10.0)) KRV_Print("Error %d\n", code);
//   }
//   void AppMain(void) {
//     KRV_CreateImage(0, "camera", 0, 0, CaptureWidth, CaptureHeight, 100);
//     // Frames until Stop; a time-out only repeats the wait.
//     while (KRV_GrabFrame(0, 0, 1000) <= GrabTimedOut) KRV_RedrawImage(0);
//   }
#ifndef KORVEL_H
#define KORVEL_H

#include <windows.h>

// ---- Supplied by the application ----
void AppSetup(void);  // once, when the program starts
void AppMain(void);   // on each Start; return soon after stopRequested becomes 1

// ---- Runtime ----
extern volatile int stopRequested;  // 1 once Stop or Exit was chosen during AppMain
unsigned int KRV_GetTime(void);     // milliseconds; compare unsigned differences; any thread
void KRV_Pause(const char* text);   // message box "Pause", returns when closed; pumps
// Dispatches what is waiting for the worker's windows and returns at once; keeps the windows
// alive inside long loops. Call it, or a call that pumps, every few milliseconds.
void PumpWorkerMessages(void);
// Brings a framework window to the front; KRVMAINWINDOW is the main window, the only one so
// far (1 for anything else). Generated layout listings end with it.
enum { KRVMAINWINDOW = -1 };
int KRV_SetForeground(int window);

// ---- Text windows (consoles) ----
// Up to 256 windows, numbered 0..255; printing and line input act on the current one.
// Negative x, y: default place; negative width, height: 400 x 300. 1 when open already
// (it comes to the front and becomes current), 2 when it cannot be made.
int KRV_OpenTextWindow(int id, int x, int y, int width, int height);
int KRV_CloseTextWindow(int id);
int KRV_SelectTextWindow(int id);  // makes id current; 1 when it does not exist
void KRV_ShowTextWindow(void);     // the current one to the front, or opens window 0
void KRV_Print(const char* format, ...);  // printf; at most 4095 bytes per call; pumps
void KRV_PushTextColor(int text, int back);
void KRV_PopTextColor(void);
void KRV_ClearTextWindow(void);
// Reads a typed line (at most 255 bytes) into buffer[256]; empty when cancelled (Exit, the
// window closed). Stop does not end it. Pumps until the line is done.
void KRV_InputLine(char* buffer);
// The log of window n: KORVEL<instance><n>.LOG in the start-up directory.
int KRV_StartLog(int n);  // 1 logging already, 2 file not created, 3 no window
int KRV_StopLog(int n);   // pauses; 1 no log, 2 no window
int KRV_CopyLog(int n);   // to the clipboard; 1 busy, 2 unreadable, 3 no memory, 4 no window

// ---- Input box and button box ----
// The input box: count labelled fields whose text counts once Enter or Tab commits it; every
// field starts as "0". A count outside 1..30 is clamped to it without a word. 1 when a box is
// open already, 2 when its window cannot be made, 3 when its values get no memory (the box is
// closed again).
int KRV_OpenInputBox(int x, int y, int count);
int KRV_CloseInputBox(void);  // 1 when no box is open
int KRV_SetInputBoxTitle(int i, const char* text);  // renames the label of item i
// Widths in pixels of the labels and the fields, for this box and the next; an open box
// follows at once. 2 when a width is below 1 (nothing changes).
int KRV_ResizeInputBox(int labelWidth, int fieldWidth);
// Copies the committed text of item i (at most size - 1 bytes); 1 when there is no item i.
int KRV_GetInputBoxValue(int i, char* buffer, int size);
// The button box: nx x ny buttons (at most 256) numbered row by row from 0; their presses are
// counted while the worker pumps. 1 open already, 2 bad dimensions, 3 the window cannot be made.
int KRV_OpenButtonBox(int x, int y, int nx, int ny);
int KRV_CloseButtonBox(void);
int KRV_ButtonPressed(int i);  // presses since the last call; the count restarts at 0
int KRV_SetButtonBoxTitle(int i, const char* text);  // 1 when there is no button i
int KRV_ResizeButtonBox(int width, int height);  // client size; 1 no box, 2 bad size

// ---- Images ----
// An image is a top-down DIB section shown in a window of its own at an integer zoom. Ids are
// 0..255. Rows of 32-bit images are width words of 0x00RRGGBB; rows of 8-bit images are
// colour-table indexes, padded to a multiple of 4 bytes. KRV_GetImageInfo gives the row stride:
// pixel (x, y) is at (char*)krv_pixels[id] + y * stride + x * bits / 8. Writing pixels shows
// nothing until KRV_RedrawImage.

struct ImageSlot {
  int inUse;
  int bits;  // 32 or 8
  int width, height;
  int dispWidth, dispHeight;  // client area: width x zoom / 100, height x zoom / 100
  int zoom;                   // percent
  int fitScreen;              // 1: window bounded by the screen; 0: by twice the screen
  HWND window;
  HDC memDC;     // holds bitmap
  HDC windowDC;  // the window's own DC, kept for its lifetime
  HBITMAP bitmap;
  HBITMAP oldBitmap;
  char* title;
};
extern ImageSlot krv_images[256];  // fields are stale while inUse is 0
extern void* krv_pixels[256];      // first byte of the top row of each image
extern int krv_current;            // the image every pixel, drawing and palette call acts on
extern int krv_history[8];         // previously current ids, newest first

// Creation returns 0; 1 id in use; 2 the window cannot fit the screen; 3 no pixel memory;
// 4 id outside 0..255. x, y place the outer window (-1: chosen by the system). The zoom is
// fitted to the screen; the new image is black (index 0) and becomes current.
int KRV_CreateImage(int id, const char* title, int x, int y, int width, int height, int zoom);
int KRV_CreateImage8(int id, const char* title, int x, int y, int width, int height, int zoom);
// As above, bounded by twice the screen instead of the screen.
int KRV_CreateImageFL(int id, const char* title, int x, int y, int width, int height, int zoom);
int KRV_CreateImage8FL(int id, const char* title, int x, int y, int width, int height, int zoom);
// These return 1 when id is outside 0..255 or not in use.
int KRV_DestroyImage(int id);
int KRV_RedrawImage(int id);  // copies the pixels to the window
int KRV_SelectImage(int id);
int KRV_SelectPreviousImage(void);  // 1 when the newest history entry is no image
// Colour table of the current 8-bit image: 1 no image, 2 not 8-bit.
int KRV_SetPalette(const RGBQUAD* entries, int count);  // entries 0..count-1, then repaints
int KRV_GetPalette(RGBQUAD* entries);                    // all 256
// Copies w x h pixels of the current image, packed (words or bytes); outside pixels are 0.
void KRV_ReadImageRect(void* buffer, int x0, int y0, int w, int h);
int KRV_GetStretchMode(int id);  // COLORONCOLOR or HALFTONE; 0 when there is no image
int KRV_SetStretchMode(int mode, int id);
int KRV_ZoomImage(int zoom, int id);  // 2 when the zoom cannot fit (image unchanged)
// Re-creates the image black at a new size, keeping title, place, zoom, stretch mode and
// colour table; when the creation fails (2 or 3) the image is gone.
int KRV_ResizeImage(int id, int width, int height);
// Size, depth (32 or 8) and row stride in bytes of image id; NULL pointers are skipped.
// 1 when id is outside 0..255 or not in use.
int KRV_GetImageInfo(int id, int* width, int* height, int* bits, int* stride);

// ---- Image files (current image; neither call repaints the window) ----
enum ImageFileFormat {
  ImageFileBmp = 0, ImageFileJpeg = 1, ImageFileGif = 2, ImageFilePng = 3, ImageFileTiff = 4
};
extern int krv_jpeg_quality;  // 0..100 for JPEG saves; 100 at start
// Draws the picture of any file GDI+ decodes at its own pixel size with its top-left corner
// at (x, y), clipped by the image; an 8-bit image first takes the picture's palette.
// 0 drawn; 1 no picture (missing, unreadable, not an image, zero size); 2 no current image.
int KRV_LoadImageFile(const char* path, int x, int y);
// Writes the top-left width x height pixels (black beyond the image) as format, appending
// its extension (.bmp .jpg .gif .png .tif) unless the name ends in it; 32-bit images become
// 24-bit pictures. 0 saved; 1 not written; 2 width or height below 1; 3 no current image.
int KRV_SaveImageFile(int width, int height, int format, const char* path);

// The clipboard, as a device-independent bitmap (24-bit rows, or 8-bit rows with the colour
// table). Copy and paste do nothing when the image or the clipboard's picture is missing.
void KRV_CopyImage(int id);
void KRV_PasteImage(int id, int x, int y);  // x or y -1: the user places it with the mouse
// The clipboard's picture as a bitmap the caller deletes, or NULL; count gets the number of
// colour-table entries copied into colours (0 for pictures above 8 bits).
HBITMAP KRV_GetClipboardBitmap(RGBQUAD colours[256], int* count);

// ---- Mouse over image windows ----
// Set MouseState.enabled to 1 to have it filled: moves and left or middle clicks over any
// image window record the image id, the position in image pixels and the button and key bits.
// It is written during the pumping (PumpWorkerMessages), so read it between pumps.
struct MouseReport {
  int enabled;  // 0 at start; the framework never sets it
  int image;    // image of the last reported event, -1 at start
  int x, y;     // image pixels: client position x 100 / zoom
  int left, middle, shift, ctrl;  // non-zero while held
};
extern MouseReport MouseState;

// ---- Pixels (current image; outside coordinates are ignored and read as 0) ----
void KRV_PutPixel(int x, int y, int colour);  // also moves the current point to (x, y)
int KRV_GetPixel(int x, int y);
void KRV_XorPixel(int x, int y);  // inverts the colour bits; moves the current point
void KRV_ClearImage(int id);      // all bytes 0, not repainted
void KRV_GetRow(void* destination, int y, int count);  // count ints or bytes from (0, y)
// Hue 0..359, saturation max - min of the channels, value the largest channel; NULL outputs
// are skipped.
void KRV_RgbToHsv(int colour, int* hue, int* saturation, int* value);
int KRV_Hue(int colour);
int KRV_Saturation(int colour);
int KRV_Value(int colour);
// The way back takes value, saturation, hue: the reverse of KRV_RgbToHsv's outputs.
int KRV_HsvToRgb(int value, int saturation, int hue);

// ---- Drawing (current image, clipped pixel by pixel, not repainted) ----
void KRV_Line(int colour, int x1, int y1, int x2, int y2);  // current point ends at (x2, y2)
void KRV_XorLine(int x1, int y1, int x2, int y2);
void KRV_Box(int x1, int y1, int x2, int y2);  // outline in krv_color
void KRV_XorBox(int x1, int y1, int x2, int y2);
void KRV_FillBox(int x1, int y1, int x2, int y2, int border, int fill);
void KRV_XorFillBox(int x1, int y1, int x2, int y2);
void KRV_Circle(int colour, int cx, int cy, int r);
void KRV_XorCircle(int cx, int cy, int r);
void KRV_FillCircle(int cx, int cy, int r);  // disc in krv_color
void KRV_XorFillCircle(int cx, int cy, int r);
void KRV_Paint(int x, int y);  // fills the 4-connected region of equal pixels with krv_color

// ---- Picks: the user chooses on image n with the mouse ----
// Image n becomes current. While a pick waits, it pumps the messages and shows XOR figures
// that follow the mouse; the left button chooses, the right or middle one cancels (two-click
// picks go back to their first point first). 0 done, or ended by Stop (outputs as far as they
// got); 1 cancelled; 2 no image n, outputs untouched.
int KRV_PickPoint(int n, int* x, int* y);
int KRV_PickRow(int n, int* x, int* y);     // the cursor is a horizontal line
int KRV_PickColumn(int n, int* x, int* y);  // the cursor is a vertical line
int KRV_PickArea(int n, int w, int h, int* x, int* y);  // x, y: centre of a w x h frame
int KRV_PickBox(int n, int* x1, int* y1, int* x2, int* y2);   // x1 <= x2, y1 <= y2
int KRV_PickLine(int n, int* x1, int* y1, int* x2, int* y2);  // in the order clicked
int KRV_PickCircle(int n, int* cx, int* cy, int* r);  // r rounded to the nearest pixel

// ---- Colours (0x00RRGGBB; the low byte is the index in 8-bit images) ----
extern int krv_color;  // drawing colour, initially white
extern int krv_tc;     // bitmap-font text colour, initially black
extern int krv_tttc;   // TrueType text colour, initially white

// ---- Text in images (current image, not repainted) ----
// One text position for both fonts: x of the next character, the line y (the row just below
// the character cells) and the x a new line returns to.
extern int krv_textX, krv_textY, krv_textLeft;
// The 8 x 14 bitmap font in krv_tc: codes 0x20..0x7F, line feed 10 (16 rows down); other codes
// are skipped. Characters are 8 apart and wrap at the right edge of the image.
void KRV_DrawChar(int c);
void KRV_DrawString(const char* text);
void KRV_DrawPrintf(const char* format, ...);  // output beyond 4095 bytes is cut
// TrueType text in krv_tttc with krv_ttFont, its cell's top at krv_textY - krv_ttHeight + 1.
// Codes below 32 are styles: 1/2 italic on/off, 3 bold, 4 normal, 5/6 underline on/off,
// 10 new line (krv_ttHeight down). Double-byte characters are lead byte x 256 + trail byte.
extern HFONT krv_ttFont;
extern int krv_ttWidth, krv_ttHeight;  // the size last set; krv_ttHeight is the line pitch
void KRV_DrawTTChar(int code);
void KRV_DrawTTString(const char* text);  // code page 932; control bytes apply their styles
// Re-creates the font width / 2 wide and height high; 1 when it cannot be made.
int KRV_SetTTFontSize(int width, int height);

// ---- Omnidirectional rings (32-bit images; neither call repaints a window) ----
// The picture of a mirror seen by the camera: a disc where the scene is seen against a darker
// surround, often with the dark blind spot of the camera's own reflection at its centre.
// KRV_FindRing finds the disc's centre and outer radius and the blind spot's radius (0 when there
// is none) in image id. 0 found; 1 no such image, or not 32-bit; 2 no ring in the picture (flat,
// or noise only). The outputs are written only when it returns 0.
int KRV_FindRing(int id, int* x0, int* y0, int* outerRadius, int* innerRadius);
// Fills the whole of image target (W x H) with the ring of image source between innerRadius and
// outerRadius around (x0, y0). Column c, row y reads the source at angle
// angleOffset + 2 pi (W - c) / W and radius outerRadius - (outerRadius - innerRadius) y / (H - 1)
// (row 0 the outer rim; outerRadius alone when H is 1), pixel centres at whole coordinates.
// smooth 0 takes the nearest pixel, any other value blends the four around the point (a
// neighbour outside the source counts as black); the top byte is 0. source may be target (the
// ring is then read from a copy). 0 done; 1 an image is missing or not 32-bit (checked first);
// 2 innerRadius < 0 or outerRadius < innerRadius; 3 no memory for that copy. Tables that depend
// only on the parameters are kept for the next call with the same ones, so a live loop pays for
// them once.
int KRV_UnwrapRing(int source, int target, int x0, int y0, int innerRadius, int outerRadius,
                   double angleOffset, int smooth);

// ---- Capture ----
// The size every camera is asked for: korvel_add_app's CAPTURE width height, 640 x 480 without.
extern const int CaptureWidth;
extern const int CaptureHeight;
enum { MaxCaptureDevices = 8 };
// Runs every video-capture device (at most eight) into its frame buffer at the capture size and
// fps frames per second. 0, 1 when running already, else the step that failed (below); with a
// device that sent nothing (21) or a graph that would not run (19) it tries three times.
// Programs usually start it in AppSetup and take frames with KRV_GrabFrame.
enum CaptureStartResult {
  CaptureAlreadyRunning = 1,
  CaptureNoFilterGraph = 3,      // the filter graph cannot be made
  CaptureNoDeviceEnumerator = 4,
  CaptureNoVideoDevices = 5,     // no video-input device at all: no camera
  CaptureNoDeviceName = 6,
  CaptureDeviceNotBound = 7,     // a device cannot be opened or added to the graph
  CaptureNoUsableDevice = 8,     // devices exist, none qualifies
  CaptureNoGraphBuilder = 9,
  CaptureNoStreamConfig = 10,    // a device offers no format control
  CaptureFormatRefused = 11,     // a device refuses the capture size or rate
  CaptureNoSampleGrabber = 12,
  CaptureGrabberTypeRefused = 13,
  CaptureGrabberNotAdded = 14,
  CaptureNotConnected = 15,      // a device cannot deliver RGB32 (or RGB24) to its grabber
  CaptureBufferSamplesFailed = 16,
  CaptureOneShotFailed = 17,
  CaptureNoMediaControl = 18,
  CaptureRunFailed = 19,         // the graph would not run (after three tries)
  CaptureCallbackRefused = 20,
  CaptureNoFirstFrame = 21,      // device 0 sent no frame within 3 s (after three tries)
};
int KRV_StartCapture(double fps);
int KRV_StopCapture(void);  // 0 stopped, 1 not running, 2 the graph cannot be stopped
// A source whose stop outlasts 3.5 s (Wine's, on a device that delivers nothing) is left to end
// on its own, its frame buffers with it; the capture counts as stopped.

// Waits for a frame of device newer than the one this call last returned for it and copies it
// into 32-bit image id, top-left corners together and clipped to the smaller of the two (image
// pixels the frame does not cover keep their values). While it waits it pumps the worker's
// messages. A timeoutMs below 0 waits until a frame comes or Stop.
enum GrabFrameResult {
  GrabDone = 0,
  GrabTimedOut = 1,   // no new frame within timeoutMs
  GrabStopped = 2,    // stopRequested was set, on entry or while waiting
  GrabNoCapture = 3,  // the capture is not running, or has no such device
  GrabNoImage = 4,    // id is outside 0..255 or not in use (also when closed while waiting)
  GrabImage8Bit = 5,  // image id is 8-bit: frames are colour, convert them yourself
};
int KRV_GrabFrame(int device, int id, int timeoutMs);
// Read access while the capture runs. Device i's streaming thread writes its byte count, then
// the frame (top row first, 0x00RRGGBB words), then advances its frame sequence, then writes its
// sample time. A sequence other than the one a program last took means a new frame; sample
// times cannot say so, since some sources stamp every sample 0. krv_consumedTime belongs to the
// program.
extern volatile int krv_captureRunning;
extern volatile int krv_captureDeviceCount;
extern int* volatile krv_frameBuffer[MaxCaptureDevices];  // CaptureWidth x CaptureHeight
extern volatile long krv_frameByteCount[MaxCaptureDevices];  // never above the buffer's size
extern volatile double krv_sampleTime[MaxCaptureDevices];    // seconds
extern volatile double krv_consumedTime[MaxCaptureDevices];
extern volatile long krv_frameSequence[MaxCaptureDevices];  // frames taken; never reset
// An auto-reset event set after each new sample time of any device (NULL before the first
// KRV_StartCapture): a program waiting for frames can sleep on it instead of looking again.
extern void* volatile krv_frameSignal;

#endif
