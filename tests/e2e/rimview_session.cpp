// rimview driven from outside: its windows and what the screen shows of them.
#include "rimview_session.h"

#include <stdio.h>

#include <algorithm>

const Size Sizes[2] = {{L"rimview.exe", 640, 480}, {L"rimview-qvga.exe", 320, 240}};
const Size HdSize = {L"rimview-hd.exe", 1280, 960};

COLORREF AsColorref(int rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::string Difference(HWND window, const std::vector<COLORREF>& expected) {
  std::vector<COLORREF> shown = ScreenOf(window);
  if (shown.size() != expected.size())
    return "sizes " + std::to_string(shown.size()) + " and " + std::to_string(expected.size());
  int width = ClientRectOf(window).right, count = 0;
  size_t first = 0;
  for (size_t i = 0; i < shown.size(); i++)
    if (shown[i] != expected[i] && count++ == 0) first = i;
  if (!count) return "none";
  char text[160];
  snprintf(text, sizeof text, "%d pixels, first at (%d, %d): %06lx instead of %06lx", count,
           (int)(first % width), (int)(first / width), shown[first], expected[first]);
  return text;
}

void MoveTo(HWND window, int x, int y) {
  SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveClientTo(HWND window, int x, int y) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  RECT outer = OuterRect(window);
  MoveTo(window, x - (origin.x - outer.left), y - (origin.y - outer.top));
}

std::vector<COLORREF> PrintedLines(const wchar_t* lines) {
  SetEnvironmentVariableW(L"KRV_PROBE_TEXT", lines);
  std::vector<COLORREF> pixels;
  Probe printer("lines");
  SetEnvironmentVariableW(L"KRV_PROBE_TEXT", NULL);
  if (!printer.WaitReady()) return pixels;
  HWND console = WaitForWindow(L"krv_twi", NULL, printer.program().id, 5000);
  if (!console) return pixels;
  // Printed before AppSetup reported; shown once painted: the screen holds ink and stays so.
  std::vector<COLORREF> before;
  WaitFor([&] {
    before = pixels;
    pixels = ScreenOf(console);
    const bool ink = std::find_if(pixels.begin(), pixels.end(), [&](COLORREF c) {
                       return c != pixels.front();
                     }) != pixels.end();
    return Painted(console) && ink && pixels == before;
  });
  return pixels;
}

Rimview::Rimview(const Size& size, const std::vector<std::wstring>& environment) : size_(size) {
  if (!StartProgram(size.program, &program_, environment)) return;
  main_ = WaitForWindow(L"korvel_mw0", NULL, program_.id, 10000);
  text_ = WaitForWindow(L"krv_twi", NULL, program_.id, 10000);
  box_ = WaitForWindow(L"krv_bb", NULL, program_.id, 10000);
  camera_ = WaitForWindow(L"krv_iw", L"000(100%)", program_.id, 10000);
}

void Rimview::UncoverText() {
  MoveTo(camera_, 500, 300);
  MoveTo(box_, 1100, 0);
  PaintedAll();
}

void Rimview::UncoverCamera() {
  MoveTo(text_, 700, 0);
  MoveTo(box_, 1100, 0);
  if (HWND output = Output(0)) MoveTo(output, 650, 520);
  PaintedAll();
}

void Rimview::PaintedAll() {
  for (HWND window : {text_, box_, camera_, Output(0)})
    if (window) Painted(window);
}
