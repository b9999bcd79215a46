// The capture size of one program, given by its build; it replaces the framework's default.
#include "korvel.h"

extern const int CaptureWidth = KRV_CAPTURE_WIDTH;
extern const int CaptureHeight = KRV_CAPTURE_HEIGHT;
