// KORVEL: the calls and variables an application uses. An application supplies AppSetup and
// AppMain; both run on the framework's worker thread, never on the GUI thread.
// Narrow text is in the system code page. Calls return 0 on success and small codes otherwise.
#ifndef KORVEL_H
#define KORVEL_H

// ---- Supplied by the application ----
void AppSetup(void);  // once, when the program starts
void AppMain(void);   // on each Start; return soon after stopRequested becomes 1

// ---- Runtime ----
extern volatile int stopRequested;  // 1 once Stop or Exit was chosen during AppMain
unsigned int KRV_GetTime(void);     // milliseconds; compare unsigned differences
void KRV_Pause(const char* text);   // message box "Pause", returns when closed
void PumpWorkerMessages(void);      // keeps the windows alive inside long loops

// ---- Input box and button box ----
// The input box: count labelled fields (1..30) whose text counts once Enter or Tab commits it.
int KRV_OpenInputBox(int x, int y, int count);  // 1 when a box is open already
int KRV_CloseInputBox(void);
int KRV_SetInputBoxTitle(int i, const char* text);  // renames the label of item i
int KRV_ResizeInputBox(int labelWidth, int fieldWidth);  // an open box follows at once
// Copies the committed text of item i (at most size - 1 bytes); 1 when there is no item i.
int KRV_GetInputBoxValue(int i, char* buffer, int size);
// The button box: nx x ny buttons (at most 256) numbered row by row from 0.
int KRV_OpenButtonBox(int x, int y, int nx, int ny);  // 1 open already, 2 bad dimensions
int KRV_CloseButtonBox(void);
int KRV_ButtonPressed(int i);  // presses since the last call; the count restarts at 0
int KRV_SetButtonBoxTitle(int i, const char* text);  // 1 when there is no button i
int KRV_ResizeButtonBox(int width, int height);  // client size; 1 no box, 2 bad size

// ---- Colours (0x00RRGGBB; the low byte is the index in 8-bit images) ----
extern int krv_color;  // drawing colour, initially white
extern int krv_tc;     // bitmap-font text colour, initially black
extern int krv_tttc;   // TrueType text colour, initially white

// ---- Capture ----
// The size every camera is asked for; 640 x 480 unless the program's build sets it.
extern const int CaptureWidth;
extern const int CaptureHeight;
enum { MaxCaptureDevices = 8 };
// Runs every video-capture device (at most eight) into its frame buffer at the capture size and
// fps frames per second. 0, 1 when running already, else the step that failed (3..21); with a
// device that sent nothing (21) or a graph that would not run (19) it tries three times.
int KRV_StartCapture(double fps);
int KRV_StopCapture(void);  // 0 stopped, 1 not running, 2 the graph cannot be stopped
// Read access while the capture runs. Device i's streaming thread writes its byte count, then
// the frame (top row first, 0x00RRGGBB words), then its sample time: a sample time other than
// krv_consumedTime[i] means a new frame. krv_consumedTime belongs to the program.
extern volatile int krv_captureRunning;
extern volatile int krv_captureDeviceCount;
extern int* volatile krv_frameBuffer[MaxCaptureDevices];  // CaptureWidth x CaptureHeight
extern volatile long krv_frameByteCount[MaxCaptureDevices];  // never above the buffer's size
extern volatile double krv_sampleTime[MaxCaptureDevices];    // seconds
extern volatile double krv_consumedTime[MaxCaptureDevices];

#endif
