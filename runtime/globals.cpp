// Process-wide state of the runtime, zero at load unless given here.
#include "runtime/runtime.h"

volatile int startRequested;
volatile int appRunning;
volatile int stopRequested;
volatile int quitState;
volatile int inputPending;
volatile int quitMessageSeen;

int instanceNumber;
wchar_t mainClassName[16];
HINSTANCE moduleInstance;
HWND mainWindow;
HWND statusLabel;
HMENU mainMenuBar;
HANDLE workerThread;
DWORD workerThreadId;
int colourDepth;
double millisecondPeriod = 1.0;
wchar_t openDirectoryW[MAX_PATH];
char openDirectory[MAX_PATH];
wchar_t saveDirectoryW[MAX_PATH];
char saveDirectory[MAX_PATH];
int openFilterIndex = 2;
int saveFilterIndex = 2;
wchar_t logDirectoryW[MAX_PATH];
char logDirectory[MAX_PATH];
HFONT krv_ttFont;
ULONG_PTR gdiplusToken;
PickRecord PickState = {0, -1, 0, 0, 0, 0, 0, 0, 0};
MouseReport MouseState = {0, -1, 0, 0, 0, 0, 0, 0};
