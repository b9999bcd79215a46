// The long runs of the reliability tests, shared by the test suite (short forms) and by
// krvsoakrun (long forms, scripts/soak.sh): Start/Stop cycles and a soak at a frame rate on a
// capture program that reports "frames 3" after its third frame and "stop R frames F missed M"
// when a run ends (krvsoak.exe in mode "capture", rimview-watch.exe), and
// "resources H G U P frames F missed M" with what it holds after each run and every 5 s while
// running: Wine tells these only to the process itself.
#ifndef KORVEL_SOAK_DRIVE_H
#define KORVEL_SOAK_DRIVE_H

#include <functional>
#include <string>
#include <vector>

#include "probe.h"

struct CycleFigures {
  std::vector<ResourceCounts> counts;  // reported after each cycle
  std::vector<int> windows;            // the program's top-level windows after each cycle
  std::string failure;                 // empty when every cycle showed frames and stopped
};
// cycles times: Start, wait for the third frame, Stop, wait for the run to end.
CycleFigures RunCycles(Probe& probe, HWND window, int cycles);

struct SoakFigures {
  int frames = 0, missed = 0, expected = 0;
  DWORD worstRoundTripMs = 0;  // to the main window and to a worker window
  int roundTrips = 0;
  ResourceCounts first = {}, last = {};  // first: 10 s into the run
  std::string failure;
};
// One run of seconds at the program's frame rate, the windows asked every 200 ms; progress, when
// given, is called every minute with the figures so far (frames and missed as last reported).
SoakFigures RunSoak(Probe& probe, HWND window, HWND workerWindow, DWORD seconds, double fps,
                    const std::function<void(DWORD seconds, const SoakFigures&)>& progress = {});
int CountTopLevelWindows(DWORD processId);  // visible or not

// True when every count at the end is within the tolerance of the count at index from.
bool Flat(const std::vector<ResourceCounts>& counts, size_t from, DWORD handleSlack,
          DWORD objectSlack, SIZE_T memorySlack);
std::string Describe(const ResourceCounts& counts);

#endif
