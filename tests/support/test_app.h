// Hooks of the in-process test application.
#ifndef KORVEL_TEST_APP_H
#define KORVEL_TEST_APP_H

#include "korvel.h"

extern void (*testAppSetup)(void);
extern void (*testAppMain)(void);

#endif
