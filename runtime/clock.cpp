// The millisecond clock: performance counter ticks scaled once at start-up, low 32 bits.
#include "runtime/runtime.h"

unsigned int KRV_GetTime(void) {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return (unsigned int)(unsigned long long)((double)count.QuadPart * millisecondPeriod);
}
