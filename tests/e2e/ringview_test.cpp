// ringview on the virtual camera, as a user meets it: its windows apart, the mirror's ring found
// where the camera draws it, the panorama exactly the unwrap of one of the camera's frames live
// and of the very picture shown once held (nearest and smooth), the panel's steps as printed with
// the overlay's figures, the saved PNG, Stop and a second Start, pictures closed mid-run, no
// camera, and the HD build.
#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "capture/camera_control.h"
#include "pictures.h"
#include "rimview_session.h"
#include "ringview_session.h"
#include "tools/virtual_camera/picture.h"

namespace {

bool Found(const RingReport& report) {
  return report.search > 0 && report.message.find(": ring found, ") != std::string::npos &&
         report.frames;
}

// The ring the report says was found, checked against the camera's mirror: its centre within
// 1 pixel, its radii within 2.
void ExpectTheCamerasRing(const RingReport& report, int width, int height) {
  ASSERT_TRUE(report.valid);
  int search, x0, y0, outer, inner;
  ASSERT_EQ(
      5, sscanf(report.message.c_str(), "search %d: ring found, centre %d %d, outer %d, inner %d",
                &search, &x0, &y0, &outer, &inner))
      << report.message;
  const int radius = CameraRingRadius(height);
  EXPECT_NEAR(width / 2, x0, 1);
  EXPECT_NEAR(height / 2, y0, 1);
  EXPECT_NEAR(radius, outer, 2);
  EXPECT_NEAR(radius * CameraHoleTop, inner, 2);
  // The geometry in use is the one found.
  EXPECT_EQ(x0, report.x0);
  EXPECT_EQ(y0, report.y0);
  EXPECT_EQ(outer, report.outer);
  EXPECT_EQ(inner, report.inner);
}

void ExpectWindowsApart(Ringview& ringview) {
  HWND windows[5] = {ringview.main(), ringview.console(), ringview.panel(), ringview.camera(),
                     ringview.panorama()};
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  for (int i = 0; i < 5; i++) {
    RECT a = OuterRect(windows[i]), both;
    EXPECT_TRUE(IntersectRect(&both, &a, &screen) && EqualRect(&both, &a)) << "window " << i;
    for (int j = 0; j < i; j++) {
      RECT b = OuterRect(windows[j]);
      EXPECT_FALSE(IntersectRect(&both, &a, &b)) << "windows " << i << " and " << j;
    }
  }
}

// Starts the viewer and waits for the ring found on the first frame.
RingReport StartAndFind(Ringview& ringview) {
  ringview.Start();
  return ringview.WaitForReport(Found);
}

// Holds the frame, with the overlay as asked; the report that says so.
RingReport Hold(Ringview& ringview, bool overlay) {
  RingReport report = ringview.PressFor(PressHold, [](const RingReport& r) { return r.hold; });
  if (!report.valid || report.overlay == overlay) return report;
  return ringview.PressFor(PressOverlay,
                           [&](const RingReport& r) { return r.hold && r.overlay == overlay; });
}

// Whether a 640 x 480 picture read back is the virtual camera's, away from the band the moving
// disc runs in.
bool ShowsTheCamerasPicture(const std::vector<COLORREF>& shown) {
  if (shown.size() != 640u * 480u) return false;
  const double path = CameraRingRadius(480) * 0.85;  // the disc's centre runs round this circle
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      if (fabs(hypot(x - 320, y - 240) - path) <= CameraMarkerRadius(480) + 2) continue;
      const int rgb = CameraStillPixel(x, y, 640, 480);
      if (shown[(size_t)y * 640 + x] != RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)) return false;
    }
  return true;
}

// The held camera picture without the overlay, once it reads back as the camera's: a window
// just uncovered (by the windows of an earlier test's program going) shows black until it is
// painted again.
std::vector<COLORREF> HeldCamera(Ringview& ringview) {
  std::vector<COLORREF> shown;
  WaitFor(
      [&] {
        shown = ringview.SteadyScreen(ringview.camera(), 1000);
        return ShowsTheCamerasPicture(shown);
      },
      8000);
  return shown;
}

// Waits until the panorama shown is the unwrap of the held camera picture with the report's
// ring; how it differs when it never is.
std::string HeldPanoramaDiffers(Ringview& ringview, const RingReport& ring) {
  std::vector<COLORREF> camera = HeldCamera(ringview);
  if (camera.empty()) return "no camera picture";
  std::vector<COLORREF> expected =
      ReferenceUnwrap(PictureOf(camera, ringview.width()), ringview.width(), ringview.height(), ring,
                      ringview.panoramaWidth(),
                      ringview.panoramaHeight());
  if (WaitFor([&] { return ScreenOf(ringview.panorama()) == expected; }, 5000)) return "";
  return Difference(ringview.panorama(), expected);
}

// Opens the viewer, checks its windows' sizes and that they lie apart on the screen, starts it
// and checks the ring found on the first frame; the report that says so.
RingReport OpenApartAndFind(Ringview& ringview, int zoom) {
  EXPECT_TRUE(ringview.Ready());
  if (!ringview.Ready()) return RingReport();
  const int w = ringview.width(), h = ringview.height();
  EXPECT_EQ(w * zoom / 100, ClientRectOf(ringview.camera()).right);
  EXPECT_EQ(h * zoom / 100, ClientRectOf(ringview.camera()).bottom);
  EXPECT_EQ(ringview.panoramaWidth() * zoom / 100, ClientRectOf(ringview.panorama()).right);
  EXPECT_EQ(ringview.panoramaHeight() * zoom / 100, ClientRectOf(ringview.panorama()).bottom);
  ExpectWindowsApart(ringview);
  RingReport report = StartAndFind(ringview);
  ExpectTheCamerasRing(report, w, h);
  EXPECT_GT(report.fps, 0.0);
  EXPECT_GT(report.msPerFrame, 0.0);
  return report;
}

TEST(Ringview, OpensItsWindowsApartAndFindsTheVirtualCamerasMirror) {
  Ringview ringview(L"ringview.exe", 640, 480);
  RingReport report = OpenApartAndFind(ringview, 100);
  EXPECT_TRUE(report.overlay);
  EXPECT_FALSE(report.smooth);
  EXPECT_TRUE(ringview.Exit());
}

TEST(Ringview, PanoramaIsTheUnwrapOfTheFrameShownLiveNearestAndHeldSmooth) {
  Ringview ringview(L"ringview.exe", 640, 480);
  ASSERT_TRUE(ringview.Ready());
  RingReport ring = StartAndFind(ringview);
  ASSERT_TRUE(ring.valid);
  ring =
      ringview.PressFor(PressOverlay, [](const RingReport& r) { return !r.overlay && r.frames; });
  ASSERT_TRUE(ring.valid);
  // Live: the camera picture is one of the frames the camera makes, and the panorama the unwrap
  // of one of them.
  std::vector<Picture> frames;
  for (int n = 0; n < 60; n++)  // the disc goes round in 60 frames
    frames.push_back([n](int x, int y) { return AsColorref(CameraPixel(x, y, 640, 480, n)); });
  EXPECT_LE(0, Ringview::ShowsOneOf(ringview.camera(), 640, 480, frames));
  EXPECT_LE(0, ringview.PanoramaOfOneOf(frames, ring));
  ring = Hold(ringview, false);
  ASSERT_TRUE(ring.valid);
  EXPECT_EQ("", HeldPanoramaDiffers(ringview, ring));
  ring = ringview.PressFor(PressSmooth, [](const RingReport& r) { return r.smooth && r.hold; });
  ASSERT_TRUE(ring.valid);
  EXPECT_EQ("", HeldPanoramaDiffers(ringview, ring));
  // The smooth panorama is not the nearest one: the toggle reached the unwrap.
  RingReport nearest = ring;
  nearest.smooth = false;
  std::vector<COLORREF> held = HeldCamera(ringview);
  EXPECT_NE(ReferenceUnwrap(PictureOf(held, 640), 640, 480, nearest, 640, 144),
            ScreenOf(ringview.panorama()));
}

// A press of the panel and how it moves the ring.
struct Step {
  int button, dx, dy, dOuter, dInner, dTurn;
};

// Presses the buttons one after the other, each until the console shows the ring it moved to;
// the last report, or an invalid one when a step never shows.
template <size_t count>
RingReport TakeSteps(Ringview& ringview, const RingReport& from, const Step (&steps)[count]) {
  RingReport at = from;
  for (const Step& step : steps) {
    const RingReport want = at;
    at = ringview.PressFor(step.button, [&](const RingReport& r) {
      return r.x0 == want.x0 + step.dx && r.y0 == want.y0 + step.dy &&
             r.outer == want.outer + step.dOuter && r.inner == want.inner + step.dInner &&
             r.turn == (want.turn + step.dTurn + 360) % 360;
    });
    if (!at.valid) break;
  }
  return at;
}

// Whether a pixel lies on one of the overlay's figures for the ring: its circles, give or take
// the rounding of their points, and the centre's cross.
bool OnFigures(int x, int y, const RingReport& r) {
  const double d = hypot(x - r.x0, y - r.y0);
  if (fabs(d - r.outer) <= 1.0) return true;
  if (r.inner > 0 && fabs(d - r.inner) <= 1.0) return true;
  return (y == r.y0 && abs(x - r.x0) <= 6) || (x == r.x0 && abs(y - r.y0) <= 6);
}

TEST(Ringview, PanelStepsMoveTheRingAsPrintedAndTheOverlayFollows) {
  Ringview ringview(L"ringview.exe", 640, 480);
  ASSERT_TRUE(ringview.Ready());
  ASSERT_TRUE(StartAndFind(ringview).valid);
  RingReport base = Hold(ringview, false);
  ASSERT_TRUE(base.valid);
  std::vector<COLORREF> pristine = HeldCamera(ringview);
  ASSERT_TRUE(ShowsTheCamerasPicture(pristine));
  const Step there[] = {{PressXMore, 1, 0, 0, 0, 0},      {PressYLess, 0, -1, 0, 0, 0},
                        {PressOuterLess, 0, 0, -1, 0, 0}, {PressOuterLess, 0, 0, -1, 0, 0},
                        {PressInnerMore, 0, 0, 0, 1, 0},  {PressTurnMore, 0, 0, 0, 0, 5}};
  RingReport moved = TakeSteps(ringview, base, there);
  ASSERT_TRUE(moved.valid);
  EXPECT_EQ(base.x0 + 1, moved.x0);
  EXPECT_EQ(base.y0 - 1, moved.y0);
  EXPECT_EQ(base.outer - 2, moved.outer);
  EXPECT_EQ(base.inner + 1, moved.inner);
  EXPECT_EQ(5, moved.turn);
  EXPECT_EQ("", HeldPanoramaDiffers(ringview, moved));
  // The held frame is what it was: the figures came off it exactly.
  EXPECT_EQ(pristine, HeldCamera(ringview));

  ASSERT_TRUE(ringview.PressFor(PressOverlay, [](const RingReport& r) { return r.overlay; }).valid);
  std::vector<COLORREF> shown;
  int inverted = 0, other = 0;
  ASSERT_TRUE(WaitFor([&] {
    shown = ScreenOf(ringview.camera());
    inverted = other = 0;
    for (int y = 0; y < 480; y++)
      for (int x = 0; x < 640; x++) {
        const size_t i = (size_t)y * 640 + x;
        if (shown[i] == pristine[i]) continue;
        if ((shown[i] ^ pristine[i]) == 0xFFFFFF && OnFigures(x, y, moved))
          inverted++;
        else
          other++;
      }
    return inverted > 0;
  }));
  EXPECT_EQ(0, other);
  auto invertedAt = [&](int x, int y) {
    const size_t i = (size_t)y * 640 + x;
    return (shown[i] ^ pristine[i]) == 0xFFFFFF;
  };
  const int x0 = moved.x0, y0 = moved.y0;
  for (int r : {moved.outer, moved.inner}) {
    EXPECT_TRUE(invertedAt(x0 + r, y0)) << r;
    EXPECT_TRUE(invertedAt(x0 - r, y0)) << r;
    EXPECT_TRUE(invertedAt(x0, y0 + r)) << r;
    EXPECT_TRUE(invertedAt(x0, y0 - r)) << r;
  }
  for (int d : {-6, -1, 1, 6}) {
    EXPECT_TRUE(invertedAt(x0 + d, y0)) << d;
    EXPECT_TRUE(invertedAt(x0, y0 + d)) << d;
  }
  EXPECT_TRUE(invertedAt(x0, y0));
  EXPECT_FALSE(invertedAt(x0 + 7, y0));
  // Every figure is there: the two circles make more than 2 pi (outer + inner) * 0.9 pixels.
  EXPECT_GT(inverted, (int)(2 * 3.14159 * (moved.outer + moved.inner) * 0.9));

  // The opposite steps bring the ring back.
  const Step back[] = {{PressXLess, -1, 0, 0, 0, 0},     {PressYMore, 0, 1, 0, 0, 0},
                       {PressOuterMore, 0, 0, 1, 0, 0},  {PressOuterMore, 0, 0, 1, 0, 0},
                       {PressInnerLess, 0, 0, 0, -1, 0}, {PressTurnLess, 0, 0, 0, 0, -5}};
  RingReport again = TakeSteps(ringview, moved, back);
  ASSERT_TRUE(again.valid);
  EXPECT_TRUE(again.x0 == base.x0 && again.y0 == base.y0 && again.outer == base.outer &&
              again.inner == base.inner && again.turn == 0);
}

TEST(Ringview, SavedPngIsThePanoramaShownUnderTheNextFreeName) {
  const std::wstring folder = DriverFolder();
  const std::wstring taken = folder + L"ringview_00001.png",
                     second = folder + L"ringview_00002.png",
                     third = folder + L"ringview_00003.png";
  for (const std::wstring& name : {taken, second, third}) DeleteFileW(name.c_str());
  // A file of that name already: it is left alone.
  HANDLE file = CreateFileW(taken.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, "mine", 4, &written, NULL);
  CloseHandle(file);
  {
    Ringview ringview(L"ringview.exe", 640, 480);
    ASSERT_TRUE(ringview.Ready());
    ASSERT_TRUE(StartAndFind(ringview).valid);
    ASSERT_TRUE(Hold(ringview, true).valid);
    ASSERT_TRUE(
        ringview
            .PressFor(PressSave,
                      [](const RingReport& r) { return r.message == "saved ringview_00002.png"; })
            .valid)
        << ringview.Report().message;
    int width = 0, height = 0;
    std::vector<int> saved = ReadPicture(second, &width, &height);
    ASSERT_EQ(640, width);
    ASSERT_EQ(144, height);
    std::vector<COLORREF> savedShown(saved.size());
    for (size_t i = 0; i < saved.size(); i++)
      savedShown[i] = RGB((saved[i] >> 16) & 0xFF, (saved[i] >> 8) & 0xFF, saved[i] & 0xFF);
    // The frame is held: the panorama shown stays what was saved.
    EXPECT_TRUE(WaitFor([&] { return ScreenOf(ringview.panorama()) == savedShown; }))
        << Difference(ringview.panorama(), savedShown);
    EXPECT_TRUE(
        ringview
            .PressFor(PressSave,
                      [](const RingReport& r) { return r.message == "saved ringview_00003.png"; })
            .valid);
    EXPECT_TRUE(DecodesWhole(third, 640, 144));
  }
  EXPECT_EQ("mine", ReadFileText(taken));
  for (const std::wstring& name : {taken, second, third}) DeleteFileW(name.c_str());
}

TEST(Ringview, StopEndsTheRunAndStartFindsTheRingAgain) {
  Ringview ringview(L"ringview.exe", 640, 480);
  ASSERT_TRUE(ringview.Ready());
  RingReport found = StartAndFind(ringview);
  ASSERT_TRUE(found.valid);
  // Moved off the found ring; the next Start finds it again.
  ASSERT_TRUE(
      ringview.PressFor(PressXMore, [&](const RingReport& r) { return r.x0 == found.x0 + 1; })
          .valid);
  ringview.Stop();
  RingReport stopped =
      ringview.WaitForReport([](const RingReport& r) { return r.message == "stopped"; });
  ASSERT_TRUE(stopped.valid);
  // A Start posted before the run has ended is dropped: posted again until a new run reports.
  RingReport again;
  EXPECT_TRUE(WaitFor(
      [&] {
        ringview.Start();
        again = ringview.WaitForReport(
            [&](const RingReport& r) { return Found(r) && r.search > found.search; }, 1000);
        return again.valid;
      },
      15000))
      << ringview.Log().substr(stopped.at);
  ExpectTheCamerasRing(again, 640, 480);
  EXPECT_TRUE(ringview.Exit());
}

// Closing the pictures mid-run is not the end of it: they open again where they were and the
// frames go on.
TEST(Ringview, PicturesClosedDuringARunOpenAgain) {
  Ringview ringview(L"ringview.exe", 640, 480);
  ASSERT_TRUE(StartAndFind(ringview).valid);
  const RECT camera = OuterRect(ringview.camera()), panorama = OuterRect(ringview.panorama());
  PostMessageW(ringview.camera(), WM_CLOSE, 0, 0);
  PostMessageW(ringview.panorama(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(
      WaitFor([&] { return !IsWindow(ringview.camera()) && !IsWindow(ringview.panorama()); }));
  HWND again = WaitForWindow(L"krv_iw", L"camera(100%)", ringview.program().id, 10000);
  HWND panoramaAgain = WaitForWindow(L"krv_iw", L"panorama(100%)", ringview.program().id, 10000);
  ASSERT_TRUE(again && panoramaAgain);
  RECT now = OuterRect(again);
  EXPECT_TRUE(EqualRect(&camera, &now));
  now = OuterRect(panoramaAgain);
  EXPECT_TRUE(EqualRect(&panorama, &now));
  const size_t closedAt = ringview.Report().at;
  EXPECT_TRUE(ringview
                  .WaitForReport(
                      [&](const RingReport& r) { return r.at > closedAt && r.frames && r.fps > 0; })
                  .valid);
  EXPECT_TRUE(WaitFor([&] {
    for (COLORREF pixel : ScreenOf(panoramaAgain))
      if (pixel == RGB(0x8C, 0xC8, 0xF0)) return true;  // the camera's sky, unwrapped
    return false;
  }));
  EXPECT_TRUE(ringview.Exit());
}

TEST(Ringview, WithoutACameraEachStartSaysError5AndEnds) {
  ASSERT_EQ(S_OK, RegisterCamera(false));
  {
    Ringview ringview(L"ringview.exe", 640, 480);
    ASSERT_TRUE(ringview.Ready());
    size_t after = 0;
    for (int run = 0; run < 2; run++) {
      // A Start posted before the last run has ended is dropped: posted again until one reports.
      RingReport error;
      EXPECT_TRUE(WaitFor(
          [&] {
            ringview.Start();
            error = ringview.WaitForReport(
                [&](const RingReport& r) { return r.at >= after && r.message == "Error 5"; }, 1000);
            return error.valid;
          },
          15000))
          << run << ": " << ringview.Report().message;
      after = error.at + 1;
    }
    EXPECT_TRUE(ringview.Exit());
  }
  ASSERT_EQ(S_OK, RegisterCamera(true));
}

TEST(Ringview, HdBuildOpensApartAtHalfZoomAndFindsTheMirrorAtTwiceTheSize) {
  Ringview ringview(L"ringview-hd.exe", 1280, 960);
  OpenApartAndFind(ringview, 50);
  EXPECT_TRUE(ringview.Exit());
}

}  // namespace
