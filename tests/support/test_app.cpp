// The application of the in-process test programs: AppSetup and AppMain run whatever the test
// installed, so that a test can start the runtime with behaviour of its own.
#include "support/test_app.h"

void (*testAppSetup)(void);
void (*testAppMain)(void);

void AppSetup(void) {
  if (testAppSetup) testAppSetup();
}

void AppMain(void) {
  if (testAppMain) testAppMain();
}
