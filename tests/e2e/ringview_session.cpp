// ringview driven from outside: its windows, its console's reports and the panorama it must
// show.
#include "ringview_session.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

enum { TextStartLog = 1024, TextCopyLog = 1030, FirstButtonId = 3000 };

RingReport ParseLastReport(const std::string& log) {
  RingReport report;
  size_t at = log.rfind("\ncentre ");
  if (at == std::string::npos) return report;
  std::vector<std::string> lines;
  size_t from = at + 1;
  while (lines.size() < 4) {
    size_t end = log.find('\n', from);
    if (end == std::string::npos) return report;  // not all written yet
    // The log is written in text mode: its lines end in CR LF.
    size_t length = end - from;
    if (length > 0 && log[end - 1] == '\r') length--;
    lines.push_back(log.substr(from, length));
    from = end + 1;
  }
  if (sscanf(lines[0].c_str(), "centre %d %d, outer %d, inner %d", &report.x0, &report.y0,
             &report.outer, &report.inner) != 4)
    return report;
  char interpolation[16] = "", overlay[8] = "";
  if (sscanf(lines[1].c_str(), "turn %d, %15[a-z], overlay %7[a-z]", &report.turn, interpolation,
             overlay) != 3)
    return report;
  report.smooth = strcmp(interpolation, "smooth") == 0;
  report.overlay = strcmp(overlay, "on") == 0;
  report.hold = lines[1].find(", hold") != std::string::npos;
  double longest = 0;
  if (sscanf(lines[2].c_str(), "%lf ms per frame (max %lf), %lf fps, cpu %lf%%", &report.msPerFrame,
             &longest, &report.fps, &report.cpu) == 4)
    report.frames = 1;
  else if (sscanf(lines[2].c_str(), "no frames, cpu %lf%%", &report.cpu) != 1)
    return report;
  report.message = lines[3];
  sscanf(report.message.c_str(), "search %d: ", &report.search);
  report.at = at + 1;
  report.valid = true;
  return report;
}

// Channel shift of a COLORREF's byte; the same for 0x00RRGGBB, which only names them otherwise.
static int Channel(COLORREF pixel, int shift) { return (int)(pixel >> shift) & 0xFF; }

Picture PictureOf(const std::vector<COLORREF>& pixels, int width) {
  return [&pixels, width](int x, int y) { return pixels[(size_t)y * width + x]; };
}

std::vector<COLORREF> ReferenceUnwrap(const Picture& picture, int width, int height,
                                      const RingReport& ring, int pw, int ph) {
  const double pi = 3.14159265358979323846;
  auto at = [&](long x, long y) -> COLORREF {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return picture((int)x, (int)y);
  };
  std::vector<COLORREF> out((size_t)pw * ph);
  for (int y = 0; y < ph; y++) {
    const double rho =
        ph == 1 ? ring.outer : ring.outer - (double)(ring.outer - ring.inner) * y / (ph - 1);
    for (int c = 0; c < pw; c++) {
      // The turn in radians as the program passes it on.
      const double theta = ring.turn * (pi / 180.0) + 2.0 * pi * (pw - c) / pw;
      const double sx = ring.x0 + rho * cos(theta), sy = ring.y0 + rho * sin(theta);
      COLORREF value = 0;
      if (!ring.smooth) {
        value = at((long)floor(sx + 0.5), (long)floor(sy + 0.5));
      } else {
        const long ix = (long)floor(sx), iy = (long)floor(sy);
        const double fx = sx - ix, fy = sy - iy;
        for (int shift = 0; shift < 24; shift += 8) {
          const double blend = (1 - fx) * (1 - fy) * Channel(at(ix, iy), shift) +
                               fx * (1 - fy) * Channel(at(ix + 1, iy), shift) +
                               (1 - fx) * fy * Channel(at(ix, iy + 1), shift) +
                               fx * fy * Channel(at(ix + 1, iy + 1), shift);
          value |= (COLORREF)floor(blend + 0.5) << shift;
        }
      }
      out[(size_t)y * pw + c] = value;
    }
  }
  return out;
}

Ringview::Ringview(const wchar_t* program, int width, int height,
                   const std::vector<std::wstring>& environment)
    : width_(width), height_(height) {
  log_ = DriverFolder() + L"KORVEL00.LOG";
  DeleteFileW(log_.c_str());
  if (!StartProgram(program, &program_, environment)) return;
  main_ = WaitForWindow(L"korvel_mw0", NULL, program_.id, 10000);
  console_ = WaitForWindow(L"krv_twi", NULL, program_.id, 10000);
  panel_ = WaitForWindow(L"krv_bb", NULL, program_.id, 10000);
  const wchar_t* zoom = width > 640 ? L"(50%)" : L"(100%)";
  camera_ = WaitForWindow(L"krv_iw", (std::wstring(L"camera") + zoom).c_str(), program_.id, 10000);
  panorama_ =
      WaitForWindow(L"krv_iw", (std::wstring(L"panorama") + zoom).c_str(), program_.id, 10000);
  if (console_) PostCommand(console_, TextStartLog);
}

Ringview::~Ringview() {
  // Ended as a user ends it where it still answers, so that it leaves neither windows going
  // nor a clipboard owned by a dead process to the next test.
  if (main_ && WaitForSingleObject(program_.process, 0) != WAIT_OBJECT_0) Exit();
  KillProgram(&program_);
  DeleteFileW(log_.c_str());
}

bool Ringview::Exit() {
  PostCommand(main_, ExitId);
  return WaitForExit(program_, 5000);
}

void Ringview::Press(int button) { SendClick(FindChildById(panel_, FirstButtonId + button), 5, 5); }

RingReport Ringview::PressFor(int button, const std::function<bool(const RingReport&)>& shown) {
  for (int attempt = 0; attempt < 3; attempt++) {
    Press(button);
    RingReport report = WaitForReport(shown, 3000);
    if (report.valid) return report;
  }
  return RingReport();
}

std::string Ringview::Log() {
  // Emptied first: a copy the program could not make (the clipboard busy) reads as nothing, not
  // as what an earlier copy, or an earlier program, left there.
  if (OpenClipboard(NULL)) {
    EmptyClipboard();
    CloseClipboard();
  }
  PostCommand(console_, TextCopyLog);
  // A sent message is answered before the posted command is handled, in the same pumping; the
  // second is answered only after it.
  RoundTripMs(console_, 2000);
  RoundTripMs(console_, 2000);
  return ClipboardText();
}

RingReport Ringview::WaitForReport(const std::function<bool(const RingReport&)>& condition,
                                   DWORD timeoutMs) {
  RingReport report;
  if (WaitFor(
          [&] {
            report = Report();
            return report.valid && condition(report);
          },
          timeoutMs))
    return report;
  return RingReport();
}

std::vector<COLORREF> Ringview::SteadyScreen(HWND window, DWORD timeoutMs) {
  std::vector<COLORREF> last, now;
  if (WaitFor(
          [&] {
            last = now;
            now = ScreenOf(window);
            return Painted(window) && !now.empty() && now == last;
          },
          timeoutMs))
    return now;
  return std::vector<COLORREF>();
}

int Ringview::ShowsOneOf(HWND window, int width, int height,
                         const std::vector<Picture>& pictures, DWORD timeoutMs) {
  int shown = -1;
  WaitFor(
      [&] {
        std::vector<COLORREF> screen = ScreenOf(window);
        if (screen.size() != (size_t)width * height) return false;
        for (size_t i = 0; i < pictures.size() && shown < 0; i++) {
          bool same = true;
          for (int y = 0; y < height && same; y++)
            for (int x = 0; x < width && same; x++)
              same = screen[(size_t)y * width + x] == pictures[i](x, y);
          if (same) shown = (int)i;
        }
        return shown >= 0;
      },
      timeoutMs);
  return shown;
}

int Ringview::PanoramaOfOneOf(const std::vector<Picture>& pictures, const RingReport& ring,
                              DWORD timeoutMs) {
  std::vector<std::vector<COLORREF>> unwrapped;
  for (const Picture& picture : pictures)
    unwrapped.push_back(
        ReferenceUnwrap(picture, width_, height_, ring, panoramaWidth(), panoramaHeight()));
  int shown = -1;
  WaitFor(
      [&] {
        std::vector<COLORREF> screen = ScreenOf(panorama_);
        for (size_t i = 0; i < unwrapped.size() && shown < 0; i++)
          if (screen == unwrapped[i]) shown = (int)i;
        return shown >= 0;
      },
      timeoutMs);
  return shown;
}
