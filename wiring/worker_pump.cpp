// What the worker's pump does before it looks for messages, on the worker thread: text windows
// show what was printed since the last pump, repainting once however many lines came.
#include "text/text.h"
#include "wiring/wiring.h"

void BeforeWorkerPump(void) { ShowTextChanges(); }
