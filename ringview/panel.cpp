// ringview's panel: one row per button (label, what it does, the steps it moves the ring by)
// and what a number of presses does to the viewer's state. Pure apart from the table.
#include "ringview/ringview.h"

const PanelButton panelButtons[PanelButtonCount] = {
    {"x -", ActionMove, -1, 0, 0, 0, 0},
    {"x +", ActionMove, +1, 0, 0, 0, 0},
    {"find ring", ActionFind, 0, 0, 0, 0, 0},
    {"y -", ActionMove, 0, -1, 0, 0, 0},
    {"y +", ActionMove, 0, +1, 0, 0, 0},
    {"smooth", ActionSmooth, 0, 0, 0, 0, 0},
    {"outer -", ActionMove, 0, 0, -1, 0, 0},
    {"outer +", ActionMove, 0, 0, +1, 0, 0},
    {"overlay", ActionOverlay, 0, 0, 0, 0, 0},
    {"inner -", ActionMove, 0, 0, 0, -1, 0},
    {"inner +", ActionMove, 0, 0, 0, +1, 0},
    {"hold", ActionHold, 0, 0, 0, 0, 0},
    {"turn -", ActionMove, 0, 0, 0, 0, -TurnStepDegrees},
    {"turn +", ActionMove, 0, 0, 0, 0, +TurnStepDegrees},
    {"save PNG", ActionSave, 0, 0, 0, 0, 0},
};

int ApplyButton(ViewState* state, int i, int presses, int width, int height) {
  if (i < 0 || i >= PanelButtonCount || presses <= 0) return 0;
  const PanelButton& button = panelButtons[i];
  const int odd = presses % 2;
  switch (button.action) {
    case ActionMove:
      for (int n = 0; n < presses; n++)
        state->ring = AdjustedRing(state->ring, button.dx, button.dy, button.dOuter, button.dInner,
                                   button.dTurn, width, height);
      return 1;
    case ActionFind:
      state->findPending = 1;
      return 1;
    case ActionSmooth:
      state->smooth ^= odd;
      return odd;
    case ActionOverlay:
      state->overlay ^= odd;
      return odd;
    case ActionHold:
      state->hold ^= odd;
      return odd;
    case ActionSave:
      state->savePending = 1;
      return 1;
  }
  return 0;
}
