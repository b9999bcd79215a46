// The capture size of one program, given by its build (korvel_capture_size in
// cmake/korvel_app.cmake); a program compiled by hand gets 640 x 480.
#include "korvel.h"

#ifndef KRV_CAPTURE_WIDTH
#define KRV_CAPTURE_WIDTH 640
#define KRV_CAPTURE_HEIGHT 480
#endif

extern const int CaptureWidth = KRV_CAPTURE_WIDTH;
extern const int CaptureHeight = KRV_CAPTURE_HEIGHT;
