// Start/Stop cycles and the soak, driven from outside with the menu bar's commands.
#include "soak_drive.h"

#include <stdio.h>

static int StopLines(Probe& probe) { return probe.Count("stop "); }

// The program's last report of what it holds.
static ResourceCounts LastReportedResources(Probe& probe) {
  ResourceCounts counts = {};
  const std::string log = probe.Log();
  const size_t at = log.rfind("resources ");
  unsigned long long privateBytes = 0;
  if (at != std::string::npos &&
      sscanf(log.c_str() + at, "resources %lu %lu %lu %llu", &counts.handles, &counts.gdi,
             &counts.user, &privateBytes) == 4)
    counts.privateBytes = (SIZE_T)privateBytes;
  return counts;
}

static std::string LogTail(Probe& probe) {
  const std::string log = probe.Log();
  return log.size() > 300 ? log.substr(log.size() - 300) : log;
}

CycleFigures RunCycles(Probe& probe, HWND window, int cycles) {
  CycleFigures figures;
  for (int cycle = 1; cycle <= cycles; cycle++) {
    PostCommand(window, StartId);
    if (!WaitFor([&] { return probe.Count("frames 3\n") >= cycle; }, 15000)) {
      figures.failure = "no frames in cycle " + std::to_string(cycle) + ": " + LogTail(probe);
      return figures;
    }
    PostCommand(window, StopId);
    if (!WaitFor([&] { return probe.Count("leave\n") >= cycle; }, 10000)) {
      figures.failure = "no stop in cycle " + std::to_string(cycle) + ": " + LogTail(probe);
      return figures;
    }
    figures.counts.push_back(LastReportedResources(probe));
  }
  if (probe.Count("stop 0 ") != cycles) figures.failure = "a stop failed: " + probe.Log();
  return figures;
}

// The figures of the last "stop R frames F missed M" line.
static void ReadStopLine(const std::string& log, SoakFigures* figures) {
  const size_t at = log.rfind("stop ");
  int result = -1;
  if (at == std::string::npos ||
      sscanf(log.c_str() + at, "stop %d frames %d missed %d", &result, &figures->frames,
             &figures->missed) != 3 ||
      result != 0)
    figures->failure = "no clean stop: " + log.substr(at == std::string::npos ? 0 : at);
}

SoakFigures RunSoak(Probe& probe, HWND window, HWND workerWindow, DWORD seconds, double fps) {
  SoakFigures figures;
  const int stopsBefore = StopLines(probe);
  const int framesBefore = probe.Count("frames 3\n");
  PostCommand(window, StartId);
  if (!WaitFor([&] { return probe.Count("frames 3\n") > framesBefore; }, 15000)) {
    figures.failure = "no frames: " + LogTail(probe);
    return figures;
  }
  figures.first = LastReportedResources(probe);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < seconds * 1000) {
    for (HWND target : {window, workerWindow}) {
      const DWORD trip = RoundTripMs(target, 5000);
      if (trip > figures.worstRoundTripMs) figures.worstRoundTripMs = trip;
      figures.roundTrips++;
    }
    Sleep(200);
  }
  figures.last = LastReportedResources(probe);
  const DWORD ran = GetTickCount() - start;
  PostCommand(window, StopId);
  if (!WaitFor([&] { return StopLines(probe) > stopsBefore; }, 10000)) {
    figures.failure = "no stop";
    return figures;
  }
  figures.expected = (int)(ran / 1000.0 * fps);
  ReadStopLine(probe.Log(), &figures);
  return figures;
}

static bool Within(SIZE_T start, SIZE_T end, SIZE_T slack) { return end <= start + slack; }

bool Flat(const std::vector<ResourceCounts>& counts, size_t from, DWORD handleSlack,
          DWORD objectSlack, SIZE_T memorySlack) {
  if (counts.size() <= from) return false;
  const ResourceCounts& a = counts[from];
  const ResourceCounts& b = counts.back();
  return Within(a.handles, b.handles, handleSlack) && Within(a.gdi, b.gdi, objectSlack) &&
         Within(a.user, b.user, objectSlack) && Within(a.privateBytes, b.privateBytes, memorySlack);
}

std::string Describe(const ResourceCounts& counts) {
  char text[128];
  snprintf(text, sizeof text, "handles %lu gdi %lu user %lu private %.1f MB", counts.handles,
           counts.gdi, counts.user, counts.privateBytes / 1048576.0);
  return text;
}
