// The console's text and the saved files' names. Pure.
#include <stdio.h>

#include "ringview/ringview.h"

void FormatReport(const ViewState& state, const PassFigures& figures, char* out, int size) {
  const ViewRing& r = state.ring;
  char timing[96];
  if (figures.frames > 0 && figures.elapsedMs > 0)
    snprintf(timing, sizeof timing, "%.2f ms per frame (max %.2f), %.1f fps, cpu %.1f%%",
             figures.totalMs / figures.frames, figures.longestMs,
             figures.frames * 1000.0 / figures.elapsedMs,
             figures.cpuMs * 100.0 / figures.elapsedMs);
  else
    snprintf(timing, sizeof timing, "no frames, cpu %.1f%%",
             figures.elapsedMs > 0 ? figures.cpuMs * 100.0 / figures.elapsedMs : 0.0);
  snprintf(out, size, "centre %d %d, outer %d, inner %d\nturn %d, %s, overlay %s%s\n%s\n%s\n", r.x0,
           r.y0, r.outer, r.inner, r.turn, state.smooth ? "smooth" : "nearest",
           state.overlay ? "on" : "off", state.hold ? ", hold" : "", timing, state.message);
}

void SaveName(int number, char* out, int size) { snprintf(out, size, "ringview_%05d.png", number); }
