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
ULONG_PTR gdiplusToken;
