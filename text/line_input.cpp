// KRV_InputLine: one line typed into the current text window, echoed console style.
// The loop pumps on every pass and never sleeps, so keystrokes are echoed at once.
#include "text/text.h"

wchar_t lastLine[LineUnits];
volatile int lineInputCommand;

enum { MaxLineUnits = LineUnits - 1, WrapStackSize = 2 * MaxLineUnits };

// One line being typed. A row change pushes the x to return to, so Backspace can go back.
struct LineEdit {
  TextWindowSlot* slot;
  wchar_t line[LineUnits];
  int length;
  int wrap[WrapStackSize];
  int wrapCount;
  int blinkOn;
  unsigned int lastBlink;
  int redraw;
};

static int CellsOf(wchar_t unit) { return unit < 128 ? 1 : 2; }

static void PushWrap(LineEdit* edit, int x) {
  if (edit->wrapCount < WrapStackSize) edit->wrap[edit->wrapCount++] = x;
}

static void MoveToNextRow(LineEdit* edit) {
  if (NewTextLine(edit->slot)) {
    InvalidateRect(edit->slot->window, NULL, FALSE);
    AwaitTextPaint(edit->slot);
  }
}

static void InsertUnit(LineEdit* edit, wchar_t unit) {
  TextWindowSlot* slot = edit->slot;
  int cells = CellsOf(unit), cw = slot->charWidth;
  if (cells == 2 && slot->x > slot->width - 2 * cw) {
    DrawInputGlyph(slot, L' ', 1);
    PushWrap(edit, slot->x + 2 * cw);
    MoveToNextRow(edit);
  }
  DrawInputGlyph(slot, unit, cells);
  if (slot->x + cells * cw > slot->width - cw) {
    PushWrap(edit, slot->x);
    MoveToNextRow(edit);
  } else {
    slot->x += cells * cw;
  }
  edit->line[edit->length++] = unit;
}

static void DeleteLastUnit(LineEdit* edit) {
  TextWindowSlot* slot = edit->slot;
  int cells = CellsOf(edit->line[--edit->length]), cw = slot->charWidth;
  DrawInputGlyph(slot, L' ', 1);
  if (edit->wrapCount > 0 && slot->x == 0) {
    slot->x = edit->wrap[--edit->wrapCount];
    slot->y -= slot->lineHeight;
  } else {
    slot->x -= cells * cw;
  }
  if (cells == 2) {
    DrawInputGlyph(slot, 0x3000, 2);
    // The character had been moved down whole: go back to where it would have started.
    if (edit->wrapCount > 0 && slot->x == 0 && edit->wrap[edit->wrapCount - 1] >= slot->width) {
      slot->x = edit->wrap[--edit->wrapCount] - 2 * cw;
      slot->y -= slot->lineHeight;
    }
  }
}

static void ReplayLastLine(const TextWindowSlot* slot) {
  for (int i = 0; i < MaxLineUnits && lastLine[i]; i++)
    SendMessageW(slot->window, WM_CHAR, lastLine[i], 1);
}

static void RunLineCommand(const TextWindowSlot* slot) {
  if (lineInputCommand == LineCommandReplay) ReplayLastLine(slot);
  if (lineInputCommand == LineCommandPaste) PasteClipboardLine();
  lineInputCommand = LineCommandNone;
}

static void DrawCursor(LineEdit* edit) {
  DrawInputGlyph(edit->slot, edit->blinkOn ? L'_' : L' ', 1);
  edit->redraw = 0;
}

static void FinishLine(LineEdit* edit, char* buffer) {
  TextWindowSlot* slot = edit->slot;
  inputPending = 0;
  DrawInputGlyph(slot, L' ', 1);
  MoveToNextRow(edit);
  edit->line[edit->length] = 0;
  lstrcpynW(lastLine, edit->line, LineUnits);
  // Two-byte characters can make the narrow line longer than the buffer: cut whole ones.
  WideToNarrow(edit->line, buffer, LineBufferSize);
  if (slot->logState == LogOn) {
    WriteToLog(slot, buffer);
    WriteToLog(slot, "\n");
  }
  ShowColourDepthStatus();
}

void KRV_InputLine(char* buffer) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (!slot || !buffer) return;
  LineEdit edit;  // its own per call: a rename prompt may start inside another input's pumping
  SetForegroundWindow(slot->window);
  buffer[0] = 0;
  SetStatusText("Input text");
  edit.slot = slot;
  edit.length = edit.wrapCount = 0;
  edit.lastBlink = KRV_GetTime();
  edit.blinkOn = edit.redraw = 1;
  inputPending = currentTextWindow + 1;
  for (;;) {
    PumpWorkerMessages();
    wchar_t unit = PopKey(&keyRing);
    if (unit == 9) unit = 32;
    if (lineInputCommand != LineCommandNone) RunLineCommand(slot);
    if (inputPending == 0) {
      ShowColourDepthStatus();
      return;
    }
    if (unit == 13) {
      FinishLine(&edit, buffer);
      return;
    }
    bool inserted = false;
    if (unit == 8) {
      if (edit.length > 0) DeleteLastUnit(&edit);
    } else if (unit != 0 && edit.length < MaxLineUnits) {
      InsertUnit(&edit, unit);
      inserted = true;
    }
    if (inserted || edit.redraw) DrawCursor(&edit);
    if (KRV_GetTime() - edit.lastBlink > BlinkMs) {
      edit.lastBlink = KRV_GetTime();
      edit.blinkOn = !edit.blinkOn;
      edit.redraw = 1;
    }
  }
}
