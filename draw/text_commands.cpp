// The text commands of the image window's processing menu, after their picks: the typed line,
// the bitmap and TrueType drawing, and the font dialog. Worker thread.
#include "draw/draw.h"

#include <commdlg.h>

void ReadTextLine(char* line) {
  KRV_ShowTextWindow();
  KRV_Print("Text>");
  KRV_InputLine(line);
}

void DrawBitmapTextAt(int x, int y, const char* line) {
  krv_textX = krv_textLeft = x;
  krv_textY = y;
  krv_tc = krv_color;
  KRV_DrawPrintf("%s", line);
}

int DrawTTTextInBox(int x1, int y1, int x2, int y2, const char* line) {
  krv_textY = y2;
  krv_textX = krv_textLeft = x1;
  const int result = KRV_SetTTFontSize(x2 - x1 + 1, y2 - y1 + 1);
  KRV_DrawTTString(line);
  return result;
}

void ChangeTTFont(HWND owner) {
  LOGFONTW font;
  ReadTTFontDescription(&font);
  if (krv_ttFont) DeleteObject(krv_ttFont);
  krv_ttFont = NULL;
  // The dialog works on a copy: Wine's writes its selection into the description even when it
  // is cancelled, and a cancelled dialog must give back the font as it was.
  LOGFONTW chosen = font;
  CHOOSEFONTW choice = {};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = owner;
  choice.lpLogFont = &chosen;
  choice.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (ChooseFontW(&choice)) font = chosen;
  krv_ttFont = CreateFontIndirectW(&font);
}
