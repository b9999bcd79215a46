// Runtime internals shared by the framework's folders: run state, the request record, the
// pumps, edge snapping and the Win32 chores every folder needs (code pages, menus, colours).
// GUI thread: entry point, main window, request posters. Worker thread: AppSetup, AppMain,
// ServeRequest and every window but the main window.
#ifndef KORVEL_RUNTIME_H
#define KORVEL_RUNTIME_H

#include <windows.h>
#include <shellapi.h>

#include "korvel.h"
#include "runtime/dib_stride.h"

// ---- Process-wide state (runtime/globals.cpp) ----
// Run state: plain aligned ints shared by both threads; volatile keeps every poll a real read.
extern volatile int startRequested;
extern volatile int appRunning;
extern volatile int quitState;  // 0 running, 1 exit requested, 2 worker finished
extern volatile int inputPending;  // 0, or 1 + index of the text window reading a line

enum QuitState { QuitRunning = 0, QuitRequested = 1, QuitWorkerDone = 2 };

extern int instanceNumber;
extern wchar_t mainClassName[16];
extern HINSTANCE moduleInstance;
extern HWND mainWindow;
extern HWND statusLabel;
extern HMENU mainMenuBar;
extern HANDLE workerThread;
extern DWORD workerThreadId;
extern int colourDepth;
extern double millisecondPeriod;
extern ULONG_PTR gdiplusToken;

// Set when a pump retrieved WM_QUIT inside a nested loop; the main loop then ends too.
extern volatile int quitMessageSeen;

// ---- Identifiers ----
enum MainCommand { CommandStart = 1001, CommandExit = 1002, CommandStop = 1003 };
enum RuntimeControl { StatusLabelId = 2001 };
enum { InstanceLimit = 10, SlotCount = 256 };

// ---- What the other folders give the runtime (wiring/) ----
// The runtime calls these and reads these tables; wiring/ defines them, so that the runtime
// names no other folder. GUI thread unless said otherwise.
void StartSubsystems(void);  // at start-up, before the window classes: folders' own state
void CloseFilesBeforeExit(void);  // Exit, before the worker is waited for: the logs
void StopSubsystems(void);  // after the message loop: what StartSubsystems made
// Worker thread, first in each PumpWorkerMessages: text drawn since the last pump is
// invalidated where it differs from the screen, so the pump repaints it once.
void BeforeWorkerPump(void);

// The five window classes, registered in this order.
struct WindowClassEntry {
  const wchar_t* name;  // NULL: the main window's numbered class
  WNDPROC procedure;
  UINT style;
  int background;  // COLOR_ system colour + 1, or -1 for the stock black brush
};
enum { WindowClassCount = 5 };
extern const WindowClassEntry windowClasses[WindowClassCount];

// ---- Entry point and main window (GUI thread) ----
int KorvelMain(HINSTANCE instance);  // the whole program; returns its exit code
int FindInstanceNumber(void);  // first free korvel_mw%d number, -1 when all ten run
int RegisterWindowClasses(void);  // 0, or 1 when one class cannot be registered
HWND CreateMainWindow(void);
void GetMainWindowSize(int* width, int* height);
int MainWindowRestingTop(int height);  // top of the main window once its drop has ended
HMENU BuildMainMenuBar(void);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RequestStart(void);
void RequestStop(void);
void RunExitSequence(void);

// ---- Main window menu (runtime/main_menu.cpp; its commands in wiring/) ----
// GUI thread. Windows are made by the worker through requests; the prompts read their
// answers in the current text window.
enum MainMenuCommand {
  CommandPasteBitmap = 1026,
  CommandCreateImage = 1027,
  CommandOpenText = 1028,
  CommandOpenInputBox = 1044,
  CommandShowWindowInfo = 1045,
  CommandOpenButtonBox = 1051,
};
enum { MainMenuItemCount = 12 };
struct MainMenuEntry {
  const char* text;  // NULL for a separator
  int command;
  int greyable;  // greyed while the application runs or a prompt waits
};
extern const MainMenuEntry mainMenuEntries[MainMenuItemCount];
HMENU BuildMainPopupMenu(int busy);
// Decimal like atoi, but saturating at the int range instead of overflowing; 0 for words.
int ReadTypedNumber(const char* text);
// The menu's commands make other folders' windows: wiring/main_menu_commands.cpp runs them.
void ShowMainPopupMenu(HWND window);
void RunMainMenuCommand(int id);
void DropFilesOnMainWindow(HDROP drop);  // WM_DROPFILES: the files open when nothing runs

// Drop animation: the 28 vertical steps of the main window, net +55 pixels.
enum { DropStepCount = 28, DropDistance = 55, DropStepMs = 20, DropSettleMs = 500 };
extern const int dropSteps[DropStepCount];

// ---- Worker thread ----
DWORD WINAPI WorkerThreadMain(LPVOID);

// ---- Status label ----
enum { StatusFieldLength = 63 };
// Pads text into a field of blanks centred about column 18; out has StatusFieldLength + 1 bytes.
void FormatStatusText(const char* text, char* out);
void SetStatusText(const char* text);  // either thread
void ShowColourDepthStatus(void);     // "%d-bit color", the label's resting text

// ---- Requests: GUI thread posts, worker serves ----
enum RequestCode {
  RequestCodeCreateImage = 9001,
  RequestCodeRedrawImage = 9002,
  RequestCodeLoadImageFile = 9003,
  RequestCodePasteBitmap = 9004,
  RequestCodeOpenTextWindow = 9005,
  RequestCodeOpenInputBox = 9006,
  RequestCodeOpenButtonBox = 9007,
};

struct RequestBlock {
  volatile int code;  // 0 free, else the pending request
  volatile int done;  // 1 when free or served
  volatile int result;
  volatile int id;
  const char* volatile title;
  volatile int x, y, width, height, zoom, bits;
  const char* volatile path;
  HBITMAP volatile bitmap;
};
extern RequestBlock request;

// One entry per request code: the worker's operation for it (wiring/request_handlers.cpp). An
// empty entry completes its request without action and with result -1.
typedef void (*RequestHandler)(RequestBlock* block);
extern RequestHandler requestHandlers[7];  // indexed by code - 9001

int RequestCreateImage(int id, const char* title, int width, int height, int bits);
void RequestRedrawImage(int id);
int RequestLoadImageFile(int id, const char* path);
void RequestPasteBitmap(HBITMAP bitmap);
void RequestOpenTextWindow(int index);  // asks even when that window is open
void RequestOpenInputBox(int count);
void RequestOpenButtonBox(int nx, int ny);
void ServeRequest(void);  // worker: serve the pending request, if its code is known

// ---- Pumps ----
void PumpMessages(void);  // either thread: drain the caller's queue without blocking
// The input box and the button box, once open, get dialog keyboard handling in
// PumpWorkerMessages; boxes/ sets and clears these.
extern HWND dialogKeyboardWindows[2];
enum { DialogInputBox = 0, DialogButtonBox = 1 };

// ---- Edge snapping ----
enum { SnapWallCount = 4, SnapCapacity = 260, SnapThreshold = 8, SnapWallDepth = 1000 };
struct SnapList {
  int left[SnapCapacity], top[SnapCapacity], right[SnapCapacity], bottom[SnapCapacity];
  int count;
};
extern SnapList snapList;

// Windows other than the main window join the list through a source: a function that gives
// the window at index 0..count-1, or NULL for none. Sources are listed in snap order.
struct SnapSource {
  HWND (*windowAt)(int index);
  int count;
};
enum { SnapSourceCount = 4 };
extern const SnapSource snapSources[SnapSourceCount];  // wiring/snap_sources.cpp
void RebuildSnapList(void);  // either thread
void SnapMovingRect(RECT* rect, HWND window);  // from WM_MOVING; acts only while Ctrl is held
// The pure part: snaps proposed against list, skipping entries equal to current.
void SnapRectAgainst(RECT* proposed, const RECT& current, const SnapList& list);
// Walls of the visible area of the given width and height, then the given windows' rectangles.
void BuildSnapList(SnapList* list, int width, int height, const RECT* windows, int windowCount);

// ---- Win32 chores ----
// Narrow text is the system code page. Both copy at most capacity - 1 units and always end
// with a terminator; they return the number of units written before it.
int NarrowToWide(const char* text, wchar_t* out, int capacity);
int WideToNarrow(const wchar_t* text, char* out, int capacity);
// A path (at most MAX_PATH - 1 units) in narrow text only when it converts whole and exactly,
// so that it cannot name another file; 0 converted, 1 not (out is then empty).
int PathToNarrow(const wchar_t* path, char* out, int capacity);
// Bytes of the longest start of text that holds at most limit bytes of whole characters.
int NarrowPrefixLength(const char* text, int limit);
// Window texts as narrow text: the getter reads up to 511 units and returns the bytes written.
int GetWindowNarrowText(HWND window, char* out, int size);
void SetWindowNarrowText(HWND window, const char* text);  // at most 255 units are set
// Copies at most size - 1 bytes of narrow text without splitting a double-byte character.
void CopyNarrowText(char* out, const char* text, int size);
// The current directory, both ways (empty when it does not fit in MAX_PATH units), with a
// backslash appended when asked and there is room.
void ReadCurrentDirectory(wchar_t* wide, char* narrow, bool withBackslash);

enum MenuItemState { MenuEnabled = 0, MenuChecked = 1, MenuGreyed = 2, MenuHidden = 3 };
void AppendMenuText(HMENU menu, const char* text, UINT id, int state);
void AppendMenuSeparator(HMENU menu);
void AppendSubmenu(HMENU menu, const char* text, HMENU submenu);
// A menu as data: one row per item, in order. A row with no text is a separator, a row with a
// submenu opens it, any other row is a command. The state rule, given the menu's subject (an
// image id, a window index), says MenuEnabled, MenuChecked, MenuGreyed or MenuHidden (the row
// is left out); no rule means enabled.
struct MenuTable;
struct MenuRow {
  const char* text;
  UINT id;
  const MenuTable* submenu;
  int (*state)(int subject);
};
struct MenuTable {
  const MenuRow* rows;
  int count;
};
HMENU BuildMenuFromTable(const MenuTable& table, int subject);  // a popup menu
// Tracks a popup menu at the cursor with the right button, then destroys it; the chosen item
// arrives at owner as WM_COMMAND.
void TrackMenuAtCursor(HMENU menu, HWND owner);
void TrackSingleItemMenu(HWND owner, const char* text, UINT id);

// Colours are 0x00RRGGBB in the framework and 0x00BBGGRR at GDI calls.
inline COLORREF ToColorref(int rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
inline int FromColorref(COLORREF colour) {
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// Message boxes with the framework's captions; text is narrow.
void ShowMessage(const char* text, const char* caption);
void ShowMessageW(const wchar_t* text, const wchar_t* caption);
void ShowErrorMessage(const char* text, const char* caption);  // owned by the main window

RECT WindowRectOf(HWND window);  // outer rectangle in screen coordinates

// A header of one plane without compression; a negative height is a top-down picture.
BITMAPINFOHEADER DibHeader(int width, int height, int bitCount);

// Clipboard blocks, for a caller that has the clipboard open: a new movable, shareable block
// of size bytes, locked (NULL when memory is short); then the hand-over, which unlocks it and
// gives it to the clipboard as format (freed here when the clipboard refuses it).
void* LockNewClipboardBlock(SIZE_T size, HGLOBAL* block);
void HandBlockToClipboard(HGLOBAL block, UINT format);
inline bool CtrlHeld(void) { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

#endif
