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

// ---- Text windows (consoles) ----
// Up to 256 windows, numbered 0..255; printing and line input act on the current one.
// Negative x, y: default place; negative width, height: 400 x 300. 1 when open already
// (it comes to the front and becomes current), 2 when it cannot be made.
int KRV_OpenTextWindow(int id, int x, int y, int width, int height);
int KRV_CloseTextWindow(int id);
int KRV_SelectTextWindow(int id);  // makes id current; 1 when it does not exist
void KRV_ShowTextWindow(void);     // the current one to the front, or opens window 0
void KRV_Print(const char* format, ...);  // printf; at most 4095 bytes per call
void KRV_PushTextColor(int text, int back);
void KRV_PopTextColor(void);
void KRV_ClearTextWindow(void);
// Reads a typed line (at most 255 bytes) into buffer[256]; empty when cancelled.
void KRV_InputLine(char* buffer);
// The log of window n: KORVEL<instance><n>.LOG in the start-up directory.
int KRV_StartLog(int n);  // 1 logging already, 2 file not created, 3 no window
int KRV_StopLog(int n);   // pauses; 1 no log, 2 no window
int KRV_CopyLog(int n);   // to the clipboard; 1 busy, 2 unreadable, 3 no memory, 4 no window

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

#endif
