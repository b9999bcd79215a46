// TrueType text drawn through GDI onto the current image's memory context, with style codes
// and code-page-932 double-byte characters. Worker thread; the start-up font is made at start-up
// on the GUI thread before the worker exists.
#include <string.h>

#include "draw/draw.h"

HFONT krv_ttFont;
int krv_ttWidth = 8;
int krv_ttHeight = 16;

enum TTStyleCode {
  TTItalicOn = 1,
  TTItalicOff = 2,
  TTBold = 3,
  TTNormal = 4,
  TTUnderlineOn = 5,
  TTUnderlineOff = 6,
  TTNewLine = 10,
  TTFirstCharacter = 32,
};

void DescribeStartupTTFont(LOGFONTW* font) {
  memset(font, 0, sizeof *font);
  font->lfHeight = 16;
  font->lfWidth = 8;
  font->lfCharSet = DEFAULT_CHARSET;
  font->lfOutPrecision = OUT_TT_ONLY_PRECIS;
  font->lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font->lfQuality = DEFAULT_QUALITY;
  font->lfPitchAndFamily = DEFAULT_PITCH;
  lstrcpynW(font->lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE);
}

HFONT CreateStartupTTFont(void) {
  LOGFONTW font;
  DescribeStartupTTFont(&font);
  return CreateFontIndirectW(&font);
}

void ReadTTFontDescription(LOGFONTW* font) {
  if (!krv_ttFont || GetObjectW(krv_ttFont, sizeof *font, font) != (int)sizeof *font)
    DescribeStartupTTFont(font);
}

int ApplyTTStyleCode(LOGFONTW* font, int code) {
  switch (code) {
    case TTItalicOn: font->lfItalic = TRUE; return 1;
    case TTItalicOff: font->lfItalic = FALSE; return 1;
    case TTBold: font->lfWeight = FW_BOLD; return 1;
    case TTNormal: font->lfWeight = FW_NORMAL; return 1;
    case TTUnderlineOn: font->lfUnderline = TRUE; return 1;
    case TTUnderlineOff: font->lfUnderline = FALSE; return 1;
  }
  return 0;
}

static bool IsLeadByte(int c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

int NextTTCode(const char** text) {
  const unsigned char* s = (const unsigned char*)*text;
  if (!s || !s[0]) return 0;
  if (!IsLeadByte(s[0])) {
    *text += 1;
    return s[0];
  }
  if (!s[1]) return 0;
  *text += 2;
  return s[0] * 256 + s[1];
}

// Exactly one TrueType font exists: the old one goes before its successor is made.
static HFONT ReplaceTTFont(const LOGFONTW* font) {
  if (krv_ttFont) DeleteObject(krv_ttFont);
  krv_ttFont = CreateFontIndirectW(font);
  return krv_ttFont;
}

static void ApplyControlCode(int code) {
  if (code == TTNewLine) {
    krv_textX = krv_textLeft;
    krv_textY += krv_ttHeight;
    return;
  }
  LOGFONTW font;
  ReadTTFontDescription(&font);
  if (ApplyTTStyleCode(&font, code)) ReplaceTTFont(&font);
}

static int AdvanceOf(HDC dc, wchar_t unit) {
  ABC abc;
  if (GetCharABCWidthsW(dc, unit, unit, &abc)) return abc.abcA + (int)abc.abcB + abc.abcC;
  INT width = 0;
  GetCharWidth32W(dc, unit, unit, &width);
  return width;
}

void KRV_DrawTTChar(int code) {
  if (code < TTFirstCharacter) {
    ApplyControlCode(code);
    return;
  }
  const ImageSlot* slot = ImageInUse(krv_current);
  if (!slot) return;
  char narrow[3] = {0, 0, 0};
  if (code < 256) {
    narrow[0] = (char)code;
  } else {
    narrow[0] = (char)((code >> 8) & 0xFF);
    narrow[1] = (char)(code & 0xFF);
  }
  wchar_t wide[3];
  if (NarrowToWide(narrow, wide, 3) < 1) return;
  HDC dc = slot->memDC;
  SetTextColor(dc, ToColorref(krv_tttc));
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ previous = SelectObject(dc, krv_ttFont ? (HGDIOBJ)krv_ttFont : GetStockObject(SYSTEM_FONT));
  TextOutW(dc, krv_textX, krv_textY - krv_ttHeight + 1, wide, 1);
  krv_textX += AdvanceOf(dc, wide[0]);
  SelectObject(dc, previous);
  GdiFlush();  // the pixels are read straight from memory afterwards
}

void KRV_DrawTTString(const char* text) {
  for (int code; (code = NextTTCode(&text)) != 0;) KRV_DrawTTChar(code);
}

int KRV_SetTTFontSize(int width, int height) {
  krv_ttWidth = width / 2;
  krv_ttHeight = height;
  LOGFONTW font;
  ReadTTFontDescription(&font);
  font.lfWidth = krv_ttWidth;
  font.lfHeight = krv_ttHeight;
  return ReplaceTTFont(&font) ? 0 : 1;
}
