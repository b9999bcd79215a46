// krvsoakrun: the long forms of the reliability runs, printing their figures.
//   krvsoakrun cycles N            N Start/Stop cycles; resources after cycles 1, 100 and N
//   krvsoakrun soak SECONDS FPS    one run of SECONDS at FPS frames a second, resources and
//                                  round trips sampled every 60 s
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "soak_drive.h"

static int Cycles(int cycles) {
  Probe probe("capture", L"krvsoak.exe");
  HWND window = probe.WaitReady();
  if (!window) return fprintf(stderr, "krvsoakrun: the program did not start\n"), 1;
  const DWORD start = GetTickCount();
  CycleFigures figures = RunCycles(probe, window, cycles);
  const size_t done = figures.counts.size();
  printf("cycles: %zu of %d in %.1f s%s%s\n", done, cycles, (GetTickCount() - start) / 1000.0,
         figures.failure.empty() ? "" : ", failed: ", figures.failure.c_str());
  for (size_t i = 0; i < done; i++)
    if (i == 0 || i + 1 == 100 || i + 1 == done || (i + 1) % 100 == 0)
      printf("  after cycle %zu: %s\n", i + 1, Describe(figures.counts[i]).c_str());
  const size_t from = done >= 100 ? 99 : done / 3;
  // Wine's DirectShow keeps three handles per Start (see the test of the short form).
  const bool flat = Flat(figures.counts, from, 4 + 3 * (DWORD)(done - from), 4, 4u << 20);
  if (done > from)
    printf("handles per cycle from cycle %zu to %zu: %.2f\n", from + 1, done,
           ((double)figures.counts[done - 1].handles - figures.counts[from].handles) / (done - 1 - from + (done - 1 == from)));
  printf("flat from cycle %zu to %zu (but for Wine's three handles a cycle): %s\n", from + 1, done,
         flat ? "yes" : "NO");
  PostCommand(window, ExitId);
  DWORD code = 99;
  const bool exited = probe.Exited(5000, &code);
  printf("exit: %s, code %lu\n", exited ? "ended" : "HUNG", code);
  return figures.failure.empty() && flat && exited && code == 0 ? 0 : 1;
}

static int Soak(DWORD seconds, double fps) {
  wchar_t rate[32];
  swprintf(rate, 32, L"KRV_SOAK_FPS=%g", fps);
  Probe probe("capture", L"krvsoak.exe", {rate});
  HWND window = probe.WaitReady();
  HWND image = window ? WaitForWindow(L"krv_iw", NULL, probe.program().id, 5000) : NULL;
  if (!image) return fprintf(stderr, "krvsoakrun: the program did not start\n"), 1;
  // One run of the whole length, read in slices of a minute for the resource figures: the
  // slices are separate runs, so the frame counts add up.
  int frames = 0, missed = 0, expected = 0, trips = 0;
  DWORD worst = 0;
  bool ok = true;
  for (DWORD done = 0; done < seconds && ok; done += 60) {
    const DWORD slice = seconds - done < 60 ? seconds - done : 60;
    SoakFigures figures = RunSoak(probe, window, image, slice, fps);
    frames += figures.frames;
    missed += figures.missed;
    expected += figures.expected;
    trips += figures.roundTrips;
    if (figures.worstRoundTripMs > worst) worst = figures.worstRoundTripMs;
    printf("  at %4lu s: %s; frames %d missed %d; worst round trip %lu ms%s%s\n", done + slice,
           Describe(figures.last).c_str(), figures.frames, figures.missed,
           figures.worstRoundTripMs, figures.failure.empty() ? "" : "; failed: ",
           figures.failure.c_str());
    fflush(stdout);
    ok = figures.failure.empty();
  }
  printf("soak: %lu s at %g fps: %d frames (%d expected), %d missed, worst round trip %lu ms of "
         "%d\n", seconds, fps, frames, expected, missed, worst, trips);
  PostCommand(window, ExitId);
  DWORD code = 99;
  const bool exited = probe.Exited(5000, &code);
  printf("exit: %s, code %lu\n", exited ? "ended" : "HUNG", code);
  return ok && missed == 0 && worst < 100 && exited && code == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "cycles") == 0) return Cycles(atoi(argv[2]));
  if (argc == 4 && strcmp(argv[1], "soak") == 0) return Soak((DWORD)atoi(argv[2]), atof(argv[3]));
  fprintf(stderr, "usage: krvsoakrun cycles N | soak SECONDS FPS\n");
  return 2;
}
