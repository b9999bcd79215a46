// ringview on the virtual camera, as a user meets it: its windows apart, the mirror's ring found
// where the camera draws it, the panorama exactly the unwrap of the camera picture shown (nearest
// and smooth), the panel's steps as printed, the saved PNG, Stop and a second Start, and the HD
// build.
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
  return report.message.compare(0, 12, "ring found: ") == 0 && report.frames;
}

// The ring the report says was found, checked against the camera's mirror: its centre within
// 1 pixel, its radii within 2.
void ExpectTheCamerasRing(const RingReport& report, int width, int height) {
  ASSERT_TRUE(report.valid);
  int x0, y0, outer, inner;
  ASSERT_EQ(4, sscanf(report.message.c_str(), "ring found: centre %d %d, outer %d, inner %d", &x0,
                      &y0, &outer, &inner))
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
  ringview.Press(PressHold);
  RingReport report = ringview.WaitForReport([](const RingReport& r) { return r.hold; });
  if (!report.valid || report.overlay == overlay) return report;
  ringview.Press(PressOverlay);
  return ringview.WaitForReport(
      [&](const RingReport& r) { return r.hold && r.overlay == overlay; });
}

// Waits until the panorama shown is the unwrap of the held camera picture with the report's
// ring; how it differs when it never is.
std::string HeldPanoramaDiffers(Ringview& ringview, const RingReport& ring) {
  std::vector<COLORREF> camera = ringview.SteadyScreen(ringview.camera());
  std::vector<COLORREF> expected = ReferenceUnwrap(camera, ringview.width(), ringview.height(),
                                                   ring, ringview.panoramaWidth(),
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
  ringview.Press(PressOverlay);
  ring = ringview.WaitForReport([](const RingReport& r) { return !r.overlay && r.frames; });
  ASSERT_TRUE(ring.valid);
  // Live: a panorama that stays the same while the camera picture is read is that picture's.
  std::vector<COLORREF> camera;
  EXPECT_TRUE(ringview.LivePanoramaIsTheUnwrap(ring, &camera))
      << Difference(ringview.panorama(), ReferenceUnwrap(camera, 640, 480, ring, 640, 144));
  ring = Hold(ringview, false);
  ASSERT_TRUE(ring.valid);
  EXPECT_EQ("", HeldPanoramaDiffers(ringview, ring));
  ringview.Press(PressSmooth);
  ring = ringview.WaitForReport([](const RingReport& r) { return r.smooth && r.hold; });
  ASSERT_TRUE(ring.valid);
  EXPECT_EQ("", HeldPanoramaDiffers(ringview, ring));
  // The smooth panorama is not the nearest one: the toggle reached the unwrap.
  RingReport nearest = ring;
  nearest.smooth = false;
  std::vector<COLORREF> held = ringview.SteadyScreen(ringview.camera());
  EXPECT_NE(ReferenceUnwrap(held, 640, 480, nearest, 640, 144), ScreenOf(ringview.panorama()));
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
  std::vector<COLORREF> pristine = ringview.SteadyScreen(ringview.camera());
  ASSERT_FALSE(pristine.empty());
  for (int button : {PressXMore, PressYLess, PressOuterLess, PressOuterLess, PressInnerMore,
                     PressTurnMore})
    ringview.Press(button);
  RingReport moved = ringview.WaitForReport([&](const RingReport& r) {
    return r.x0 == base.x0 + 1 && r.y0 == base.y0 - 1 && r.outer == base.outer - 2 &&
           r.inner == base.inner + 1 && r.turn == 5;
  });
  ASSERT_TRUE(moved.valid);
  EXPECT_EQ("", HeldPanoramaDiffers(ringview, moved));
  // The held frame is what it was: the figures came off it exactly.
  EXPECT_EQ(pristine, ringview.SteadyScreen(ringview.camera()));

  ringview.Press(PressOverlay);
  ASSERT_TRUE(ringview.WaitForReport([](const RingReport& r) { return r.overlay; }).valid);
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
  for (int button : {PressXLess, PressYMore, PressOuterMore, PressOuterMore, PressInnerLess,
                     PressTurnLess})
    ringview.Press(button);
  EXPECT_TRUE(ringview
                  .WaitForReport([&](const RingReport& r) {
                    return r.x0 == base.x0 && r.y0 == base.y0 && r.outer == base.outer &&
                           r.inner == base.inner && r.turn == 0;
                  })
                  .valid);
}

TEST(Ringview, SavedPngIsThePanoramaShownUnderTheNextFreeName) {
  const std::wstring folder = DriverFolder();
  const std::wstring taken = folder + L"ringview_00001.png", second = folder + L"ringview_00002.png",
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
    ringview.Press(PressSave);
    ASSERT_TRUE(ringview
                    .WaitForReport([](const RingReport& r) {
                      return r.message == "saved ringview_00002.png";
                    })
                    .valid)
        << ringview.Report().message;
    std::vector<COLORREF> panorama = ringview.SteadyScreen(ringview.panorama());
    int width = 0, height = 0;
    std::vector<int> saved = ReadPicture(second, &width, &height);
    ASSERT_EQ(640, width);
    ASSERT_EQ(144, height);
    std::vector<COLORREF> savedShown(saved.size());
    for (size_t i = 0; i < saved.size(); i++)
      savedShown[i] = RGB((saved[i] >> 16) & 0xFF, (saved[i] >> 8) & 0xFF, saved[i] & 0xFF);
    EXPECT_EQ(panorama, savedShown) << Difference(ringview.panorama(), savedShown);
    ringview.Press(PressSave);
    EXPECT_TRUE(ringview
                    .WaitForReport([](const RingReport& r) {
                      return r.message == "saved ringview_00003.png";
                    })
                    .valid);
    EXPECT_TRUE(DecodesWhole(third, 640, 144));
  }
  EXPECT_EQ("mine", ReadFileText(taken));
  for (const std::wstring& name : {taken, second, third}) DeleteFileW(name.c_str());
}

TEST(Ringview, StopEndsTheRunAndStartFindsTheRingAgain) {
  Ringview ringview(L"ringview.exe", 640, 480);
  ASSERT_TRUE(ringview.Ready());
  ASSERT_TRUE(StartAndFind(ringview).valid);
  ringview.Press(PressXMore);  // moved off the found ring; the next Start finds it again
  ASSERT_TRUE(ringview.WaitForReport([](const RingReport& r) { return r.x0 == 321; }).valid);
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
            [&](const RingReport& r) { return r.at > stopped.at && Found(r); }, 1000);
        return again.valid;
      },
      15000));
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
  ASSERT_TRUE(WaitFor([&] {
    return !IsWindow(ringview.camera()) && !IsWindow(ringview.panorama());
  }));
  HWND again = WaitForWindow(L"krv_iw", L"camera(100%)", ringview.program().id, 10000);
  HWND panoramaAgain = WaitForWindow(L"krv_iw", L"panorama(100%)", ringview.program().id, 10000);
  ASSERT_TRUE(again && panoramaAgain);
  RECT now = OuterRect(again);
  EXPECT_TRUE(EqualRect(&camera, &now));
  now = OuterRect(panoramaAgain);
  EXPECT_TRUE(EqualRect(&panorama, &now));
  const size_t closedAt = ringview.Report().at;
  EXPECT_TRUE(ringview
                  .WaitForReport([&](const RingReport& r) {
                    return r.at > closedAt && r.frames && r.fps > 0;
                  })
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
                [&](const RingReport& r) { return r.at >= after && r.message == "Error 5"; },
                1000);
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
