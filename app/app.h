// rimview, the panorama application: its state, the unwrap routines on the framework's images,
// the display schedule, the control panel and the frame hand-over. Everything here runs on the
// worker thread except the schedule's pure functions, which any thread may call.
#ifndef KORVEL_APP_APP_H
#define KORVEL_APP_APP_H

#include "app/unwrap.h"
#include "korvel.h"

// ---- Application state (app/panorama.cpp) ----
extern RingGeometry ring;  // X0, Y0, r, columnCount, angleOffset and the capture size
extern RayState ray;       // currentAngle, rayLength, raySamples of the last ray
extern int camOverlay;     // 1: the overlay follows each unwrapped frame on image 0

enum {
  CameraImage = 0,
  PanoramaImage = 1,
  WorkImage = 2,
};

// ---- Unwrap routines on images 0 and 1 (app/panorama.cpp) ----
// Each works through the current image as KRV_GetPixel and KRV_PutPixel would: rays read the
// camera image (or the current one when image 0 is gone) and columns go to image 1 (or stay
// in the current one). 32-bit images only; with another depth nothing is drawn.
int SampleRay(int x1, int y1);  // reads the current image; rayLength
void UnwrapTopStrip(void);      // rows r..1 of image 1, no clearing, no redraw
void UnwrapCentredStrip(void);  // display mode 1, then redraws and the overlay
void UnwrapHalfStrips(void);    // display mode 2, then redraws and the overlay
void ShowCameraFrame(void);     // display mode 0
// Inverts the ring marker on image 0 (a second call erases it), redraws image 0 and reports
// X0, Y0 and r in the current text window.
void DrawRingOverlay(void);
// The overlay's report: the current text window cleared, then "X0:", "Y0:" and " r:" lines.
void ReportRing(void);
// Called right after a display mode redrew image 1; NULL in rimview, set by timing programs.
extern void (*panoramaShown)(void);

// ---- Display schedule (app/schedule.cpp, pure) ----
enum { DemoStepsPerCycle = 3 };
extern const double RotationStep;  // pi / 18, 0.17453292519943295
// Display mode at s seconds of running time: 0 camera, 1 centred strip, 2 half strips.
int ScheduledDisplayMode(long seconds);
// The rotation of one pass at s seconds: -1, +1 (steps of RotationStep), or 0 when the
// direction flag flips instead (all but the last two seconds of every 40).
int ScheduledRotation(long seconds, int* rotateBackward);
// "demo": the first press holds the display mode after the current one, the next press the
// one after that, the third returns to the clock. demoSteps counts presses since the clock.
void PressDemo(int* displayMode, int* demoSteps);

// ---- The control panel and the pass (app/control_panel.cpp) ----
struct PanelState {
  int realTime;        // 1: each pass runs the display schedule
  int displayMode;     // 0 camera, 1 centred strip, 2 half strips
  int rotateBackward;  // direction of the scheduled rotation
  int demoSteps;       // 0: the clock chooses the mode; 1, 2: "demo" holds it
};
extern PanelState panel;

enum { ButtonCount = 22 };
enum PassOutcome { PassGoesOn = 0, PassBreaks = 1 };
// One button of the panel: its title (NULL: none), what a press does (the action or, without
// one, a move of the ring by dx, dy, dr and turnSteps x RotationStep), and the pass's outcome.
struct PanelButton {
  const char* label;
  int dx, dy, dr, turnSteps;
  void (*action)(void);
  int outcome;  // a PassOutcome
};
extern const PanelButton panelButtons[ButtonCount];
// Carries out button i's action; PassBreaks for "break".
int RunButton(int i);
// The 22 buttons, each after an empty print; PassBreaks when "break" was among them.
int PollButtons(void);
// The display schedule at s seconds and the display mode it leaves.
void RunDisplayMode(long seconds);
// Moves the ring by dx, dy, its radius by dr and its angle by turn, the overlay erased before and
// drawn after; the radius stays within 0..MaxRingRadius.
void MoveRing(int dx, int dy, int dr, double turn);

// ---- The batches (app/batches.cpp) ----
extern int fileCounter;         // number of the batch's current file, from 1
extern char batchFileName[256];  // the path last built for it
// "go": d:\pano0\file_00001.png and on, each unrolled into image 1 and saved whole as
// d:\pano\file_00001.png and on, until a file does not load or Stop or Exit was chosen; then
// "end.".
void RunFileBatch(void);
// "go2": the same through the "work" image of 960 x 720, image 1 pasted at (0, 210), saved
// whole; the work image is gone afterwards.
void RunWorkBatch(void);
// The work image's size for a capture size: 960 x 720, enlarged only where image 1 pasted at
// (0, WorkPasteRow) would not fit (1280 x 1170 for 1280 x 960).
enum { WorkPasteRow = 210 };
int WorkImageWidth(int captureWidth);
int WorkImageHeight(int captureHeight);

// ---- Frame hand-over (app/frame_wait.cpp) ----
// Bytes of a reported frame that fit an image of imageBytes: never more, never negative.
long FrameCopyBytes(long reported, long imageBytes);
// Device 0's frame sequence (krv_frameSequence) of the last frame taken.
extern long takenFrameSequence;
// Waits for a frame of device 0 other than the one taken last, pumping the worker's messages and
// giving up the processor between looks; takes it (its sequence, and its sample time as the
// consumed time) and returns 1, or 0 once Stop or Exit came.
int WaitForFrame(void);
// Copies device 0's newest frame into image 0, as far as image 0 holds it.
void CopyCameraFrame(void);
// Image 0 and the capture back after a run that ended them; prints "Error %d" when the
// capture cannot start.
void ReviveCamera(void);

#endif
