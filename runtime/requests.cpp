// The one request record through which the GUI thread has the worker create its windows.
// Posters run on the GUI thread and wait pumping; ServeRequest runs on the worker thread.
// Write order is the only synchronisation: parameters, then code (poster); done, then code
// cleared (server).
#include "runtime/runtime.h"

RequestBlock request = {0, 1, 0, 0, NULL, 0, 0, 0, 0, 0, 0, NULL, NULL};

static void WaitUntilFree(void) {
  while (request.code != 0 && !quitMessageSeen) PumpMessages();
}

// Exit ends the worker; once the quit message is seen no request will be served any more.
static void WaitUntilDone(void) {
  while (request.done == 0 && !quitMessageSeen) PumpMessages();
}

static void Post(int code) {
  request.done = 0;
  request.code = code;
  WaitUntilDone();
}

int RequestCreateImage(int id, const char* title, int width, int height, int bits) {
  WaitUntilFree();
  request.result = 0;
  request.id = id;
  request.title = title;
  request.x = request.y = -1;
  request.width = width;
  request.height = height;
  request.zoom = 100;
  request.bits = bits;
  Post(RequestCodeCreateImage);
  return request.result;
}

void RequestRedrawImage(int id) {
  WaitUntilFree();
  request.id = id;
  // The record's done is still 1: the redraw happens on the worker's next pass.
  request.code = RequestCodeRedrawImage;
}

int RequestLoadImageFile(int id, const char* path) {
  WaitUntilFree();
  request.result = 0;
  request.id = id;
  request.path = path;
  request.x = request.y = 0;
  Post(RequestCodeLoadImageFile);
  return request.result;
}

void RequestPasteBitmap(HBITMAP bitmap) {
  WaitUntilFree();
  request.bitmap = bitmap;
  Post(RequestCodePasteBitmap);
}

void RequestOpenTextWindow(int index) {
  WaitUntilFree();
  request.id = index;
  request.x = request.y = request.width = request.height = -1;
  Post(RequestCodeOpenTextWindow);
}

void RequestOpenInputBox(int count) {
  WaitUntilFree();
  request.id = count;
  request.x = request.y = 0;
  Post(RequestCodeOpenInputBox);
}

void RequestOpenButtonBox(int nx, int ny) {
  WaitUntilFree();
  request.width = nx;
  request.height = ny;
  request.x = request.y = 0;
  Post(RequestCodeOpenButtonBox);
}

static bool IsKnownCode(int code) {
  return code >= RequestCodeCreateImage && code <= RequestCodeOpenButtonBox;
}

// Ids of 256 or more address no slot: image creation answers 4, text windows open nothing.
static bool RefusedForId(int code) {
  if (code == RequestCodeCreateImage && request.id >= SlotCount) {
    request.result = 4;
    return true;
  }
  return code == RequestCodeOpenTextWindow && request.id >= SlotCount;
}

void ServeRequest(void) {
  int code = request.code;
  if (!IsKnownCode(code)) return;
  if (!RefusedForId(code)) {
    RequestHandler handler = requestHandlers[code - RequestCodeCreateImage];
    if (handler)
      handler(&request);
    else
      request.result = -1;
  }
  request.done = 1;
  request.code = 0;
}
