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

// ---- Colours (0x00RRGGBB; the low byte is the index in 8-bit images) ----
extern int krv_color;  // drawing colour, initially white
extern int krv_tc;     // bitmap-font text colour, initially black
extern int krv_tttc;   // TrueType text colour, initially white

// ---- Capture ----
// The size every camera is asked for; 640 x 480 unless the program's build sets it.
extern const int CaptureWidth;
extern const int CaptureHeight;

#endif
