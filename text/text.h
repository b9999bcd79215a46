// Text windows: the slot table, printing, line input, the window procedure, log files and the
// command prompt. All of it runs on the thread that owns the text windows: the worker thread,
// or the GUI thread for the main window's prompts while the worker is idle. Exit (GUI thread)
// only closes the logs.
#ifndef KORVEL_TEXT_H
#define KORVEL_TEXT_H

#include <stdio.h>

#include "runtime/runtime.h"

enum {
  ColorStackDepth = 8,
  FormatBufferSize = 4096,  // bytes of one formatted print, terminator included
  LineUnits = 256,          // UTF-16 units of a typed line, terminator included
  LineBufferSize = 256,     // bytes of the narrow line handed to the caller
  KeyRingSize = 256,
  DefaultTextWidth = 400,
  DefaultTextHeight = 300,
  BlinkMs = 200,
};

enum LogState { LogOff = 0, LogOn = 1, LogPaused = 2 };

struct TextWindowSlot {
  int inUse;
  int width, height;  // bitmap and client size
  int x, y;           // text cursor; y is the top of the current line
  int charWidth, lineHeight;
  int textColor, backColor;  // 0x00RRGGBB
  int textColorStack[ColorStackDepth];  // entry 0 the most recent
  int backColorStack[ColorStackDepth];
  HWND window;
  HDC memoryDC;
  HDC windowDC;
  HBITMAP bitmap;  // a 32-bit top-down DIB section, so that its pixels can be compared
  HBITMAP previousBitmap;
  int logState;
  FILE* logFile;
  // What the screen shows: 1 while the bitmap holds something the window has not painted yet.
  // A print that drew nothing then leaves the window alone, while the system's own repaints
  // still happen.
  int bitmapChanged;
  int* pixels;         // the bitmap's pixels, width x height, top row first
  int* shownPixels;    // the pixels of the last paints, where shownValid says they are known
  int shownValid;      // 1 once a paint covered the whole client area
  RECT changed;        // drawn since the last pump and not yet compared with the screen
  DWORD changeThread;  // the thread that drew it
  int awaitingPaint;   // 1 from an invalidation until the paint that answers it
};

extern TextWindowSlot textWindows[SlotCount];
extern int currentTextWindow;

enum TextCommand {
  CommandDestroyText = 1006,
  CommandAbout = 1020,
  CommandStartLog = 1024,
  CommandStopLog = 1025,
  CommandPrompt = 1029,
  CommandCopyLog = 1030,
  CommandWindowInfo = 1045,
  CommandSelectText = 1069,
};

// ---- Slots (text/text_window.cpp) ----
TextWindowSlot* TextSlot(int index);  // NULL unless window index exists
TextWindowSlot* CurrentTextSlot(void);
int TextWindowIndexOf(HWND window);   // -1 for a window in no slot
HWND TextWindowAt(int index);         // snap source
void ServeOpenTextWindow(RequestBlock* block);
// Selects the black brush, OEM_FIXED_FONT and a fresh black bitmap of the slot's size into a
// new memory context of the window; sets the slot's colours there and reads the cell size.
bool MakeTextBitmap(TextWindowSlot* slot);
void ReleaseTextBitmap(TextWindowSlot* slot);
void ApplyTextColours(TextWindowSlot* slot);

// ---- Printing (text/print.cpp, text/print_layout.cpp) ----
// One step of laid-out text: a run of count units drawn at x, or (count 0) a move to a new line.
struct TextStep {
  int first, count, x;
};
enum { MaxTextSteps = 2 * FormatBufferSize + 1 };
// Lays out length units starting at startX in a window width pixels wide; units below 128
// take one cell, others two. Returns the number of steps; *endX is where the text ends.
int LayOutText(const wchar_t* text, int length, int startX, int width, int cellWidth,
               TextStep* steps, int* endX);
// Moves the cursor to the start of the next line and scrolls when it left the bitmap;
// returns whether it scrolled.
bool NewTextLine(TextWindowSlot* slot);
// One unit over cells cells at the cursor, and the cell invalidated (line input, cursor).
void DrawInputGlyph(TextWindowSlot* slot, wchar_t unit, int cells);

// ---- What the screen shows (text/text_changes.cpp) ----
// Whoever draws into a slot's memory context notes the rectangle here; the next pump compares
// what was drawn with what the window shows and invalidates only what differs, so the same text
// drawn again over a cleared window repaints nothing.
void NoteTextChange(TextWindowSlot* slot, int left, int top, int right, int bottom);
// Whoever invalidates a text window directly says so here.
void AwaitTextPaint(TextWindowSlot* slot);
// Invalidates, in every text window, what this thread drew and differs from the screen; true
// when it invalidated anything. Run by PumpWorkerMessages before it looks for messages. The
// GUI thread's prompts draw while the worker's idle loop pumps: each thread shows only its
// own drawing, which it alone touches.
bool ShowTextChanges(void);
// The paint of rect: the screen now shows the bitmap there (text window procedure).
void TextPainted(TextWindowSlot* slot, const RECT& rect);
// The shown-pixel record for a new bitmap (false without memory), and its release.
bool MakeShownPixels(TextWindowSlot* slot);
void ReleaseShownPixels(TextWindowSlot* slot);

// ---- Colour stack (text/colour_stack.cpp) ----
void PushColours(TextWindowSlot* slot, int text, int back);
void PopColours(TextWindowSlot* slot);

// ---- Line input (text/key_ring.cpp, text/line_input.cpp) ----
struct KeyRing {
  wchar_t units[KeyRingSize];
  int readIndex;  // -1 when empty
  int writeIndex;
};
extern KeyRing keyRing;
extern wchar_t lastLine[LineUnits];
enum LineInputCommand { LineCommandNone = 0, LineCommandReplay = 1, LineCommandPaste = 2 };
extern volatile int lineInputCommand;
void PushKey(KeyRing* ring, wchar_t unit);  // dropped when the ring is full
wchar_t PopKey(KeyRing* ring);              // 0 when nothing was typed
void PasteClipboardLine(void);

// ---- Window procedure (text/text_window_proc.cpp) ----
LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PrintVersionBanner(void);

// ---- Logs (text/log_file.cpp) ----
// "%sKORVEL%d%d.LOG" into out (256 bytes); false when the name does not fit.
bool FormatLogName(char* out, int size, const char* directory, int instance, int index);
void WriteToLog(TextWindowSlot* slot, const char* text);  // only while logging
void CloseLog(TextWindowSlot* slot);
void CloseAllLogs(void);
extern char logDirectory[MAX_PATH];  // the start-up directory with a final backslash
void ReadLogFolder(void);  // GUI thread at start-up, before the worker exists

// ---- Window information (text/layout_listing.cpp, text/window_info.cpp) ----
// A snapshot of every framework window, taken before anything is printed: printing pumps
// messages, and a window closed meanwhile must not take its title with it.
enum {
  ListingBufferSize = 30000,  // bytes of the generated listing, terminator included
  ListingLineSize = 512,      // bytes of one generated line, terminator included
  LayoutTextSize = 512,       // a title, label or caption: 255 UTF-16 units in narrow text
  LayoutMaxItems = 30,
  LayoutMaxButtons = 256,
};
struct LayoutImage {
  int id, bits, fitScreen, x, y, width, height, zoom;
  char title[LayoutTextSize];
};
struct LayoutTextWindow {
  int id, x, y, width, height;
};
struct LayoutInputBox {
  int open, x, y, count, isize, esize;
  char labels[LayoutMaxItems][LayoutTextSize];
};
struct LayoutButtonBox {
  int open, x, y, nx, ny, width, height, count;  // width, height: the client size
  char captions[LayoutMaxButtons][LayoutTextSize];
};
struct WindowLayout {
  int imageCount, textCount;
  LayoutImage images[SlotCount];
  LayoutTextWindow texts[SlotCount];
  LayoutInputBox inputBox;
  LayoutButtonBox buttonBox;
};
// Writes text as the inside of a C string literal: double quotes, backslashes, line feeds and
// carriage returns escaped, double-byte characters whole. Stops before a character that would
// not fit out (size bytes, terminator included); false when text was shortened.
bool EscapeLiteral(const char* text, char* out, int size);
// The framework calls that re-create layout, one line each, into out (size bytes). A line that
// would not fit is left out with all that follow, and a text too long for its line is
// shortened; *cut is then 1. The closing KRV_SetForeground line is always written.
// Returns the listing's length.
int BuildLayoutListing(const WindowLayout& layout, char* out, int size, int* cut);
// The report of Ctrl+W and command 1045: prints the layout into the current text window and
// puts the listing on the clipboard.
void ShowWindowInfo(void);

// ---- Command prompt (text/command_prompt.cpp) ----
// Index of the command word line is exactly, -1 for none.
int FindCommand(const char* line);
int RunCommandPrompt(void);  // 0 recognised, 1 not

#endif
