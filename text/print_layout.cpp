// Where printed text goes: runs of units that share a line, and the moves to new lines.
// Pure arithmetic, no window.
#include "text/text.h"

static int AddStep(TextStep* steps, int count, int first, int length, int x) {
  steps[count].first = first;
  steps[count].count = length;
  steps[count].x = x;
  return count + 1;
}

int LayOutText(const wchar_t* text, int length, int startX, int width, int cellWidth,
               TextStep* steps, int* endX) {
  int count = 0, runStart = 0, runLength = 0, runX = startX, p = startX;
  for (int i = 0; i < length; i++) {
    wchar_t unit = text[i];
    bool lineFeed = unit == 10;
    int advance = unit < 128 ? cellWidth : 2 * cellWidth;
    if (lineFeed || p + advance > width) {
      if (runLength > 0) count = AddStep(steps, count, runStart, runLength, runX);
      count = AddStep(steps, count, i, 0, 0);
      runLength = 0;
      p = 0;
      if (lineFeed) continue;
    }
    if (runLength == 0) {
      runStart = i;
      runX = p;
    }
    runLength++;
    p += advance;
  }
  if (runLength > 0) count = AddStep(steps, count, runStart, runLength, runX);
  *endX = p;
  return count;
}
