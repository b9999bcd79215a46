// Start/Stop cycles and the soak, driven from outside with the menu bar's commands.
#include "soak_drive.h"

#include <stdio.h>

static int StopLines(Probe& probe) { return probe.Count("stop "); }

// The program's last report of what it holds, and of the frames of its run when asked for.
static ResourceCounts LastReportedResources(Probe& probe, SoakFigures* soFar = NULL) {
  ResourceCounts counts = {};
  const std::string log = probe.Log();
  const size_t at = log.rfind("resources ");
  unsigned long long privateBytes = 0;
  int frames = 0, missed = 0;
  const int read = at == std::string::npos
                       ? 0
                       : sscanf(log.c_str() + at, "resources %lu %lu %lu %llu frames %d missed %d",
                                &counts.handles, &counts.gdi, &counts.user, &privateBytes, &frames,
                                &missed);
  if (read >= 4) counts.privateBytes = (SIZE_T)privateBytes;
  if (read == 6 && soFar) {
    soFar->frames = frames;
    soFar->missed = missed;
  }
  return counts;
}

static BOOL CALLBACK CountWindowOf(HWND window, LPARAM search) {
  DWORD* wanted = (DWORD*)search;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == wanted[0]) wanted[1]++;
  return TRUE;
}

int CountTopLevelWindows(DWORD processId) {
  DWORD search[2] = {processId, 0};
  EnumWindows(CountWindowOf, (LPARAM)search);
  return (int)search[1];
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
    figures.windows.push_back(CountTopLevelWindows(probe.program().id));
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

SoakFigures RunSoak(Probe& probe, HWND window, HWND workerWindow, DWORD seconds, double fps,
                    const std::function<void(DWORD seconds, const SoakFigures&)>& progress) {
  SoakFigures figures;
  const int stopsBefore = StopLines(probe);
  const int framesBefore = probe.Count("frames 3\n");
  PostCommand(window, StartId);
  if (!WaitFor([&] { return probe.Count("frames 3\n") > framesBefore; }, 15000)) {
    figures.failure = "no frames: " + LogTail(probe);
    return figures;
  }
  const DWORD start = GetTickCount();
  DWORD nextProgress = 60;
  while (GetTickCount() - start < seconds * 1000) {
    for (HWND target : {window, workerWindow}) {
      const DWORD trip = RoundTripMs(target, 5000);
      if (trip > figures.worstRoundTripMs) figures.worstRoundTripMs = trip;
      figures.roundTrips++;
    }
    // The first figures come from the run's own reports, which start 5 s into it.
    if (!figures.first.handles && GetTickCount() - start >= 10000)
      figures.first = LastReportedResources(probe);
    if (progress && GetTickCount() - start >= nextProgress * 1000) {
      figures.last = LastReportedResources(probe, &figures);
      progress(nextProgress, figures);
      nextProgress += 60;
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
