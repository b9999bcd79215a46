// The capture size of programs whose build does not set one. Kept alone in its object file so
// that a program's own definition replaces it at link time.
#include "korvel.h"

extern const int CaptureWidth = 640;
extern const int CaptureHeight = 480;
