// The worker's operation per request code, 9001 first: each folder serves the requests for
// its own windows.
#include "boxes/boxes.h"
#include "image/image.h"
#include "text/text.h"
#include "wiring/wiring.h"

RequestHandler requestHandlers[7] = {
    ServeCreateImage,    ServeRedrawImage,    ServeLoadImageFile, PastePendingBitmap,
    ServeOpenTextWindow, ServeOpenInputBox, ServeOpenButtonBox};
