// The examples gallery on the virtual camera: each example started, run and checked against a
// computation of its own on the camera's picture. The camera's moving disc runs in a band of the
// ring, so pixels near that band are left out of the comparisons.
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "probe.h"
#include "tools/virtual_camera/picture.h"

namespace {

const int Width = 640, Height = 480, TextStartLog = 1024, TextCopyLog = 1030, FirstButtonId = 3000;

// Whether a pixel and its neighbours lie clear of the disc's band (0.75 to 0.95 of the ring's
// radius).
bool ClearOfDisc(int x, int y) {
  double r = CameraRingRadius(Height), dx = x - Width / 2, dy = y - Height / 2;
  double d2 = dx * dx + dy * dy, inner = 0.7 * r - 2, outer = 0.97 * r + 2;
  return d2 < inner * inner || d2 > outer * outer;
}

int Grey(int rgb) {
  return (std::max)((std::max)((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF), rgb & 0xFF);
}
int StillGrey(int x, int y) { return Grey(CameraStillPixel(x, y, Width, Height)); }
COLORREF GreyShown(int grey) { return RGB(grey, grey, grey); }
COLORREF Shown(int rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// An example program, started and waited for until AppSetup has opened what it opens.
class Example {
 public:
  explicit Example(const wchar_t* name) {
    if (StartProgram(name, &program_))
      main_ = WaitForWindow(L"korvel_mw0", NULL, program_.id, 10000);
  }
  ~Example() { KillProgram(&program_); }
  HWND main() const { return main_; }
  void Start() { PostCommand(main_, StartId); }
  bool Exit() {
    PostCommand(main_, ExitId);
    return WaitForExit(program_, 5000);
  }
  HWND Window(const wchar_t* className, const wchar_t* title = NULL) {
    return WaitForWindow(className, title, program_.id, 10000);
  }

 private:
  Program program_;
  HWND main_ = NULL;
};

// Waits until the window's pixels that matter are the expected ones; returns how many differed
// the last time.
template <typename Expected>
int MismatchesAfterWaiting(HWND window, int width, int height, Expected expected,
                           DWORD timeoutMs = 8000) {
  int mismatches = -1;
  WaitFor(
      [&] {
        std::vector<COLORREF> shown = ScreenOf(window);
        if (shown.size() != (size_t)width * height) return false;
        mismatches = 0;
        for (int y = 0; y < height; y++)
          for (int x = 0; x < width; x++) {
            COLORREF want;
            if (expected(x, y, &want) && shown[(size_t)y * width + x] != want) mismatches++;
          }
        return mismatches == 0;
      },
      timeoutMs);
  return mismatches;
}

bool StillCamera(int x, int y, COLORREF* want) {
  *want = Shown(CameraStillPixel(x, y, Width, Height));
  return ClearOfDisc(x, y);
}

TEST(Examples, CameraViewShowsTheFramesAndCountsThem) {
  std::wstring log = DriverFolder() + L"KORVEL00.LOG";
  DeleteFileW(log.c_str());
  Example example(L"camera_view.exe");
  ASSERT_TRUE(example.main());
  HWND console = example.Window(L"krv_twi");
  ASSERT_TRUE(console);
  example.Start();
  HWND camera = example.Window(L"krv_iw", L"camera(100%)");
  ASSERT_TRUE(camera);
  EXPECT_EQ(0, MismatchesAfterWaiting(camera, Width, Height, StillCamera));
  PostCommand(console, TextStartLog);
  // Two readings after the log began, each consistent with itself and with a 10 fps camera.
  // The console's Copy Log puts what the log holds so far on the clipboard.
  std::string text;
  ASSERT_TRUE(WaitFor(
      [&] {
        PostCommand(console, TextCopyLog);
        RoundTripMs(console, 2000);
        text = ClipboardText();
        return std::count(text.begin(), text.end(), '\n') >= 2;
      },
      8000))
      << text;
  int frames = 0;
  unsigned int ms = 0;
  double fps = 0;
  ASSERT_EQ(3, sscanf(text.c_str(), "%d frames in %u ms: %lf fps", &frames, &ms, &fps)) << text;
  EXPECT_GE(ms, 1000u);
  EXPECT_NEAR(frames * 1000.0 / ms, fps, 0.05);
  EXPECT_GE(frames, 1);
  EXPECT_LE(fps, 15.0);  // frames come in bursts at times, never at much above 10 a second
  EXPECT_TRUE(example.Exit());
  DeleteFileW(log.c_str());
}

TEST(Examples, EdgeViewShowsTheSobelMagnitudeOfTheGreyLevels) {
  Example example(L"edge_view.exe");
  ASSERT_TRUE(example.main());
  example.Start();
  HWND edges = example.Window(L"krv_iw", L"edges(100%)[8bit]");
  ASSERT_TRUE(edges);
  auto sobel = [](int x, int y, COLORREF* want) {
    int magnitude = 0;
    if (x > 0 && y > 0 && x < Width - 1 && y < Height - 1) {
      int g[3][3];
      for (int j = 0; j < 3; j++)
        for (int i = 0; i < 3; i++) g[j][i] = StillGrey(x + i - 1, y + j - 1);
      int gx = g[0][2] + 2 * g[1][2] + g[2][2] - g[0][0] - 2 * g[1][0] - g[2][0];
      int gy = g[2][0] + 2 * g[2][1] + g[2][2] - g[0][0] - 2 * g[0][1] - g[0][2];
      magnitude = (std::min)(255, abs(gx) + abs(gy));
    }
    *want = GreyShown(magnitude);
    return ClearOfDisc(x, y);
  };
  EXPECT_EQ(0, MismatchesAfterWaiting(edges, Width, Height, sobel));
}

TEST(Examples, ThresholdTakesItsBoundsFromTheInputBoxOnApply) {
  Example example(L"threshold.exe");
  ASSERT_TRUE(example.main());
  HWND box = example.Window(L"krv_ib"), buttons = example.Window(L"krv_bb");
  ASSERT_TRUE(box && buttons);
  example.Start();
  HWND output = example.Window(L"krv_iw", L"threshold(100%)[8bit]");
  ASSERT_TRUE(output);
  auto within = [](int low, int high) {
    return [low, high](int x, int y, COLORREF* want) {
      int grey = StillGrey(x, y);
      *want = GreyShown(grey >= low && grey <= high ? 255 : 0);
      return ClearOfDisc(x, y);
    };
  };
  EXPECT_EQ(0, MismatchesAfterWaiting(output, Width, Height, within(128, 255)));
  // Typed bounds count only once Apply is pressed.
  const wchar_t* const bounds[2] = {L"100", L"200"};
  for (int i = 0; i < 2; i++) {
    HWND field = FindChildByClass(box, L"Edit", i);
    ASSERT_TRUE(field);
    SendDoubleClick(field, 3, 3);
    for (const wchar_t* c = bounds[i]; *c; c++) SendChar(field, *c);
    SendKey(field, VK_RETURN);
  }
  RoundTripMs(box, 2000);
  EXPECT_NE(0, MismatchesAfterWaiting(output, Width, Height, within(100, 200), 1000));
  SendClick(FindChildById(buttons, FirstButtonId), 5, 5);
  EXPECT_EQ(0, MismatchesAfterWaiting(output, Width, Height, within(100, 200)));
}

TEST(Examples, HistogramPlotsTheGreyLevelCounts) {
  // The counts of the picture without the disc; levels the disc's band touches vary by frame.
  long counts[256] = {};
  std::set<int> varying = {Grey(CameraMarker)};
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) {
      counts[StillGrey(x, y)]++;
      if (!ClearOfDisc(x, y)) varying.insert(StillGrey(x, y));
    }
  long largest = 0, band = 0;
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) band += !ClearOfDisc(x, y);
  for (int level = 0; level < 256; level++) largest = (std::max)(largest, counts[level]);
  // The largest count is a steady level's and stays largest whatever the disc covers.
  for (int level : varying) ASSERT_LT(counts[level] + band, largest);

  Example example(L"histogram.exe");
  ASSERT_TRUE(example.main());
  example.Start();
  HWND plot = example.Window(L"krv_iw", L"histogram(100%)");
  ASSERT_TRUE(plot);
  auto bars = [&](int x, int y, COLORREF* want) {
    bool bar = counts[x] > 0 && y >= 127 - (int)(counts[x] * 127 / largest);
    *want = bar ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return varying.count(x) == 0;
  };
  EXPECT_EQ(0, MismatchesAfterWaiting(plot, 256, 128, bars));
  EXPECT_GT(256 - (int)varying.size(), 200);
}

// A 24-bit BMP file's pixels as 0x00RRGGBB, top row first; empty unless it is one.
std::vector<int> ReadBmp24(const std::wstring& path, int width, int height) {
  std::string bytes = ReadFileText(path);
  std::vector<int> pixels;
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return pixels;
  auto u32 = [&](size_t at) {
    const unsigned char* p = (const unsigned char*)&bytes[at];
    return (unsigned)p[0] | (unsigned)p[1] << 8 | (unsigned)p[2] << 16 | (unsigned)p[3] << 24;
  };
  unsigned offset = u32(10);
  int fileWidth = (int)u32(18), fileHeight = (int)u32(22);
  int bits = (unsigned char)bytes[28] | (unsigned char)bytes[29] << 8;
  bool bottomUp = fileHeight > 0;
  if (fileWidth != width || abs(fileHeight) != height || bits != 24) return pixels;
  size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
  if (bytes.size() < offset + stride * height) return pixels;
  pixels.resize((size_t)width * height);
  for (int y = 0; y < height; y++) {
    size_t row = offset + stride * (bottomUp ? height - 1 - y : y);
    for (int x = 0; x < width; x++) {
      const unsigned char* p = (const unsigned char*)&bytes[row + (size_t)x * 3];
      pixels[(size_t)y * width + x] = p[2] << 16 | p[1] << 8 | p[0];
    }
  }
  return pixels;
}

TEST(Examples, LoadDrawSaveWritesTheFrameWithTheFiguresOnIt) {
  std::wstring frame = DriverFolder() + L"frame.bmp", drawn = DriverFolder() + L"drawn.bmp";
  DeleteFileW(frame.c_str());
  DeleteFileW(drawn.c_str());
  Example example(L"load_draw_save.exe");
  ASSERT_TRUE(example.main());
  example.Start();
  ASSERT_TRUE(example.Window(L"krv_iw", L"drawn(100%)"));
  std::vector<int> pixels;
  ASSERT_TRUE(WaitFor([&] { return !(pixels = ReadBmp24(drawn, Width, Height)).empty(); }, 8000));
  std::vector<int> original = ReadBmp24(frame, Width, Height);
  ASSERT_FALSE(original.empty());
  auto at = [&](int x, int y) { return pixels[(size_t)y * Width + x]; };
  // The box: its border red, its inside blue.
  for (int y = 20; y <= 79; y++)
    for (int x = 20; x <= 119; x++) {
      bool border = x == 20 || x == 119 || y == 20 || y == 79;
      ASSERT_EQ(border ? 0xFF0000 : 0x0000FF, at(x, y)) << x << ", " << y;
    }
  // The circle's four outermost points and the cross.
  EXPECT_EQ(0x00FF00, at(370, 240));
  EXPECT_EQ(0x00FF00, at(270, 240));
  EXPECT_EQ(0x00FF00, at(320, 190));
  EXPECT_EQ(0x00FF00, at(320, 290));
  for (int d = -20; d <= 20; d++) {
    EXPECT_EQ(0xFFFF00, at(320 + d, 240));
    EXPECT_EQ(0xFFFF00, at(320, 240 + d));
  }
  // The caption has white ink in its cells; everything else is the saved frame, which is the
  // camera's picture.
  int ink = 0, changed = 0, notCamera = 0;
  for (int y = 0; y < Height; y++)
    for (int x = 0; x < Width; x++) {
      bool caption = x >= 20 && x < 20 + 6 * 8 && y >= 96 && y < 110;
      double dx = x - 320, dy = y - 240, d = sqrt(dx * dx + dy * dy);
      bool figure = (x >= 20 && x <= 119 && y >= 20 && y <= 79) || fabs(d - 50) < 1.5 ||
                    (y == 240 && abs(x - 320) <= 20) || (x == 320 && abs(y - 240) <= 20);
      if (caption) ink += at(x, y) == 0xFFFFFF;
      if (caption || figure) continue;
      changed += at(x, y) != original[(size_t)y * Width + x];
      if (ClearOfDisc(x, y)) notCamera += at(x, y) != CameraStillPixel(x, y, Width, Height);
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(0, changed);
  EXPECT_EQ(0, notCamera);
  EXPECT_TRUE(example.Exit());
  DeleteFileW(frame.c_str());
  DeleteFileW(drawn.c_str());
}

}  // namespace
