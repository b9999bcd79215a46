// The interactive picks: the user chooses a point, a row, a column, an area, a box, a line or
// a circle on an image while the pick pumps the worker's messages and the image window
// procedure records the mouse in PickState. Worker thread. XOR figures follow the mouse;
// drawing one again erases it, so an ended pick leaves the image as it found it.
#include <math.h>

#include "draw/draw.h"

enum PickEnd { PickWaiting = -1, PickDone = 0, PickCancelled = 1, PickRefused = 2 };
enum FigureKind { FigureNone, FigureRow, FigureColumn, FigureArea, FigureBox, FigureLine,
                  FigureCircle };
enum { PickOutputs = 4 };

struct Figure {
  int kind;
  int x1, y1, x2, y2;  // row: y1; column: x1; area, box, line: corners; circle: centre x1, y1
  int r, w, h;         // circle radius; area size
  bool shown;
};

struct Pick {
  int image;
  const void* pixels;  // other memory under the same id means the image was made anew
  BOOL acceptedDrops;
  int state;  // two-click picks: 0 waiting for the first point, 1 for the second
  int* out[PickOutputs];
  Figure figure;
};

int RoundedRadius(int dx, int dy) {
  const double x = dx, y = dy;
  return (int)floor(sqrt(x * x + y * y) + 0.5);
}

static void Put(int* out, int value) {
  if (out) *out = value;
}

static void DrawFigure(const Figure& f, const ImageSlot& slot) {
  switch (f.kind) {
    case FigureRow: KRV_XorLine(0, f.y1, slot.width - 1, f.y1); break;
    case FigureColumn: KRV_XorLine(f.x1, 0, f.x1, slot.height - 1); break;
    case FigureArea:
      KRV_XorBox(f.x1, f.y1, f.x2, f.y2);
      if (f.w > 8 && f.h > 8) {
        KRV_XorLine(f.x1 + 1, f.y1 + 1, f.x2 - 1, f.y2 - 1);
        KRV_XorLine(f.x2 - 1, f.y1 + 1, f.x1 + 1, f.y2 - 1);
      }
      break;
    case FigureBox: KRV_XorBox(f.x1, f.y1, f.x2, f.y2); break;
    case FigureLine: KRV_XorLine(f.x1, f.y1, f.x2, f.y2); break;
    case FigureCircle: KRV_XorCircle(f.x1, f.y1, f.r); break;
  }
}

// Drawn on the pick's image even if something made another image current meanwhile.
static void ToggleFigure(Pick* pick) {
  const ImageSlot* slot = ImageInUse(pick->image);
  if (!slot) return;
  const int current = krv_current;
  krv_current = pick->image;
  DrawFigure(pick->figure, *slot);
  krv_current = current;
  pick->figure.shown = !pick->figure.shown;
  InvalidateRect(slot->window, NULL, FALSE);
}

static void ShowFigure(Pick* pick) {
  if (!pick->figure.shown) ToggleFigure(pick);
}

static void EraseFigure(Pick* pick) {
  if (pick->figure.shown) ToggleFigure(pick);
}

// ---- Cursors that follow the mouse: row, column, area ----

static void PlaceCursor(Figure* f) {
  f->x1 = PickState.moveX;
  f->y1 = PickState.moveY;
  if (f->kind == FigureArea) {
    f->x1 -= f->w / 2;
    f->y1 -= f->h / 2;
    f->x2 = f->x1 + f->w - 1;
    f->y2 = f->y1 + f->h - 1;
  }
}

static bool FollowsTheMouse(const Figure& f) {
  return f.kind == FigureRow || f.kind == FigureColumn || f.kind == FigureArea;
}

static void StartCursor(Pick* pick) {
  if (!FollowsTheMouse(pick->figure)) return;
  PlaceCursor(&pick->figure);
  ShowFigure(pick);
}

static int TakeClick(Pick* pick) {
  PickState.clicked = 0;
  EraseFigure(pick);
  Put(pick->out[0], PickState.clickX);
  Put(pick->out[1], PickState.clickY);
  return PickDone;
}

// A click and a right click in the same pass count as the click.
static int CursorStep(Pick* pick) {
  if (PickState.clicked) return TakeClick(pick);
  if (PickState.rightClicked) {
    PickState.rightClicked = 0;
    EraseFigure(pick);
    return PickCancelled;
  }
  if (PickState.moved && FollowsTheMouse(pick->figure)) {
    PickState.moved = 0;
    EraseFigure(pick);
    PlaceCursor(&pick->figure);
    ShowFigure(pick);
  }
  return PickWaiting;
}

// ---- Two-click picks: box, line, circle ----

static void SetSecondPoint(Pick* pick, int x, int y) {
  Figure* f = &pick->figure;
  if (f->kind == FigureCircle) {
    f->r = RoundedRadius(x - f->x1, y - f->y1);
    Put(pick->out[2], f->r);
    return;
  }
  f->x2 = x;
  f->y2 = y;
  Put(pick->out[2], x);
  Put(pick->out[3], y);
}

static void SortBoxOutputs(Pick* pick) {
  int** out = pick->out;
  if (out[0] && out[2] && *out[0] > *out[2]) {
    const int t = *out[0];
    *out[0] = *out[2];
    *out[2] = t;
  }
  if (out[1] && out[3] && *out[1] > *out[3]) {
    const int t = *out[1];
    *out[1] = *out[3];
    *out[3] = t;
  }
}

static int TwoClickClicked(Pick* pick) {
  PickState.clicked = 0;
  const int x = PickState.clickX, y = PickState.clickY;
  if (pick->state == 0) {
    pick->figure.x1 = x;
    pick->figure.y1 = y;
    Put(pick->out[0], x);
    Put(pick->out[1], y);
    SetSecondPoint(pick, x, y);
    ShowFigure(pick);
    SetStatusText("Click the second point");
    pick->state = 1;
    return PickWaiting;
  }
  EraseFigure(pick);
  SetSecondPoint(pick, x, y);
  if (pick->figure.kind == FigureBox) SortBoxOutputs(pick);
  return PickDone;
}

static int TwoClickStep(Pick* pick) {
  if (PickState.clicked && TwoClickClicked(pick) == PickDone) return PickDone;
  if (PickState.rightClicked) {
    PickState.rightClicked = 0;
    if (pick->state == 0) return PickCancelled;
    EraseFigure(pick);
    SetStatusText("Click the first point");
    pick->state = 0;
  }
  if (PickState.moved) {
    PickState.moved = 0;
    if (pick->state == 1) {
      EraseFigure(pick);
      SetSecondPoint(pick, PickState.moveX, PickState.moveY);
      ShowFigure(pick);
    }
  }
  return PickWaiting;
}

// ---- The frame every pick shares ----

// The style change is sent to the GUI thread, which does not pump while Exit waits for this
// thread: then the main window is about to go and is left alone.
static void SetMainWindowDrops(BOOL accept) {
  if (mainWindow && quitState == QuitRunning) DragAcceptFiles(mainWindow, accept);
}

// A right click left over from an earlier pick (one that ended on a click in the same pass)
// must not cancel this one, so both click flags start cleared.
static bool BeginPick(Pick* pick, int n, const char* prompt) {
  if (!ImageInUse(n)) return false;
  for (int* out : pick->out) Put(out, 0);
  SetStatusText(prompt);
  pick->acceptedDrops =
      mainWindow && (GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  SetMainWindowDrops(FALSE);
  KRV_SelectImage(n);
  PickState.clicked = 0;
  PickState.rightClicked = 0;
  stopRequested = 0;
  PickState.image = n;
  PickState.active = 1;
  pick->image = n;
  pick->pixels = krv_pixels[n];
  return true;
}

// Drops are accepted again only if they were before the pick: a pick inside AppMain must not
// open the main window to drops while AppMain still runs.
static void EndPick(const Pick* pick) {
  ShowColourDepthStatus();
  PickState.active = 0;
  PickState.image = -1;
  SetMainWindowDrops(pick->acceptedDrops);
}

static bool ImageGone(const Pick* pick) {
  return !ImageInUse(pick->image) || krv_pixels[pick->image] != pick->pixels;
}

// Sleeps until input arrives, at most a millisecond, so that a waiting pick leaves the
// processor to others and still sees Stop at once.
static void WaitForInput(void) { MsgWaitForMultipleObjects(0, NULL, FALSE, 1, QS_ALLINPUT); }

static int RunPick(Pick* pick, int n, const char* prompt, int (*step)(Pick*)) {
  if (!BeginPick(pick, n, prompt)) return PickRefused;
  StartCursor(pick);
  int end;
  for (;;) {
    PumpWorkerMessages();
    if (ImageGone(pick)) {
      end = PickCancelled;
      break;
    }
    end = step(pick);
    if (end != PickWaiting) break;
    if (stopRequested) {
      EraseFigure(pick);
      end = PickDone;
      break;
    }
    WaitForInput();
  }
  EndPick(pick);
  return end;
}

static Pick NewPick(int kind, int* a, int* b, int* c, int* d) {
  Pick pick = {};
  pick.figure.kind = kind;
  pick.out[0] = a;
  pick.out[1] = b;
  pick.out[2] = c;
  pick.out[3] = d;
  return pick;
}

int KRV_PickPoint(int n, int* x, int* y) {
  Pick pick = NewPick(FigureNone, x, y, NULL, NULL);
  return RunPick(&pick, n, "Click a point", CursorStep);
}

int KRV_PickRow(int n, int* x, int* y) {
  Pick pick = NewPick(FigureRow, x, y, NULL, NULL);
  return RunPick(&pick, n, "Click a point", CursorStep);
}

int KRV_PickColumn(int n, int* x, int* y) {
  Pick pick = NewPick(FigureColumn, x, y, NULL, NULL);
  return RunPick(&pick, n, "Click a point", CursorStep);
}

int KRV_PickArea(int n, int w, int h, int* x, int* y) {
  Pick pick = NewPick(FigureArea, x, y, NULL, NULL);
  pick.figure.w = w;
  pick.figure.h = h;
  return RunPick(&pick, n, "Click a point", CursorStep);
}

int KRV_PickBox(int n, int* x1, int* y1, int* x2, int* y2) {
  Pick pick = NewPick(FigureBox, x1, y1, x2, y2);
  return RunPick(&pick, n, "Click the first point", TwoClickStep);
}

int KRV_PickLine(int n, int* x1, int* y1, int* x2, int* y2) {
  Pick pick = NewPick(FigureLine, x1, y1, x2, y2);
  return RunPick(&pick, n, "Click the first point", TwoClickStep);
}

int KRV_PickCircle(int n, int* cx, int* cy, int* r) {
  Pick pick = NewPick(FigureCircle, cx, cy, r, NULL);
  return RunPick(&pick, n, "Click the first point", TwoClickStep);
}
