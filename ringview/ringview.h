// ringview: the mirror's ring found in the live camera picture and unwrapped into a panorama
// with an inner and an outer radius, adjusted from a panel. Everything runs on the worker
// thread; the geometry, layout, panel and report arithmetic are pure functions, tested alone.
#ifndef RINGVIEW_RINGVIEW_H
#define RINGVIEW_RINGVIEW_H

#include "korvel.h"

enum { CameraImage = 0, PanoramaImage = 1, ConsoleWindow = 0 };
enum { CaptureFps = 30, TurnStepDegrees = 5 };

// The ring unwrapped: centre, radii and the panorama's turn in whole degrees (0..359).
struct ViewRing {
  int x0, y0, outer, inner, turn;
};

// Before any ring is found: the centre of the picture, an outer radius of 2/5 of its height,
// no blind spot.
ViewRing InitialViewRing(int width, int height);
// The ring moved by a panel press, kept usable: the centre inside the picture, 0 <= inner <
// outer <= the picture's larger side, the turn within 0..359. A step that would break a bound
// stops at it.
ViewRing AdjustedRing(const ViewRing& ring, int dx, int dy, int dOuter, int dInner, int dTurn,
                      int width, int height);
double TurnRadians(int degrees);

// The panorama is a fixed width x 3/10 height: one column per capture column round the ring,
// and as many rows as the virtual camera's mirror is deep (outer 2/5, blind spot 1/10 of the
// height), so that its picture is unwrapped one row per pixel of radius.
void PanoramaSize(int captureWidth, int captureHeight, int* width, int* height);

// ---- Layout ----
// The camera picture at the top left, the panorama under it, the console and the panel to the
// right of the camera picture: nothing overlaps, and the main window's strip at the bottom of
// the screen stays free.
struct ViewLayout {
  int zoom;  // of both images, percent
  int cameraX, cameraY, panoramaX, panoramaY;
  int consoleX, consoleY, panelX, panelY;
};
struct LayoutMetrics {
  int screenWidth, screenHeight;
  int frameWidth, frameHeight;  // outer size less client size of a framework window
  int bottomReserve;            // rows kept free at the bottom for the main window
};
enum {
  ConsoleWidth = 376,
  ConsoleHeight = 84,
  PanelColumns = 3,
  PanelRows = 5,
  PanelWidth = 376,
  PanelHeight = 164,
};
// The largest zoom of 100, 50, 25 at which everything fits the screen (25 when none does).
ViewLayout LayOutViewer(int captureWidth, int captureHeight, const LayoutMetrics& metrics);
LayoutMetrics ScreenMetrics(void);

// ---- Panel ----
enum PanelAction {
  ActionMove,     // dx, dy, dOuter, dInner, dTurn
  ActionFind,     // find the ring in the current frame
  ActionSmooth,   // smooth <-> nearest
  ActionOverlay,  // the ring's figures on the camera picture, on <-> off
  ActionHold,     // keep the current frame <-> live
  ActionSave,     // the panorama as ringview_NNNNN.png
};
struct PanelButton {
  const char* label;
  int action;
  int dx, dy, dOuter, dInner, dTurn;
};
enum { PanelButtonCount = PanelColumns * PanelRows };
extern const PanelButton panelButtons[PanelButtonCount];

// What the viewer shows and does; one record for the program.
struct ViewState {
  ViewRing ring;
  int smooth, overlay, hold;
  int findPending, savePending;
  int saveNumber;     // the number the next saved panorama tries first
  char message[128];  // the last event: a ring found or not, a file saved, a capture error
};
extern ViewState view;

// Applies presses presses of button i to the state; returns 1 when anything shown changes.
int ApplyButton(ViewState* state, int i, int presses, int width, int height);

// ---- Report ----
// One second of passes: how long each took from its frame to its redraw, and how many came.
struct PassFigures {
  int frames;
  double totalMs, longestMs;
  double elapsedMs;  // wall time of the second
  double cpuMs;      // processor time of the process in that time
};
// The console's text: the geometry and modes, the figures of the last second and the last
// event, one line each.
void FormatReport(const ViewState& state, const PassFigures& figures, char* out, int size);
// "ringview_%05d.png".
void SaveName(int number, char* out, int size);

// ---- Shell (ringview.cpp, passes.cpp) ----
void OpenWindows(void);         // opens what is missing (closed by the user) of the four windows
void RememberSaveFolder(void);  // the working directory at start takes the saved panoramas
void FrameGrabbed(void);        // the camera picture holds a fresh frame, without figures
void RunPass(void);             // figures off, find, unwrap, figures on, redraw, save
void ShowReport(const PassFigures& figures);  // the console cleared and the report printed

#endif
