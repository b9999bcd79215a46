// The fonts the windows draw their texts with (buttons and the status label, consoles,
// captions, menus, message boxes, dialogs) have the glyphs of the programs' Japanese texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/runtime.h"

namespace {

struct WindowFont {
  const char* use;
  HFONT font;
  bool owned;
};

std::vector<WindowFont> WindowFonts(void) {
  std::vector<WindowFont> fonts = {
      {"buttons, status label (system font)", (HFONT)GetStockObject(SYSTEM_FONT), false},
      {"default GUI font", (HFONT)GetStockObject(DEFAULT_GUI_FONT), false},
      {"consoles (OEM fixed font)", (HFONT)GetStockObject(OEM_FIXED_FONT), false}};
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    fonts.push_back({"captions", CreateFontIndirectW(&metrics.lfCaptionFont), true});
    fonts.push_back({"menus", CreateFontIndirectW(&metrics.lfMenuFont), true});
    fonts.push_back({"message boxes", CreateFontIndirectW(&metrics.lfMessageFont), true});
  }
  LOGFONTW dialog = {};
  dialog.lfHeight = -12;
  dialog.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(dialog.lfFaceName, L"MS Shell Dlg");
  fonts.push_back({"dialogs", CreateFontIndirectW(&dialog), true});
  return fonts;
}

void Release(const std::vector<WindowFont>& fonts) {
  for (const WindowFont& font : fonts)
    if (font.owned) DeleteObject(font.font);
}

// The rows of a white-on-black rendering of the text that hold ink: first and last, -1 when none.
void InkRows(HDC dc, const wchar_t* text, int* first, int* last) {
  const int width = 64, height = 64;
  BITMAPINFO info = {};
  info.bmiHeader = DibHeader(width, -height, 32);
  void* bits = NULL;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, width, height, BLACKNESS);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 4, 4, text, lstrlenW(text));
  GdiFlush();
  *first = *last = -1;
  const DWORD* pixels = (const DWORD*)bits;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (pixels[y * width + x] & 0x808080) {
        if (*first < 0) *first = y;
        *last = y;
        break;
      }
  SelectObject(dc, old);
  DeleteObject(bitmap);
}

}  // namespace

TEST(WindowFonts, HaveTheGlyphsOfTheProgramsTexts) {
  // The panel's arrows, the start prompt and the layout report's confirmation.
  const std::wstring texts = L"←→↑↓x10-Startをクリックしてください．"
                             L"クリップボードにレイアウト作成ソースリストを保存しました";
  std::vector<WindowFont> fonts = WindowFonts();
  HDC dc = CreateCompatibleDC(NULL);
  for (const WindowFont& font : fonts) {
    ASSERT_TRUE(font.font) << font.use;
    HGDIOBJ old = SelectObject(dc, font.font);
    std::vector<WORD> glyphs(texts.size());
    ASSERT_EQ(texts.size(), GetGlyphIndicesW(dc, texts.c_str(), (int)texts.size(), glyphs.data(),
                                             GGI_MARK_NONEXISTING_GLYPHS))
        << font.use;
    std::wstring missing;
    for (size_t i = 0; i < texts.size(); i++)
      if (glyphs[i] == 0xFFFF) missing += texts[i];
    EXPECT_TRUE(missing.empty()) << font.use << ": " << missing.size() << " characters missing";
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  Release(fonts);
}

// "real-time": the hyphen sits within the height of the small letters, not above them.
TEST(WindowFonts, HyphenSitsAmongTheSmallLetters) {
  std::vector<WindowFont> fonts = WindowFonts();
  HDC dc = CreateCompatibleDC(NULL);
  for (const WindowFont& font : fonts) {
    HGDIOBJ old = SelectObject(dc, font.font);
    int letterTop, letterBottom, hyphenTop, hyphenBottom;
    InkRows(dc, L"x", &letterTop, &letterBottom);
    InkRows(dc, L"-", &hyphenTop, &hyphenBottom);
    ASSERT_GE(letterTop, 0) << font.use;
    ASSERT_GE(hyphenTop, 0) << font.use;
    EXPECT_GT(hyphenTop, letterTop) << font.use;
    EXPECT_LT(hyphenBottom, letterBottom) << font.use;
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  Release(fonts);
}
