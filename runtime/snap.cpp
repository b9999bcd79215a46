// Edge snapping of framework windows dragged with Ctrl held. The list is rebuilt from either
// thread without a lock; a drag reads whatever the last rebuild left.
#include <stdlib.h>

#include "runtime/runtime.h"

SnapList snapList;

static void AddEntry(SnapList* list, int left, int top, int right, int bottom) {
  int i = list->count++;
  list->left[i] = left;
  list->top[i] = top;
  list->right[i] = right;
  list->bottom[i] = bottom;
}

void BuildSnapList(SnapList* list, int width, int height, const RECT* windows, int windowCount) {
  list->count = 0;
  AddEntry(list, -SnapWallDepth, 0, 0, height);
  AddEntry(list, 0, -SnapWallDepth, width, 0);
  AddEntry(list, width, 0, width + SnapWallDepth, height);
  AddEntry(list, 0, height, width, height + SnapWallDepth);
  if (windowCount > SnapCapacity - SnapWallCount) windowCount = SnapCapacity - SnapWallCount;
  for (int i = 0; i < windowCount; i++)
    AddEntry(list, windows[i].left, windows[i].top, windows[i].right, windows[i].bottom);
}

// More framework windows may exist than the list holds; the last place is kept for the main
// window so that it always stays a target.
void RebuildSnapList(void) {
  RECT windows[SnapCapacity - SnapWallCount];
  const int room = SnapCapacity - SnapWallCount - 1;
  int count = 0;
  for (const SnapSource& source : snapSources) {
    for (int i = 0; i < source.count && count < room; i++) {
      HWND window = source.windowAt(i);
      if (window) windows[count++] = WindowRectOf(window);
    }
  }
  if (mainWindow) windows[count++] = WindowRectOf(mainWindow);
  SnapList fresh;
  BuildSnapList(&fresh, GetSystemMetrics(SM_CXFULLSCREEN),
                GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION), windows,
                count);
  snapList = fresh;
}

static void ShiftX(RECT* rect, int by) {
  rect->left += by;
  rect->right += by;
}

static void ShiftY(RECT* rect, int by) {
  rect->top += by;
  rect->bottom += by;
}

// Moves rect by the first of two candidate shifts that is within the threshold.
static bool SnapAxis(RECT* rect, void (*shift)(RECT*, int), int first, int second) {
  if (abs(first) < SnapThreshold) {
    shift(rect, first);
    return true;
  }
  if (abs(second) < SnapThreshold) {
    shift(rect, second);
    return true;
  }
  return false;
}

void SnapRectAgainst(RECT* proposed, const RECT& current, const SnapList& list) {
  const int L = proposed->left, T = proposed->top, R = proposed->right, B = proposed->bottom;
  bool xSnapped = false, ySnapped = false;
  for (int i = 0; i < list.count; i++) {
    const int El = list.left[i], Et = list.top[i], Er = list.right[i], Eb = list.bottom[i];
    if (El == current.left && Et == current.top && Er == current.right && Eb == current.bottom)
      continue;
    const bool hOverlap = El <= R && Er >= L;
    const bool vOverlap = Et <= B && Eb >= T;
    if (!xSnapped && vOverlap) xSnapped = SnapAxis(proposed, ShiftX, Er - L, El - R);
    if (!ySnapped) {
      if (xSnapped && hOverlap) ySnapped = SnapAxis(proposed, ShiftY, Et - T, Eb - B);
      if (!ySnapped && hOverlap) ySnapped = SnapAxis(proposed, ShiftY, Eb - T, Et - B);
    }
    if (!xSnapped && ySnapped && vOverlap) xSnapped = SnapAxis(proposed, ShiftX, El - L, Er - R);
    if (xSnapped && ySnapped) break;
  }
}

void SnapMovingRect(RECT* rect, HWND window) {
  if (!CtrlHeld()) return;
  SnapRectAgainst(rect, WindowRectOf(window), snapList);
}
