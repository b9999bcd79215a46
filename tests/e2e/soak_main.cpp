// krvsoakrun: the long forms of the reliability runs, printing their figures.
//   krvsoakrun cycles N [PROGRAM]          N Start/Stop cycles; resources after cycles 1, 100,
//                                          every 100th and N
//   krvsoakrun soak SECONDS FPS [PROGRAM]  one run of SECONDS, resources, frames and round trips
//                                          printed every 60 s
// PROGRAM is rimview (rimview with its run watcher, 10 frames a second, the default) or krvsoak
// (the framework's capture program at FPS).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "soak_drive.h"

namespace {

struct Subject {
  const wchar_t* program;
  const wchar_t* workerClass;  // a window of the worker thread that lives through every run
};

Subject SubjectNamed(const char* name) {
  if (name && strcmp(name, "krvsoak") == 0) return {L"krvsoak.exe", L"krv_iw"};
  return {L"rimview-watch.exe", L"krv_twi"};
}

bool ExitCleanly(Probe& probe, HWND window) {
  PostCommand(window, ExitId);
  DWORD code = 99;
  const bool exited = probe.Exited(5000, &code);
  printf("exit: %s, code %lu\n", exited ? "ended" : "HUNG", code);
  return exited && code == 0;
}

int Cycles(int cycles, const Subject& subject) {
  Probe probe("capture", subject.program);
  HWND window = probe.WaitReady();
  if (!window) return fprintf(stderr, "krvsoakrun: the program did not start\n"), 1;
  const DWORD start = GetTickCount();
  CycleFigures figures = RunCycles(probe, window, cycles);
  const size_t done = figures.counts.size();
  printf("%ls: cycles: %zu of %d in %.1f s%s%s\n", subject.program, done, cycles,
         (GetTickCount() - start) / 1000.0, figures.failure.empty() ? "" : ", failed: ",
         figures.failure.c_str());
  for (size_t i = 0; i < done; i++)
    if (i == 0 || i + 1 == 100 || i + 1 == done || (i + 1) % 100 == 0)
      printf("  after cycle %zu: %s, windows %d\n", i + 1, Describe(figures.counts[i]).c_str(),
             figures.windows[i]);
  const size_t from = done >= 100 ? 99 : done / 3;
  // Wine's DirectShow keeps three handles per Start (see the test of the short form).
  const bool flat = Flat(figures.counts, from, 4 + 3 * (DWORD)(done - from), 4, 4u << 20) &&
                    figures.windows[from] == figures.windows.back();
  if (done > from + 1)
    printf("handles per cycle from cycle %zu to %zu: %.2f\n", from + 1, done,
           ((double)figures.counts[done - 1].handles - figures.counts[from].handles) /
               (double)(done - 1 - from));
  printf("flat from cycle %zu to %zu (but for Wine's three handles a cycle): %s\n", from + 1, done,
         flat ? "yes" : "NO");
  const bool exited = ExitCleanly(probe, window);
  return figures.failure.empty() && flat && exited ? 0 : 1;
}

int Soak(DWORD seconds, double fps, const Subject& subject) {
  wchar_t rate[32];
  swprintf(rate, 32, L"KRV_SOAK_FPS=%g", fps);
  Probe probe("capture", subject.program, {rate});
  HWND window = probe.WaitReady();
  HWND worker = window ? WaitForWindow(subject.workerClass, NULL, probe.program().id, 5000) : NULL;
  if (!worker) return fprintf(stderr, "krvsoakrun: the program did not start\n"), 1;
  auto minute = [](DWORD at, const SoakFigures& soFar) {
    printf("  at %5lu s: %s; frames %d missed %d; worst round trip %lu ms\n", at,
           Describe(soFar.last).c_str(), soFar.frames, soFar.missed, soFar.worstRoundTripMs);
    fflush(stdout);
  };
  SoakFigures figures = RunSoak(probe, window, worker, seconds, fps, minute);
  printf("%ls: soak of %lu s at %g fps: %d frames (%d expected), %d missed, worst round trip %lu "
         "ms of %d; first %s, last %s%s%s\n",
         subject.program, seconds, fps, figures.frames, figures.expected, figures.missed,
         figures.worstRoundTripMs, figures.roundTrips, Describe(figures.first).c_str(),
         Describe(figures.last).c_str(), figures.failure.empty() ? "" : "; failed: ",
         figures.failure.c_str());
  const bool flat = Flat({figures.first, figures.last}, 0, 8, 4, 8u << 20);
  printf("resources flat: %s\n", flat ? "yes" : "NO");
  const bool exited = ExitCleanly(probe, window);
  return figures.failure.empty() && figures.missed == 0 && figures.worstRoundTripMs < 100 &&
                 flat && exited
             ? 0
             : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 3 || argc == 4) && strcmp(argv[1], "cycles") == 0)
    return Cycles(atoi(argv[2]), SubjectNamed(argc == 4 ? argv[3] : NULL));
  if ((argc == 4 || argc == 5) && strcmp(argv[1], "soak") == 0)
    return Soak((DWORD)atoi(argv[2]), atof(argv[3]), SubjectNamed(argc == 5 ? argv[4] : NULL));
  fprintf(stderr, "usage: krvsoakrun cycles N [rimview|krvsoak] | soak SECONDS FPS "
                  "[rimview|krvsoak]\n");
  return 2;
}
