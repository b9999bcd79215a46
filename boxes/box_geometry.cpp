// Layout arithmetic of the input box and the button box.
#include "boxes/boxes.h"

const DWORD BoxWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

static int AtLeastOne(int value) { return value < 1 ? 1 : value; }

int ClampInputItemCount(int count) {
  if (count < 1) return 1;
  return count > InputBoxMaxItems ? InputBoxMaxItems : count;
}

SIZE InputBoxClientSize(int count, int isize, int esize) {
  return {isize + esize + 12, count * InputBoxRowHeight + 2};
}

RECT InputLabelRect(int i, int isize) {
  int top = 4 + InputBoxRowHeight * i + 3;
  return {4, top, 4 + isize, top + 24};
}

RECT InputFieldRect(int i, int isize, int esize) {
  int top = 4 + InputBoxRowHeight * i;
  return {isize + 8, top, isize + 8 + esize, top + 24};
}

void InputColumnsForClient(int clientWidth, int edge, int* isize, int* esize) {
  if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
    *isize = AtLeastOne(clientWidth - *esize - 12);
  else
    *esize = AtLeastOne(clientWidth - *isize - 12);
}

SIZE ButtonBoxClientSize(int nx, int ny, int buttonWidth, int buttonHeight) {
  return {nx * (buttonWidth + ButtonGap) + ButtonGap, ny * (buttonHeight + ButtonGap) + ButtonGap};
}

RECT ButtonRect(int i, int nx, int buttonWidth, int buttonHeight) {
  int left = (i % nx) * (buttonWidth + ButtonGap) + ButtonGap;
  int top = (i / nx) * (buttonHeight + ButtonGap) + ButtonGap;
  return {left, top, left + buttonWidth, top + buttonHeight};
}

static int Clamp(int value, int last) {
  if (value < 0) return 0;
  return value > last ? last : value;
}

int ButtonUnderPoint(int px, int py, int nx, int ny, int buttonWidth, int buttonHeight) {
  int column = Clamp(px / (buttonWidth + ButtonGap), nx - 1);
  int row = Clamp(py / (buttonHeight + ButtonGap), ny - 1);
  return row * nx + column;
}

// A frame dragged smaller than the gaps would give buttons of no size, which would then
// also size every later box: one pixel is the least.
SIZE ButtonSizeForClient(int clientWidth, int clientHeight, int nx, int ny) {
  int width = AtLeastOne(clientWidth - (nx * ButtonGap + ButtonGap)) / nx;
  int height = AtLeastOne(clientHeight - (ny * ButtonGap + ButtonGap)) / ny;
  return {AtLeastOne(width), AtLeastOne(height)};
}

SIZE BoxWindowSize(SIZE client) {
  RECT rect = {0, 0, client.cx, client.cy};
  AdjustWindowRect(&rect, BoxWindowStyle, FALSE);
  return {rect.right - rect.left, rect.bottom - rect.top};
}
